#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "CSysInfo.h"
#include "InstalledDevice.h"
#include "ce/shell.h"

namespace {

using framework::test::InstalledDevice;

std::u16string Expanded(const char16_t* pattern, int size = MAX_PATH) {
    std::u16string output(static_cast<size_t>(size), u'?');
    if (!CSysInfo::ExpandPath(pattern, output.data(), size)) {
        EXPECT_EQ(output[0], u'\0') << "a failed expansion leaves no half path behind";
        return u"<failed>";
    }
    return std::u16string(output.c_str());
}

TEST(CSysInfoPaths, ExpandPathReplacesMacrosInAnyLetterCase) {
    InstalledDevice device;
    EXPECT_EQ(Expanded(u"%INSTALL_DIR%\\Loc\\"), u"\\Program Files\\Skyvane\\Loc\\");
    EXPECT_EQ(Expanded(u"%install_dir%\\Cities.dat"), u"\\Program Files\\Skyvane\\Cities.dat");
    EXPECT_EQ(Expanded(u""), u"");
    EXPECT_EQ(Expanded(u"%FOO%\\x"), u"<failed>");
    EXPECT_EQ(Expanded(u"\\Temp\\%"), u"<failed>");
    EXPECT_EQ(Expanded(u"%INSTALL_DIR"), u"<failed>");
    WCHAR out[8];
    EXPECT_FALSE(CSysInfo::ExpandPath(nullptr, out, 8));

    InstalledDevice::SetInstallDir(u"\\Program Files\\Skyvane\\");
    EXPECT_EQ(Expanded(u"%INSTALL_DIR%\\Cache\\"), u"\\Program Files\\Skyvane\\Cache\\") << "one trailing backslash goes";
}

TEST(CSysInfoPaths, ExpandPathFailsOnOverflowAndOnAnEmptyInstallFolder) {
    InstalledDevice device;
    const std::u16string whole = u"\\Program Files\\Skyvane\\Cache\\";
    EXPECT_EQ(Expanded(u"%INSTALL_DIR%\\Cache\\", static_cast<int>(whole.size()) + 1), whole);
    EXPECT_EQ(Expanded(u"%INSTALL_DIR%\\Cache\\", static_cast<int>(whole.size())), u"<failed>");
    EXPECT_EQ(Expanded(u"abc", 3), u"<failed>");

    // A missing install folder must not turn "%INSTALL_DIR%\Cache\" into "\Cache\".
    InstalledDevice::SetInstallDir(u"");
    EXPECT_EQ(Expanded(u"%INSTALL_DIR%\\Cache\\"), u"<failed>");
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Apps\\Quillon Software Skyvane");
    EXPECT_EQ(Expanded(u"%INSTALL_DIR%\\Cache\\"), u"<failed>");
}

// The device information object reads the folder once; before it and after it, the registry is read at
// every expansion, and a folder that was missing at its creation is still found once recorded.
TEST(CSysInfoPaths, TheInstallFolderIsReadOnceWhileTheDeviceInformationLives) {
    InstalledDevice device;
    InstalledDevice::SetInstallDir(u"\\Before");
    EXPECT_EQ(Expanded(u"%INSTALL_DIR%\\x"), u"\\Before\\x");
    {
        CSysInfo info(nullptr);
        InstalledDevice::SetInstallDir(u"\\Changed");
        EXPECT_EQ(Expanded(u"%INSTALL_DIR%\\x"), u"\\Before\\x");
        WCHAR small[4];
        EXPECT_FALSE(CSysInfo::GetInstallDir(small, 4)) << "a remembered folder must fit as well";
        EXPECT_EQ(small[0], u'\0');
    }
    EXPECT_EQ(Expanded(u"%INSTALL_DIR%\\x"), u"\\Changed\\x");

    InstalledDevice::SetInstallDir(u"");
    CSysInfo info(nullptr);
    EXPECT_EQ(Expanded(u"%INSTALL_DIR%\\x"), u"<failed>");
    InstalledDevice::SetInstallDir(u"\\Later");
    EXPECT_EQ(Expanded(u"%INSTALL_DIR%\\x"), u"\\Later\\x");
}

TEST(CSysInfoPaths, RemoveDirectoryTreeDeletesLinksWithoutFollowingThem) {
    InstalledDevice device;
    device.WriteHostFile(device.Fs("Keep/precious.txt"), "keep");
    device.WriteHostFile(device.Fs("Temp/Cache/a.xml"), "a");
    device.WriteHostFile(device.Fs("Temp/Cache/Deep/b.xml"), "b");
    std::filesystem::create_directory_symlink(device.Fs("Keep"), device.Fs("Temp/Cache/Deep/link"));
    std::filesystem::create_symlink(device.Fs("Keep/precious.txt"), device.Fs("Temp/Cache/file-link"));

    EXPECT_TRUE(CSysInfo::RemoveDirectoryTree(u"\\Temp\\Cache\\"));
    EXPECT_FALSE(std::filesystem::exists(device.Fs("Temp/Cache")));
    EXPECT_TRUE(std::filesystem::exists(device.Fs("Keep/precious.txt")));
    EXPECT_FALSE(CSysInfo::RemoveDirectoryTree(u"\\Temp\\Cache")) << "nothing there to remove";
    EXPECT_FALSE(CSysInfo::RemoveDirectoryTree(nullptr));
}

TEST(CSysInfoPaths, RemovingAFolderThatIsALinkRemovesTheLinkAndLeavesItsTarget) {
    InstalledDevice device;
    device.WriteHostFile(device.Fs("Keep/precious.txt"), "keep");
    device.WriteHostFile(device.Fs("Keep/Deep/more.txt"), "more");
    std::filesystem::create_directories(device.Fs("Temp"));
    std::filesystem::create_directory_symlink(device.Fs("Keep"), device.Fs("Temp/Cache"));

    EXPECT_TRUE(CSysInfo::RemoveDirectoryTree(u"\\Temp\\Cache\\"));
    EXPECT_FALSE(std::filesystem::is_symlink(device.Fs("Temp/Cache")));
    EXPECT_TRUE(std::filesystem::exists(device.Fs("Keep/precious.txt")));
    EXPECT_TRUE(std::filesystem::exists(device.Fs("Keep/Deep/more.txt")));

    device.WriteHostFile(device.Fs("Temp/plain.txt"), "a file");
    EXPECT_FALSE(CSysInfo::RemoveDirectoryTree(u"\\Temp\\plain.txt")) << "a file is no folder";
    EXPECT_TRUE(std::filesystem::exists(device.Fs("Temp/plain.txt")));
}

TEST(CSysInfoPaths, RemoveDirectoryTreeReportsWhatCouldNotBeRemoved) {
    InstalledDevice device;
    device.WriteHostFile(device.Fs("Temp/Cache/a.xml"), "a");
    device.WriteHostFile(device.Fs("Temp/Cache/locked.xml"), "b");
    HANDLE open = CreateFileW(u"\\Temp\\Cache\\locked.xml", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(open, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(CSysInfo::RemoveDirectoryTree(u"\\Temp\\Cache"));
    EXPECT_FALSE(std::filesystem::exists(device.Fs("Temp/Cache/a.xml")));
    CloseHandle(open);
    EXPECT_TRUE(CSysInfo::RemoveDirectoryTree(u"\\Temp\\Cache"));
}

TEST(CSysInfoPaths, DeleteMatchingFilesDeletesOnlyTheMatches) {
    InstalledDevice device;
    device.WriteHostFile(device.Installed("Data/icons.240.por.tmp"), "x");
    device.WriteHostFile(device.Installed("Data/misc.240.por.tmp"), "x");
    device.WriteHostFile(device.Installed("Data/icons.pak"), "x");
    EXPECT_TRUE(CSysInfo::DeleteMatchingFiles(u"%INSTALL_DIR%\\Data\\*.tmp"));
    EXPECT_FALSE(std::filesystem::exists(device.Installed("Data/icons.240.por.tmp")));
    EXPECT_FALSE(std::filesystem::exists(device.Installed("Data/misc.240.por.tmp")));
    EXPECT_TRUE(std::filesystem::exists(device.Installed("Data/icons.pak")));
    EXPECT_TRUE(CSysInfo::DeleteMatchingFiles(u"%INSTALL_DIR%\\Data\\*.none"));
    EXPECT_FALSE(CSysInfo::DeleteMatchingFiles(u"*.tmp")) << "no folder part";
    EXPECT_FALSE(CSysInfo::DeleteMatchingFiles(u"%FOO%\\*.tmp"));
}

FILETIME Ft(LONGLONG ticks) {
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(static_cast<ULONGLONG>(ticks) >> 32)};
}

TEST(CSysInfoTime, DifferencesAndSpansInMilliseconds) {
    const FILETIME a = Ft(130000000000000000LL);
    FILETIME b = a;
    ASSERT_TRUE(CSysInfo::AddToFileTime(&b, 90000));
    EXPECT_EQ(CSysInfo::FileTimeDiff(&b, &a, 1000), 90);
    EXPECT_EQ(CSysInfo::FileTimeDiff(&a, &b, 1000), -90);
    EXPECT_EQ(CSysInfo::FileTimeDiff(&a, &b, 0), 0);
    EXPECT_EQ(CSysInfo::FileTimeDiff(nullptr, &b, 1000), 0);

    SYSTEMTIME evening{2009, 12, 0, 31, 23, 30, 0, 0};
    ASSERT_TRUE(CSysInfo::AddToSystemTime(&evening, 3600000));
    EXPECT_EQ(evening.wYear, 2010);
    EXPECT_EQ(evening.wDay, 1);
    EXPECT_EQ(evening.wHour, 0);
    SYSTEMTIME before{2009, 12, 0, 31, 23, 30, 0, 0};
    EXPECT_EQ(CSysInfo::SystemTimeDiff(&evening, &before, 60000), 60);
}

TEST(CSysInfoTime, ParseTimeReadsTwelveHourTexts) {
    SYSTEMTIME time;
    ASSERT_TRUE(CSysInfo::ParseTime(u"7:05 pm", u"h:m tt", &time));
    EXPECT_EQ(time.wHour * 100 + time.wMinute, 1905);
    ASSERT_TRUE(CSysInfo::ParseTime(u"12:10 am", u"h:m tt", &time));
    EXPECT_EQ(time.wHour * 100 + time.wMinute, 10);
    ASSERT_TRUE(CSysInfo::ParseTime(u"12:45 PM", u"h:m tt", &time));
    EXPECT_EQ(time.wHour * 100 + time.wMinute, 1245);
    EXPECT_FALSE(CSysInfo::ParseTime(u"7:05 pm", u"H:mm", &time));
    EXPECT_FALSE(CSysInfo::ParseTime(u"705 pm", u"h:m tt", &time));
    EXPECT_FALSE(CSysInfo::ParseTime(u"7:05", u"h:m tt", &time));
}

TEST(CSysInfoText, WordBreaksAndCaseInsensitiveSearch) {
    EXPECT_TRUE(CSysInfo::IsWordBreakChar(u' '));
    EXPECT_TRUE(CSysInfo::IsWordBreakChar(u'\u2026'));
    EXPECT_FALSE(CSysInfo::IsWordBreakChar(u'a'));
    EXPECT_FALSE(CSysInfo::IsWordBreakChar(u'7'));
    EXPECT_FALSE(CSysInfo::IsWordBreakChar(u'\u00DC'));
    const char16_t* text = u"Partly\u00A0Cloudy";
    EXPECT_EQ(CSysInfo::FindWordBreak(text), text + 6);
    EXPECT_EQ(CSysInfo::FindWordBreak(u"Sunny"), nullptr);
    const char16_t* city = u"Frankfurt am Main";
    EXPECT_EQ(CSysInfo::FindNoCase(city, u"AM m"), city + 10);
    EXPECT_EQ(CSysInfo::FindNoCase(city, u""), nullptr);
    EXPECT_EQ(CSysInfo::FindNoCase(u"", u"a"), nullptr);
    EXPECT_EQ(CSysInfo::FindNoCase(city, u"Mainz"), nullptr);
}

struct Screen {
    friend void PrintTo(const Screen& screen, std::ostream* out) {
        *out << screen.width << "x" << screen.height << " " << screen.kind;
    }

    const char* width;
    const char* height;
    const char* orientation;
    const char* kind;
    int screenClass;
    int fontSize;
    int scaledTen;
};

class CSysInfoScreen : public ::testing::TestWithParam<Screen> {};

TEST_P(CSysInfoScreen, ClassFontAndScalingFollowTheShorterSide) {
    InstalledDevice device;
    const Screen& screen = GetParam();
    InstalledDevice::SetProfile("screen_width", screen.width);
    InstalledDevice::SetProfile("screen_height", screen.height);
    InstalledDevice::SetProfile("orientation", screen.orientation);
    InstalledDevice::SetProfile("kind", screen.kind);
    CSysInfo info(nullptr);
    EXPECT_EQ(info.GetScreenClass(), screen.screenClass);
    EXPECT_EQ(info.GetBaseFontSize(), screen.fontSize);
    EXPECT_EQ(info.ScaleToScreen(10), screen.scaledTen);
    EXPECT_EQ(info.IsSmartphone(), std::string(screen.kind) == "smartphone");
}

INSTANTIATE_TEST_SUITE_P(Devices, CSysInfoScreen,
                         ::testing::Values(Screen{"240", "320", "portrait", "pocketpc", 240, 26, 10},
                                           Screen{"480", "640", "portrait", "pocketpc", 480, 52, 20},
                                           Screen{"320", "320", "portrait", "pocketpc", 320, 35, 13},
                                           Screen{"320", "240", "landscape", "pocketpc", 240, 26, 10},
                                           Screen{"176", "220", "portrait", "smartphone", 176, 22, 10},
                                           Screen{"240", "320", "portrait", "smartphone", 240, 27, 10}),
                         [](const ::testing::TestParamInfo<Screen>& info) {
                             return std::string(info.param.kind) + info.param.width + "x" + info.param.height;
                         });

TEST(CSysInfoDevice, AspectOrientationAndDataFileNames) {
    InstalledDevice device;
    InstalledDevice::SetProfile("screen_width", "400");
    InstalledDevice::SetProfile("screen_height", "240");
    InstalledDevice::SetProfile("orientation", "landscape");
    CSysInfo info(nullptr);
    EXPECT_EQ(info.GetScreenClass(), 240);
    EXPECT_TRUE(info.IsTallAspect());
    EXPECT_FALSE(info.IsPortrait());

    WCHAR name[MAX_PATH];
    ASSERT_TRUE(info.GetDataFileName(u"icons.pak", name, MAX_PATH, false, false));
    EXPECT_EQ(std::u16string(name), u"\\Program Files\\Skyvane\\Data\\icons.pak");
    ASSERT_TRUE(info.GetDataFileName(u"icons.pak", name, MAX_PATH, true, true));
    EXPECT_EQ(std::u16string(name), u"\\Program Files\\Skyvane\\Data\\icons.240.lan.pak");
    ASSERT_TRUE(info.GetDataFileName(u"icons.pak", name, MAX_PATH, true, false));
    EXPECT_EQ(std::u16string(name), u"\\Program Files\\Skyvane\\Data\\icons.240.pak");
    EXPECT_FALSE(info.GetDataFileName(u"icons.pak", name, 20, false, false));
    EXPECT_FALSE(info.GetDataFileName(u"x", name, MAX_PATH, true, false));
}

struct Turned : IOrientationListener {
    int calls = 0;
    void OnOrientationChanged() override { ++calls; }
};

TEST(CSysInfoDevice, UpdateScreenSizeTellsTheListenerWhenTheScreenTurns) {
    InstalledDevice device;
    CSysInfo info(nullptr);
    Turned listener;
    info.SetOrientationListener(&listener);
    EXPECT_FALSE(info.UpdateScreenSize());
    InstalledDevice::SetProfile("orientation", "landscape");
    EXPECT_TRUE(info.UpdateScreenSize());
    EXPECT_EQ(listener.calls, 1);
    EXPECT_EQ(info.GetScreenClass(), 240) << "the class stays";
}

void SetBaseHue(DWORD hue) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Microsoft\\Color", 0, nullptr, 0, 0, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, u"BaseHue", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&hue), sizeof hue);
    RegCloseKey(key);
}

TEST(CSysInfoDevice, ThemeColourComesFromTheBaseHueOrIsTheFirstGrey) {
    InstalledDevice device;
    EXPECT_EQ(CSysInfo::ThemeColorAt(0), 0x636563u);
    EXPECT_EQ(CSysInfo::ThemeColorAt(32), 0xADAEADu);
    EXPECT_EQ(CSysInfo::ThemeColorAt(160), 0x4A494Au);
    EXPECT_EQ(CSysInfo::ThemeColorAt(255), 0x737173u);
    EXPECT_EQ(CSysInfo::ThemeColorAt(256), 0x3134D6u);
    EXPECT_EQ(CSysInfo::ThemeColorAt(300), 0x31D3C6u);
    EXPECT_EQ(CSysInfo::ThemeColorAt(384), 0xD6B631u);
    EXPECT_EQ(CSysInfo::ThemeColorAt(511), 0x9C34D6u);
    // Every entry as the table has always had it (a digest of all 512, the first again beyond them).
    uint64_t digest = 14695981039346656037u;
    for (DWORD i = 0; i <= CSysInfo::kThemeColorCount; ++i) {
        digest = (digest ^ CSysInfo::ThemeColorAt(i)) * 1099511628211u;
    }
    EXPECT_EQ(digest, 6469894924619771671u);
    for (DWORD i = 0; i < 256; ++i) {
        const COLORREF grey = CSysInfo::ThemeColorAt(i);
        EXPECT_EQ(GetRValue(grey), GetBValue(grey)) << i;
        EXPECT_LE(std::abs(GetGValue(grey) - GetRValue(grey)), 4) << i;
    }

    // Without a base hue the theme is the table's first entry, whatever colour the device reports.
    InstalledDevice::SetProfile("theme_color", "0xD6B631");
    CSysInfo reported(nullptr);
    EXPECT_EQ(reported.GetBaseHue(), 0u);
    EXPECT_EQ(reported.GetColor(0), 0x636563u);

    SetBaseHue(600);
    CSysInfo info(nullptr);
    EXPECT_EQ(info.GetBaseHue(), 344u);
    EXPECT_EQ(info.GetColor(1), 344u);
    EXPECT_EQ(info.GetColor(0), CSysInfo::ThemeColorAt(344));
    SetBaseHue(256);
    info.ReadThemeColor();
    EXPECT_EQ(info.GetColor(0), 0x3134D6u);
}

}  // namespace

