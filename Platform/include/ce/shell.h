// The shell of the device: full-screen dialogs, the soft-key menu bar, the Back key, the input panel,
// tap-and-hold, the full-screen switch, special folders and ShellExecuteEx.
//
// A menu bar resource (SHCreateMenuBar's nToolBarId) is an RT_RCDATA resource of WORDs: the id of its
// RT_MENU resource, the number of buttons, then for each button seven WORDs: image (I_IMAGENONE),
// command, state (TBSTATE_), style (TBSTYLE_), caption string id, 0, and the index of its sub-menu in the
// menu (NOMENU for none).
#pragma once

#include "ce/com.h"
#include "ce/types.h"
#include "ce/user.h"

// ---- full-screen dialogs --------------------------------------------------------------------------
typedef struct tagSHINITDLGINFO {
    DWORD dwMask;
    HWND hDlg;
    DWORD dwFlags;
} SHINITDLGINFO, *PSHINITDLGINFO;

#define SHIDIM_FLAGS 0x0001
#define SHIDIF_DONEBUTTON 0x0001
#define SHIDIF_SIZEDLG 0x0002
#define SHIDIF_SIZEDLGFULLSCREEN 0x0004
#define SHIDIF_SIPDOWN 0x0008
#define SHIDIF_FULLSCREENNOMENUBAR 0x0010
#define SHIDIF_EMPTYMENU 0x0020
#define SHIDIF_CANCELBUTTON 0x0080

// ---- the soft-key menu bar ------------------------------------------------------------------------
typedef struct tagSHMENUBARINFO {
    DWORD cbSize;
    HWND hwndParent;
    DWORD dwFlags;
    UINT nToolBarId;
    HINSTANCE hInstRes;
    int nBmpId;
    int cBmpImages;
    HWND hwndMB;
    COLORREF clrBk;
} SHMENUBARINFO, *PSHMENUBARINFO;

#define SHCMBF_EMPTYBAR 0x0001
#define SHCMBF_HIDDEN 0x0002
#define SHCMBF_HIDESIPBUTTON 0x0004
#define SHCMBF_COLORBK 0x0008
#define SHCMBF_HMENU 0x0010  // nToolBarId is an RT_MENU resource; its top-level items become the buttons

#define SHCMBM_SETSUBMENU (WM_USER + 400)
#define SHCMBM_GETSUBMENU (WM_USER + 401)  // lParam: the button's command -> its sub-menu
#define SHCMBM_GETMENU (WM_USER + 402)
#define SHCMBM_OVERRIDEKEY (WM_USER + 403)  // wParam: key; lParam: MAKELPARAM(mask, values) of SHMBOF_

#define SHMBOF_NODEFAULT 0x00000001  // the key's default action is not taken
#define SHMBOF_NOTIFY 0x00000002     // the owner gets WM_HOTKEY for the key (MOD_KEYUP on release)

typedef struct _TBBUTTON {
    int iBitmap;
    int idCommand;
    BYTE fsState;
    BYTE fsStyle;
    BYTE bReserved[2];
    DWORD_PTR dwData;
    INT_PTR iString;
} TBBUTTON, *PTBBUTTON, *LPTBBUTTON;

typedef struct {
    UINT cbSize;
    DWORD dwMask;
    int idCommand;
    int iImage;
    BYTE fsState;
    BYTE fsStyle;
    WORD cx;
    DWORD_PTR lParam;
    LPWSTR pszText;
    int cchText;
} TBBUTTONINFOW, *LPTBBUTTONINFOW;
typedef TBBUTTONINFOW TBBUTTONINFO;

#define TBIF_IMAGE 0x00000001
#define TBIF_TEXT 0x00000002
#define TBIF_STATE 0x00000004
#define TBIF_STYLE 0x00000008
#define TBIF_LPARAM 0x00000010
#define TBIF_COMMAND 0x00000020
#define TBIF_SIZE 0x00000040
#define TBIF_BYINDEX 0x80000000

