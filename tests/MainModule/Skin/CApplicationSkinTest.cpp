// The skin over the real sprite library and the built packages: picture numbers across the two
// packages, sizes scaled by the screen class, the control parts and the background, pixels compared
// with tolerance.
#include <gtest/gtest.h>

#include "Skin/CAppDlgImage.h"
#include "Skin/HslColor.h"
#include "Skin/ThemeKind.h"
#include "SkinDevice.h"

namespace {

using namespace skin_test;

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

TEST(HslColor, ConvertsBothWaysByTheSextantRule) {
    EXPECT_DOUBLE_EQ(RgbToHsl(RGB(0, 255, 0)).hue, 1.0 / 3);
    EXPECT_DOUBLE_EQ(RgbToHsl(RGB(0, 0, 255)).hue, 2.0 / 3);
    EXPECT_DOUBLE_EQ(RgbToHsl(RGB(255, 0, 0)).hue, 1.0) << "red lies at the full turn";
    EXPECT_DOUBLE_EQ(RgbToHsl(RGB(0, 0, 0)).saturation, 0);
    const HslColor grey = RgbToHsl(RGB(90, 90, 90));
    EXPECT_EQ(grey.hue, 0);
    EXPECT_EQ(grey.saturation, 0);
    for (COLORREF color : {RGB(107, 154, 189), RGB(255, 0, 0), RGB(12, 200, 99), RGB(250, 240, 3), RGB(77, 77, 78)}) {
        EXPECT_TRUE(Near(HslToRgb(RgbToHsl(color)), color, 1)) << std::hex << color;
    }
    EXPECT_TRUE(IsGrey(HslBytesToRgb(170, 0, 102), 0)) << "no saturation, no colour";
}

class SkinTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(device_.LoadSkin()); }
    CApplicationSkin& Skin() { return device_.Skin(); }
    SkinDevice device_;
};

