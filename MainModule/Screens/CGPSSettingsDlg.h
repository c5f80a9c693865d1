// The screen on which the user chooses the port that the GPS receiver is read from: every serial port
// of the device's active drivers and of its Bluetooth serial ports, and the ports of the GPS
// intermediate driver. Done stores the choice as the GPSPort setting.
//
// A screen runs it over itself with RunOverDialog, the main window over itself with RunOverWindow; the
// result is 1 when the choice was saved, 2 otherwise.
#pragma once

#include <string>
#include <vector>

#include "Screens/CAppBasicDialog.h"

namespace UserInterface {
class CDlgComboBox;
}

class CGPSSettingsDlg : public CAppBasicDialog {
public:
    static constexpr int kLabelId = 0;
    static constexpr int kPortsId = 1;
    // The refresh part that fills the port list.
    static constexpr DWORD kRefreshPorts = 0x10000;
    // A port of the GPS intermediate driver is stored as its number plus this.
    static constexpr int kIntermediatePortBase = 100;

    // One port the receiver can be read from: its text and the value GPSPort stores for it.
    struct PortItem {
        std::u16string text;
        int value = 0;

        bool operator==(const PortItem&) const = default;
    };

    CGPSSettingsDlg() = default;
    ~CGPSSettingsDlg() override = default;

    // The ports of the active drivers, then of the Bluetooth serial ports, in registry order and with
    // duplicates kept. False when the list cannot grow.
    static bool ListPorts(std::vector<PortItem>* ports);
    // The item for a port name such as "COM1:" or "GPD0:"; false for anything else, and for a serial
    // port whose number GPSPort could not tell from an intermediate driver port.
    static bool PortFromName(LPCWSTR name, PortItem* port);
    // The border of the port list: the theme colour at saturation and lightness 100 of 255.
    static COLORREF FieldColor(COLORREF theme);

    BOOL OnCreateMenu(UserInterface::CMenuInfo* menu) override;
    BOOL OnInitControls() override;
    BOOL OnDialogCommand(int id, int code, HWND window) override;
    BOOL OnBackKey(WPARAM wParam, LPARAM lParam) override;
    BOOL Refresh(DWORD mask) override;

private:
    bool FillPorts();
    void SavePort();

    UserInterface::CDlgComboBox* m_ports = nullptr;
};
