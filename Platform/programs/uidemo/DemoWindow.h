// The demo's main window: a picture of the weather, a text, an edit box and the soft-key bar.
#pragma once

#include "ce/user.h"

class DemoWindow {
public:
    explicit DemoWindow(HINSTANCE instance) : instance_(instance) {}
    bool Create();

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK DetailsProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCreate();
    void OnCommand(UINT id);
    void Paint();
    void ShowDetails();

    HINSTANCE instance_;
    HWND window_ = nullptr;
    HWND edit_ = nullptr;
    HWND bar_ = nullptr;
};
