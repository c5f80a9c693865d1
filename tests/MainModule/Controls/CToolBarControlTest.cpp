// The toolbar on a real window with the real skin: which button a tap runs, the pressed look, disabled
// buttons, a press that outlives its button, the vertical band and the theme colours of the band.
#include <gtest/gtest.h>

#include <vector>

#include "AppControlHost.h"
#include "Controls/CToolBarControl.h"

namespace {

using appctl_test::AppControlTest;
using UserInterface::CDlgControl;

constexpr int kTop = 150;
constexpr int kBand = 50;
constexpr DWORD kFlags = CDlgControl::kVisible | CDlgControl::kHostBackground;

// The main window's buttons: forecast, city list, current conditions, settings.
const CToolBarControl::Button kButtons[4] = {{59, 3005, 1}, {61, 3010, 1}, {62, 3012, 1}, {64, 3011, 1}};

class ToolBar : public AppControlTest {
protected:
    explicit ToolBar(DWORD baseHue = 384) : AppControlTest(baseHue) {}

    void ShowHorizontal(const CToolBarControl::Button* buttons) {
        ASSERT_TRUE(bar_.Create(CToolBarControl::kHorizontal, buttons, 3, kFlags, 240, kBand));
        Show(bar_, 0, kTop, 240, kBand);
    }
    // Cell i of the horizontal bar in window coordinates.
    static RECT Cell(int i) { return RECT{i * 60, kTop, i * 60 + 60, kTop + kBand}; }
    std::vector<COLORREF> SampledPixels(const RECT& rect) {
        std::vector<COLORREF> pixels;
        for (int y = rect.top; y < rect.bottom; y += 2) {
            for (int x = rect.left; x < rect.right; x += 2) {
                pixels.push_back(Pixel(x, y));
            }
        }
        return pixels;
    }
    std::vector<LPARAM> Commands() const {
        std::vector<LPARAM> commands;
        for (const auto& notice : host_.notices) {
            EXPECT_EQ(notice.code, CToolBarControl::kNotifyCommand);
            commands.push_back(notice.b);
        }
        return commands;
    }

