// The Today item's options dialog (resource 500, procedure at ordinal 241): days or parts of the day,
// large or small pictures. A changed choice is saved and every Today item told to reload.
#pragma once

#include "ce/user.h"

class TodayOptionsDialog {
public:
    static constexpr int kDialogId = 500;
    // The soft-key bar of the dialog (RT_RCDATA): one key, Done.
    static constexpr int kDoneBarId = 501;
    static constexpr int kCheckLargeIcons = 1006;
    static constexpr int kTitle = 1007;
    static constexpr int kLabel = 1008;
    static constexpr int kViewList = 1009;

    static INT_PTR CALLBACK CustomItemOptionsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    // The dialog template: a full-screen dialog with the four controls.
    static const void* Template();
    static DWORD TemplateSize();
    // The bar resource: no menu, one key with the command IDOK; its caption is set when it is shown.
    static const void* DoneBar();
    static DWORD DoneBarSize();
    // The layout that the list index (0 parts of the day, 1 days) and the check box give.
    static DWORD LayoutFor(int listIndex, bool largeIcons);

private:
    static void Initialize(HWND dialog);
    static void CreateDoneBar(HWND dialog);
    static void Arrange(HWND dialog);
    static void FitTitle(HWND dialog, int width);
    static void SetTitleFont(HWND dialog, HFONT font);
    static void PaintRule(HWND dialog);
    static void Accept(HWND dialog);
};
