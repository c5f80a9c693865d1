// The pre-render list: reading "rasterize.xml" (and refusing damaged or hostile ones whole), the
// packets that fit a device, and pre-rendering the installed list into the packages' render caches.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "Skin/CRasterizeTable.h"
#include "SkinDevice.h"
#include "ce/com.h"

namespace {

using namespace skin_test;
using Picture = CRasterizeTable::Picture;

class ComScope {
public:
    ComScope() { EXPECT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))); }
    ~ComScope() { CoUninitialize(); }
};

std::u16string Document(const std::u16string& packets) { return u"<?xml version=\"1.0\"?><data>" + packets + u"</data>"; }

TEST(CRasterizeTable, ReadsPacketsInOrderAndExpandsRanges) {
    ComScope com;
    CRasterizeTable table;
    ASSERT_TRUE(table.LoadFromText(Document(
        u"<packet name=\"icons.pak\" os=\"PPC\" scr_res=\"240\" scr_orient=\"Sqr\">"
        u"  <img idx=\"9\" width=\"44\" height=\"40\"/>"
        u"  <range_imgs first=\"5\" last=\"7\" width=\"20\" height=\"21\"/>"
        u"  <range_imgs first=\"3\" last=\"2\" width=\"20\" height=\"20\"/>"
        u"  <note idx=\"x\"/>"
        u"</packet>"
        u"<comment/>"
        u"<PACKET name=\"misc.pak\" os=\"sp\" scr_res=\"176\" scr_orient=\"pwr\"/>").c_str()));
    ASSERT_EQ(table.GetCount(), 2);
    std::u16string name;
    int platform = -1, screenClass = -1, orientation = -1;
    ASSERT_TRUE(table.GetPacket(0, &name, &platform, &screenClass, &orientation));
    EXPECT_EQ(name, u"icons.pak");
    EXPECT_EQ(platform, CRasterizeTable::kPocketPc);
    EXPECT_EQ(screenClass, 240);
    EXPECT_EQ(orientation, CRasterizeTable::kSquare);
    std::vector<Picture> pictures;
    ASSERT_TRUE(table.GetPictures(0, &pictures));
    EXPECT_EQ(pictures, (std::vector<Picture>{{9, 44, 40}, {5, 20, 21}, {6, 20, 21}, {7, 20, 21}}))
        << "a range from 5 to 7 is three entries; one that ends before it starts is none";
    ASSERT_TRUE(table.GetPacket(1, &name, &platform, &screenClass, &orientation));
    EXPECT_EQ(platform, CRasterizeTable::kSmartphone);
    EXPECT_EQ(orientation, CRasterizeTable::kPortraitWide);
    EXPECT_FALSE(table.GetPacket(2, &name, nullptr, nullptr, nullptr));
    EXPECT_FALSE(table.GetPictures(-1, &pictures));
    EXPECT_FALSE(table.GetPictures(0, nullptr));
}

TEST(CRasterizeTable, OneBadPacketRefusesTheWholeList) {
    ComScope com;
    const std::u16string good = u"<packet name=\"icons.pak\" os=\"ppc\" scr_res=\"240\" scr_orient=\"por\">"
                                u"<img idx=\"1\" width=\"20\" height=\"20\"/></packet>";
    const std::u16string bad[] = {
        u"<packet name=\"icons.pak\" os=\"wm\" scr_res=\"240\" scr_orient=\"por\"/>",
        u"<packet os=\"ppc\" scr_res=\"240\" scr_orient=\"por\"/>",
        u"<packet name=\"icons.pak\" os=\"ppc\" scr_res=\"240x\" scr_orient=\"por\"/>",
        u"<packet name=\"icons.pak\" os=\"ppc\" scr_res=\"240\" scr_orient=\"up\"/>",
        u"<packet name=\"icons.pak\" os=\"ppc\" scr_res=\"240\" scr_orient=\"por\"><img idx=\"1\" width=\"20\"/></packet>",
        u"<packet name=\"icons.pak\" os=\"ppc\" scr_res=\"240\" scr_orient=\"por\"><img idx=\"-1\" width=\"20\" height=\"20\"/></packet>",
        u"<packet name=\"icons.pak\" os=\"ppc\" scr_res=\"240\" scr_orient=\"por\"><img idx=\"1\" width=\"0\" height=\"20\"/></packet>",
        u"<packet name=\"..\\Skyvane.exe\" os=\"ppc\" scr_res=\"240\" scr_orient=\"por\"/>",
        u"<packet name=\"\\Windows\\x.pak\" os=\"ppc\" scr_res=\"240\" scr_orient=\"por\"/>",
        u"<packet name=\"icons.pak\" os=\"ppc\" scr_res=\"240\" scr_orient=\"por\">"
        u"<range_imgs first=\"0\" last=\"2147483647\" width=\"20\" height=\"20\"/></packet>",
    };
    for (const std::u16string& packet : bad) {
        CRasterizeTable table;
        ASSERT_TRUE(table.LoadFromText(Document(good).c_str()));
        EXPECT_FALSE(table.LoadFromText(Document(good + packet).c_str())) << ce::ToUtf8(packet);
        EXPECT_EQ(table.GetCount(), 0) << "nothing of a refused list stays";
    }
    CRasterizeTable table;
    EXPECT_FALSE(table.LoadFromText(u"<other/>")) << "no data element";
    EXPECT_FALSE(table.LoadFromText(u"<data><packet"));
    EXPECT_FALSE(table.LoadFromText(nullptr));
    EXPECT_TRUE(table.LoadFromText(u"<data/>")) << "an empty list is a list";
}

