// Windows, messages, classes, timers, focus, capture, dialogs from templates, menus and the standard
// controls of the device platform.
//
// Values that carry pointers are pointer-sized: SetWindowLongW/GetWindowLongW keep their names but take
// and return LONG_PTR, and DWL_MSGRESULT, DWL_DLGPROC and DWL_USER name pointer-sized slots of a dialog.
#pragma once

#include "ce/gdi.h"
#include "ce/kernel.h"
#include "ce/types.h"

typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef INT_PTR(CALLBACK* DLGPROC)(HWND, UINT, WPARAM, LPARAM);
typedef void(CALLBACK* TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);

// ---- structures -----------------------------------------------------------------------------------
typedef struct tagWNDCLASSW {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
} WNDCLASSW, *PWNDCLASSW, *LPWNDCLASSW;
typedef WNDCLASSW WNDCLASS;

typedef struct tagCREATESTRUCTW {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCWSTR lpszName;
    LPCWSTR lpszClass;
    DWORD dwExStyle;
} CREATESTRUCTW, *LPCREATESTRUCTW;
typedef CREATESTRUCTW CREATESTRUCT;
typedef LPCREATESTRUCTW LPCREATESTRUCT;

typedef struct tagMSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
} MSG, *PMSG, *LPMSG;

typedef struct tagPAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
} PAINTSTRUCT, *PPAINTSTRUCT, *LPPAINTSTRUCT;

typedef struct tagWINDOWPOS {
    HWND hwnd;
    HWND hwndInsertAfter;
    int x;
    int y;
    int cx;
    int cy;
    UINT flags;
} WINDOWPOS, *LPWINDOWPOS, *PWINDOWPOS;

typedef struct tagNMHDR {
    HWND hwndFrom;
    UINT_PTR idFrom;
    UINT code;
} NMHDR, *LPNMHDR;

typedef struct tagDRAWITEMSTRUCT {
    UINT CtlType;
    UINT CtlID;
    UINT itemID;
    UINT itemAction;
    UINT itemState;
    HWND hwndItem;
    HDC hDC;
    RECT rcItem;
    ULONG_PTR itemData;
} DRAWITEMSTRUCT, *LPDRAWITEMSTRUCT;

typedef struct tagMEASUREITEMSTRUCT {
    UINT CtlType;
    UINT CtlID;
    UINT itemID;
    UINT itemWidth;
    UINT itemHeight;
    ULONG_PTR itemData;
} MEASUREITEMSTRUCT, *LPMEASUREITEMSTRUCT;

typedef struct tagTPMPARAMS {
    UINT cbSize;
    RECT rcExclude;
} TPMPARAMS, *LPTPMPARAMS;

// In-memory dialog templates: the header, then the menu, class and title (each 0x0000, 0xFFFF and an
// ordinal, or a terminated string), the point size and face name with DS_SETFONT, then each item on a
// DWORD boundary: the item header, its class (0xFFFF and an atom, or a string), its title, and a WORD
// count of creation data bytes that follow.
#pragma pack(push, 2)
typedef struct {
    DWORD style;
    DWORD dwExtendedStyle;
    WORD cdit;
    short x;
    short y;
    short cx;
    short cy;
} DLGTEMPLATE, *LPDLGTEMPLATE;
typedef const DLGTEMPLATE* LPCDLGTEMPLATE;
typedef const DLGTEMPLATE* LPCDLGTEMPLATEW;

typedef struct {
    DWORD style;
    DWORD dwExtendedStyle;
    short x;
    short y;
    short cx;
    short cy;
    WORD id;
} DLGITEMTEMPLATE, *LPDLGITEMTEMPLATE;
#pragma pack(pop)

