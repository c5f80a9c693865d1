// Helpers for the window tests: a window class that records the messages it gets, a message pump, and
// in-memory dialog templates.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ce/user.h"

namespace ce::test {

struct Received {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Every window of the class "Recorder" appends what it gets to Log(); a handler installed for a
// message answers it instead of DefWindowProcW.
class Recorder {
public:
    static std::vector<Received>& Log() {
        static std::vector<Received> log;
        return log;
    }
    static std::map<UINT, std::function<LRESULT(HWND, WPARAM, LPARAM)>>& Handlers() {
        static std::map<UINT, std::function<LRESULT(HWND, WPARAM, LPARAM)>> handlers;
        return handlers;
    }
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        Log().push_back({window, message, wParam, lParam});
        auto it = Handlers().find(message);
        if (it != Handlers().end()) {
            return it->second(window, wParam, lParam);
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    static void Register() {
        WNDCLASSW info{};
        info.lpfnWndProc = Proc;
        info.lpszClassName = u"Recorder";
        info.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        if (!GetClassInfoW(nullptr, u"Recorder", nullptr)) {
            RegisterClassW(&info);
        }
    }
    static void Reset() {
        Log().clear();
        Handlers().clear();
    }
    // The messages of one window, in order, keeping only those listed.
    static std::vector<UINT> Messages(HWND window, const std::vector<UINT>& keep) {
        std::vector<UINT> out;
        for (const Received& r : Log()) {
            if (r.window == window && std::find(keep.begin(), keep.end(), r.message) != keep.end()) {
                out.push_back(r.message);
            }
        }
        return out;
    }
    static std::vector<Received> Of(HWND window, UINT message) {
        std::vector<Received> out;
        for (const Received& r : Log()) {
            if (r.window == window && r.message == message) {
                out.push_back(r);
            }
        }
        return out;
    }
};

// Dispatches everything that is waiting, painting included; returns how many messages ran.
inline int Pump() {
    MSG message;
    int count = 0;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) && count < 1000) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
        ++count;
    }
    return count;
}

// Builds a DLGTEMPLATE with items, laid out as the platform reads it.
class DialogBytes {
public:
    DialogBytes(DWORD style, short cx, short cy, std::u16string title = u"") {
        Put32(style);
        Put32(0);
        countAt_ = bytes_.size();
        Put16(0);
        Put16(0), Put16(0), Put16(static_cast<WORD>(cx)), Put16(static_cast<WORD>(cy));
        Put16(0);  // no menu
        Put16(0);  // the dialog class
        PutText(title);
    }
    // className: 0x80 button, 0x81 edit, 0x82 static, 0x85 combo box.
    DialogBytes& Item(WORD classAtom, WORD id, DWORD style, short x, short y, short cx, short cy,
                      std::u16string title = u"") {
        while (bytes_.size() % 4) {
            bytes_.push_back(0);
        }
        Put32(style | WS_CHILD | WS_VISIBLE);
        Put32(0);
        Put16(static_cast<WORD>(x)), Put16(static_cast<WORD>(y)), Put16(static_cast<WORD>(cx)),
            Put16(static_cast<WORD>(cy));
        Put16(id);
        Put16(0xFFFF), Put16(classAtom);
        PutText(title);
        Put16(0);
        WORD count;
        std::memcpy(&count, &bytes_[countAt_], 2);
        ++count;
        std::memcpy(&bytes_[countAt_], &count, 2);
        return *this;
    }
    LPCDLGTEMPLATEW Get() const { return reinterpret_cast<LPCDLGTEMPLATEW>(bytes_.data()); }

private:
    void Put16(WORD v) { bytes_.push_back(static_cast<BYTE>(v)), bytes_.push_back(static_cast<BYTE>(v >> 8)); }
    void Put32(DWORD v) { Put16(static_cast<WORD>(v)), Put16(static_cast<WORD>(v >> 16)); }
    void PutText(const std::u16string& text) {
        for (char16_t c : text) {
            Put16(c);
        }
        Put16(0);
    }
    std::vector<BYTE> bytes_;
    size_t countAt_ = 0;
};

}  // namespace ce::test