class RasterizeFile : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directories(device_.InstallFolder("Data")); }
    void Write(const std::string& bytes) {
        std::ofstream(device_.InstallFolder("Data/rasterize.xml"), std::ios::binary) << bytes;
    }
    static constexpr char16_t kPath[] = u"\\Program Files\\Skyvane\\Data\\rasterize.xml";
    ComScope com_;
    ce::test::InstalledDevice device_;
};

TEST_F(RasterizeFile, AByteOrderMarkReadsLikeNone) {
    const std::string xml = "<data><packet name=\"m\xC3\xBCnchen.pak\" os=\"ppc\" scr_res=\"240\" scr_orient=\"por\"/></data>";
    for (const std::string& bytes : {xml, "\xEF\xBB\xBF" + xml}) {
        Write(bytes);
        CRasterizeTable table;
        ASSERT_TRUE(table.LoadFromFile(kPath));
        std::u16string name;
        ASSERT_TRUE(table.GetPacket(0, &name, nullptr, nullptr, nullptr));
        EXPECT_EQ(name, u"m\u00FCnchen.pak") << "read as UTF-8";
    }
    Write("");
    CRasterizeTable table;
    EXPECT_FALSE(table.LoadFromFile(kPath));
    EXPECT_FALSE(table.LoadFromFile(u"\\Program Files\\Skyvane\\Data\\none.xml"));
}

TEST(CRasterizeTableSelection, PacketsFitByDeviceKindScreenClassAndShape) {
    ComScope com;
    CRasterizeTable table;
    const char16_t* orientations[] = {u"por", u"lan", u"sqr", u"lwr", u"pwr"};
    std::u16string packets;
    for (const char16_t* orientation : orientations) {
        packets += u"<packet name=\"icons.pak\" os=\"ppc\" scr_res=\"240\" scr_orient=\"" + std::u16string(orientation) +
                   u"\"/>";
    }
    packets += u"<packet name=\"icons.pak\" os=\"sp\" scr_res=\"240\" scr_orient=\"por\"/>";
    packets += u"<packet name=\"icons.pak\" os=\"ppc\" scr_res=\"320\" scr_orient=\"por\"/>";
    ASSERT_TRUE(table.LoadFromText(Document(packets).c_str()));

    struct Case {
        const char* kind;
        int width;
        int height;
        std::vector<int> fitting;
    };
    const Case cases[] = {
        {"pocketpc", 240, 320, {0, 1}},  {"pocketpc", 320, 240, {0, 1}}, {"pocketpc", 240, 240, {2}},
        {"pocketpc", 240, 400, {3, 4}}, {"smartphone", 240, 320, {5}},  {"pocketpc", 480, 640, {}},
    };
    ce::test::InstalledDevice device;
    for (const Case& c : cases) {
        ASSERT_TRUE(ce::SetProfileString("device", "kind", c.kind));
        SetScreen(c.width, c.height);
        CSysInfo info(GetModuleHandleW(nullptr));
        std::vector<int> fitting;
        for (int i = 0; i < table.GetCount(); ++i) {
            if (table.FitsDevice(i, info)) {
                fitting.push_back(i);
            }
        }
        EXPECT_EQ(fitting, c.fitting) << c.kind << " " << c.width << "x" << c.height;
    }
}

class PreRenderTest : public ::testing::Test {
protected:
    // The render caches that the packages have beside them.
    std::vector<std::string> Caches() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(device_.InstallFolder("Data"))) {
            if (entry.path().extension() == ".tmp" && entry.file_size() > 0) {
                names.push_back(entry.path().filename().string());
            }
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    ComScope com_;
    SkinDevice device_;
};

TEST_F(PreRenderTest, TheInstalledListRendersIntoTheCachesOfBothPackages) {
    std::filesystem::copy_file(std::string(CE_SKIN_DIR) + "/rasterize.xml", device_.InstallFolder("Data/rasterize.xml"));
    CRasterizeTable table;
    ASSERT_TRUE(table.LoadFromFile(u"\\Program Files\\Skyvane\\Data\\rasterize.xml"));
    ASSERT_GT(table.GetCount(), 0);
    EXPECT_TRUE(CApplicationSkin::PreRender(table));
    EXPECT_EQ(Caches(), (std::vector<std::string>{"icons.tmp", "misc.tmp"}));
}

TEST_F(PreRenderTest, AMissingPictureOrPackageFailsButTheOtherPacketsStillRender) {
    CRasterizeTable table;
    ASSERT_TRUE(table.LoadFromText(Document(
        u"<packet name=\"icons.pak\" os=\"ppc\" scr_res=\"240\" scr_orient=\"por\"><img idx=\"500\" width=\"20\" height=\"20\"/></packet>"
        u"<packet name=\"gone.pak\" os=\"ppc\" scr_res=\"240\" scr_orient=\"por\"><img idx=\"0\" width=\"20\" height=\"20\"/></packet>"
        u"<packet name=\"misc.pak\" os=\"ppc\" scr_res=\"240\" scr_orient=\"lan\"><img idx=\"8\" width=\"25\" height=\"25\"/></packet>"
        u"<packet name=\"icons.pak\" os=\"sp\" scr_res=\"240\" scr_orient=\"por\"><img idx=\"0\" width=\"20\" height=\"20\"/></packet>")
                                        .c_str()));
    EXPECT_FALSE(CApplicationSkin::PreRender(table));
    EXPECT_EQ(Caches(), (std::vector<std::string>{"misc.tmp"})) << "only what rendered, and only for this device";

    CRasterizeTable empty;
    ASSERT_TRUE(empty.LoadFromText(u"<data/>"));
    EXPECT_TRUE(CApplicationSkin::PreRender(empty));
    CSysInfo* info = g_pSysInfo;
    g_pSysInfo = nullptr;
    EXPECT_FALSE(CApplicationSkin::PreRender(empty)) << "without device information";
    g_pSysInfo = info;
}

}  // namespace
