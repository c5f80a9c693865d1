// What the program-update tests share: a device with the program's language files, the installer
// stand-in in \Windows and the update server's name pointed at the weather server on loopback; and the
// screens of a check played by a script, running the download jobs on a worker thread as the download
// dialogs do.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "CBitmapDC.h"
#include "CLocalization.h"
#include "CMemoryController.h"
#include "CSysInfo.h"
#include "InstalledDevice.h"
#include "Weather/COnlineUpdateMgr.h"
#include "Weather/IOnlineUpdateScreens.h"
#include "WeatherServerProcess.h"
#include "ce/com.h"
#include "ce/connmgr.h"
#include "ce/device.h"

namespace ce::test {

// A 16-bit picture of one colour.
inline bool FillPicture(CBitmapDC& picture, COLORREF colour, int width = 240, int height = 268) {
    if (!picture.Create(width, height, 16)) {
        return false;
    }
    HBRUSH brush = CreateSolidBrush(colour);
    RECT all = {0, 0, width, height};
    FillRect(picture.DC(), &all, brush);
    DeleteObject(brush);
    return true;
}

// The colour of a 16-bit DIB's first pixel, widened back to 8 bits a channel.
inline COLORREF FirstPixel(HBITMAP bitmap) {
    BITMAP info = {};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof info, &info) == 0 || info.bmBits == nullptr ||
        info.bmBitsPixel != 16) {
        return 0xFFFFFFFF;
    }
    const WORD pixel = *static_cast<const WORD*>(info.bmBits);
    const int red = (pixel >> 11) & 0x1F;
    const int green = (pixel >> 5) & 0x3F;
    const int blue = pixel & 0x1F;
    return RGB(red * 255 / 31, green * 255 / 63, blue * 255 / 31);
}

// The window that a check runs over, and its screen as a picture of one colour.
class OwnerScreen : public UserInterface::IDlgScreenCapture {
public:
    explicit OwnerScreen(COLORREF colour) {
        window = CreateWindowExW(0, u"STATIC", u"", WS_POPUP | WS_VISIBLE, 0, 26, 240, 268, nullptr, nullptr,
                                 nullptr, nullptr);
        EXPECT_NE(window, nullptr);
        EXPECT_TRUE(FillPicture(picture, colour));
    }
    ~OwnerScreen() {
        if (window != nullptr) {
            DestroyWindow(window);
        }
    }
    HBITMAP CaptureScreen() override { return capturable ? picture.Bitmap() : nullptr; }
    int GetCaptureWidth() override { return picture.Width(); }
    int GetCaptureHeight() override { return picture.Height(); }

    HWND window = nullptr;
    CBitmapDC picture;
    bool capturable = true;
};

// Stands for one dialog of the check: opens with the check's transition, ends with a result and closes
// with it, as a dialog of the framework does, drawing one colour.
inline void PlayDialog(COnlineUpdateMgr& check, COLORREF colour, int result) {
    UserInterface::CSmartDialog dialog;
    CBitmapDC own;
    CBitmapDC screen;
    if (!FillPicture(own, colour) || !FillPicture(screen, 0)) {
        return;
    }
    UserInterface::CSmartDialog::TransitionInfo transition = check.GetTransition();
    check.SetShownDialog(&dialog);
    transition.openingEffect->Play(screen.DC(), 0, 0, own.Width(), own.Height(), nullptr, own.DC(), 0, 0);
    dialog.EndDialog(result);
    transition.closingEffect->Play(screen.DC(), 0, 0, own.Width(), own.Height(), own.DC(), screen.DC(), 0, 0);
    check.SetShownDialog(nullptr);
}

class ScriptedScreens : public IOnlineUpdateScreens {
public:
    int askAnswer = 1;
    int connectionAnswer = 1;
    GUID connection = IID_DestNetInternet;
    int offerAnswer = 1;
    int selectAnswer = 1;
    int selectRow = 0;
    // The user aborts each download once the request went out, or once abortWhen says so.
    bool abortDownloads = false;
    std::function<bool()> abortWhen;
    // When set, each screen plays its transitions with the check, in the colour of its turn (1, 2, 3...).
    COnlineUpdateMgr* check = nullptr;
    // The colour of the picture below each screen when it opened, in order.
    std::vector<COLORREF> below;

    // What the check showed, in order: "ask", "connection", "catalog job", "package job", "offer NAME",
    // "select COUNT", "message TEXT" (with " +support" when the link line was asked).
    std::vector<std::string> shown;