// ---- window messages ------------------------------------------------------------------------------
#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_MOVE 0x0003
#define WM_SIZE 0x0005
#define WM_ACTIVATE 0x0006
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_ENABLE 0x000A
#define WM_SETREDRAW 0x000B
#define WM_SETTEXT 0x000C
#define WM_GETTEXT 0x000D
#define WM_GETTEXTLENGTH 0x000E
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_ERASEBKGND 0x0014
#define WM_SYSCOLORCHANGE 0x0015
#define WM_SHOWWINDOW 0x0018
#define WM_SETTINGCHANGE 0x001A
#define WM_WININICHANGE WM_SETTINGCHANGE
#define WM_CANCELMODE 0x001F
#define WM_SETCURSOR 0x0020
#define WM_DRAWITEM 0x002B
#define WM_MEASUREITEM 0x002C
#define WM_NEXTDLGCTL 0x0028
#define WM_SETFONT 0x0030
#define WM_GETFONT 0x0031
#define WM_WINDOWPOSCHANGED 0x0047
#define WM_NOTIFY 0x004E
#define WM_HELP 0x0053
#define WM_CONTEXTMENU 0x007B
#define WM_GETDLGCODE 0x0087
#define WM_KEYFIRST 0x0100
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_KEYLAST 0x0108
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WM_SYSCOMMAND 0x0112
#define WM_TIMER 0x0113
#define WM_HSCROLL 0x0114
#define WM_VSCROLL 0x0115
#define WM_INITMENUPOPUP 0x0117
#define WM_CTLCOLOREDIT 0x0133
#define WM_CTLCOLORLISTBOX 0x0134
#define WM_CTLCOLORBTN 0x0135
#define WM_CTLCOLORDLG 0x0136
#define WM_CTLCOLORSCROLLBAR 0x0137
#define WM_CTLCOLORSTATIC 0x0138
#define WM_MOUSEFIRST 0x0200
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_LBUTTONDBLCLK 0x0203
#define WM_MOUSELAST 0x0209
#define WM_CAPTURECHANGED 0x0215
#define WM_HOTKEY 0x0312
#define WM_USER 0x0400
#define WM_APP 0x8000

// WM_ACTIVATE: the low word of wParam.
#define WA_INACTIVE 0
#define WA_ACTIVE 1
#define WA_CLICKACTIVE 2

// WM_SIZE: wParam.
#define SIZE_RESTORED 0
#define SIZE_MINIMIZED 1
#define SIZE_MAXIMIZED 2

#define MK_LBUTTON 0x0001
#define MK_SHIFT 0x0004
#define MK_CONTROL 0x0008

// WM_HOTKEY: the low word of lParam.
#define MOD_ALT 0x0001
#define MOD_CONTROL 0x0002
#define MOD_SHIFT 0x0004
#define MOD_WIN 0x0008
#define MOD_KEYUP 0x1000

// ---- window styles --------------------------------------------------------------------------------
#define WS_OVERLAPPED 0x00000000L
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_VISIBLE 0x10000000L
#define WS_DISABLED 0x08000000L
#define WS_CLIPSIBLINGS 0x04000000L
#define WS_CLIPCHILDREN 0x02000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_DLGFRAME 0x00400000L
#define WS_VSCROLL 0x00200000L
#define WS_HSCROLL 0x00100000L
#define WS_SYSMENU 0x00080000L
#define WS_THICKFRAME 0x00040000L
#define WS_GROUP 0x00020000L
#define WS_TABSTOP 0x00010000L

#define WS_EX_DLGMODALFRAME 0x00000001L
#define WS_EX_TOPMOST 0x00000008L
#define WS_EX_TOOLWINDOW 0x00000080L
#define WS_EX_WINDOWEDGE 0x00000100L
#define WS_EX_CLIENTEDGE 0x00000200L
#define WS_EX_CONTEXTHELP 0x00000400L
#define WS_EX_STATICEDGE 0x00020000L
#define WS_EX_OVERLAPPEDWINDOW (WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE)
#define WS_EX_NOANIMATION 0x04000000L
#define WS_EX_NODRAG 0x40000000L
#define WS_EX_CAPTIONOKBTN 0x80000000L

#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define CS_DBLCLKS 0x0008
#define CS_NOCLOSE 0x0200
#define CS_GLOBALCLASS 0x4000

