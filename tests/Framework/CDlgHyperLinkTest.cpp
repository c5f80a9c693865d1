// The hyperlink on a real window: taps and Enter open its address through the device's browser, a
// press that leaves the link opens nothing, and its text, address and font.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControlHostWindow.h"
#include "UserInterface/CDlgHyperLink.h"
#include "ce/device.h"

namespace {

using framework::test::ControlHostWindow;
using framework::test::WindowDevice;
using UserInterface::CDlgControl;
using UserInterface::CDlgHyperLink;

constexpr char16_t kAddress[] = u"http://weather.example/forecast?city=NOXX0001";

class HyperLink : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(host_.Open()); }

    void Make(LPCWSTR text, LPCWSTR url) {
        ASSERT_TRUE(link_.Create(text, url, 4, CDlgControl::kVisible | CDlgHyperLink::kSingleLine, 160, 24));
        link_.Move(20, 30, 160, 24, FALSE);
        host_.Add(&link_);
        host_.Redraw(FALSE);
        WindowDevice::Pump();
    }
    static std::vector<std::string> Opened() { return ce::ReadDeviceLog("urls"); }
    void ExpectOpened(const std::u16string& address) {
        const auto opened = Opened();
        ASSERT_EQ(opened.size(), 1u);
        EXPECT_NE(opened[0].find(ce::ToUtf8(address)), std::string::npos) << opened[0];
        ASSERT_EQ(host_.notices.size(), 1u);
        EXPECT_EQ(host_.notices[0].code, CDlgHyperLink::kNotifyOpened);
        EXPECT_EQ(std::u16string(reinterpret_cast<LPCWSTR>(host_.notices[0].a)), address);
        EXPECT_EQ(host_.notices[0].b, 0);
    }

    WindowDevice device_;
    ControlHostWindow host_;
    CDlgHyperLink link_;
};

TEST_F(HyperLink, ATapOpensTheAddressInTheBrowserAndTellsTheHost) {
    Make(u"Forecast on the web", kAddress);
    POINT tap = host_.ScreenPoint(60, 40);
    ce::InjectTap(tap.x, tap.y);
    WindowDevice::Pump();
    ExpectOpened(kAddress);
    EXPECT_FALSE(link_.IsPressed());
}

TEST_F(HyperLink, EnterOnALinkWithoutAddressOpensItsText) {
    Make(u"http://weather.example/", nullptr);
    host_.focused = &link_;
    ce::InjectKey(VK_RETURN);
    WindowDevice::Pump();
    ExpectOpened(u"http://weather.example/");
    EXPECT_EQ(link_.SendMessage(CDlgControl::kMsgKeyUp, 0, VK_RETURN), 0) << "the key going up does nothing";
    EXPECT_EQ(Opened().size(), 1u);
}

TEST_F(HyperLink, APressThatLeavesTheLinkOpensNothing) {
    Make(u"Forecast on the web", kAddress);
    POINT inside{30, 10};
    POINT outside{30, 40};
    EXPECT_EQ(link_.SendMessage(CDlgControl::kMsgPointerDown, reinterpret_cast<WPARAM>(&inside), 0), 1);
    EXPECT_TRUE(link_.IsPressed());
    link_.SendMessage(CDlgControl::kMsgPointerMove, reinterpret_cast<WPARAM>(&outside), 0);
    EXPECT_FALSE(link_.IsPressed());
    link_.SendMessage(CDlgControl::kMsgPointerUp, reinterpret_cast<WPARAM>(&outside), 0);

    link_.SendMessage(CDlgControl::kMsgPointerDown, reinterpret_cast<WPARAM>(&inside), 0);
    link_.SendMessage(CDlgControl::kMsgPointerCancel, 0, 0);
    EXPECT_FALSE(link_.IsPressed());
    link_.SendMessage(CDlgControl::kMsgPointerUp, reinterpret_cast<WPARAM>(&inside), 0);
    EXPECT_TRUE(Opened().empty());
    EXPECT_TRUE(host_.notices.empty());
    EXPECT_EQ(link_.SendMessage(CDlgControl::kMsgPointerDown, 0, 0), 0) << "no point";
}

TEST_F(HyperLink, ALinkWithNeitherTextNorAddressOpensNothing) {
    Make(nullptr, nullptr);
    EXPECT_EQ(link_.SendMessage(CDlgControl::kMsgKeyDown, 0, VK_RETURN), 0);
    EXPECT_TRUE(Opened().empty());
}

TEST_F(HyperLink, ItIsBlueAndUnderlinedAndStaysUnderlinedWithAnotherFont) {
    Make(u"Forecast on the web", kAddress);
    LOGFONTW font{};
    ASSERT_NE(GetObjectW(link_.GetFont(), sizeof font, &font), 0);
    EXPECT_EQ(font.lfUnderline, 1);
    EXPECT_EQ(font.lfQuality, CLEARTYPE_QUALITY);

    LOGFONTW large{};
    large.lfHeight = -20;
    HFONT given = CreateFontIndirectW(&large);
    link_.SetFont(given, TRUE);
    DeleteObject(given);  // the link keeps its own copy
    ASSERT_NE(GetObjectW(link_.GetFont(), sizeof font, &font), 0);
    EXPECT_EQ(font.lfUnderline, 1);
    EXPECT_EQ(font.lfHeight, -20);

    bool blue = false;
    for (int x = 22; x < 120 && !blue; ++x) {
        for (int y = 32; y < 52 && !blue; ++y) {
            const COLORREF pixel = host_.PixelAt(x, y);
            blue = GetBValue(pixel) > 200 && GetRValue(pixel) < 60 && GetGValue(pixel) < 60;
        }
    }
    EXPECT_TRUE(blue) << "the text is drawn in blue";
}

TEST_F(HyperLink, TextAndAddressAreCopiedOutBoundedAndTerminated) {
    Make(u"Forecast", kAddress);
    WCHAR buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(link_.SendMessage(CDlgHyperLink::kMsgGetUrl, reinterpret_cast<WPARAM>(buffer), 5), 1);
    EXPECT_EQ(std::u16string(buffer), u"http");
    EXPECT_EQ(buffer[5], u'#');
    EXPECT_EQ(link_.SendMessage(CDlgHyperLink::kMsgSetUrl, reinterpret_cast<WPARAM>(u"http://a.example/"), 0), 1);
    EXPECT_EQ(link_.SendMessage(CDlgHyperLink::kMsgGetText, reinterpret_cast<WPARAM>(buffer), 8), 1);
    EXPECT_EQ(std::u16string(buffer), u"Forecas");
    link_.SendMessage(CDlgHyperLink::kMsgSetText, reinterpret_cast<WPARAM>(u"Go"), FALSE);
    EXPECT_EQ(link_.SendMessage(CDlgControl::kMsgKeyDown, 0, VK_RETURN), 1);
    ExpectOpened(u"http://a.example/");
}

}  // namespace
