// The fixture of the program's screen tests: a device with the skin loaded and the English texts
// installed, on the virtual clock, and the screens run through the framework's dialog script.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <thread>

#include "CGdiFactory.h"
#include "CLocalization.h"
#include "Framework/DialogScript.h"
#include "SkinDevice.h"
#include "UserInterface/CDlgLayout.h"
#include "UserInterface/CDlgStatic.h"
#include "Weather/GlobalServices.h"

namespace skin_test {

using framework::test::ScriptedDialog;
using framework::test::ScriptedScreen;

// Moves the virtual clock on while it lives, so that the transitions between screens play through.
class ClockTicker {
public:
    explicit ClockTicker(uint64_t stepMs = 20)
        : thread_([this, stepMs] {
              while (!stop_) {
                  ce::AdvanceVirtualClock(stepMs);
                  std::this_thread::sleep_for(std::chrono::milliseconds(1));
              }
          }) {}
    ~ClockTicker() {
        stop_ = true;
        thread_.join();
    }
    ClockTicker(const ClockTicker&) = delete;
    ClockTicker& operator=(const ClockTicker&) = delete;

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// A step's condition on another thread's work: each look gives that thread a moment, so that the
// script's bounded number of looks spans a few seconds.
template <class Screen>
std::function<bool(Screen&)> Soon(std::function<bool(Screen&)> condition) {
    return [condition](Screen& d) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return condition(d);
    };
}

class ScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        ce::EnableVirtualClock(1'700'000'000'000ull);
        InstallEnglish();
        ASSERT_TRUE(device_.LoadSkin());
    }
    void TearDown() override { ce::DisableVirtualClock(); }

    // The built English file with some keys changed: a null text removes the key's line.
    struct KeyChange {
        std::u16string_view key;
        const char16_t* text;
    };
    void InstallEnglish(std::initializer_list<KeyChange> changes = {}) {
        std::filesystem::create_directories(device_.InstallFolder("Loc"));
        std::ifstream in(std::string(CE_LOC_DIR) + "/loc.0409.txt", std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::u16string text(bytes.size() / 2, u'\0');
        std::memcpy(text.data(), bytes.data(), text.size() * 2);
        for (const KeyChange& change : changes) {
            const size_t at = text.find(u"\n" + std::u16string(change.key) + u"\t");
            ASSERT_NE(at, std::u16string::npos) << ce::ToUtf8(std::u16string(change.key));
            const size_t end = text.find_first_of(u"\r\n", at + 1);
            const size_t valueAt = at + 2 + change.key.size();
            if (change.text == nullptr) {
                text.erase(at + 1, end - at - 1);
            } else {
                text.replace(valueAt, end - valueAt, change.text);
            }
        }
        std::ofstream(device_.InstallFolder("Loc/loc.0409.txt"), std::ios::binary)
            .write(reinterpret_cast<const char*>(text.data()), static_cast<std::streamsize>(text.size() * 2));
        ASSERT_TRUE(CLocalization::Global().Load(CLocalization::kEnglish));
    }

    // The text of a label or link through its control message.
    static std::u16string TextOf(UserInterface::CDlgControl* control, UINT getText = UserInterface::CDlgStatic::kMsgGetText) {
        WCHAR buffer[1024] = {};
        if (control != nullptr) {
            control->SendMessage(getText, reinterpret_cast<WPARAM>(buffer), 1024);
        }
        return buffer;
    }
    // The ids of a screen's controls in their order.
    static std::vector<int> IdsOf(UserInterface::CSmartDialog& screen) {
        std::vector<int> ids;
        for (int i = 0; i < screen.GetLayout()->GetControlCount(); ++i) {
            ids.push_back(screen.GetLayout()->GetControlAt(i)->GetId());
        }
        return ids;
    }
    static int FontWeight(HFONT font) {
        LOGFONTW info{};
        GetObjectW(font != nullptr ? font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT)), sizeof info, &info);
        return info.lfWeight;
    }
    // A pixel of what the screen's window shows.
    static COLORREF PixelOf(UserInterface::CSmartDialog& screen, int x, int y) {
        HDC dc = GetDC(screen.GetHandle());
        const COLORREF color = GetPixel(dc, x, y);
        ReleaseDC(screen.GetHandle(), dc);
        return color;
    }
    static POINT CentreOf(UserInterface::CDlgControl* control) {
        RECT rect{};
        control->GetRect(&rect);
        return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }

    SkinDevice device_;
};

// A screen test with the program's font factory in place, for screens that take their fonts from it.
class FontScreenTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        fonts_ = std::make_unique<CGdiFactory>(device_.SysInfo());
        g_pGdiFactory = fonts_.get();
    }
    void TearDown() override {
        g_pGdiFactory = nullptr;
        ScreenTest::TearDown();
    }

    std::unique_ptr<CGdiFactory> fonts_;
};

}  // namespace skin_test