#define CW_USEDEFAULT ((int)0x80000000)

#define GWL_WNDPROC (-4)
#define GWL_HINSTANCE (-6)
#define GWL_HWNDPARENT (-8)
#define GWL_ID (-12)
#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)
#define GWL_USERDATA (-21)
#define DWL_MSGRESULT 0
#define DWL_DLGPROC 4
#define DWL_USER 8
#define DLGWINDOWEXTRA 12

#define GW_HWNDFIRST 0
#define GW_HWNDLAST 1
#define GW_HWNDNEXT 2
#define GW_HWNDPREV 3
#define GW_OWNER 4
#define GW_CHILD 5

#define HWND_TOP ((HWND)0)
#define HWND_BOTTOM ((HWND)1)
#define HWND_TOPMOST ((HWND)-1)
#define HWND_NOTOPMOST ((HWND)-2)
#define HWND_DESKTOP ((HWND)0)
#define HWND_BROADCAST ((HWND)0xffff)

#define SWP_NOSIZE 0x0001
#define SWP_NOMOVE 0x0002
#define SWP_NOZORDER 0x0004
#define SWP_NOREDRAW 0x0008
#define SWP_NOACTIVATE 0x0010
#define SWP_FRAMECHANGED 0x0020
#define SWP_SHOWWINDOW 0x0040
#define SWP_HIDEWINDOW 0x0080
#define SWP_NOOWNERZORDER 0x0200

#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_SHOWMAXIMIZED 3
#define SW_MAXIMIZE 3
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_SHOWNA 8
#define SW_RESTORE 9

#define RDW_INVALIDATE 0x0001
#define RDW_ERASE 0x0004
#define RDW_ALLCHILDREN 0x0080
#define RDW_UPDATENOW 0x0100

#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001
#define PM_NOYIELD 0x0002

#define QS_KEY 0x0001
#define QS_MOUSEMOVE 0x0002
#define QS_MOUSEBUTTON 0x0004
#define QS_MOUSE (QS_MOUSEMOVE | QS_MOUSEBUTTON)
#define QS_POSTMESSAGE 0x0008
#define QS_TIMER 0x0010
#define QS_PAINT 0x0020
#define QS_SENDMESSAGE 0x0040
#define QS_INPUT (QS_MOUSE | QS_KEY)
#define QS_ALLEVENTS (QS_INPUT | QS_POSTMESSAGE | QS_TIMER | QS_PAINT)
#define QS_ALLINPUT (QS_SENDMESSAGE | QS_PAINT | QS_TIMER | QS_POSTMESSAGE | QS_MOUSEBUTTON | QS_MOUSEMOVE | QS_KEY)
#define MWMO_INPUTAVAILABLE 0x0004

// ---- virtual keys ---------------------------------------------------------------------------------
#define VK_LBUTTON 0x01
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_DELETE 0x2E
#define VK_LWIN 0x5B
#define VK_F1 0x70
#define VK_F2 0x71
#define VK_F3 0x72
#define VK_F4 0x73
#define VK_PROCESSKEY 0xE5
#define VK_PACKET 0xE7
// The device's named keys.
#define VK_TSOFT1 VK_F1
#define VK_TSOFT2 VK_F2
#define VK_TTALK VK_F3
#define VK_TEND VK_F4
#define VK_THOME VK_LWIN
#define VK_TBACK VK_ESCAPE
#define VK_TACTION VK_RETURN
#define VK_TUP VK_UP
#define VK_TDOWN VK_DOWN
#define VK_TLEFT VK_LEFT
#define VK_TRIGHT VK_RIGHT

// ---- dialogs --------------------------------------------------------------------------------------
#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7

#define DS_ABSALIGN 0x01L
#define DS_3DLOOK 0x04L
#define DS_SETFONT 0x40L
#define DS_MODALFRAME 0x80L
#define DS_SETFOREGROUND 0x200L
#define DS_CONTROL 0x400L
#define DS_CENTER 0x800L

