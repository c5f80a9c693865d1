// Runs a real framework dialog step by step from inside its own modal loop: each step injects input
// through the platform and the next one starts once everything it queued has been handled (or once
// its condition holds), so a test sees the dialog exactly as a user's taps and keys leave it. Any
// screen class derived from the smart dialog can be scripted (ScriptedScreen<CSomeScreen>).
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "CSysInfo.h"
#include "UserInterface/CDlgLayout.h"
#include "UserInterface/CMenuInfo.h"
#include "UserInterface/CSmartDialog.h"
#include "UserInterfaceDevice.h"

namespace framework::test {

template <class Dialog = UserInterface::CSmartDialog>
class ScriptedScreen : public Dialog {
public:
    using Dialog::Dialog;

    static constexpr UINT kStepMessage = WM_APP + 40;
    static constexpr UINT kPopupMessage = WM_APP + 41;
    // How long a step's condition may take: real time, since a busy machine may leave the thread the
    // condition waits for unscheduled for a long while.
    static constexpr std::chrono::seconds kMaxWait{30};
    // The result of a dialog whose script ran out without ending it.
    static constexpr int kScriptEnded = 99;

    struct Step {
        std::function<void(ScriptedScreen&)> action;
        std::function<bool(ScriptedScreen&)> done;  // null: done once the queue has caught up
    };

    std::vector<Step> steps;
    std::vector<int> commands;  // what reached OnDialogCommand
    std::vector<int> codes;     // what the controls told the dialog
    int backKeys = 0;
    // Lets the screen itself handle the Back key as well.
    bool passBackKeys = false;
    // Runs once a popup of the bar has opened (keys injected here go to the popup).
    std::function<void()> whilePopupOpen;

    void Then(std::function<void(ScriptedScreen&)> action, std::function<bool(ScriptedScreen&)> done = nullptr) {
        steps.push_back(Step{std::move(action), std::move(done)});
    }

    // A point of the client area in screen coordinates, for the stylus.
    POINT Screen(int x, int y) const {
        POINT point{x, y};
        ClientToScreen(this->m_hWnd, &point);
        return point;
    }
    void Tap(int x, int y) const {
        POINT p = Screen(x, y);
        ce::InjectTap(p.x, p.y);
    }
    void Down(int x, int y) const {
        POINT p = Screen(x, y);
        ce::InjectStylusDown(p.x, p.y);
    }
    void MoveTo(int x, int y) const {
        POINT p = Screen(x, y);
        ce::InjectStylusMove(p.x, p.y);
    }
    void Up(int x, int y) const {
        POINT p = Screen(x, y);
        ce::InjectStylusUp(p.x, p.y);
    }

    BOOL OnInitControls() override {
        if (!Dialog::OnInitControls()) {
            return FALSE;
        }
        PostMessageW(this->m_hWnd, kStepMessage, 0, 0);
        return TRUE;
    }
    BOOL OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kPopupMessage && whilePopupOpen) {
            whilePopupOpen();
            return TRUE;
        }
        if (message != kStepMessage) {
            return Dialog::OnMessage(message, wParam, lParam);
        }
        RunStep();
        return TRUE;
    }
    BOOL OnDialogCommand(int id, int code, HWND window) override {
        commands.push_back(id);
        return Dialog::OnDialogCommand(id, code, window);
    }
    BOOL OnInitMenuPopup(int index, HMENU menu) override {
        const BOOL filled = Dialog::OnInitMenuPopup(index, menu);
        PostMessageW(this->m_hWnd, kPopupMessage, 0, 0);
        return filled;
    }
    // The codes of the controls' notifications, in order.
    LRESULT OnControlNotify(UserInterface::CDlgControl* control, int code, LPARAM a, LPARAM b) override {
        codes.push_back(code);
        return Dialog::OnControlNotify(control, code, a, b);
    }
    BOOL OnBackKey(WPARAM wParam, LPARAM lParam) override {
        ++backKeys;
        return passBackKeys ? Dialog::OnBackKey(wParam, lParam) : TRUE;
    }

private:
    void RunStep() {
        if (m_next < steps.size() && !m_started) {
            m_started = true;
            m_waitStart = std::chrono::steady_clock::now();
            steps[m_next].action(*this);
        } else if (m_next < steps.size()) {
            const auto& done = steps[m_next].done;
            if (done && !done(*this)) {
                if (std::chrono::steady_clock::now() - m_waitStart > kMaxWait) {
                    ADD_FAILURE() << "step " << m_next << " never finished";
                    this->EndDialog(IDABORT);
                    return;
                }
                std::this_thread::sleep_for(std::chrono::microseconds(200));  // the condition's thread runs
            } else {
                ++m_next;
                m_started = false;
            }
        } else {
            this->EndDialog(kScriptEnded);
            return;
        }
        PostMessageW(this->m_hWnd, kStepMessage, 0, 0);
    }

    size_t m_next = 0;
    bool m_started = false;
    std::chrono::steady_clock::time_point m_waitStart;
};

using ScriptedDialog = ScriptedScreen<>;

// A scripted dialog over a layout on the test device, with Done as its soft key and the device
// information in place; the clock is virtual.
class ScriptedDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ce::EnableVirtualClock(1'700'000'000'000ull);
        sysInfo_ = std::make_unique<CSysInfo>(GetModuleHandleW(nullptr));
        g_pSysInfo = sysInfo_.get();
        ASSERT_TRUE(menu_.SetDone(0));
    }
    void TearDown() override {
        g_pSysInfo = nullptr;
        ce::DisableVirtualClock();
    }
    INT_PTR Run(DWORD style = 0) { return dialog_.RunModal(nullptr, style, &menu_, &layout_, nullptr); }

    UserInterfaceDevice device_;
    std::unique_ptr<CSysInfo> sysInfo_;
    UserInterface::CMenuInfo menu_;
    UserInterface::CDlgLayout layout_;
    ScriptedDialog dialog_;
};

}  // namespace framework::test