namespace {

void SetMachineString(const char16_t* path, const char16_t* name, std::u16string_view value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, 0, nullptr, &key, nullptr), ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(std::u16string(value).c_str()),
                   static_cast<DWORD>((value.size() + 1) * 2));
    RegCloseKey(key);
}

TEST(CSysInfoDevice, DeviceStringNamesKindVersionBrowserDeviceAndLanguage) {
    InstalledDevice device;
    InstalledDevice::SetProfile("kind", "smartphone");
    InstalledDevice::SetProfile("locale", "0x0407");
    SetMachineString(u"Security\\Internet Explorer\\User Agent", u"Custom", u"Mozilla/4.0 (compatible)");
    SetMachineString(u"Ident", u"OrigName", u"pocket_pc");
    CSysInfo info(nullptr);
    WCHAR text[MAX_PATH];
    ASSERT_TRUE(info.GetDeviceString(text, MAX_PATH));
    const std::string value = ce::ToUtf8(text);
    EXPECT_EQ(value.substr(0, 4), "SPH;");
    EXPECT_NE(value.find(";Mozilla;;;0407+"), std::string::npos) << value;
    EXPECT_EQ(value.back(), ';');

    SetMachineString(u"Security\\Internet Explorer\\User Agent", u"CustomBase", u"Opera/9");
    SetMachineString(u"Ident", u"OrigName", u"Falcon");
    SetMachineString(u"System\\Platform", u"OEMString", u"Maker Falcon 2");
    ASSERT_TRUE(info.GetDeviceString(text, MAX_PATH));
    EXPECT_NE(ce::ToUtf8(text).find(";Opera;Falcon;Maker Falcon 2;0407+"), std::string::npos) << ce::ToUtf8(text);
    EXPECT_FALSE(info.GetDeviceString(text, 20)) << "cut device strings are not sent";
    EXPECT_EQ(text[0], u'\0');
}

}  // namespace