#define DLGC_WANTARROWS 0x0001
#define DLGC_WANTTAB 0x0002
#define DLGC_WANTALLKEYS 0x0004
#define DLGC_WANTMESSAGE 0x0004
#define DLGC_HASSETSEL 0x0008
#define DLGC_DEFPUSHBUTTON 0x0010
#define DLGC_UNDEFPUSHBUTTON 0x0020
#define DLGC_RADIOBUTTON 0x0040
#define DLGC_WANTCHARS 0x0080
#define DLGC_STATIC 0x0100
#define DLGC_BUTTON 0x2000

#define MB_OK 0x00000000L
#define MB_OKCANCEL 0x00000001L
#define MB_YESNOCANCEL 0x00000003L
#define MB_YESNO 0x00000004L
#define MB_ICONHAND 0x00000010L
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONQUESTION 0x00000020L
#define MB_ICONEXCLAMATION 0x00000030L
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONASTERISK 0x00000040L
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_DEFBUTTON2 0x00000100L
#define MB_APPLMODAL 0x00000000L
#define MB_SETFOREGROUND 0x00010000L
#define MB_TOPMOST 0x00040000L

// ---- menus ----------------------------------------------------------------------------------------
#define MF_STRING 0x0000L
#define MF_ENABLED 0x0000L
#define MF_UNCHECKED 0x0000L
#define MF_BYCOMMAND 0x0000L
#define MF_GRAYED 0x0001L
#define MF_DISABLED 0x0002L
#define MF_CHECKED 0x0008L
#define MF_POPUP 0x0010L
#define MF_BYPOSITION 0x0400L
#define MF_SEPARATOR 0x0800L
#define MF_END 0x0080L

#define TPM_LEFTALIGN 0x0000L
#define TPM_CENTERALIGN 0x0004L
#define TPM_RIGHTALIGN 0x0008L
#define TPM_TOPALIGN 0x0000L
#define TPM_VCENTERALIGN 0x0010L
#define TPM_BOTTOMALIGN 0x0020L
#define TPM_HORIZONTAL 0x0000L
#define TPM_VERTICAL 0x0040L
#define TPM_NONOTIFY 0x0080L
#define TPM_RETURNCMD 0x0100L

// ---- standard controls ----------------------------------------------------------------------------
// Class names "STATIC", "BUTTON", "EDIT" and "COMBOBOX" (letter case ignored).
#define WC_STATIC u"Static"
#define WC_BUTTON u"Button"
#define WC_EDIT u"Edit"
#define WC_COMBOBOX u"ComboBox"

#define SS_LEFT 0x00000000L
#define SS_CENTER 0x00000001L
#define SS_RIGHT 0x00000002L
#define SS_BITMAP 0x0000000EL
#define SS_LEFTNOWORDWRAP 0x0000000CL
#define SS_NOPREFIX 0x00000080L
#define SS_NOTIFY 0x00000100L
#define SS_CENTERIMAGE 0x00000200L
#define STM_SETIMAGE 0x0172
#define STM_GETIMAGE 0x0173
#define IMAGE_BITMAP 0
#define STN_CLICKED 0

#define BS_PUSHBUTTON 0x00000000L
#define BS_DEFPUSHBUTTON 0x00000001L
#define BS_CHECKBOX 0x00000002L
#define BS_AUTOCHECKBOX 0x00000003L
#define BS_RADIOBUTTON 0x00000004L
#define BS_AUTORADIOBUTTON 0x00000009L
#define BS_OWNERDRAW 0x0000000BL
#define BS_TYPEMASK 0x0000000FL
#define BM_GETCHECK 0x00F0
#define BM_SETCHECK 0x00F1
#define BM_GETSTATE 0x00F2
#define BM_SETSTATE 0x00F3
#define BM_CLICK 0x00F5
#define BST_UNCHECKED 0x0000
#define BST_CHECKED 0x0001
#define BST_INDETERMINATE 0x0002
#define BST_PUSHED 0x0004
#define BST_FOCUS 0x0008
#define BN_CLICKED 0

