// The system message box: a modal dialog with the text and the buttons of its type.
#include <vector>

#include "user/ScreenLayout.h"
#include "user/UserInternal.h"

using namespace ce::detail;

namespace {

struct BoxContent {
    std::u16string text;
    std::vector<std::pair<int, const char16_t*>> buttons;
};

std::vector<std::pair<int, const char16_t*>> ButtonsOf(UINT type) {
    switch (type & 0xF) {
    case MB_OKCANCEL:
        return {{IDOK, u"OK"}, {IDCANCEL, u"Cancel"}};
    case MB_YESNOCANCEL:
        return {{IDYES, u"Yes"}, {IDNO, u"No"}, {IDCANCEL, u"Cancel"}};
    case MB_YESNO:
        return {{IDYES, u"Yes"}, {IDNO, u"No"}};
    default:
        return {{IDOK, u"OK"}};
    }
}

INT_PTR CALLBACK BoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* content = reinterpret_cast<BoxContent*>(lParam);
        RECT client;
        GetClientRect(dialog, &client);
        LONG buttonHeight = GetSystemMetrics(SM_CYMENU);
        CreateWindowExW(0, u"Static", content->text.c_str(), WS_CHILD | WS_VISIBLE | SS_CENTER, 6, 6,
                        client.right - 12, client.bottom - buttonHeight - 18, dialog, reinterpret_cast<HMENU>(-1),
                        nullptr, nullptr);
        LONG count = static_cast<LONG>(content->buttons.size());
        LONG width = (client.right - 6 * (count + 1)) / count;
        for (LONG i = 0; i < count; ++i) {
            const auto& [id, label] = content->buttons[static_cast<size_t>(i)];
            CreateWindowExW(0, u"Button", label, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                            6 + i * (width + 6), client.bottom - buttonHeight - 6, width, buttonHeight, dialog,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        }
        return TRUE;
    }
    if (message == WM_COMMAND && LOWORD(wParam) >= IDOK && LOWORD(wParam) <= IDNO) {
        bool single = GetDlgItem(dialog, IDCANCEL) == nullptr && LOWORD(wParam) == IDCANCEL;
        EndDialog(dialog, single ? IDOK : LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

extern "C" CE_API int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    BoxContent content{text ? text : u"", ButtonsOf(type)};
    // A template with no items, centred on the work area; the procedure adds the text and buttons.
    std::vector<WORD> words(32, 0);
    DWORD style = WS_POPUP | WS_CAPTION | DS_CENTER;
    words[0] = static_cast<WORD>(style), words[1] = static_cast<WORD>(style >> 16);
    RECT work = ScreenLayout::WorkArea();
    words[7] = static_cast<WORD>((work.right - work.left - 16) * 4 / 5);  // cx in dialog units
    words[8] = static_cast<WORD>(60);
    size_t at = 9;
    words[at++] = 0;  // no menu
    words[at++] = 0;  // the dialog class
    for (const char16_t* c = caption ? caption : u"Error"; *c && at < 30; ++c) {
        words[at++] = *c;
    }
    words[at++] = 0;
    return static_cast<int>(DialogBoxIndirectParamW(nullptr, reinterpret_cast<LPCDLGTEMPLATEW>(words.data()), owner,
                                                    BoxProc, reinterpret_cast<LPARAM>(&content)));
}
