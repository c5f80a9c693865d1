// The Home screen of a Smartphone: the plug-ins of the active scheme, one under the other, created as
// in-process COM objects and driven through their events: paint, keys, action, theme and reload. A
// setting change reads the scheme again; a program's refresh request reloads its class's plug-ins.
#pragma once

#include <vector>

#include "HomeScheme.h"
#include "HomeSite.h"
#include "StartScreen.h"

class HomeScreen : public StartScreen, private HomeSite::Owner {
public:
    using StartScreen::StartScreen;
    ~HomeScreen() override;

protected:
    void Load() override;
    void Unload() override;
    void Arrange(const RECT& client) override;
    void Paint(HDC dc, const RECT& client) override;
    void OnKey(UINT key) override;
    void OnTap(POINT point) override;
    void OnSettingChange(WPARAM what) override;
    void OnPluginDataChange(const CLSID& clsid) override;

private:
    struct Plugin {
        CLSID clsid{};
        IHomePlugin* object = nullptr;  // one reference
        DWORD handle = 0;
        int height = 0;
        bool selectable = false;
        RECT rect{};
    };

    void InvalidatePlugin(DWORD handle) override;
    void LoadPlugin(const HomePluginEntry& entry);
    void Send(const Plugin& plugin, HOMEPLUGINEVENT event);
    void Select(int index);
    int Step(int from, int direction) const;

    HomeSite* site_ = nullptr;
    COLORREF background_ = 0;
    std::vector<Plugin> plugins_;
    int selected_ = -1;
    DWORD nextHandle_ = 1;
};
