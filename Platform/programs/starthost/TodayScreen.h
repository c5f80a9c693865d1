// The Today screen of a Pocket PC: the registered custom Today items, one under the other, each a child
// window made by its library. The screen answers the items' colour, watermark and selection requests,
// moves the selection by keys and reloads the items when their registration changes.
#pragma once

#include <memory>
#include <vector>

#include "StartScreen.h"
#include "TodayItemRegistry.h"

class TodayScreen : public StartScreen {
public:
    // The setting change that the program's installer broadcasts after changing the items.
    static constexpr WPARAM kItemsChanged = 242;

    using StartScreen::StartScreen;
    ~TodayScreen() override;

protected:
    void Load() override;
    void Unload() override;
    void Arrange(const RECT& client) override;
    void Paint(HDC dc, const RECT& client) override;
    void OnKey(UINT key) override;
    void OnSettingChange(WPARAM what) override;
    void OnTimer() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    struct Item {
        TODAYLISTITEM record{};  // the item keeps its height here, so its address stays fixed
        HMODULE module = nullptr;
        DWORD selectability = 0;
    };

    void LoadItem(const TodayItemEntry& entry);
    int IndexOf(HWND window) const;
    void Select(int index, UINT key);
    void TookSelection(HWND window);
    COLORREF Color(WPARAM which) const;
    static void DrawWatermark(const TODAYDRAWWATERMARKINFO* info);

    std::vector<std::unique_ptr<Item>> items_;
    int selected_ = -1;
};