namespace {

class CSysInfoTextFit : public ::testing::Test {
protected:
    InstalledDevice device;
    HDC dc = CreateCompatibleDC(nullptr);
    ~CSysInfoTextFit() override { DeleteDC(dc); }

    int Width(std::u16string_view text) {
        SIZE size{};
        GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
        return size.cx;
    }
    std::u16string Fit(const char16_t* text, int width, int size = 64) {
        std::u16string output(static_cast<size_t>(size), u'?');
        const RECT rect{10, 0, 10 + width, 20};
        EXPECT_TRUE(CSysInfo::FitTextEllipsis(text, output.data(), size, dc, &rect));
        return std::u16string(output.c_str());
    }
};

TEST_F(CSysInfoTextFit, CutsWithEllipsisAndNeverToANegativeCount) {
    const char16_t* city = u"Frankfurt am Main";
    ASSERT_GT(Width(u"..."), 2);
    EXPECT_EQ(Fit(city, Width(city)), city);
    EXPECT_EQ(Fit(city, Width(u"Frank...")), u"Frank...");
    EXPECT_EQ(Fit(city, Width(u"...")), u"...");
    EXPECT_EQ(Fit(city, Width(u"...") - 2), u"...") << "narrower than the dots";
    EXPECT_EQ(Fit(city, 0), u"...");
    EXPECT_EQ(Fit(city, Width(city), 8), u"Fran...") << "the output size bounds the copy";
    WCHAR small[3];
    const RECT rect{0, 0, 1000, 20};
    EXPECT_FALSE(CSysInfo::FitTextEllipsis(city, small, 3, dc, &rect));
}

TEST_F(CSysInfoTextFit, BoldFontKeepsTheSizeOfTheGivenFont) {
    LOGFONTW description{};
    description.lfHeight = -17;
    HFONT normal = CreateFontIndirectW(&description);
    HFONT bold = CSysInfo::CreateBoldFont(normal);
    ASSERT_NE(bold, nullptr);
    LOGFONTW read{};
    ASSERT_NE(GetObjectW(bold, sizeof read, &read), 0);
    EXPECT_EQ(read.lfWeight, FW_BOLD);
    EXPECT_EQ(read.lfHeight, -17);
    HFONT system = CSysInfo::CreateBoldFont(nullptr);
    EXPECT_NE(system, nullptr);
    DeleteObject(system);
    DeleteObject(bold);
    DeleteObject(normal);
}

}  // namespace

