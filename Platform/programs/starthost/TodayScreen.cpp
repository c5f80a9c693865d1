#include "TodayScreen.h"

#include <algorithm>

#include "ce/module.h"

namespace {

std::string Narrow(const std::u16string& text) {
    std::string result;
    for (char16_t c : text) {
        result += c < 0x80 ? static_cast<char>(c) : '?';
    }
    return result;
}

void CopyBounded(WCHAR* target, size_t capacity, const std::u16string& text) {
    size_t count = std::min(text.size(), capacity - 1);
    std::copy_n(text.begin(), count, target);
    target[count] = 0;
}

}  // namespace

TodayScreen::~TodayScreen() {
    if (Window() != nullptr) {
        DestroyWindow(Window());  // unloads the items while the screen still exists
    }
}

void TodayScreen::Load() {
    for (const TodayItemEntry& entry : TodayItemRegistry::ReadEnabledCustomItems()) {
        LoadItem(entry);
    }
}

void TodayScreen::LoadItem(const TodayItemEntry& entry) {
    auto item = std::make_unique<Item>();
    TODAYLISTITEM& record = item->record;
    CopyBounded(record.szName, MAX_ITEMNAME, entry.name);
    CopyBounded(record.szDLLPath, MAX_PATH, entry.dll);
    record.tlit = tlitCustom;
    record.dwOrder = entry.order;
    record.fEnabled = TRUE;
    record.fOptions = entry.options ? TRUE : FALSE;
    item->selectability = entry.selectability;

    item->module = LoadLibraryW(record.szDLLPath);
    if (item->module == nullptr) {
        Log("load", Narrow(entry.name), "library not loaded (error " + std::to_string(GetLastError()) + ")");
        return;
    }
    auto initialize = ce::ProcAs<PFNCUSTOMINITIALIZEITEM>(
        GetProcAddressW(item->module, MAKEINTRESOURCEW(ORDINAL_INITIALIZEITEM)));
    record.hinstDLL = item->module;
    record.hwndCustom = initialize != nullptr ? initialize(&record, Window()) : nullptr;
    if (record.hwndCustom == nullptr) {
        Log("load", Narrow(entry.name), initialize == nullptr ? "no export 240" : "the item made no window");
        FreeLibrary(item->module);
        return;
    }
    SendMessageW(record.hwndCustom, WM_TODAYCUSTOM_QUERYREFRESHCACHE, reinterpret_cast<WPARAM>(&record), 0);
    Log("load", Narrow(entry.name), "ok");
    items_.push_back(std::move(item));
}

void TodayScreen::Unload() {
    for (const std::unique_ptr<Item>& item : items_) {
        if (IsWindow(item->record.hwndCustom)) {
            DestroyWindow(item->record.hwndCustom);
        }
        FreeLibrary(item->module);
    }
    items_.clear();
    selected_ = -1;
}

void TodayScreen::Arrange(const RECT& client) {
    int top = client.top;
    for (const std::unique_ptr<Item>& item : items_) {
        const int height = static_cast<int>(item->record.cyp);
        SetWindowPos(item->record.hwndCustom, nullptr, client.left, top, client.right - client.left, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        top += height;
    }
}

void TodayScreen::Paint(HDC dc, const RECT& client) {
    HBRUSH background = CreateSolidBrush(GetSysColor(COLOR_WINDOW));
    FillRect(dc, &client, background);
    DeleteObject(background);
}

void TodayScreen::DrawWatermark(const TODAYDRAWWATERMARKINFO* info) {
    HBRUSH background = CreateSolidBrush(GetSysColor(COLOR_WINDOW));
    FillRect(info->hdc, &info->rc, background);
    DeleteObject(background);
}

COLORREF TodayScreen::Color(WPARAM which) const {
    switch (which) {
    case TODAYCOLOR_HIGHLIGHT:
        return GetSysColor(COLOR_HIGHLIGHT);
    case TODAYCOLOR_HIGHLIGHTEDTEXT:
        return GetSysColor(COLOR_HIGHLIGHTTEXT);
    case TODAYCOLOR_TEXT:
    default:
        return GetSysColor(COLOR_WINDOWTEXT);
    }
}

int TodayScreen::IndexOf(HWND window) const {
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i]->record.hwndCustom == window) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void TodayScreen::TookSelection(HWND window) {
    const int index = IndexOf(window);
    if (index >= 0 && index != selected_) {
        if (selected_ >= 0) {
            SendMessageW(items_[selected_]->record.hwndCustom, WM_TODAYCUSTOM_LOSTSELECTION, 0, 0);
        }
        selected_ = index;
    }
    SetFocus(Window());  // keys keep coming to the screen, which hands them on
}

// Moves the selection to an item that takes it; the one that had it is told.
void TodayScreen::Select(int index, UINT key) {
    if (index < 0 || index >= static_cast<int>(items_.size()) || index == selected_ ||
        items_[index]->selectability == 0) {
        return;
    }
    HWND window = items_[index]->record.hwndCustom;
    if (items_[index]->selectability == 2 && SendMessageW(window, WM_TODAYCUSTOM_RECEIVEDSELECTION, key, 0) == 0) {
        return;
    }
    if (selected_ >= 0) {
        SendMessageW(items_[selected_]->record.hwndCustom, WM_TODAYCUSTOM_LOSTSELECTION, 0, 0);
        InvalidateRect(items_[selected_]->record.hwndCustom, nullptr, FALSE);
    }
    selected_ = index;
    InvalidateRect(window, nullptr, FALSE);
}

void TodayScreen::OnKey(UINT key) {
    switch (key) {
    case VK_UP:
        Select(selected_ < 0 ? static_cast<int>(items_.size()) - 1 : selected_ - 1, key);
        return;
    case VK_DOWN:
        Select(selected_ + 1, key);
        return;
    default:
        break;
    }
    if (selected_ < 0) {
        return;
    }
    HWND window = items_[selected_]->record.hwndCustom;
    if (key == VK_RETURN) {
        SendMessageW(window, WM_TODAYCUSTOM_ACTION, 0, 0);
    } else {
        SendMessageW(window, WM_TODAYCUSTOM_USERNAVIGATION, key, 0);
    }
}

void TodayScreen::OnSettingChange(WPARAM what) {
    if (what == kItemsChanged) {
        Log("reload", "items", "registration changed");
        Reload();
    }
}

// Items report a new height through their record; the screen then lays them out again.
void TodayScreen::OnTimer() {
    bool changed = false;
    for (const std::unique_ptr<Item>& item : items_) {
        changed |= SendMessageW(item->record.hwndCustom, WM_TODAYCUSTOM_QUERYREFRESHCACHE,
                                reinterpret_cast<WPARAM>(&item->record), 0) != 0;
    }
    if (changed) {
        Rearrange();
    }
}

bool TodayScreen::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
    case TODAYM_GETCOLOR:
        *result = static_cast<LRESULT>(Color(wParam));
        return true;
    case TODAYM_DRAWWATERMARK:
        if (lParam != 0) {
            DrawWatermark(reinterpret_cast<const TODAYDRAWWATERMARKINFO*>(lParam));
        }
        *result = TRUE;
        return true;
    case TODAYM_TOOKSELECTION:
        TookSelection(reinterpret_cast<HWND>(wParam));
        *result = 0;
        return true;
    default:
        return false;
    }
}
