#include "Screens/CGPSSettingsDlg.h"

#include <climits>
#include <memory>
#include <new>

#include "CLocalization.h"
#include "CSysInfo.h"
#include "Screens/CSettingsDialog.h"
#include "Skin/HslColor.h"
#include "UserInterface/CDlgComboBox.h"
#include "UserInterface/CDlgLayout.h"
#include "UserInterface/CDlgStatic.h"
#include "Weather/CSettings.h"
#include "Weather/GlobalServices.h"
#include "ce/registry.h"

namespace {

using UserInterface::CDlgComboBox;
using UserInterface::CDlgControl;

constexpr LPCWSTR kActiveDrivers = u"Drivers\\Active";
constexpr LPCWSTR kBluetoothPorts = u"Software\\Microsoft\\Bluetooth\\Serial\\Ports";
constexpr int kNameLength = 256;
constexpr int kMaxDigits = 9;
constexpr int kFieldPart = 100;

constexpr DWORD kRow = CDlgControl::kVisible | CDlgControl::kHostBackground | CDlgControl::kFillWidth;
constexpr DWORD kComboStyle = kRow | CDlgControl::kBorder | CDlgControl::kPreferredHeight | CDlgComboBox::kTextCenter;

// An open registry key, closed when it goes.
class RegistryKey {
public:
    RegistryKey(HKEY parent, LPCWSTR path) {
        if (RegOpenKeyExW(parent, path, 0, KEY_READ, &key_) != ERROR_SUCCESS) {
            key_ = nullptr;
        }
    }
    ~RegistryKey() {
        if (key_ != nullptr) {
            RegCloseKey(key_);
        }
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    HKEY Get() const { return key_; }
    // The name of subkey `index`; false past the last one.
    bool SubkeyName(DWORD index, WCHAR (&name)[kNameLength]) const {
        DWORD size = kNameLength;
        return RegEnumKeyExW(key_, index, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    }

private:
    HKEY key_ = nullptr;
};

// The port named by a string of the registry; strings that name no port are passed over.
bool AddPortNamed(LPCWSTR name, std::vector<CGPSSettingsDlg::PortItem>* ports) {
    CGPSSettingsDlg::PortItem port;
    if (!CGPSSettingsDlg::PortFromName(name, &port)) {
        return true;
    }
    try {
        ports->push_back(std::move(port));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

// The "Name" string of one active driver.
bool AddActiveDriver(HKEY drivers, LPCWSTR subkey, std::vector<CGPSSettingsDlg::PortItem>* ports) {
    RegistryKey driver(drivers, subkey);
    if (driver.Get() == nullptr) {
        return true;
    }
    WCHAR name[kNameLength] = {};
    DWORD type = 0;
    DWORD size = sizeof name - sizeof(WCHAR);
    if (RegQueryValueExW(driver.Get(), u"Name", nullptr, &type, reinterpret_cast<BYTE*>(name), &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return true;
    }
    return AddPortNamed(name, ports);
}

// Every string of every multi-string value of the key; a list without its closing NULs ends at the
// value's end.
bool AddMultiStringValues(HKEY key, std::vector<CGPSSettingsDlg::PortItem>* ports) {
    for (DWORD index = 0;; ++index) {
        WCHAR valueName[kNameLength];
        DWORD nameSize = kNameLength;
        DWORD type = 0;
        DWORD size = 0;
        const LONG found = RegEnumValueW(key, index, valueName, &nameSize, nullptr, &type, nullptr, &size);
        if (found != ERROR_SUCCESS && found != ERROR_MORE_DATA) {
            return true;
        }
        if (found != ERROR_SUCCESS || type != REG_MULTI_SZ || size < sizeof(WCHAR)) {
            continue;
        }
        const DWORD count = size / sizeof(WCHAR);
        std::unique_ptr<WCHAR[]> data(new (std::nothrow) WCHAR[count + 1]());
        if (data == nullptr) {
            return false;
        }
        nameSize = kNameLength;
        if (RegEnumValueW(key, index, valueName, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data.get()),
                          &size) != ERROR_SUCCESS) {
            continue;
        }
        for (DWORD at = 0; at < count && data[at] != 0; at += lstrlenW(data.get() + at) + 1) {
            if (!AddPortNamed(data.get() + at, ports)) {
                return false;
            }
        }
    }
}

bool ListActiveDrivers(std::vector<CGPSSettingsDlg::PortItem>* ports) {
    RegistryKey drivers(HKEY_LOCAL_MACHINE, kActiveDrivers);
    if (drivers.Get() == nullptr) {
        return true;
    }
    WCHAR subkey[kNameLength];
    for (DWORD index = 0; drivers.SubkeyName(index, subkey); ++index) {
        if (!AddActiveDriver(drivers.Get(), subkey, ports)) {
            return false;
        }
    }
    return true;
}

bool ListBluetoothPorts(std::vector<CGPSSettingsDlg::PortItem>* ports) {
    RegistryKey bluetooth(HKEY_LOCAL_MACHINE, kBluetoothPorts);
    if (bluetooth.Get() == nullptr) {
        return true;
    }
    if (!AddMultiStringValues(bluetooth.Get(), ports)) {
        return false;
    }
    WCHAR subkey[kNameLength];
    for (DWORD index = 0; bluetooth.SubkeyName(index, subkey); ++index) {
        RegistryKey port(bluetooth.Get(), subkey);
        if (port.Get() != nullptr && !AddMultiStringValues(port.Get(), ports)) {
            return false;
        }
    }
    return true;
}

// The number of a name that is exactly the prefix, 1 to 9 digits and a colon; -1 otherwise.
int PortNumber(LPCWSTR name, LPCWSTR prefix) {
    const int prefixLength = lstrlenW(prefix);
    if (lstrlenW(name) <= prefixLength || _wcsnicmp(name, prefix, prefixLength) != 0) {
        return -1;
    }
    int number = 0;
    int digits = 0;
    LPCWSTR at = name + prefixLength;
    for (; *at >= u'0' && *at <= u'9'; ++at) {
        if (++digits > kMaxDigits) {
            return -1;
        }
        number = number * 10 + (*at - u'0');
    }
    return digits > 0 && at[0] == u':' && at[1] == 0 ? number : -1;
}

}  // namespace

bool CGPSSettingsDlg::PortFromName(LPCWSTR name, PortItem* port) {
    if (name == nullptr || port == nullptr) {
        return false;
    }
    const int serial = PortNumber(name, u"COM");
    // GPSPort reads 100 and above as an intermediate driver port.
    if (serial >= 0 && serial < kIntermediatePortBase) {
        port->text = name;
        port->value = serial;
        return true;
    }
    const int intermediate = PortNumber(name, u"GPD");
    if (intermediate < 0 || intermediate > INT_MAX - kIntermediatePortBase) {
        return false;
    }
    WCHAR text[32];
    if (_snwprintf(text, 32, u"GPSID%d:", intermediate) < 0) {
        return false;
    }
    port->text = text;
    port->value = intermediate + kIntermediatePortBase;
    return true;
}

bool CGPSSettingsDlg::ListPorts(std::vector<PortItem>* ports) {
    if (ports == nullptr) {
        return false;
    }
    ports->clear();
    return ListActiveDrivers(ports) && ListBluetoothPorts(ports);
}

COLORREF CGPSSettingsDlg::FieldColor(COLORREF theme) {
    const HslColor hsl = RgbToHsl(theme);
    return HslBytesToRgb(HslPartToByte(hsl.hue), kFieldPart, kFieldPart);
}

BOOL CGPSSettingsDlg::OnCreateMenu(UserInterface::CMenuInfo* menu) {
    return menu->SetDoneCancel(UserInterface::CMenuInfo::kNoInputPanel);
}

BOOL CGPSSettingsDlg::OnInitControls() {
    LPCWSTR title = LoadLocalizedString("IDS_LABEL_GPS_PORT");
    if (title == nullptr) {
        title = u"";
    }
    if (AddText(kLabelId, CSettingsDialog::kLabelStyle, title, nullptr) == nullptr) {
        return FALSE;
    }
    std::unique_ptr<CDlgComboBox> ports(new (std::nothrow) CDlgComboBox());
    if (ports == nullptr || !ports->Create(title, kPortsId, kComboStyle, UserInterface::kSizedByLayout,
                                           UserInterface::kSizedByLayout)) {
        return FALSE;
    }
    const COLORREF theme = g_pSysInfo != nullptr ? g_pSysInfo->GetColor(CSysInfo::kThemeColor) : 0;
    ports->SetBorderColor(FieldColor(theme), UserInterface::kNoRedraw);
    ports->SetTextColor(kTextColor, UserInterface::kNoRedraw);
    if (GetLayout() == nullptr || !GetLayout()->AddControl(ports.get())) {
        return FALSE;
    }
    m_ports = ports.release();
    return CAppBasicDialog::OnInitControls();
}

BOOL CGPSSettingsDlg::Refresh(DWORD mask) {
    if ((mask & kRefreshPorts) != 0 && !FillPorts()) {
        return FALSE;
    }
    return CAppBasicDialog::Refresh(mask);
}

bool CGPSSettingsDlg::FillPorts() {
    if (m_ports == nullptr) {
        return false;
    }
    std::vector<PortItem> ports;
    if (!ListPorts(&ports)) {
        return false;
    }
    m_ports->ResetContent(UserInterface::kNoRedraw);
    const int stored = static_cast<int>(GetSettings().gpsPort);
    int selection = -1;
    for (size_t i = 0; i < ports.size(); ++i) {
        if (!m_ports->AddItem(ports[i].text.c_str(), ports[i].value, UserInterface::kNoRedraw)) {
            return false;
        }
        if (ports[i].value == stored && selection < 0) {
            selection = static_cast<int>(i);
        }
    }
    m_ports->SetCurSel(selection < 0 && !ports.empty() ? 0 : selection, UserInterface::kNoRedraw);
    return true;
}

BOOL CGPSSettingsDlg::OnDialogCommand(int id, int code, HWND window) {
    switch (id) {
        case IDOK: SavePort(); return TRUE;
        case IDCANCEL: EndDialog(IDCANCEL); return TRUE;
        default: return CAppBasicDialog::OnDialogCommand(id, code, window);
    }
}

void CGPSSettingsDlg::SavePort() {
    const int selection = m_ports != nullptr ? m_ports->GetCurSel() : -1;
    if (selection < 0) {
        return;
    }
    CSettings& settings = GetSettings();
    settings.gpsPort = static_cast<DWORD>(m_ports->GetItemData(selection));
    if (settings.Save(g_pRegistry)) {
        EndDialog(IDOK);
    }
}

// The key's release cancels, so that its press does not reach the screen below.
BOOL CGPSSettingsDlg::OnBackKey(WPARAM, LPARAM lParam) {
    if (LOWORD(lParam) & MOD_KEYUP) {
        return OnDialogCommand(IDCANCEL, 0, nullptr);
    }
    return TRUE;
}