#define TBSTATE_CHECKED 0x01
#define TBSTATE_PRESSED 0x02
#define TBSTATE_ENABLED 0x04
#define TBSTATE_HIDDEN 0x08
#define TBSTATE_INDETERMINATE 0x10

#define TBSTYLE_BUTTON 0x0000
#define TBSTYLE_SEP 0x0001
#define TBSTYLE_CHECK 0x0002
#define TBSTYLE_DROPDOWN 0x0008
#define TBSTYLE_AUTOSIZE 0x0010

#define I_IMAGENONE (-2)
#define NOMENU 0xFFFF

#define TB_ENABLEBUTTON (WM_USER + 1)
#define TB_ISBUTTONENABLED (WM_USER + 9)
#define TB_SETSTATE (WM_USER + 17)
#define TB_GETSTATE (WM_USER + 18)
#define TB_GETBUTTON (WM_USER + 23)
#define TB_BUTTONCOUNT (WM_USER + 24)
#define TB_COMMANDTOINDEX (WM_USER + 25)
#define TB_GETBUTTONINFO (WM_USER + 63)
#define TB_SETBUTTONINFO (WM_USER + 64)

// ---- activation and settings ----------------------------------------------------------------------
typedef struct {
    DWORD cbSize;
    HWND hwndLastFocus;
    UINT fSipUp : 1;
    UINT fSipOnDeactivation : 1;
    UINT fActive : 1;
    UINT fReserved : 29;
} SHACTIVATEINFO, *PSHACTIVATEINFO;

#define SHA_INPUTDIALOG 0x00000001

// ---- the full-screen switch -----------------------------------------------------------------------
#define SHFS_SHOWTASKBAR 0x0001
#define SHFS_HIDETASKBAR 0x0002
#define SHFS_SHOWSIPBUTTON 0x0004
#define SHFS_HIDESIPBUTTON 0x0008
#define SHFS_SHOWSTARTICON 0x0010
#define SHFS_HIDESTARTICON 0x0020

// ---- the input panel ------------------------------------------------------------------------------
typedef struct {
    DWORD cbSize;
    DWORD fdwFlags;
    RECT rcVisibleDesktop;
    RECT rcSipRect;
    DWORD dwImDataSize;
    void* pvImData;
} SIPINFO, *PSIPINFO;

#define SIPF_OFF 0x00000000
#define SIPF_ON 0x00000001
#define SIPF_DOCKED 0x00000002
#define SIPF_LOCKED 0x00000004

typedef enum { SIP_UP = 0, SIP_DOWN, SIP_FORCEDOWN, SIP_UNCHANGED, SIP_INPUTDIALOG } SIPSTATE;

// ---- tap-and-hold ---------------------------------------------------------------------------------
typedef struct tagSHRGI {
    DWORD cbSize;
    HWND hwndClient;
    POINT ptDown;
    DWORD dwFlags;
} SHRGINFO, *PSHRGINFO;

#define SHRG_RETURNCMD 0x00000001
#define SHRG_NOTIFYPARENT 0x00000002
#define SHRG_LONGDELAY 0x00000008
#define GN_CONTEXTMENU 1000

typedef struct tagNMRGINFO {
    NMHDR hdr;
    POINT ptAction;
    DWORD dwItemSpec;
} NMRGINFO, *PNMRGINFO;

// ---- ShellExecuteEx and special folders -----------------------------------------------------------
typedef struct _SHELLEXECUTEINFO {
    DWORD cbSize;
    ULONG fMask;
    HWND hwnd;
    LPCWSTR lpVerb;
    LPCWSTR lpFile;
    LPCWSTR lpParameters;
    LPCWSTR lpDirectory;
    int nShow;
    HINSTANCE hInstApp;
    LPVOID lpIDList;
    LPCWSTR lpClass;
    HKEY hkeyClass;
    DWORD dwHotKey;
    HANDLE hIcon;
    HANDLE hProcess;
} SHELLEXECUTEINFO, *LPSHELLEXECUTEINFO;

#define SEE_MASK_NOCLOSEPROCESS 0x00000040
#define SEE_MASK_FLAG_NO_UI 0x00000400

