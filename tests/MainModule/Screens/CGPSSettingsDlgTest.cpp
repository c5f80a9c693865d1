// The GPS port screen run for real over the device's registry: the ports of the active drivers and of
// the Bluetooth serial ports, what is preselected, and what Done and Cancel leave in the settings.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Screens/CGPSSettingsDlg.h"
#include "SettingsScreenTest.h"
#include "UserInterface/CDlgComboBox.h"
#include "ce/registry.h"

namespace {

using namespace skin_test;
using UserInterface::CDlgComboBox;
using ScriptedGps = ScriptedScreen<CGPSSettingsDlg>;
using Port = CGPSSettingsDlg::PortItem;

void SetString(LPCWSTR path, LPCWSTR name, DWORD type, const std::u16string& value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, 0, nullptr, &key, nullptr), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(value.data()),
                             static_cast<DWORD>(value.size() * sizeof(char16_t))),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void AddDriver(LPCWSTR subkey, const std::u16string& name) {
    SetString((std::u16string(u"Drivers\\Active\\") + subkey).c_str(), u"Name", REG_SZ, name + u'\0');
}

// A multi-string from its strings, with the closing empty string.
std::u16string MultiString(std::initializer_list<std::u16string> strings) {
    std::u16string all;
    for (const std::u16string& text : strings) {
        all += text + u'\0';
    }
    return all + u'\0';
}

std::vector<Port> ListedPorts() {
    std::vector<Port> ports;
    EXPECT_TRUE(CGPSSettingsDlg::ListPorts(&ports));
    return ports;
}

class GpsSettingsTest : public SettingsScreenTest {
protected:
    static CDlgComboBox& Ports(ScriptedGps& d) {
        return *static_cast<CDlgComboBox*>(d.GetLayout()->FindControl(CGPSSettingsDlg::kPortsId));
    }
    DWORD StoredPort() { return Stored().gpsPort; }
};

TEST_F(GpsSettingsTest, SerialAndIntermediateDriverPortsAreListedAndOtherNamesPassedOver) {
    AddDriver(u"01", u"COM1:");
    AddDriver(u"02", u"GPD0:");
    AddDriver(u"03", u"BTCOM2:");
    AddDriver(u"04", u"COM2");
    AddDriver(u"05", u"COMX:");
    SetString(u"Drivers\\Active\\06", u"Name", REG_BINARY, u"COM6:");
    AddDriver(u"07", u"COM9:");
    SetString(u"Drivers\\Active\\08", u"Key", REG_SZ, std::u16string(u"COM8:") + u'\0');
    EXPECT_EQ(ListedPorts(), (std::vector<Port>{{u"COM1:", 1}, {u"GPSID0:", 100}, {u"COM9:", 9}}));
}

// GPSPort reads 100 and above as an intermediate driver port: a serial port numbered like that would
// come back as another port.
TEST_F(GpsSettingsTest, ASerialPortNumberedAboveNinetyNineIsNotOffered) {
    AddDriver(u"01", u"COM99:");
    AddDriver(u"02", u"COM104:");
    AddDriver(u"03", u"COM99999999999:");
    AddDriver(u"04", u"GPD99999999999:");
    EXPECT_EQ(ListedPorts(), (std::vector<Port>{{u"COM99:", 99}}));
}

TEST_F(GpsSettingsTest, BluetoothPortsFollowTheDriversFromTheKeyThenItsSubkeys) {
    AddDriver(u"01", u"COM1:");
    constexpr LPCWSTR kBluetooth = u"Software\\Microsoft\\Bluetooth\\Serial\\Ports";
    SetString(kBluetooth, u"List", REG_MULTI_SZ, MultiString({u"COM5:", u"junk", u"GPD3:"}));
    SetString(kBluetooth, u"Single", REG_SZ, std::u16string(u"COM6:") + u'\0');
    SetString((std::u16string(kBluetooth) + u"\\Device").c_str(), u"Ports", REG_MULTI_SZ,
              MultiString({u"COM7:", u"COM1:"}));
    // A list whose closing NULs are missing ends at the value's end.
    SetString((std::u16string(kBluetooth) + u"\\Other").c_str(), u"Ports", REG_MULTI_SZ, u"COM8:");
    EXPECT_EQ(ListedPorts(), (std::vector<Port>{{u"COM1:", 1},
                                                {u"COM5:", 5},
                                                {u"GPSID3:", 103},
                                                {u"COM7:", 7},
                                                {u"COM1:", 1},
                                                {u"COM8:", 8}}));
}

TEST_F(GpsSettingsTest, TheStoredPortIsPreselectedAndDoneSavesTheChoice) {
    AddDriver(u"01", u"COM1:");
    AddDriver(u"02", u"GPD0:");
    GetSettings().gpsPort = 100;
    ScriptedGps dialog;
    dialog.Then([](ScriptedGps& d) {
        ASSERT_EQ(Ports(d).GetCount(), 2);
        EXPECT_EQ(Ports(d).GetCurSel(), 1);
        Ports(d).SetCurSel(0, FALSE);
        ce::InjectKey(VK_TSOFT1);
    });
    EXPECT_EQ(dialog.RunOverWindow(nullptr, nullptr, nullptr), IDOK);
    EXPECT_EQ(GetSettings().gpsPort, 1u);
    EXPECT_EQ(StoredPort(), 1u);
}

TEST_F(GpsSettingsTest, WithoutAPortTheFirstIsPreselectedAndCancelOrBackStoresNothing) {
    AddDriver(u"01", u"GPD2:");
    AddDriver(u"02", u"COM3:");
    for (UINT key : {VK_TSOFT2, VK_ESCAPE}) {
        ScriptedGps dialog;
        dialog.passBackKeys = true;
        dialog.Then([key](ScriptedGps& d) {
            EXPECT_EQ(Ports(d).GetCurSel(), 0);
            EXPECT_EQ(Ports(d).GetItemData(0), 102);
            ce::InjectKey(key);
        });
        EXPECT_EQ(dialog.RunOverWindow(nullptr, nullptr, nullptr), IDCANCEL);
        EXPECT_EQ(GetSettings().gpsPort, static_cast<DWORD>(-1));
        EXPECT_EQ(StoredPort(), static_cast<DWORD>(-1));
    }
}

TEST_F(GpsSettingsTest, WithoutPortsNothingIsSelectedAndDoneDoesNothing) {
    ScriptedGps dialog;
    dialog.Then([](ScriptedGps& d) {
        EXPECT_EQ(Ports(d).GetCount(), 0);
        EXPECT_EQ(Ports(d).GetCurSel(), -1);
        ce::InjectKey(VK_TSOFT1);
    });
    dialog.Then([](ScriptedGps& d) { d.EndDialog(IDABORT); });
    EXPECT_EQ(dialog.RunOverWindow(nullptr, nullptr, nullptr), IDABORT) << "Done left the screen open";
    EXPECT_EQ(dialog.commands, (std::vector<int>{IDOK}));
}

TEST_F(GpsSettingsTest, ASaveThatFailsKeepsTheScreenOpen) {
    AddDriver(u"01", u"COM4:");
    ScriptedGps dialog;
    dialog.Then([](ScriptedGps&) {
        g_pRegistry = nullptr;
        ce::InjectKey(VK_TSOFT1);
    });
    dialog.Then([](ScriptedGps& d) { d.EndDialog(IDABORT); });
    EXPECT_EQ(dialog.RunOverWindow(nullptr, nullptr, nullptr), IDABORT);
    g_pRegistry = &store_;
    EXPECT_EQ(StoredPort(), static_cast<DWORD>(-1));
}

}  // namespace
