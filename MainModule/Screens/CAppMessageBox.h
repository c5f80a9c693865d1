// The program's own modal message box: a screen with an optional heading over a rule, the message,
// and an optional link, ended by its soft keys with the key's command as the result.
#pragma once

#include <string>

#include "Screens/CAppBasicDialog.h"
#include "UserInterface/CDlgLayout.h"

// A link under the message: its text and the address it opens.
struct MessageBoxLink {
    std::u16string text;
    std::u16string address;
};

class CAppMessageBox : public CAppBasicDialog {
public:
    static constexpr int kHeadingId = 1;
    static constexpr int kSeparatorId = 2;
    static constexpr int kMessageId = 3;
    static constexpr int kLinkId = 4;
    // Results of the keys.
    static constexpr int kDone = IDOK;
    static constexpr int kCancel = IDCANCEL;
    static constexpr int kYes = IDYES;
    static constexpr int kNo = IDNO;

    CAppMessageBox() = default;
    ~CAppMessageBox() override = default;

    // Each fills the box that it is handed (not yet run) and runs it: the key's command, 2 when the
    // keys' captions are missing, 0 without a message. The heading and the link may be null or empty.
    static INT_PTR DoModalDone(CAppMessageBox& box, HWND parent, LPCWSTR text, LPCWSTR heading,
                               const MessageBoxLink* link);
    static INT_PTR DoModalDoneOverDialog(CAppMessageBox& box, UserInterface::CSmartDialog* parent,
                                         UserInterface::IDlgScreenCapture* capture, LPCWSTR text, LPCWSTR heading,
                                         const MessageBoxLink* link);
    static INT_PTR DoModalDoneOverParentDialog(CAppMessageBox& box, UserInterface::CSmartDialog* parent, LPCWSTR text,
                                               LPCWSTR heading, const MessageBoxLink* link);
    static INT_PTR DoModalDoneCancel(CAppMessageBox& box, HWND parent, LPCWSTR text, LPCWSTR heading,
                                     const MessageBoxLink* link);
    static INT_PTR DoModalYesNo(CAppMessageBox& box, HWND parent, LPCWSTR text, LPCWSTR heading,
                                const MessageBoxLink* link);
    static INT_PTR DoModalYesNoOverParentDialog(CAppMessageBox& box, UserInterface::CSmartDialog* parent,
                                                LPCWSTR text, LPCWSTR heading, const MessageBoxLink* link);

    // What a box over a window opens from: with the window's transition (SetWindowTransition) it blends
    // in from this picture and back out to it. None by default.
    void SetScreenBelow(UserInterface::IDlgScreenCapture* capture) { m_screenBelow = capture; }
    // The line under a message that leads to support: the localized link text and address.
    static MessageBoxLink SupportLink();

    BOOL OnInitControls() override;
    BOOL OnDialogCommand(int id, int code, HWND window) override;
    // The action key takes the left soft key, unless the focused control (the link) takes it.
    BOOL OnKey(UINT key, BOOL down) override;

    // The box's rows; a link wider than the screen (an address has no place to break) takes a smaller
    // font until it fits, down to a least height, before the rows are placed.
    class CAppMessageBoxLayout : public UserInterface::CDlgLayout {
    public:
        void Arrange() override;
        // The least character height in pixels of the 240 screen class that the link shrinks to.
        static constexpr int kLeastLinkHeight = 9;

    private:
        void FitLink(UserInterface::CDlgControl* link, int room);
        void SetLinkHeight(UserInterface::CDlgControl* link, LONG height);

        LOGFONTW m_linkFont{};  // the link's own font, before any fitting
        bool m_hasLinkFont = false;
    };

protected:
    UserInterface::CDlgLayout* CreateLayout() override;

private:
    enum class Keys { kDone, kDoneCancel, kYesNo };
    // What the box opens over: a window, or a dialog with the picture of its screen.
    struct Parent {
        HWND window = nullptr;
        UserInterface::CSmartDialog* dialog = nullptr;
        UserInterface::IDlgScreenCapture* capture = nullptr;
        bool overDialog = false;
    };
    static Parent OverWindow(HWND window) { return Parent{window, nullptr, nullptr, false}; }
    static Parent OverDialog(UserInterface::CSmartDialog* dialog) {
        return Parent{nullptr, dialog, dialog != nullptr ? dialog->GetScreenCapture() : nullptr, true};
    }

    static INT_PTR Show(CAppMessageBox& box, Keys keys, const Parent& parent, LPCWSTR text, LPCWSTR heading,
                        const MessageBoxLink* link);
    bool IsKeyCommand(int id);

    std::u16string m_text;
    std::u16string m_heading;
    MessageBoxLink m_link;
    UserInterface::IDlgScreenCapture* m_screenBelow = nullptr;
};
