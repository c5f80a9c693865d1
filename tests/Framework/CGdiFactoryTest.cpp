#include <gtest/gtest.h>

#include <string>

#include "CGdiFactory.h"
#include "InstalledDevice.h"

namespace {

using framework::test::InstalledDevice;

LOGFONTW Describe(HFONT font) {
    LOGFONTW logFont{};
    EXPECT_EQ(GetObjectW(font, sizeof logFont, &logFont), static_cast<int>(sizeof logFont));
    return logFont;
}

void SetScreen(const char* kind, const char* width, const char* height) {
    InstalledDevice::SetProfile("kind", kind);
    InstalledDevice::SetProfile("screen_width", width);
    InstalledDevice::SetProfile("screen_height", height);
}

void SetSystemFace(const std::u16string& face) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"System\\GDI\\SysFnt", 0, nullptr, 0, 0, nullptr, &key, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, u"Nm", 0, REG_SZ, reinterpret_cast<const BYTE*>(face.c_str()),
                                            static_cast<DWORD>((face.size() + 1) * sizeof(char16_t))));
    RegCloseKey(key);
}

TEST(CGdiFactory, CachesEachStyleOnceAndScalesItsHeight) {
    InstalledDevice device;
    SetScreen("pocketpc", "480", "640");
    CSysInfo sysInfo(nullptr);
    CGdiFactory factory(sysInfo);

    HFONT font = factory.GetFont(7, true, true, false);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(factory.GetFont(7, true, true, false), font);
    LOGFONTW logFont = Describe(font);
    EXPECT_EQ(logFont.lfHeight, 48);
    EXPECT_EQ(logFont.lfWeight, FW_BOLD);
    EXPECT_EQ(logFont.lfQuality, CLEARTYPE_QUALITY);
    EXPECT_EQ(logFont.lfUnderline, 0);
    EXPECT_EQ(std::u16string(logFont.lfFaceName), u"Tahoma");

    HFONT underlined = factory.GetFont(7, true, true, true);
    HFONT plain = factory.GetFont(7, false, false, false);
    EXPECT_NE(underlined, font);
    EXPECT_NE(plain, font);
    EXPECT_EQ(Describe(underlined).lfUnderline, 1);
    EXPECT_EQ(Describe(plain).lfWeight, 0);
    EXPECT_EQ(Describe(plain).lfQuality, 0);
}

TEST(CGdiFactory, HeightColumnFollowsDeviceKindAndScreen) {
    InstalledDevice device;
    struct Case {
        const char *kind, *width, *height;
        int index, expected;
    };
    const Case cases[] = {
        {"pocketpc", "240", "240", 13, 13},   // square screen
        {"pocketpc", "240", "320", 13, 16},   // other Pocket PC
        {"pocketpc", "320", "320", 13, 17},   // square, class 320: 13 * 4 / 3
        {"smartphone", "176", "220", 6, 14},  // Smartphone of class 176
        {"smartphone", "240", "320", 6, 20},  // other Smartphone
    };
    for (const Case& c : cases) {
        SetScreen(c.kind, c.width, c.height);
        CSysInfo sysInfo(nullptr);
        CGdiFactory factory(sysInfo);
        EXPECT_EQ(factory.GetFontHeight(c.index), c.expected) << c.kind << " " << c.width << "x" << c.height;
    }
}

TEST(CGdiFactory, SizeIndexOutsideTheTableGivesNothing) {
    InstalledDevice device;
    CSysInfo sysInfo(nullptr);
    CGdiFactory factory(sysInfo);
    EXPECT_EQ(factory.GetFontHeight(19), 0);
    EXPECT_EQ(factory.GetFontHeight(-1), 0);
    EXPECT_EQ(factory.GetFont(19, false, false, false), nullptr);
    EXPECT_NE(factory.GetFont(18, false, false, false), nullptr);
}

TEST(CGdiFactory, SystemFontFaceFromTheRegistryStaysTerminated) {
    InstalledDevice device;
    CSysInfo sysInfo(nullptr);
    SetSystemFace(u"DejaVu Sans");
    {
        CGdiFactory factory(sysInfo);
        EXPECT_EQ(std::u16string(factory.GetFaceName()), u"DejaVu Sans");
        EXPECT_EQ(std::u16string(Describe(factory.GetFont(0, false, false, false)).lfFaceName), u"DejaVu Sans");
    }
    // A value longer than the face buffer is not taken half; the default stays.
    SetSystemFace(std::u16string(100, u'x'));
    CGdiFactory factory(sysInfo);
    EXPECT_EQ(std::u16string(factory.GetFaceName()), u"Tahoma");
}

TEST(CGdiFactory, DeleteAllFontsReleasesEveryHandle) {
    InstalledDevice device;
    CSysInfo sysInfo(nullptr);
    CGdiFactory factory(sysInfo);
    HFONT a = factory.GetFont(1, false, false, false);
    HFONT b = factory.GetFont(2, false, true, false);
    EXPECT_EQ(GetObjectType(a), static_cast<DWORD>(OBJ_FONT));
    factory.DeleteAllFonts();
    EXPECT_EQ(GetObjectType(a), 0u);
    EXPECT_EQ(GetObjectType(b), 0u);
    HFONT again = factory.GetFont(1, false, false, false);
    EXPECT_EQ(GetObjectType(again), static_cast<DWORD>(OBJ_FONT));
}

}  // namespace