#define CSIDL_PROGRAMS 0x0002
#define CSIDL_PERSONAL 0x0005
#define CSIDL_STARTUP 0x0007
#define CSIDL_APPDATA 0x001A
#define CSIDL_WINDOWS 0x0024
#define CSIDL_PROGRAM_FILES 0x0026

extern "C" {
CE_API BOOL SHInitDialog(PSHINITDLGINFO info);
CE_API BOOL SHCreateMenuBar(SHMENUBARINFO* info);
CE_API HWND SHFindMenuBar(HWND window);
CE_API BOOL SHHandleWMActivate(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info, DWORD flags);
CE_API BOOL SHHandleWMSettingChange(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info);
CE_API BOOL SHFullScreen(HWND window, DWORD state);
CE_API BOOL SHSipPreference(HWND window, SIPSTATE state);
CE_API BOOL SipGetInfo(SIPINFO* info);
CE_API BOOL SipShowIM(DWORD flags);
// Waits while the stylus stays down near the point; GN_CONTEXTMENU when it was held long enough
// (then, without SHRG_RETURNCMD, a WM_NOTIFY with NMRGINFO went to the window or its parent), else 0.
CE_API DWORD SHRecognizeGesture(SHRGINFO* info);
// A web address (or "iexplore.exe" with one as parameters) goes to the browser, which records it in the
// device log "urls"; another file is started as a program.
CE_API BOOL ShellExecuteEx(SHELLEXECUTEINFO* info);
CE_API BOOL SHGetSpecialFolderPath(HWND owner, LPWSTR path, int folder, BOOL create);
}

// ---- the start screen: Today items (Pocket PC) ----------------------------------------------------
// A Today item is a library registered under HKEY_LOCAL_MACHINE "Software\Microsoft\Today\Items\<name>"
// (values Dll, Enabled, Options, Type, Selectability, Order); the start screen loads it and calls its
// export ordinal 240 with the item's record and the screen's window, and gets the item's child window.
#define TODAYM_GETCOLOR (WM_USER + 100)       // wParam: TODAYCOLOR_; returns the COLORREF
#define TODAYM_DRAWWATERMARK (WM_USER + 101)  // lParam: TODAYDRAWWATERMARKINFO*
#define TODAYM_TOOKSELECTION (WM_USER + 102)  // wParam: the item window that took the selection

#define WM_TODAYCUSTOM_CLEARCACHE (WM_USER + 242)         // wParam: TODAYLISTITEM*
#define WM_TODAYCUSTOM_QUERYREFRESHCACHE (WM_USER + 243)  // wParam: TODAYLISTITEM*; TRUE: cyp changed
#define WM_TODAYCUSTOM_RECEIVEDSELECTION (WM_USER + 244)  // wParam: the key that moved it; TRUE: taken
#define WM_TODAYCUSTOM_LOSTSELECTION (WM_USER + 245)
#define WM_TODAYCUSTOM_USERNAVIGATION (WM_USER + 246)     // wParam: the key
#define WM_TODAYCUSTOM_ACTION (WM_USER + 247)

#define TODAYCOLOR_TEXT 0x10000004
#define TODAYCOLOR_HIGHLIGHT 0x10000022
#define TODAYCOLOR_HIGHLIGHTEDTEXT 0x10000023

#define ORDINAL_INITIALIZEITEM 240
#define ORDINAL_OPTIONSDIALOGPROC 241

#define MAX_ITEMNAME 32

typedef enum _TODAYLISTITEMTYPE {
    tlitOwnerInfo = 0,
    tlitAppointments,
    tlitMail,
    tlitTasks,
    tlitCustom,
    tlitNil
} TODAYLISTITEMTYPE;

typedef struct _TODAYLISTITEM {
    WCHAR szName[MAX_ITEMNAME];
    TODAYLISTITEMTYPE tlit;
    DWORD dwOrder;
    DWORD cyp;  // the item's height, kept up to date by the item
    BOOL fEnabled;
    BOOL fOptions;
    DWORD grflags;
    WCHAR szDLLPath[MAX_PATH];
    HINSTANCE hinstDLL;
    HWND hwndCustom;
    BOOL fSizeOnDraw;
    BYTE* prgbCachedData;
    DWORD cbCachedData;
} TODAYLISTITEM, *PTODAYLISTITEM;

