// The start screen's window: it covers the work area, paints off-screen and hands keys, taps, setting
// changes and refresh requests to the kind of screen that the device has (Today or Home).
#pragma once

#include <string>

#include "ce/shell.h"

class StartScreen {
public:
    explicit StartScreen(HINSTANCE instance);
    virtual ~StartScreen();
    StartScreen(const StartScreen&) = delete;
    StartScreen& operator=(const StartScreen&) = delete;

    // Creates the window and loads what the screen shows; false when the window cannot be made.
    bool Create();
    HWND Window() const { return window_; }

protected:
    virtual void Load() = 0;
    virtual void Unload() = 0;
    // Lays out what is loaded in the client rectangle.
    virtual void Arrange(const RECT& client) = 0;
    virtual void Paint(HDC dc, const RECT& client) = 0;
    virtual void OnKey(UINT key) = 0;
    virtual void OnTap(POINT) {}
    virtual void OnSettingChange(WPARAM what) = 0;
    virtual void OnPluginDataChange(const CLSID&) {}
    virtual void OnTimer() {}
    // Messages of a kind's own; true when handled.
    virtual bool OnMessage(UINT, WPARAM, LPARAM, LRESULT*) { return false; }

    // Unloads, loads again, lays out and repaints.
    void Reload();
    void Rearrange();
    HINSTANCE Instance() const { return instance_; }
    // Records what the screen did in the device log "startscreen".
    static void Log(const std::string& event, const std::string& name, const std::string& result);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void PaintWindow();

    HINSTANCE instance_;
    HWND window_ = nullptr;
    bool loaded_ = false;
};
