// The main window's soft keys and the menu with every command of the program.
#pragma once

#include <initializer_list>

#include "UserInterface/CMenuInfo.h"
#include "UserInterface/CMenuItemCollection.h"

namespace MainWindowMenu {

// Command ids of the main window.
enum Command {
    kMenu = 3000,
    kSettingsMenu = 3003,
    kAbout = 3004,
    kExit = 3005,
    kBack = 3008,
    kDetails = 3009,
    kCityList = 3010,
    kUpdateForecast = 3011,
    kCurrentCondition = 3012,
    kPartDetails = 3013,
    kMaps = 3014,
    kAutoUpdate = 3023,
    kNetwork = 3024,
    kUnits = 3025,
    kInterfaceLanguage = 3026,
    kTodayPlugin = 3027,
    kGpsSettings = 3028,
    kSendMenu = 3031,
    kSendBySms = 3032,
    kSendByEmail = 3033,
    kHourlyForecast = 3034,
    kCheckUpdates = 3037,
    kOnlineUpdateSettings = 3038,
    kHomePluginSettings = 3039,
    kViewsMenu = 3040,
};

// One entry of a popup: its command and the localization key of its caption.
struct Entry {
    int id;
    const char* caption;
};
// Appends the entries, or a sub-menu of them under one entry; false when a caption has no text. The
// program's other screens build their popups with these too.
bool AppendAll(UserInterface::CMenuItemCollection* items, std::initializer_list<Entry> entries);
bool AppendSubmenu(UserInterface::CMenuItemCollection* items, const Entry& entry, std::initializer_list<Entry> entries);

// Left key Details, right key Menu with its popup. False when a caption has no text: the window is
// then not made, since a menu with empty entries cannot be used.
bool Build(bool smartphone, UserInterface::CMenuInfo* info);

// The keys of a full-screen view: left Back, right Menu with the update, the Views sub-menu of the
// given view commands (3009, 3012, 3034 or 3014, in that order) and the city list. False when a caption
// has no text.
bool BuildViewScreen(UserInterface::CMenuInfo* info, std::initializer_list<int> views);
// The same popup alone, for a view that adds entries of its own.
bool BuildViewPopup(UserInterface::CMenuItemCollection* items, std::initializer_list<int> views);

// Grays (or enables) the commands that need a city: the update and the views of one city, on both kinds
// of device (a Pocket PC entry left enabled would open views that end at once). False when the menu has
// no popup.
bool SetCityCommandsEnabled(UserInterface::CMenuInfo* info, bool enabled);

}  // namespace MainWindowMenu