namespace {

TEST(CSysInfoPaths, SpecialFolderMacrosComeFromTheShell) {
    InstalledDevice device;
    WCHAR windows[MAX_PATH];
    ASSERT_TRUE(SHGetSpecialFolderPath(nullptr, windows, CSIDL_WINDOWS, FALSE));
    std::u16string folder(windows);
    if (!folder.empty() && folder.back() == u'\\') {
        folder.pop_back();
    }
    EXPECT_EQ(Expanded(u"%WINDOWS%\\wceload.exe"), folder + u"\\wceload.exe");
    EXPECT_EQ(Expanded(u"%windows_help%\\x.htm"), folder + u"\\Help\\x.htm");
    EXPECT_NE(Expanded(u"%PROGRAM_FILES%"), u"<failed>");
}

TEST(CSysInfoWindows, HelpersRefuseMissingWindowsAndUrls) {
    InstalledDevice device;
    EXPECT_FALSE(CSysInfo::OpenUrl(nullptr));
    EXPECT_EQ(CSysInfo::GetDlgItemWidth(nullptr, 1), 0);
    EXPECT_EQ(CSysInfo::GetDlgItemHeight(nullptr, 1), 0);
    EXPECT_FALSE(CSysInfo::SetLeftSoftKey(nullptr, true, u"Done", 1));
}

}  // namespace