#define ES_LEFT 0x0000L
#define ES_CENTER 0x0001L
#define ES_RIGHT 0x0002L
#define ES_MULTILINE 0x0004L
#define ES_UPPERCASE 0x0008L
#define ES_LOWERCASE 0x0010L
#define ES_PASSWORD 0x0020L
#define ES_AUTOVSCROLL 0x0040L
#define ES_AUTOHSCROLL 0x0080L
#define ES_NOHIDESEL 0x0100L
#define ES_READONLY 0x0800L
#define ES_WANTRETURN 0x1000L
#define ES_NUMBER 0x2000L
#define EM_GETSEL 0x00B0
#define EM_SETSEL 0x00B1
#define EM_GETRECT 0x00B2
#define EM_SCROLLCARET 0x00B7
#define EM_GETMODIFY 0x00B8
#define EM_SETMODIFY 0x00B9
#define EM_GETLINECOUNT 0x00BA
#define EM_LINEINDEX 0x00BB
#define EM_LINELENGTH 0x00C1
#define EM_REPLACESEL 0x00C2
#define EM_LIMITTEXT 0x00C5
#define EM_SETLIMITTEXT EM_LIMITTEXT
#define EM_LINEFROMCHAR 0x00C9
#define EM_SETPASSWORDCHAR 0x00CC
#define EM_GETFIRSTVISIBLELINE 0x00CE
#define EM_SETREADONLY 0x00CF
#define EM_GETLIMITTEXT 0x00D5
#define EM_POSFROMCHAR 0x00D6
#define EM_CHARFROMPOS 0x00D7
#define EM_SETINPUTMODE (WM_USER + 222)
#define EM_GETINPUTMODE (WM_USER + 223)
#define EIM_SPELL 0
#define EIM_AMBIG 1
#define EIM_NUMBERS 2
#define EIM_TEXT 3
#define EN_SETFOCUS 0x0100
#define EN_KILLFOCUS 0x0200
#define EN_CHANGE 0x0300
#define EN_UPDATE 0x0400
#define EN_MAXTEXT 0x0501

#define CBS_SIMPLE 0x0001L
#define CBS_DROPDOWN 0x0002L
#define CBS_DROPDOWNLIST 0x0003L
#define CB_ERR (-1)
#define CB_ADDSTRING 0x0143
#define CB_DELETESTRING 0x0144
#define CB_GETCOUNT 0x0146
#define CB_GETCURSEL 0x0147
#define CB_GETLBTEXT 0x0148
#define CB_GETLBTEXTLEN 0x0149
#define CB_INSERTSTRING 0x014A
#define CB_RESETCONTENT 0x014B
#define CB_FINDSTRINGEXACT 0x0158
#define CB_SETCURSEL 0x014E
#define CB_SHOWDROPDOWN 0x014F
#define CB_GETITEMDATA 0x0150
#define CB_SETITEMDATA 0x0151
#define CB_GETDROPPEDSTATE 0x0157
#define CBN_SELCHANGE 1
#define CBN_DROPDOWN 7
#define CBN_CLOSEUP 8

// ---- cursors, system parameters -------------------------------------------------------------------
#define IDC_ARROW MAKEINTRESOURCEW(32512)
#define IDC_WAIT MAKEINTRESOURCEW(32514)

#define SPI_GETWORKAREA 48
#define SPI_SETSIPINFO 224
#define SPI_GETSIPINFO 225
#define SPI_GETBATTERYIDLETIMEOUT 252
#define SPI_GETEXTERNALIDLETIMEOUT 254
#define SPI_GETWAKEUPIDLETIMEOUT 256

extern "C" {
// ---- classes and windows --------------------------------------------------------------------------
CE_API ATOM RegisterClassW(const WNDCLASSW* windowClass);
CE_API BOOL UnregisterClassW(LPCWSTR className, HINSTANCE instance);
CE_API BOOL GetClassInfoW(HINSTANCE instance, LPCWSTR className, LPWNDCLASSW windowClass);
CE_API int GetClassNameW(HWND window, LPWSTR buffer, int size);
CE_API HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR title, DWORD style, int x, int y,
                            int width, int height, HWND parent, HMENU menuOrId, HINSTANCE instance,
                            LPVOID parameter);
