// A device with the program's sprite library and its two built skin packages installed, its device
// information made, and a loaded skin that is the process's skin while it lives.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "CSysInfo.h"
#include "DrawingHelpers.h"
#include "InstalledDevice.h"
#include "Skin/CApplicationSkin.h"
#include "Skin/SpriteLibraryLoader.h"
#include "ce/device.h"

namespace skin_test {

inline void SetBaseHue(DWORD hue) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Microsoft\\Color", 0, nullptr, 0, 0, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, u"BaseHue", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&hue), sizeof hue);
    RegCloseKey(key);
}

inline void SetScreen(int width, int height) {
    ASSERT_TRUE(ce::SetProfileString("device", "screen_width", std::to_string(width)));
    ASSERT_TRUE(ce::SetProfileString("device", "screen_height", std::to_string(height)));
    ce::ReloadProfile();
}

class SkinDevice : public ce::test::InstalledDevice {
public:
    // baseHue 384 is a coloured (blue) theme; up to 255 the theme is grey.
    explicit SkinDevice(DWORD baseHue = 384, int screenWidth = 240, int screenHeight = 320) {
        SetScreen(screenWidth, screenHeight);
        SetBaseHue(baseHue);
        std::filesystem::create_symlink(PICTORRA_DLL, InstallFolder("Pictorra.dll"));
        std::filesystem::create_directories(InstallFolder("Data"));
        for (const char* name : {"icons.pak", "misc.pak"}) {
            std::filesystem::copy_file(std::string(CE_SKIN_DIR) + "/" + name, InstallFolder(std::string("Data/") + name));
        }
        sysInfo_ = std::make_unique<CSysInfo>(GetModuleHandleW(nullptr));
        g_pSysInfo = sysInfo_.get();
        EXPECT_TRUE(LoadSpriteLibrary());
    }
    ~SkinDevice() {
        UnloadSkin();
        g_pSysInfo = nullptr;
        FreeSpriteLibrary();
    }

    // Made the process's skin and loaded; false when it did not load.
    bool LoadSkin() {
        skin_ = std::make_unique<CApplicationSkin>();
        g_pApplicationSkin = skin_.get();
        UserInterface::g_pDlgControlImages = skin_.get();
        return skin_->Load();
    }
    void UnloadSkin() {
        UserInterface::g_pDlgControlImages = nullptr;
        g_pApplicationSkin = nullptr;
        skin_.reset();
    }
    CApplicationSkin& Skin() { return *skin_; }
    CSysInfo& SysInfo() { return *sysInfo_; }

private:
    std::unique_ptr<CSysInfo> sysInfo_;
    std::unique_ptr<CApplicationSkin> skin_;
};

// A 16-bit 5-6-5 drawing surface filled with one colour, read back as COLORREF.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill) : width_(width), height_(height) {
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDibBitmap(width, height, 16);
        old_ = SelectObject(dc_, bitmap_);
        Fill(fill);
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    void Fill(COLORREF color) {
        HBRUSH brush = CreateSolidBrush(color);
        RECT all{0, 0, width_, height_};
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }
    HDC Dc() const { return dc_; }
    COLORREF At(int x, int y) const {
        GdiFlush();
        return GetPixel(dc_, x, y);
    }

private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

// Colours compared with room for the 5-6-5 surface.
inline bool Near(COLORREF a, COLORREF b, int tolerance = 10) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}
inline bool IsGrey(COLORREF c, int tolerance = 10) {
    return std::abs(GetRValue(c) - GetGValue(c)) <= tolerance && std::abs(GetGValue(c) - GetBValue(c)) <= tolerance;
}
inline int Brightness(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); }

}  // namespace skin_test
