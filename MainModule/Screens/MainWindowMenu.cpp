#include "Screens/MainWindowMenu.h"

#include <initializer_list>

#include "UserInterface/CMenuItem.h"
#include "UserInterface/CMenuItemCollection.h"

using UserInterface::CMenuInfo;
using UserInterface::CMenuItem;
using UserInterface::CMenuItemCollection;

namespace MainWindowMenu {
namespace {

bool Append(CMenuItemCollection* items, const Entry& entry, const CMenuItemCollection* subItems = nullptr) {
    CMenuItem item;
    item.SetCommand(entry.id);
    if (!item.SetCaption(entry.caption)) {
        return false;
    }
    item.SetSubItems(subItems);
    return items->Append(&item);
}

bool BuildSettings(CMenuItemCollection* items, bool smartphone) {
    const Entry plugin = smartphone ? Entry{kHomePluginSettings, "IDS_CAP_HOME_PLUGIN_SETTINGS"}
                                    : Entry{kTodayPlugin, "IDS_CAP_TODAY_PLUGIN"};
    return AppendSubmenu(items, {kSettingsMenu, "IDS_CAP_SETTINGS"},
                         {{kAutoUpdate, "IDS_CAP_AUTOUPDATE"},
                          {kNetwork, "IDS_CAP_NETWORK"},
                          {kUnits, "IDS_CAP_SELECT_UNITS"},
                          {kInterfaceLanguage, "IDS_CAP_INTERFACE_LANG"},
                          {kOnlineUpdateSettings, "IDS_CAP_ONLINE_UPDATE_SETTINGS"},
                          plugin,
                          {kGpsSettings, "IDS_CAP_GPS_SETTINGS"}});
}

bool BuildPopup(CMenuItemCollection* items, bool smartphone) {
    return AppendAll(items, {{kUpdateForecast, "IDS_CAP_UPDATE_FORECAST"}}) &&
           AppendSubmenu(items, {kViewsMenu, "IDS_CAP_VIEWS"},
                         {{kCurrentCondition, "IDS_CAP_CURRENT_CONDITION"},
                          {kHourlyForecast, "IDS_CAP_HOURLY_FORECAST"},
                          {kMaps, "IDS_CAP_MAPS"}}) &&
           AppendAll(items, {{kCityList, "IDS_CAP_CITY_LIST"}}) && BuildSettings(items, smartphone) &&
           AppendSubmenu(items, {kSendMenu, "IDS_CAP_SEND_FORECAST"},
                         {{kSendBySms, "IDS_CAP_BY_SMS"}, {kSendByEmail, "IDS_CAP_BY_EMAIL"}}) &&
           AppendAll(items, {{kCheckUpdates, "IDS_CAP_CHECK_UPDATES"},
                             {kAbout, "IDS_CAP_ABOUT"},
                             {kExit, "IDS_CAP_EXIT"}});
}

const char* ViewCaption(int view) {
    switch (view) {
        case kDetails: return "IDS_CAP_DAY_FORECAST";
        case kCurrentCondition: return "IDS_CAP_CURRENT_CONDITION";
        case kHourlyForecast: return "IDS_CAP_HOURLY_FORECAST";
        case kMaps: return "IDS_CAP_MAPS";
        default: return nullptr;
    }
}

// A copy of the items with the state of the listed commands set, one level of sub-menus deep.
CMenuItemCollection WithState(const CMenuItemCollection& items, std::initializer_list<int> ids, DWORD state) {
    CMenuItemCollection out;
    for (int i = 0; i < items.GetCount(); ++i) {
        CMenuItem item = items.GetAt(i);
        for (int id : ids) {
            if (item.GetCommand() == id) {
                item.SetState(state);
            }
        }
        if (item.HasSubItems()) {
            CMenuItemCollection sub = WithState(*item.GetSubItems(), ids, state);
            item.SetSubItems(&sub);
        }
        out.Append(&item);
    }
    return out;
}

}  // namespace

bool AppendAll(CMenuItemCollection* items, std::initializer_list<Entry> entries) {
    for (const Entry& entry : entries) {
        if (!Append(items, entry)) {
            return false;
        }
    }
    return true;
}

bool AppendSubmenu(CMenuItemCollection* items, const Entry& entry, std::initializer_list<Entry> entries) {
    CMenuItemCollection sub;
    return AppendAll(&sub, entries) && Append(items, entry, &sub);
}

bool Build(bool smartphone, CMenuInfo* info) {
    if (info == nullptr) {
        return false;
    }
    info->Clear();
    CMenuItemCollection popup;
    info->SetCommand(UserInterface::kLeftSoftKey, kDetails);
    info->SetCommand(UserInterface::kRightSoftKey, kMenu);
    return info->SetCaption(UserInterface::kLeftSoftKey, "IDS_CAP_DETAILS") &&
           info->SetCaption(UserInterface::kRightSoftKey, "IDS_CAP_MENU") && BuildPopup(&popup, smartphone) &&
           info->SetPopup(UserInterface::kRightSoftKey, &popup);
}

bool BuildViewPopup(CMenuItemCollection* items, std::initializer_list<int> views) {
    if (items == nullptr) {
        return false;
    }
    CMenuItemCollection sub;
    for (int view : views) {
        const char* caption = ViewCaption(view);
        if (caption == nullptr || !Append(&sub, {view, caption})) {
            return false;
        }
    }
    return AppendAll(items, {{kUpdateForecast, "IDS_CAP_UPDATE_FORECAST"}}) &&
           Append(items, {kViewsMenu, "IDS_CAP_VIEWS"}, &sub) && AppendAll(items, {{kCityList, "IDS_CAP_CITY_LIST"}});
}

bool BuildViewScreen(CMenuInfo* info, std::initializer_list<int> views) {
    if (info == nullptr) {
        return false;
    }
    info->Clear();
    info->SetFlags(UserInterface::CMenuInfo::kNoInputPanel);
    CMenuItemCollection popup;
    info->SetCommand(UserInterface::kLeftSoftKey, kBack);
    info->SetCommand(UserInterface::kRightSoftKey, kMenu);
    return info->SetCaption(UserInterface::kLeftSoftKey, "IDS_CAP_BACK") &&
           info->SetCaption(UserInterface::kRightSoftKey, "IDS_CAP_MENU") && BuildViewPopup(&popup, views) &&
           info->SetPopup(UserInterface::kRightSoftKey, &popup);
}

bool SetCityCommandsEnabled(CMenuInfo* info, bool enabled) {
    const CMenuItemCollection* popup =
        info != nullptr ? info->GetPopup(UserInterface::kRightSoftKey) : nullptr;
    if (popup == nullptr) {
        return false;
    }
    const DWORD state = enabled ? CMenuItem::kNormal : CMenuItem::kGrayed;
    CMenuItemCollection updated = WithState(*popup, {kUpdateForecast, kCurrentCondition, kHourlyForecast}, state);
    return info->SetPopup(UserInterface::kRightSoftKey, &updated);
}

}  // namespace MainWindowMenu
