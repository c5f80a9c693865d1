// Facts about the device (Smartphone or Pocket PC, screen class, theme colour, install folder) and
// the stateless helpers that every screen and service shares: path macros, file and folder
// deletion, time arithmetic and parsing, text search.
#pragma once

#include "ce/gdi.h"
#include "ce/kernel.h"

// Told when the screen turns between portrait and landscape.
class IOrientationListener {
public:
    virtual void OnOrientationChanged() = 0;

protected:
    ~IOrientationListener() = default;
};

class CSysInfo {
public:
    static constexpr int kThemeColorCount = 512;

    // Also reads the install folder, which the path expansions use while this object lives.
    explicit CSysInfo(HINSTANCE instance);
    CSysInfo(const CSysInfo&) = delete;
    CSysInfo& operator=(const CSysInfo&) = delete;
    virtual ~CSysInfo();

    HINSTANCE GetInstance() const { return m_instance; }
    bool IsSmartphone() const { return m_smartphone != 0; }
    bool IsSquareScreen() const { return m_screenWidth == m_screenHeight; }
    bool IsPortrait() const { return m_screenWidth < m_screenHeight; }
    bool IsTallAspect() const;
    int GetScreenWidth() const { return m_screenWidth; }
    int GetScreenHeight() const { return m_screenHeight; }
    int GetScreenClass() const { return m_screenClass; }
    int GetBaseFontSize() const { return m_baseFontSize; }
    int GetPixelsPerInch() const { return m_pixelsPerInch; }
    // A length given for the 240 screen class, scaled to this device.
    int ScaleToScreen(int length) const;
    // ScaleToScreen of the process's device information; the length unchanged before there is one.
    static int Scale(int length);
    // Index kThemeColor: the theme colour; kBaseHue: the base hue.
    static constexpr int kThemeColor = 0;
    static constexpr int kBaseHue = 1;
    DWORD GetColor(int index) const;
    DWORD GetBaseHue() const { return m_baseHue; }
    // Re-reads the screen size; true (and the listener told) when the orientation changed.
    bool UpdateScreenSize();
    void ReadThemeColor();
    void SetOrientationListener(IOrientationListener* listener) { m_listener = listener; }

    // "%INSTALL_DIR%\Data\" and the name; with class and/or orientation the screen class number and
    // ".sqr", ".lan" or ".por" go before the name's extension ("icons.240.por.pak").
    bool GetDataFileName(LPCWSTR name, LPWSTR output, int size, bool withClass, bool withOrientation) const;

    // The device description that program-update downloads send as their user agent:
    // "PPC;" or "SPH;", the system version, browser, device name, maker string, locale and language,
    // each ended by ";". False (and empty) when it does not fit into size characters.
    bool GetDeviceString(LPWSTR output, int size) const;

    // Opens a web page in the browser; false for a null URL or when it cannot be started.
    static bool OpenUrl(LPCWSTR url);
    // Width and height of a dialog's child window; 0 when there is no such child.
    static int GetDlgItemWidth(HWND window, int id);
    static int GetDlgItemHeight(HWND window, int id);
    // Change soft key 0 or 1 of a menu bar: enabled or greyed, and the text and command when given.
    static bool SetSoftKeyButton(int index, HWND menuBar, bool enabled, LPCWSTR text, int command);
    static bool SetLeftSoftKey(HWND menuBar, bool enabled, LPCWSTR text, int command) {
        return SetSoftKeyButton(0, menuBar, enabled, text, command);
    }
    static bool SetRightSoftKey(HWND menuBar, bool enabled, LPCWSTR text, int command) {
        return SetSoftKeyButton(1, menuBar, enabled, text, command);
    }

    // The fixed table of theme colours that the base hue indexes.
    static COLORREF ThemeColorAt(DWORD index);

    // Expands "%INSTALL_DIR%", "%WINDOWS%", "%PROGRAM_FILES%", "%MY_DOCUMENTS%", "%STARTUP%",
    // "%APPLICATION_DATA%" and "%WINDOWS_HELP%" (any letter case). Fails on an unknown or
    // unterminated macro, an empty install folder and a result that does not fit into size
    // characters; the output is then empty.
    static bool ExpandPath(LPCWSTR pattern, LPWSTR output, int size);
    // The folder the installer recorded; false (and empty) when there is none.
    static bool GetInstallDir(LPWSTR folder, int size);

    // Deletes the files matching a pattern (macros expanded); true when the pattern has a folder.
    static bool DeleteMatchingFiles(LPCWSTR pattern);
    // Deletes a folder with everything in it; false when anything could not be removed. A link is
    // removed, never followed.
    static bool RemoveDirectoryTree(LPCWSTR folder);

    // (a - b) in units of the given number of milliseconds; 0 for a null argument or unit 0.
    static LONGLONG FileTimeDiff(const FILETIME* a, const FILETIME* b, LONGLONG unitMs);
    static LONGLONG SystemTimeDiff(const SYSTEMTIME* a, const SYSTEMTIME* b, LONGLONG unitMs);
    static bool AddToFileTime(FILETIME* time, LONGLONG milliseconds);
    static bool AddToSystemTime(SYSTEMTIME* time, LONGLONG milliseconds);
    // A time of day from a 12-hour text such as "7:05 pm"; only the picture "h:m tt" is understood.
    static bool ParseTime(LPCWSTR text, LPCWSTR picture, SYSTEMTIME* time);

    // The text cut to the rectangle's width with "..." appended when it does not fit whole; only
    // "..." when not even one character fits beside it.
    static bool FitTextEllipsis(LPCWSTR text, LPWSTR output, int size, HDC hdc, const RECT* rect);
    // A new font like the given one (the system font for null), weight 700; the caller deletes it.
    static HFONT CreateBoldFont(HFONT font);

    static bool IsWordBreakChar(WCHAR c);
    static LPCWSTR FindWordBreak(LPCWSTR text);
    static LPCWSTR FindNoCase(LPCWSTR text, LPCWSTR part);

private:
    bool IsLandscape() const { return m_screenWidth > m_screenHeight; }

    HINSTANCE m_instance;
    int m_screenWidth = 0;
    int m_screenHeight = 0;
    int m_baseFontSize = 0;
    int m_pixelsPerInch = 0;
    int m_screenClass = 240;
    COLORREF m_themeColor = 0;
    DWORD m_baseHue = 0;
    DWORD m_smartphone = 0;
    IOrientationListener* m_listener = nullptr;
};

// The process's device information, made at start-up by the program or a plug-in; null until then.
extern CSysInfo* g_pSysInfo;