CE_API BOOL DestroyWindow(HWND window);
CE_API BOOL IsWindow(HWND window);
CE_API BOOL IsWindowVisible(HWND window);
CE_API BOOL IsWindowEnabled(HWND window);
CE_API BOOL IsChild(HWND parent, HWND window);
CE_API BOOL EnableWindow(HWND window, BOOL enable);
CE_API BOOL ShowWindow(HWND window, int command);
CE_API HWND GetParent(HWND window);
CE_API HWND SetParent(HWND window, HWND parent);
CE_API HWND GetWindow(HWND window, UINT relation);
CE_API HWND GetDesktopWindow(void);
CE_API DWORD GetWindowThreadProcessId(HWND window, LPDWORD processId);
CE_API LONG_PTR GetWindowLongW(HWND window, int index);
CE_API LONG_PTR SetWindowLongW(HWND window, int index, LONG_PTR value);
CE_API LRESULT CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
CE_API LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
CE_API BOOL SetWindowTextW(HWND window, LPCWSTR text);
CE_API int GetWindowTextW(HWND window, LPWSTR buffer, int size);
CE_API int GetWindowTextLengthW(HWND window);
CE_API HWND FindWindowW(LPCWSTR className, LPCWSTR title);

// ---- geometry -------------------------------------------------------------------------------------
CE_API BOOL GetWindowRect(HWND window, LPRECT rect);
CE_API BOOL GetClientRect(HWND window, LPRECT rect);
CE_API BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
CE_API BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
CE_API BOOL BringWindowToTop(HWND window);
CE_API int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count);
CE_API BOOL ScreenToClient(HWND window, LPPOINT point);
CE_API BOOL ClientToScreen(HWND window, LPPOINT point);
CE_API HWND WindowFromPoint(POINT point);
CE_API HWND ChildWindowFromPoint(HWND parent, POINT point);

// ---- messages and queues --------------------------------------------------------------------------
CE_API LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
CE_API BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
CE_API BOOL PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
CE_API void PostQuitMessage(int exitCode);
CE_API BOOL GetMessageW(LPMSG message, HWND window, UINT first, UINT last);
CE_API BOOL PeekMessageW(LPMSG message, HWND window, UINT first, UINT last, UINT remove);
CE_API LRESULT DispatchMessageW(const MSG* message);
CE_API BOOL TranslateMessage(const MSG* message);
CE_API BOOL WaitMessage(void);
CE_API DWORD GetQueueStatus(UINT flags);
CE_API DWORD GetMessagePos(void);
CE_API LONG GetMessageTime(void);
// Waits for a handle or for input to the thread's queue; WAIT_OBJECT_0 + count when a message arrived.
CE_API DWORD MsgWaitForMultipleObjectsEx(DWORD count, const HANDLE* handles, DWORD milliseconds, DWORD wakeMask,
                                         DWORD flags);
CE_API UINT RegisterWindowMessageW(LPCWSTR name);
CE_API SHORT GetKeyState(int virtualKey);
CE_API SHORT GetAsyncKeyState(int virtualKey);

// ---- timers ---------------------------------------------------------------------------------------
CE_API UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC procedure);
CE_API BOOL KillTimer(HWND window, UINT_PTR id);

// ---- activation, focus and capture ----------------------------------------------------------------
CE_API HWND SetActiveWindow(HWND window);
CE_API HWND GetActiveWindow(void);
CE_API BOOL SetForegroundWindow(HWND window);
CE_API HWND GetForegroundWindow(void);
CE_API HWND SetFocus(HWND window);
CE_API HWND GetFocus(void);
CE_API HWND SetCapture(HWND window);
CE_API BOOL ReleaseCapture(void);
CE_API HWND GetCapture(void);

