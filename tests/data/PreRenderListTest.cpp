#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "CSysInfo.h"
#include "Framework/InstalledDevice.h"
#include "XmlData.h"

namespace {

using namespace data_test;

struct Entry {
    int index = 0;
    int width = 0;
    int height = 0;
};

struct Packet {
    std::string name;
    std::string os;
    int screenClass = 0;
    std::string orientation;
    std::vector<Entry> entries;

    int PictureNumber(const Entry& entry) const { return name == "misc.pak" ? kMiscFirst + entry.index : entry.index; }
};

// The screens that the device profile offers: kind, width, height.
struct Device {
    const char* kind;
    int width;
    int height;
};

const Device kDevices[] = {
    {"pocketpc", 240, 320}, {"pocketpc", 320, 240}, {"pocketpc", 240, 240},   {"pocketpc", 240, 400},
    {"pocketpc", 400, 240}, {"pocketpc", 320, 320}, {"pocketpc", 480, 640},   {"pocketpc", 640, 480},
    {"pocketpc", 480, 800}, {"smartphone", 176, 220}, {"smartphone", 240, 320}, {"smartphone", 320, 240},
    {"smartphone", 480, 640},
};

std::string Describe(const Device& device) {
    return std::string(device.kind) + " " + std::to_string(device.width) + "x" + std::to_string(device.height);
}

bool ReadInteger(const std::optional<std::string>& text, int& value) {
    if (!text || text->empty()) return false;
    size_t used = 0;
    try {
        value = std::stoi(*text, &used);
    } catch (const std::exception&) {
        return false;
    }
    return used == text->size();
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

class PreRenderList : public XmlDataTest {
protected:
    void SetUp() override {
        XmlDataTest::SetUp();
        ce::ComRef<IXMLDOMDocument> document;
        ce::ComRef<IXMLDOMElement> root = LoadRoot(ReadText(kBinaryDir + "/data/Data/rasterize.xml"), document);
        ASSERT_TRUE(root.Get() != nullptr) << "the staged pre-render list does not load";
        ASSERT_EQ(NameOf(root.Get()), "data");
        for (auto& element : Elements(root.Get())) {
            if (Lower(NameOf(element.Get())) == "packet") ReadPacket(element.Get());
        }
        ASSERT_FALSE(packets.empty());
    }

    // Every attribute is required and read strictly: the program's reader refuses the whole list for
    // one bad packet.
    void ReadPacket(IXMLDOMNode* element) {
        Packet packet;
        packet.name = Attribute(element, u"name").value_or("");
        packet.os = Lower(Attribute(element, u"os").value_or(""));
        packet.orientation = Lower(Attribute(element, u"scr_orient").value_or(""));
        EXPECT_TRUE(ReadInteger(Attribute(element, u"scr_res"), packet.screenClass)) << packet.name;
        for (auto& child : Elements(element)) {
            const std::string kind = NameOf(child.Get());
            Entry entry;
            bool sized = ReadInteger(Attribute(child.Get(), u"width"), entry.width) &&
                         ReadInteger(Attribute(child.Get(), u"height"), entry.height);
            if (kind == "img") {
                EXPECT_TRUE(sized && ReadInteger(Attribute(child.Get(), u"idx"), entry.index)) << packet.name;
                packet.entries.push_back(entry);
            } else if (kind == "range_imgs") {
                int first = 0, last = -1;
                EXPECT_TRUE(sized && ReadInteger(Attribute(child.Get(), u"first"), first) &&
                            ReadInteger(Attribute(child.Get(), u"last"), last))
                    << packet.name;
                EXPECT_LE(first, last) << packet.name << ": an empty range";
                for (entry.index = first; entry.index <= last; ++entry.index) packet.entries.push_back(entry);
            } else {
                ADD_FAILURE() << packet.name << ": unexpected element " << kind;
            }
        }
        packets.push_back(packet);
    }

    // The packet selection of the installation step, on the device's own facts.
    static bool Fits(const Packet& packet, const CSysInfo& info) {
        if ((packet.os == "sp") != info.IsSmartphone() || packet.screenClass != info.GetScreenClass()) return false;
        const bool square = info.IsSquareScreen();
        const bool tall = info.IsTallAspect();
        if (packet.orientation == "por" || packet.orientation == "lan") return !square && !tall;
        if (packet.orientation == "sqr") return square;
        return (packet.orientation == "lwr" || packet.orientation == "pwr") && tall && !square;
    }

    static void UseDevice(const Device& device) {
        framework::test::InstalledDevice::SetProfile("kind", device.kind);
        framework::test::InstalledDevice::SetProfile("screen_width", std::to_string(device.width));
        framework::test::InstalledDevice::SetProfile("screen_height", std::to_string(device.height));
        framework::test::InstalledDevice::SetProfile("orientation",
                                                     device.width > device.height ? "landscape" : "portrait");
    }

    std::vector<Packet> packets;
    const std::vector<InterfacePicture> pictures = ReadInterfacePictures();
    const std::set<int> weather = WeatherPictureNumbers();
};

TEST_F(PreRenderList, EveryPacketNamesAPackageAndOnlyPicturesThatExistAndAreDrawn) {
    for (const Packet& packet : packets) {
        EXPECT_TRUE(packet.name == "icons.pak" || packet.name == "misc.pak") << packet.name;
        EXPECT_TRUE(packet.os == "ppc" || packet.os == "sp") << packet.os;
        EXPECT_TRUE(packet.orientation == "por" || packet.orientation == "lan" || packet.orientation == "sqr" ||
                    packet.orientation == "lwr" || packet.orientation == "pwr")
            << packet.orientation;
        const int count = packet.name == "misc.pak" ? kMiscCount : kIconCount;
        for (const Entry& entry : packet.entries) {
            EXPECT_TRUE(entry.index >= 0 && entry.index < count) << packet.name << " has no entry " << entry.index;
            EXPECT_TRUE(entry.width > 0 && entry.height > 0) << packet.name << " entry " << entry.index;
            const int number = packet.PictureNumber(entry);
            const InterfacePicture* picture = FindPicture(pictures, number);
            EXPECT_TRUE(weather.contains(number) || (picture != nullptr && !picture->file.ends_with("-unused.svg")))
                << "picture " << number << " is never drawn";
        }
    }
}

TEST_F(PreRenderList, EveryDeviceGetsItsPicturesAtTheSizesItsScreenDrawsThem) {
    framework::test::InstalledDevice root;
    std::set<const Packet*> used;
    for (const Device& device : kDevices) {
        UseDevice(device);
        CSysInfo info(nullptr);
        std::set<std::string> packages;
        std::map<int, std::set<std::pair<int, int>>> sizes;  // picture number -> sizes listed
        for (const Packet& packet : packets) {
            if (!Fits(packet, info)) continue;
            used.insert(&packet);
            packages.insert(packet.name);
            for (const Entry& entry : packet.entries) sizes[packet.PictureNumber(entry)].insert({entry.width, entry.height});
        }
        EXPECT_EQ(packages.size(), 2u) << Describe(device) << " lacks a packet for a package";

        for (int number : weather) {
            EXPECT_TRUE(sizes.contains(number)) << Describe(device) << ": weather picture " << number;
            for (auto [width, height] : sizes[number]) EXPECT_EQ(width, height) << "weather pictures are square";
        }
        std::vector<int> everywhere = {67, 71, 73, 74, 75, 76, 1008, 1009, 1010, 1011};
        if (!info.IsSmartphone()) everywhere.insert(everywhere.end(), {59, 60, 61, 62, 63, 64, 65, 66, 68, 69, 70, 72});
        for (int number : everywhere) EXPECT_TRUE(sizes.contains(number)) << Describe(device) << ": picture " << number;

        // Interface pictures are drawn at their design size scaled to the screen class.
        for (const InterfacePicture& picture : pictures) {
            for (auto [width, height] : sizes[picture.entry]) {
                EXPECT_EQ(width, info.ScaleToScreen(picture.width)) << Describe(device) << ": " << picture.file;
                EXPECT_EQ(height, info.ScaleToScreen(picture.height)) << Describe(device) << ": " << picture.file;
            }
        }
    }
    EXPECT_EQ(used.size(), packets.size()) << "a packet fits no device of the profile";
}

}  // namespace