typedef struct {
    HDC hdc;
    RECT rc;
    HWND hwnd;
} TODAYDRAWWATERMARKINFO;

typedef HWND(WINAPI* PFNCUSTOMINITIALIZEITEM)(TODAYLISTITEM* item, HWND parent);

// ---- the start screen: Home plug-ins (Smartphone) -------------------------------------------------
// The active scheme file is named by HKEY_CURRENT_USER "ControlPanel\Home" value Scheme; each of its
// <plugin clsid="{...}"> elements is an in-process COM class that the start screen creates as an
// IHomePlugin, hands its site (IHomePluginEnvironment), a handle and the element's XML as a stream, and
// then drives through OnEvent.
inline constexpr IID IID_IHomePlugin = {
    0x7F0C58E9, 0x4F30, 0x47BB, {0x96, 0x93, 0xD7, 0x78, 0xE9, 0x99, 0xC4, 0x33}};
inline constexpr IID IID_IHomePluginEnvironment = {
    0xE01A8A84, 0xDDEF, 0x438E, {0x90, 0x04, 0x3F, 0xB2, 0xA9, 0x08, 0xE4, 0x65}};

#define HPE_KEY 0     // key: the virtual key
#define HPE_ACTION 1  // the action key on the selected plug-in
#define HPE_PAINT 2   // paint: the screen's drawing, whether selected, the plug-in's rectangle in it
#define HPE_THEME 3   // the theme colours changed
#define HPE_RELOAD 5  // the program behind the plug-in asked for a refresh (SHOnPluginDataChange)

typedef struct _HOMEPAINTINFO {
    HDC hdc;
    BOOL fSelected;
    RECT rc;
} HOMEPAINTINFO;

typedef struct _HOMEPLUGINEVENT {
    DWORD type;  // HPE_
    union {
        WORD key;
        HOMEPAINTINFO paint;
    };
} HOMEPLUGINEVENT;

struct IHomePlugin : IObjectWithSite {
    virtual HRESULT STDMETHODCALLTYPE SetPluginHandle(DWORD handle) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetHeight(int* height) = 0;
    virtual HRESULT STDMETHODCALLTYPE IsSelectable(BOOL* selectable) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnEvent(HOMEPLUGINEVENT* event) = 0;

protected:
    ~IHomePlugin() = default;
};

// What the start screen offers its plug-ins. Colour names: COLOR_HOMETEXT, COLOR_HOMEHIGHLIGHTTEXT,
// COLOR_HOMEHIGHLIGHT, COLOR_HOMERULE (and the system colour names, e.g. COLOR_TRAYGRADLEFT).
struct IHomePluginEnvironment : IUnknown {
    // Repaints the plug-in; part -1 is all of it.
    virtual HRESULT STDMETHODCALLTYPE InvalidatePlugin(DWORD handle, int part) = 0;
    // Not offered here: E_NOTIMPL.
    virtual HRESULT STDMETHODCALLTYPE GetPluginFont(DWORD handle, BSTR name, void* font) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetNamedColor(DWORD handle, BSTR name, COLORREF* color) = 0;

protected:
    ~IHomePluginEnvironment() = default;
};

extern "C" {
// Asks the running start screen to refresh every plug-in of this class (aygshell ordinal 2008);
// S_FALSE when no start screen runs on the device.
CE_API HRESULT SHOnPluginDataChange(REFCLSID clsid);
}

namespace ce {
// The start screen's own window class and the message through which SHOnPluginDataChange reaches it
// from any process of the device: wParam and lParam carry the class id's two halves.
inline constexpr const char16_t* kStartScreenClass = u"ceStartScreen";
constexpr UINT kPluginDataChangeMessage = WM_USER + 0x7E0;
}  // namespace ce