TEST_F(SkinTest, PicturesAreNumberedAcrossBothPackagesAndScaledByTheScreenClass) {
    SIZE size{};
    ASSERT_TRUE(Skin().GetSpriteSize(76, &size));
    EXPECT_EQ(size.cx, 80) << "the last entry of icons.pak";
    ASSERT_TRUE(Skin().GetSpriteSize(1000, &size));
    EXPECT_EQ(size.cx, 30) << "1000 is entry 0 of misc.pak";
    ASSERT_TRUE(Skin().GetSpriteSize(1003, &size));
    EXPECT_EQ(size.cx, 6);
    EXPECT_EQ(size.cy, 50);
    EXPECT_FALSE(Skin().GetSpriteSize(-1, &size));
    EXPECT_FALSE(Skin().GetSpriteSize(77, &size)) << "beyond icons.pak: no picture, not a zero size";
    EXPECT_FALSE(Skin().GetSpriteSize(999, &size)) << "999 still belongs to icons.pak";
    EXPECT_FALSE(Skin().GetSpriteSize(1018, &size));
    EXPECT_FALSE(Skin().GetSpriteSize(1000, nullptr));

    Canvas canvas(40, 40, kBlack);
    EXPECT_FALSE(Skin().DrawSprite(-1, 10, 10, canvas.Dc(), 0, 0, 0, 0, 0, 0));
    EXPECT_FALSE(Skin().DrawSprite(999, 10, 10, canvas.Dc(), 0, 0, 0, 0, 0, 0));
    EXPECT_FALSE(Skin().DrawSprite(1013, 10, 10, nullptr, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(canvas.At(5, 5), kBlack) << "a failed draw leaves the surface";
}

TEST(SkinOnALargeScreen, SizesDoubleOnTheFourHundredEightyClass) {
    SkinDevice device(384, 480, 640);
    ASSERT_TRUE(device.LoadSkin());
    SIZE size{};
    ASSERT_TRUE(device.Skin().GetSpriteSize(1003, &size));
    EXPECT_EQ(size.cx, 12);
    EXPECT_EQ(size.cy, 100);
    ASSERT_TRUE(device.Skin().GetComboButtonSize(2, &size));
    EXPECT_EQ(size.cx, 50);
    EXPECT_EQ(size.cy, 50);
    EXPECT_EQ(device.Skin().GetScrollThumbLength(), 60);
}

TEST_F(SkinTest, AZeroWidthTakesThePicturesOwnWidthBesideAGivenHeight) {
    Canvas canvas(260, 40, kBlack);
    ASSERT_TRUE(Skin().DrawSprite(1013, 0, 30, canvas.Dc(), 0, 0, 0, 0, 0, 0));
    EXPECT_GT(Brightness(canvas.At(195, 20)), 3 * 150) << "drawn 200 wide, its own width";
    EXPECT_EQ(canvas.At(205, 20), kBlack);
    EXPECT_GT(Brightness(canvas.At(100, 29)), 3 * 150) << "and 30 high, as asked";
    EXPECT_EQ(canvas.At(100, 31), kBlack);
}

TEST_F(SkinTest, ASourceRegionDrawsOnlyThatPartOfThePicture) {
    Canvas canvas(100, 40, kBlack);
    ASSERT_TRUE(Skin().DrawSprite(1013, 60, 20, canvas.Dc(), 10, 10, 30, 0, 20, 20));
    EXPECT_GT(Brightness(canvas.At(15, 15)), 3 * 150);
    EXPECT_GT(Brightness(canvas.At(29, 15)), 3 * 150);
    EXPECT_EQ(canvas.At(31, 15), kBlack) << "20 columns from column 30 of the picture";
    EXPECT_EQ(canvas.At(9, 15), kBlack);
}

TEST_F(SkinTest, CheckBoxesShowTheirStateInTheThemeColour) {
    SIZE size{};
    ASSERT_TRUE(Skin().GetCheckBoxSize(&size, TRUE));
    EXPECT_EQ(size.cx, 25);
    EXPECT_EQ(size.cy, 25);
    Canvas canvas(60, 30, kWhite);
    RECT off{0, 0, 30, 30};
    RECT on{30, 0, 60, 30};
    ASSERT_TRUE(Skin().DrawCheckBox(FALSE, canvas.Dc(), &off));
    ASSERT_TRUE(Skin().DrawCheckBox(TRUE, canvas.Dc(), &on));
    const COLORREF offFace = canvas.At(12, 5);
    const COLORREF onFace = canvas.At(42, 5);
    EXPECT_GT(Brightness(offFace), Brightness(onFace) + 60) << "the checked face is darker";
    EXPECT_FALSE(IsGrey(onFace)) << "recoloured to the theme";
    EXPECT_NEAR(HslPartToByte(RgbToHsl(onFace).hue), CApplicationSkin::GetThemeTint().hue, 8);
    EXPECT_EQ(canvas.At(28, 5), kWhite) << "drawn at its own size from the rectangle's corner";
}

TEST(SkinOnAGreyTheme, TintsAndTheBackgroundStayGrey) {
    SkinDevice device(100);
    ASSERT_TRUE(device.LoadSkin());
    EXPECT_EQ(CApplicationSkin::GetThemeTint().saturation, 0);
    Canvas canvas(240, 320, kBlack);
    RECT check{0, 0, 30, 30};
    ASSERT_TRUE(device.Skin().DrawCheckBox(TRUE, canvas.Dc(), &check));
    EXPECT_TRUE(IsGrey(canvas.At(12, 5)));
    RECT all{0, 0, 240, 320};
    ASSERT_TRUE(device.Skin().DrawBackground(canvas.Dc(), &all, &all));
    EXPECT_TRUE(IsGrey(canvas.At(100, 2)));
    EXPECT_TRUE(IsGrey(canvas.At(100, 317)));
}

TEST_F(SkinTest, TheBackgroundRunsFromDarkToLightThemeColourAndPaintsOnlyTheClip) {
    const COLORREF top = CApplicationSkin::GetBackgroundTopColor();
    const COLORREF bottom = CApplicationSkin::GetBackgroundBottomColor();
    EXPECT_LT(Brightness(top), Brightness(bottom));
    const BYTE themeHue = HslPartToByte(RgbToHsl(device_.SysInfo().GetColor(0)).hue);
    EXPECT_NEAR(HslPartToByte(RgbToHsl(top).hue), themeHue, 2);

    Canvas canvas(240, 320, kBlack);
    RECT target{0, 0, 240, 320};
    ASSERT_TRUE(Skin().DrawBackground(canvas.Dc(), &target, &target));
    EXPECT_TRUE(Near(canvas.At(120, 0), top));
    EXPECT_TRUE(Near(canvas.At(120, 319), bottom));

    // A part of a target that lies lower on the surface: the part shows the target's own rows.
    canvas.Fill(kBlack);
    RECT lower{0, 100, 240, 420};
    RECT clip{50, 100, 90, 140};
    ASSERT_TRUE(Skin().DrawBackground(canvas.Dc(), &lower, &clip));
    EXPECT_TRUE(Near(canvas.At(60, 100), top)) << "the target's top row";
    EXPECT_EQ(canvas.At(49, 120), kBlack);
    EXPECT_EQ(canvas.At(91, 120), kBlack);
    EXPECT_EQ(canvas.At(60, 141), kBlack);
    EXPECT_FALSE(Skin().DrawBackground(canvas.Dc(), &lower, nullptr));
    EXPECT_EQ(Skin().GetSkinColor(0), 0xBD9A6Bu);
    EXPECT_EQ(Skin().GetSkinColor(1), 0u);
}

TEST_F(SkinTest, ADroppedBackgroundFollowsANewTheme) {
    Canvas canvas(40, 40, kBlack);
    RECT all{0, 0, 40, 40};
    ASSERT_TRUE(Skin().DrawBackground(canvas.Dc(), &all, &all));
    EXPECT_FALSE(IsGrey(canvas.At(20, 39)));
    SetBaseHue(10);
    device_.SysInfo().ReadThemeColor();
    Skin().DropBackground();
    ASSERT_TRUE(Skin().DrawBackground(canvas.Dc(), &all, &all));
    EXPECT_TRUE(IsGrey(canvas.At(20, 39)));
}

TEST_F(SkinTest, BaseHue255IsTheLastGreyThemeAnd256TheFirstColouredOne) {
    SetBaseHue(255);
    device_.SysInfo().ReadThemeColor();
    EXPECT_FALSE(IsColouredTheme());
    EXPECT_EQ(CApplicationSkin::GetThemeTint().saturation, 0);
    EXPECT_TRUE(IsGrey(CApplicationSkin::GetBackgroundBottomColor()));
    SetBaseHue(256);
    device_.SysInfo().ReadThemeColor();
    EXPECT_TRUE(IsColouredTheme());
    EXPECT_EQ(CApplicationSkin::GetThemeTint().saturation, 255);
}

TEST_F(SkinTest, TheProgressBarSplitsItsInsideAtThePercentage) {
    Canvas canvas(220, 30, kBlack);
    RECT bar{10, 5, 210, 21};
    ASSERT_TRUE(Skin().DrawProgressBar(canvas.Dc(), &bar, 50));
    const int insideLeft = 14;
    const int insideRight = 206;
    const int split = insideLeft + (insideRight - insideLeft) / 2;
    const COLORREF done = canvas.At(split - 20, 13);
    const COLORREF rest = canvas.At(split + 20, 13);
    EXPECT_GT(Brightness(rest), Brightness(done) + 90) << "the part still to do is the lighter one";
    EXPECT_TRUE(Near(canvas.At(insideLeft + 5, 13), done, 16));
    EXPECT_TRUE(Near(canvas.At(insideRight - 5, 13), rest, 16));
    EXPECT_EQ(canvas.At(5, 13), kBlack);
    EXPECT_EQ(canvas.At(215, 13), kBlack);

    ASSERT_TRUE(Skin().DrawProgressBar(canvas.Dc(), &bar, 150));
    EXPECT_TRUE(Near(canvas.At(insideRight - 5, 13), done, 16)) << "more than done is drawn as all done";
    ASSERT_TRUE(Skin().DrawProgressBar(canvas.Dc(), &bar, -5));
    EXPECT_TRUE(Near(canvas.At(insideLeft + 5, 13), rest, 16));
}

TEST_F(SkinTest, TheScrollThumbRepeatsItsMiddleBetweenItsCaps) {
    Canvas canvas(6, 240, kBlack);
    RECT thumb{0, 10, 6, 210};
    ASSERT_TRUE(Skin().DrawScrollThumb(canvas.Dc(), &thumb));
    for (int y = 15; y < 205; ++y) {
        ASSERT_GT(Brightness(canvas.At(3, y)), 3 * 180) << "row " << y << " of the middle";
    }
    EXPECT_LT(Brightness(canvas.At(3, 209)), Brightness(canvas.At(3, 100)) - 60) << "the bottom cap's rim";
    EXPECT_EQ(canvas.At(3, 9), kBlack);
    EXPECT_EQ(canvas.At(3, 211), kBlack);
    EXPECT_EQ(Skin().GetScrollThumbLength(), 30);

    RECT shortThumb{0, 220, 6, 226};
    ASSERT_TRUE(Skin().DrawScrollThumb(canvas.Dc(), &shortThumb));
    EXPECT_EQ(canvas.At(3, 227), kBlack) << "a thumb shorter than its caps stays inside its rectangle";
    EXPECT_EQ(canvas.At(3, 218), kBlack);
}

TEST_F(SkinTest, TheScrollTrackIsAThinLineInTheMiddle) {
    Canvas canvas(8, 100, kBlack);
    RECT track{0, 0, 8, 100};
    ASSERT_TRUE(Skin().DrawScrollTrack(canvas.Dc(), &track));
    EXPECT_GT(Brightness(canvas.At(4, 50)), 3 * 60);
    EXPECT_GT(Brightness(canvas.At(5, 99)), 3 * 60);
    EXPECT_EQ(canvas.At(3, 50), kBlack);
    EXPECT_EQ(canvas.At(6, 50), kBlack);
}

TEST_F(SkinTest, TheSeparatorShadesFromTheCornersTowardsBlackAndWhite) {
    Canvas canvas(100, 10, RGB(128, 128, 128));
    RECT rule{0, 0, 100, 10};
    ASSERT_TRUE(Skin().DrawSeparator(canvas.Dc(), &rule));
    EXPECT_LT(Brightness(canvas.At(49, 2)), 3 * 30) << "black in the middle of the upper half";
    EXPECT_GT(Brightness(canvas.At(49, 7)), 3 * 225) << "white in the middle of the lower half";
    EXPECT_TRUE(Near(canvas.At(0, 0), RGB(128, 128, 128), 12));
}

TEST(SkinLoad, FailsWithoutEitherPackageOrWithoutTheLibrary) {
    SkinDevice device;
    std::filesystem::remove(device.InstallFolder("Data/misc.pak"));
    EXPECT_FALSE(device.LoadSkin());
    RECT check{0, 0, 30, 30};
    Canvas canvas(30, 30, kBlack);
    EXPECT_FALSE(device.Skin().DrawCheckBox(TRUE, canvas.Dc(), &check)) << "misc.pak pictures are missing";
    SIZE size{};
    EXPECT_TRUE(device.Skin().GetSpriteSize(0, &size)) << "icons.pak still opened";

    device.UnloadSkin();  // its package objects live in the library
    FreeSpriteLibrary();
    EXPECT_EQ(NewSpriteObject(), nullptr);
    EXPECT_FALSE(device.LoadSkin());
}

TEST_F(SkinTest, ASkinImageFitsItsPictureAndDrawsOnlyInsideTheClip) {
    CAppDlgImage image;
    EXPECT_FALSE(image.IsValid());
    ASSERT_TRUE(image.Set(1013, 100, 100, TRUE));
    EXPECT_EQ(image.GetWidth(), 100);
    EXPECT_EQ(image.GetHeight(), 7) << "200 x 14 kept in its aspect";
    ASSERT_TRUE(image.Set(71, 20, -1, TRUE));
    EXPECT_EQ(image.GetWidth(), 20);
    EXPECT_EQ(image.GetHeight(), 40) << "a negative length takes the picture's own";
    EXPECT_FALSE(image.Set(1018, 10, 10, FALSE));
    EXPECT_EQ(image.GetPicture(), 71) << "a failed Set keeps the picture";

    ASSERT_TRUE(image.Set(1013, 10, 10, FALSE));
    std::unique_ptr<UserInterface::IDlgImage> copy(UserInterface::IDlgImage::Copy(&image));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(static_cast<CAppDlgImage*>(copy.get())->GetPicture(), 1013);
    EXPECT_EQ(copy->GetWidth(), 10);

    Canvas canvas(100, 100, kBlack);
    RECT all{0, 0, 100, 100};
    RECT clip{10, 10, 30, 30};
    ASSERT_TRUE(copy->DrawInRect(canvas.Dc(), &all, &clip, FALSE));
    EXPECT_GT(Brightness(canvas.At(20, 20)), 3 * 150);
    EXPECT_EQ(canvas.At(35, 20), kBlack);
    EXPECT_EQ(canvas.At(20, 5), kBlack);

    canvas.Fill(kBlack);
    ASSERT_TRUE(copy->DrawInRect(canvas.Dc(), &all, nullptr, TRUE));
    EXPECT_GT(Brightness(canvas.At(50, 50)), 3 * 150) << "centred";
    EXPECT_EQ(canvas.At(50, 44), kBlack) << "only 7 rows high";
    EXPECT_EQ(canvas.At(50, 54), kBlack);

    copy->Clear();
    EXPECT_FALSE(copy->IsValid());
    EXPECT_FALSE(copy->DrawInRect(canvas.Dc(), &all, nullptr, TRUE));
    device_.UnloadSkin();
    EXPECT_FALSE(image.IsValid()) << "no skin, nothing to draw with";
}

class OtherImage : public UserInterface::IDlgImage {
public:
    BOOL Clone(IDlgImage**) const override { return FALSE; }
    BOOL Assign(const IDlgImage*) override { return FALSE; }
    void Clear() override {}
    BOOL IsValid() const override { return TRUE; }
    BOOL GetSize(SIZE*) const override { return FALSE; }
    int GetWidth() const override { return 0; }
    int GetHeight() const override { return 0; }
    BOOL Draw(HDC, int, int, int, int, int, int) const override { return FALSE; }
    BOOL DrawInRect(HDC, const RECT*, const RECT*, BOOL) const override { return FALSE; }
};

TEST_F(SkinTest, ASkinImageTakesNothingFromAnImageOfAnotherKind) {
    CAppDlgImage image;
    ASSERT_TRUE(image.Set(1013, 10, 10, FALSE));
    OtherImage other;
    EXPECT_FALSE(image.Assign(&other));
    EXPECT_EQ(image.GetPicture(), 1013);
}

}  // namespace
