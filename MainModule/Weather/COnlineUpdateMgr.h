// One check for a new version of the program, run from a screen: asks first when the check started by
// itself, lets the user choose the connection, queries the update catalog, offers what it found, checks
// the free space, downloads the chosen package into "\Temp\Skyvane.arm.cab" and hands it to the system
// installer. The screens of the check come through IOnlineUpdateScreens.
//
// The manager is also the transition of every dialog of the check: a dialog that ends with one of the
// results that lead straight on to the next step leaves its last picture behind, and the next dialog or
// message opens from that picture instead of the screen below.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "CBitmapDC.h"
#include "UserInterface/CGenericEffect.h"
#include "UserInterface/CSmartDialog.h"
#include "UserInterface/IDlgScreenCapture.h"
#include "Weather/COnlineUpdateCatalog.h"
#include "Weather/IOnlineUpdateScreens.h"
#include "Weather/OnlineUpdateRequests.h"

class COnlineUpdateMgr : public UserInterface::CGenericEffect, public UserInterface::IDlgScreenCapture {
public:
    // What a check came to. The main window counts a check that read the catalog as done.
    enum Outcome {
        kOutcomeNothing = 0,          // declined, cancelled, aborted or failed
        kOutcomeCatalogRead = 1,      // the catalog was read, but nothing was handed to the installer
        kOutcomeInstallerStarted = 2  // a package was downloaded and the installer took it
    };
    static constexpr LPCWSTR kTempFolder = u"\\Temp";
    static constexpr LPCWSTR kPackageFile = u"\\Temp\\Skyvane.arm.cab";
    static constexpr LPCWSTR kInstaller = u"%WINDOWS%\\wceload.exe";
    static constexpr int kTransitionKind = 2;

    COnlineUpdateMgr() = default;
    COnlineUpdateMgr(const COnlineUpdateMgr&) = delete;
    COnlineUpdateMgr& operator=(const COnlineUpdateMgr&) = delete;
    ~COnlineUpdateMgr() override;

    // One whole check over the owner window, whose screen the capture draws; does nothing
    // (kOutcomeNothing) without an owner, its capture or screens. One check per object.
    unsigned CheckForUpdates(HWND owner, UserInterface::IDlgScreenCapture* ownerScreen, IOnlineUpdateScreens* screens,
                             bool automatic);

    // For the screens: what each dialog of the check runs with, and which dialog shows now.
    UserInterface::CSmartDialog::TransitionInfo GetTransition();
    void SetShownDialog(UserInterface::CSmartDialog* dialog) { m_shown = dialog; }
    // The results with which the dialog now shown leads straight on to the next step.
    const std::vector<unsigned>& GetHandOverResults() const { return m_handOver; }

    // The check's transition: keeps the picture of a dialog that ended with a hand-over result and plays
    // nothing; opens a dialog from the kept picture; otherwise blends between the given pictures.
    bool Play(HDC target, int x, int y, int width, int height, HDC from, HDC to, int srcX, int srcY) override;
    // The kept picture, as the screen below the check's dialogs.
    HBITMAP CaptureScreen() override { return m_picture.Bitmap(); }
    int GetCaptureWidth() override { return m_picture.Width(); }
    int GetCaptureHeight() override { return m_picture.Height(); }

    // The free bytes that the program may use on the device's main file system.
    static ULONGLONG FreeBytes();
    // The message for a package that does not fit: the template filled with its size and unit.
    static std::u16string NotEnoughSpaceText(DWORD packageSize);

private:
    unsigned RunCheck(bool automatic);
    bool TakeOwnerPicture();
    bool KeepPicture(HDC from, int srcX, int srcY, int width, int height);
    bool QueryCatalog(const GUID& destination);
    // True for 1; a screen that could not be made (a negative answer) says so before the check ends.
    bool Confirmed(int answer);
    const CProductInfo* ChooseProduct();
    bool FitsFreeSpace(const CProductInfo& product);
    bool DownloadPackage(const GUID& destination, const CProductInfo& product);
    // Hands the package to the installer and waits for it; false when it could not start or refused it.
    bool RunInstaller();
    // Shows the message of a download dialog that did not end with 1; after an abort only the way back
    // to the owner's screen.
    void ReportJobFailure(unsigned jobResult);
    void PlayClosingTransition();
    void ShowMessage(const char* key, bool withSupportLink = false);
    void ShowText(const std::u16string& text, bool withSupportLink);
    // Runs one screen of the check with its hand-over results.
    template <class Screen>
    int RunScreen(std::initializer_list<unsigned> handOver, Screen screen);
    void Cleanup(bool keepPackage);

    HWND m_owner = nullptr;
    UserInterface::IDlgScreenCapture* m_ownerScreen = nullptr;
    IOnlineUpdateScreens* m_screens = nullptr;
    UserInterface::CSmartDialog* m_shown = nullptr;
    std::vector<unsigned> m_handOver;
    CBitmapDC m_picture;
    COnlineUpdateCatalog m_catalog;
    bool m_catalogRead = false;
};