// ---- painting -------------------------------------------------------------------------------------
CE_API BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
CE_API BOOL ValidateRect(HWND window, const RECT* rect);
CE_API BOOL GetUpdateRect(HWND window, LPRECT rect, BOOL erase);
CE_API BOOL UpdateWindow(HWND window);
CE_API BOOL RedrawWindow(HWND window, const RECT* rect, HRGN region, UINT flags);
CE_API HDC BeginPaint(HWND window, LPPAINTSTRUCT paint);
CE_API BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
CE_API HDC GetDC(HWND window);
CE_API HDC GetWindowDC(HWND window);
CE_API int ReleaseDC(HWND window, HDC dc);

// ---- dialogs --------------------------------------------------------------------------------------
CE_API INT_PTR DialogBoxIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATEW dialogTemplate, HWND owner,
                                       DLGPROC procedure, LPARAM parameter);
CE_API HWND CreateDialogIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATEW dialogTemplate, HWND owner,
                                       DLGPROC procedure, LPARAM parameter);
CE_API BOOL EndDialog(HWND dialog, INT_PTR result);
CE_API HWND GetDlgItem(HWND dialog, int id);
CE_API int GetDlgCtrlID(HWND window);
CE_API LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
CE_API BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text);
CE_API UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR buffer, int size);
CE_API BOOL CheckDlgButton(HWND dialog, int id, UINT check);
CE_API UINT IsDlgButtonChecked(HWND dialog, int id);
CE_API HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
CE_API BOOL IsDialogMessageW(HWND dialog, LPMSG message);
CE_API LRESULT DefDlgProcW(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
CE_API int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

// ---- menus ----------------------------------------------------------------------------------------
CE_API HMENU CreateMenu(void);
CE_API HMENU CreatePopupMenu(void);
CE_API BOOL DestroyMenu(HMENU menu);
CE_API BOOL IsMenu(HMENU menu);
CE_API BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR idOrPopup, LPCWSTR text);
CE_API BOOL InsertMenuW(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCWSTR text);
CE_API BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);
CE_API BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);
CE_API int GetMenuItemCount(HMENU menu);
CE_API UINT GetMenuItemID(HMENU menu, int position);
CE_API UINT GetMenuState(HMENU menu, UINT item, UINT flags);
CE_API int GetMenuStringW(HMENU menu, UINT item, LPWSTR buffer, int size, UINT flags);
CE_API HMENU GetSubMenu(HMENU menu, int position);
CE_API DWORD CheckMenuItem(HMENU menu, UINT item, UINT check);
CE_API BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable);
CE_API HMENU LoadMenuW(HINSTANCE instance, LPCWSTR name);
// Returns the chosen command with TPM_RETURNCMD (0 when none); otherwise posts WM_COMMAND to the owner.
CE_API BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, LPTPMPARAMS params);
CE_API BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* rect);

// ---- cursors and system parameters ----------------------------------------------------------------
CE_API HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name);
CE_API HCURSOR SetCursor(HCURSOR cursor);
CE_API HCURSOR GetCursor(void);
CE_API BOOL SystemParametersInfoW(UINT action, UINT param, PVOID value, UINT winIni);
CE_API BOOL MessageBeep(UINT type);
}

#define RegisterClass RegisterClassW
#define CreateWindowEx CreateWindowExW
#define SendMessage SendMessageW
#define PostMessage PostMessageW
#define GetMessage GetMessageW
#define PeekMessage PeekMessageW
#define DispatchMessage DispatchMessageW
#define DefWindowProc DefWindowProcW
#define FindWindow FindWindowW
#define SetWindowLong SetWindowLongW
#define GetWindowLong GetWindowLongW
#define SetWindowText SetWindowTextW
#define GetWindowText GetWindowTextW
#define MessageBox MessageBoxW
#define DialogBoxIndirectParam DialogBoxIndirectParamW
#define SendDlgItemMessage SendDlgItemMessageW
#define IsDialogMessage IsDialogMessageW
#define LoadCursor LoadCursorW
#define SystemParametersInfo SystemParametersInfoW
