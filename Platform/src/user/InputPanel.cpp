#include "user/InputPanel.h"

#include <string_view>

#include "shell/ShellState.h"
#include "user/ScreenLayout.h"
#include "user/UserInternal.h"

namespace ce::detail {
namespace {

constexpr int kRows = 4;
constexpr int kColumns = 10;
constexpr char16_t kBackspace = u'\b';
// One row of the keyboard a line; the backspace key ends the third row.
constexpr std::u16string_view kLayout[kRows] = {u"1234567890", u"qwertyuiop", u"asdfghjkl\b", u"zxcvbnm,. "};

// What a key shows: its character, or a sign for the keys whose character cannot be seen.
std::u16string_view Label(int row, int column) {
    std::u16string_view key = kLayout[row].substr(static_cast<size_t>(column), 1);
    if (key[0] == kBackspace) {
        return u"\u2190";  // leftwards arrow
    }
    return key[0] == u' ' ? u"\u2423" : key;  // open box
}

}  // namespace

RECT InputPanel::KeyRect(int row, int column) {
    RECT panel = ScreenLayout::InputPanel();
    LONG keyWidth = (panel.right - panel.left) / kColumns, keyHeight = (panel.bottom - panel.top) / kRows;
    return RECT{panel.left + column * keyWidth + 1, panel.top + row * keyHeight + 1,
                panel.left + (column + 1) * keyWidth - 1, panel.top + (row + 1) * keyHeight - 1};
}

InputPanel::Key InputPanel::KeyOf(int row, int column) {
    char16_t character = kLayout[row][static_cast<size_t>(column)];
    return character == kBackspace ? Key{0, VK_BACK} : Key{character, 0};
}

void InputPanel::Draw(HDC screen) {
    RECT panel = ScreenLayout::InputPanel();
    FillRect(screen, &panel, GetSysColorBrush(COLOR_BTNSHADOW));
    SetBkMode(screen, TRANSPARENT);
    SetTextColor(screen, RGB(0, 0, 0));
    HGDIOBJ oldFont = SelectObject(screen, GetStockObject(SYSTEM_FONT));
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            RECT key = KeyRect(row, column);
            FillRect(screen, &key, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            std::u16string_view label = Label(row, column);
            DrawTextW(screen, label.data(), static_cast<int>(label.size()), &key,
                      DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
        }
    }
    SelectObject(screen, oldFont);
}

bool InputPanel::Covers(POINT screen) {
    return ShellState::InputPanelUp() && PointIn(ScreenLayout::InputPanel(), screen);
}

bool InputPanel::KeyAt(POINT screen, Key* key) {
    if (!Covers(screen)) {
        return false;
    }
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            if (PointIn(KeyRect(row, column), screen)) {
                *key = KeyOf(row, column);
                return true;
            }
        }
    }
    return false;
}

}  // namespace ce::detail
