// A device for the window and dialog tests: the program installed with its English texts, a
// 240 x 320 Pocket PC screen, and helpers to run the window manager and find the soft keys.
#pragma once

#include <filesystem>
#include <string>

#include "CLocalization.h"
#include "InstalledDevice.h"
#include "Platform/UserTestSupport.h"
#include "ce/device.h"
#include "ce/shell.h"

namespace framework::test {

class UserInterfaceDevice : public InstalledDevice {
public:
    UserInterfaceDevice() {
        std::filesystem::copy_file(std::string(CE_LOC_DIR) + "/loc.0409.txt", Installed("Loc/loc.0409.txt"));
        EXPECT_TRUE(CLocalization::Global().Load(CLocalization::kEnglish));
    }

    // The screen point of soft key 0 or 1.
    static POINT SoftKeyPoint(int key) {
        const int width = GetSystemMetrics(SM_CXSCREEN);
        const int height = GetSystemMetrics(SM_CYSCREEN);
        return POINT{key == 0 ? 20 : width - 20, height - GetSystemMetrics(SM_CYMENU) / 2};
    }

    // Caption and state of button 0 or 1 of a bar.
    struct Button {
        int command = 0;
        std::u16string caption;
        bool enabled = false;
    };
    static Button ButtonOf(HWND bar, int index) {
        Button out;
        TBBUTTON button{};
        if (!SendMessageW(bar, TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button))) {
            return out;
        }
        WCHAR caption[128] = {};
        TBBUTTONINFOW info{sizeof info, TBIF_TEXT | TBIF_BYINDEX, 0, 0, 0, 0, 0, 0, caption, 128};
        SendMessageW(bar, TB_GETBUTTONINFO, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&info));
        out.command = button.idCommand;
        out.caption = caption;
        out.enabled = (button.fsState & TBSTATE_ENABLED) && !(button.fsState & TBSTATE_INDETERMINATE);
        return out;
    }
};

}  // namespace framework::test