    int AskAutomaticCheck(LPCWSTR) override {
        shown.push_back("ask");
        return Played(askAnswer);
    }
    int ChooseConnection(GUID* destination) override {
        shown.push_back("connection");
        *destination = connection;
        return Played(connectionAnswer);
    }
    int RunDownloadJob(DownloadKind kind, LPCWSTR, const CDelegate& job, unsigned* jobResult) override {
        shown.push_back(kind == kCatalogQuery ? "catalog job" : "package job");
        CMemoryController controller;
        requestSent_ = false;
        CDelegate progress(&OnProgress, reinterpret_cast<INT_PTR>(this));
        std::atomic<int> result{-1};
        std::thread worker([&] {
            result = job.Invoke(reinterpret_cast<INT_PTR>(&progress), reinterpret_cast<INT_PTR>(&controller));
        });
        if (abortDownloads) {
            for (int i = 0; i < 2000 && !requestSent_ && !(abortWhen && abortWhen()); ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            controller.ReleaseAll();
        }
        worker.join();
        *jobResult = abortDownloads ? 3u : static_cast<unsigned>(result.load());
        return Played(*jobResult == 0 ? 1 : 3);
    }
    int OfferProduct(const CProductInfo& product) override {
        shown.push_back("offer " + ce::ToUtf8(product.GetDisplayText(CProductInfo::kName, u"English")));
        return Played(offerAnswer);
    }
    int SelectProduct(const COnlineUpdateCatalog& catalog, int* selected) override {
        shown.push_back("select " + std::to_string(catalog.GetCount()));
        *selected = selectRow;
        return Played(selectAnswer);
    }
    int ShowMessage(LPCWSTR text, bool withSupportLink) override {
        shown.push_back("message " + ce::ToUtf8(text) + (withSupportLink ? " +support" : ""));
        return Played(1);
    }

    // The colour of a screen's turn (1, 2, ...); each survives the 16-bit picture unchanged.
    static COLORREF TurnColour(size_t turn) {
        static const COLORREF kColours[] = {RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(0, 0, 255),    RGB(255, 255, 0),
                                            RGB(255, 0, 255), RGB(0, 255, 255), RGB(255, 255, 255)};
        return kColours[(turn - 1) % 7];
    }

private:
    int Played(int result) {
        if (check != nullptr) {
            below.push_back(FirstPixel(check->CaptureScreen()));
            PlayDialog(*check, TurnColour(below.size()), result);
        }
        return result;
    }

    static int OnProgress(INT_PTR code, INT_PTR, INT_PTR, INT_PTR, INT_PTR, INT_PTR context) {
        if (code == 2) {
            reinterpret_cast<ScriptedScreens*>(context)->requestSent_ = true;
        }
        return 0;
    }

    std::atomic<bool> requestSent_{false};
};

class UpdateDevice : public InstalledDevice {
public:
    static constexpr const char* kUpdateHost = "update.skyvane.example";

    explicit UpdateDevice(int serverPort) {
        std::filesystem::create_directories(Fs("Windows"));
        std::filesystem::create_directories(InstallFolder("Loc"));
        std::filesystem::create_symlink(CE_INSTALLER_PROGRAM, Fs("Windows/wceload.exe"));
        std::filesystem::copy_file(std::string(CE_TEST_BINARY_DIR) + "/data/Loc/loc.0409.txt",
                                   InstallFolder("Loc/loc.0409.txt"));
        ce::SetProfileString("hosts", kUpdateHost, "127.0.0.1:" + std::to_string(serverPort));
        ce::ReloadProfile();
        EXPECT_TRUE(CLocalization::Global().Load(CLocalization::kEnglish));
        EXPECT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        sysInfo_ = std::make_unique<CSysInfo>(nullptr);
        g_pSysInfo = sysInfo_.get();
    }
    ~UpdateDevice() {
        g_pSysInfo = nullptr;
        CoUninitialize();
    }

    // The installer's log lines once one of them holds the text (at most 20 s).
    std::vector<std::string> InstallerLogWith(const std::string& text) const {
        for (int i = 0; i < 2000; ++i) {
            std::vector<std::string> lines = ce::ReadDeviceLog("installer");
            for (const std::string& line : lines) {
                if (line.find(text) != std::string::npos) {
                    return lines;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return ce::ReadDeviceLog("installer");
    }

    static std::string Text(const char* key) {
        LPCWSTR text = LoadLocalizedString(key);
        return text != nullptr ? ce::ToUtf8(text) : std::string("<no text of ") + key + ">";
    }

private:
    std::unique_ptr<CSysInfo> sysInfo_;
};

}  // namespace ce::test