    CToolBarControl bar_;
};

TEST_F(ToolBar, EachTapRunsTheCommandOfTheButtonUnderThePen) {
    ShowHorizontal(kButtons);
    for (int i : {2, 0, 3, 1}) {
        Tap(i * 60 + 30, kTop + 25);
        Pause();
    }
    EXPECT_EQ(Commands(), (std::vector<LPARAM>{3012, 3005, 3011, 3010}));
    ASSERT_EQ(host_.notices.size(), 4u);
    EXPECT_EQ(host_.notices[0].a, 2) << "the button's index comes along";
    EXPECT_EQ(bar_.GetPressedButton(), -1);

    // Cells split the band's width; the left-over pixels widen the first cells: 101, 101, 101, 100.
    bar_.Move(0, kTop, 403, kBand, FALSE);
    host_.notices.clear();
    for (int x : {100, 101, 201, 202, 302, 303, 402}) {
        POINT point{x, 10};
        bar_.SendMessage(CDlgControl::kMsgPointerDown, reinterpret_cast<WPARAM>(&point), 0);
        bar_.SendMessage(CDlgControl::kMsgPointerUp, reinterpret_cast<WPARAM>(&point), 0);
    }
    EXPECT_EQ(Commands(), (std::vector<LPARAM>{3005, 3010, 3010, 3012, 3012, 3011, 3011}));
}

TEST_F(ToolBar, APressedButtonIsLitAndAPenThatLeavesItRunsNothing) {
    ShowHorizontal(kButtons);
    const RECT strip{61, kTop + 1, 119, kTop + 4};  // above the picture, band only
    const int normal = MeanBrightness(strip);

    PenDown(90, kTop + 25);
    EXPECT_EQ(bar_.GetPressedButton(), 1);
    EXPECT_GT(MeanBrightness(strip), normal + 60) << "the pressed cell is tinted toward white";

    PenMove(150, kTop + 25);
    EXPECT_EQ(bar_.GetPressedButton(), -1) << "the pen left the button";
    EXPECT_LT(MeanBrightness(strip), normal + 15);
    PenUp(150, kTop + 25);
    EXPECT_TRUE(host_.notices.empty()) << "neither the left button nor the one under the pen runs";

    Pause();
    PenDown(90, kTop + 25);
    PenUp(90, 20);  // lifted far above the band
    EXPECT_TRUE(host_.notices.empty());
    EXPECT_EQ(bar_.GetPressedButton(), -1);
}

TEST_F(ToolBar, ADisabledButtonIsNotDrawnAndATapOnItDoesNothing) {
    CToolBarControl::Button none[4] = {kButtons[0], kButtons[1], kButtons[2], kButtons[3]};
    for (auto& button : none) {
        button.enabled = 0;
    }
    ShowHorizontal(none);
    const std::vector<COLORREF> bareCell = SampledPixels(Cell(2));
    const std::vector<COLORREF> bareFirst = SampledPixels(Cell(1));

    CToolBarControl::Button buttons[4] = {kButtons[0], kButtons[1], kButtons[2], kButtons[3]};
    buttons[2].enabled = 0;
    bar_.SetButtons(buttons, TRUE);
    Pump();
    EXPECT_EQ(SampledPixels(Cell(2)), bareCell) << "only the band where the disabled button is";
    EXPECT_NE(SampledPixels(Cell(1)), bareFirst) << "an enabled button shows its picture";

    PenDown(150, kTop + 25);
    EXPECT_EQ(bar_.GetPressedButton(), -1);
    EXPECT_EQ(SampledPixels(Cell(2)), bareCell) << "and never looks pressed";
    PenUp(150, kTop + 25);
    EXPECT_TRUE(host_.notices.empty());
}

TEST_F(ToolBar, NewButtonsDuringAPressDoNotRunOnTheRelease) {
    ShowHorizontal(kButtons);
    PenDown(30, kTop + 25);
    ASSERT_EQ(bar_.GetPressedButton(), 0);
    const CToolBarControl::Button other[4] = {{60, 4001, 1}, {61, 4002, 1}, {62, 4003, 1}, {63, 4004, 1}};
    bar_.SetButtons(other, TRUE);
    PenUp(30, kTop + 25);
    EXPECT_TRUE(host_.notices.empty()) << "the press began on a button that is gone";

    Pause();
    Tap(30, kTop + 25);
    EXPECT_EQ(Commands(), (std::vector<LPARAM>{4001}));
}

TEST_F(ToolBar, AVerticalBarStacksTheButtonsFromTopToBottom) {
    ASSERT_TRUE(bar_.Create(CToolBarControl::kVertical, kButtons, 3, kFlags, kBand, 200));
    Show(bar_, 190, 0, kBand, 200);
    for (int i : {3, 0, 1, 2}) {
        Tap(215, i * 50 + 25);
        Pause();
    }
    EXPECT_EQ(Commands(), (std::vector<LPARAM>{3011, 3005, 3010, 3012}));
}

TEST_F(ToolBar, TheBandIsLightestAlongItsMiddleInTheThemeHue) {
    ShowHorizontal(nullptr);  // no buttons: the band alone
    const COLORREF corner = Pixel(1, kTop + 1);
    const COLORREF middle = Pixel(120, kTop + 1);
    const COLORREF lower = Pixel(1, kTop + kBand - 1);
    EXPECT_GT(skin_test::Brightness(middle), skin_test::Brightness(corner) + 60) << "fades up toward the middle";
    EXPECT_LT(skin_test::Brightness(lower), skin_test::Brightness(middle));
    EXPECT_TRUE(skin_test::Near(Pixel(238, kTop + 1), corner, 12)) << "mirrored about the middle";
    EXPECT_FALSE(skin_test::IsGrey(middle, 20)) << "a coloured theme tints the band";
    EXPECT_GT(GetBValue(middle), GetRValue(middle)) << "in the blue of the theme";
}

class GreyThemeToolBar : public ToolBar {
protected:
    GreyThemeToolBar() : ToolBar(100) {}
};

TEST_F(GreyThemeToolBar, TheBandIsGreyWhenTheThemeHasNoColour) {
    ShowHorizontal(nullptr);
    for (POINT at : {POINT{1, kTop + 1}, POINT{120, kTop + 1}, POINT{60, kTop + 40}, POINT{200, kTop + 30}}) {
        EXPECT_TRUE(skin_test::IsGrey(Pixel(at.x, at.y))) << at.x << "," << at.y;
    }
}

}  // namespace
