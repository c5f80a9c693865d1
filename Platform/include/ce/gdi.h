// Drawing on the device platform: device contexts, bitmaps and DIB sections, pens, brushes, regions,
// fonts and text, block transfers, and the screen's metrics and colours.
//
// Coordinates are device pixels; there is no mapping mode. Bitmaps are 1, 8, 16 (5-6-5 or 5-5-5),
// 24 or 32 bits a pixel; rows of a bitmap's pixel memory are padded to a multiple of 4 bytes.
#pragma once

#include "ce/types.h"

// ---- geometry -------------------------------------------------------------------------------------
typedef struct tagRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT, *PRECT, *LPRECT;
typedef const RECT* LPCRECT;

typedef struct tagPOINT {
    LONG x;
    LONG y;
} POINT, *PPOINT, *LPPOINT;

typedef struct tagSIZE {
    LONG cx;
    LONG cy;
} SIZE, *PSIZE, *LPSIZE;

// ---- bitmaps --------------------------------------------------------------------------------------
typedef struct tagBITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
} BITMAP, *PBITMAP, *LPBITMAP;

typedef struct tagRGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
} RGBQUAD, *LPRGBQUAD;

typedef struct tagBITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;  // positive: rows bottom-up; negative: rows top-down
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
} BITMAPINFOHEADER, *PBITMAPINFOHEADER, *LPBITMAPINFOHEADER;

// With BI_BITFIELDS the three colour masks (red, green, blue) follow the header in place of bmiColors.
typedef struct tagBITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
} BITMAPINFO, *PBITMAPINFO, *LPBITMAPINFO;

typedef struct tagDIBSECTION {
    BITMAP dsBm;
    BITMAPINFOHEADER dsBmih;
    DWORD dsBitfields[3];
    HANDLE dshSection;
    DWORD dsOffset;
} DIBSECTION, *PDIBSECTION, *LPDIBSECTION;

#define BI_RGB 0L
#define BI_BITFIELDS 3L
#define DIB_RGB_COLORS 0
#define DIB_PAL_COLORS 1

// ---- raster operations ----------------------------------------------------------------------------
#define SRCCOPY 0x00CC0020
#define SRCPAINT 0x00EE0086
#define SRCAND 0x008800C6
#define SRCINVERT 0x00660046
#define SRCERASE 0x00440328
#define NOTSRCCOPY 0x00330008
#define NOTSRCERASE 0x001100A6
#define MERGECOPY 0x00C000CA
#define MERGEPAINT 0x00BB0226
#define PATCOPY 0x00F00021
#define PATPAINT 0x00FB0A09
#define PATINVERT 0x005A0049
#define DSTINVERT 0x00550009
#define BLACKNESS 0x00000042
#define WHITENESS 0x00FF0062

typedef struct _BLENDFUNCTION {
    BYTE BlendOp;
    BYTE BlendFlags;
    BYTE SourceConstantAlpha;
    BYTE AlphaFormat;
} BLENDFUNCTION, *PBLENDFUNCTION;
#define AC_SRC_OVER 0x00
#define AC_SRC_ALPHA 0x01

typedef USHORT COLOR16;
typedef struct _TRIVERTEX {
    LONG x;
    LONG y;
    COLOR16 Red;
    COLOR16 Green;
    COLOR16 Blue;
    COLOR16 Alpha;
} TRIVERTEX, *PTRIVERTEX;
typedef struct _GRADIENT_RECT {
    ULONG UpperLeft;
    ULONG LowerRight;
} GRADIENT_RECT, *PGRADIENT_RECT;
#define GRADIENT_FILL_RECT_H 0x00000000
#define GRADIENT_FILL_RECT_V 0x00000001

// ---- objects --------------------------------------------------------------------------------------
#define OBJ_PEN 1
#define OBJ_BRUSH 2
#define OBJ_DC 3
#define OBJ_FONT 6
#define OBJ_BITMAP 7
#define OBJ_REGION 8
#define OBJ_MEMDC 10

#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define HOLLOW_BRUSH NULL_BRUSH
#define WHITE_PEN 6
#define BLACK_PEN 7
#define NULL_PEN 8
#define SYSTEM_FONT 13

#define PS_SOLID 0
#define PS_DASH 1
#define PS_NULL 5

typedef struct tagLOGPEN {
    UINT lopnStyle;
    POINT lopnWidth;
    COLORREF lopnColor;
} LOGPEN, *PLOGPEN, *LPLOGPEN;

#define BS_SOLID 0
#define BS_NULL 1
#define BS_HOLLOW BS_NULL
#define BS_PATTERN 3

typedef struct tagLOGBRUSH {
    UINT lbStyle;
    COLORREF lbColor;
    ULONG_PTR lbHatch;
} LOGBRUSH, *PLOGBRUSH, *LPLOGBRUSH;

#define TRANSPARENT 1
#define OPAQUE 2
#define CLR_INVALID 0xFFFFFFFF

// ---- regions --------------------------------------------------------------------------------------
#define ERROR 0
#define NULLREGION 1
#define SIMPLEREGION 2
#define COMPLEXREGION 3
#define RGN_AND 1
#define RGN_OR 2
#define RGN_XOR 3
#define RGN_DIFF 4
#define RGN_COPY 5

// ---- fonts and text -------------------------------------------------------------------------------
#define LF_FACESIZE 32
typedef struct tagLOGFONTW {
    LONG lfHeight;  // < 0: character height (em); > 0: cell height (ascent + descent); 0: default
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    WCHAR lfFaceName[LF_FACESIZE];
} LOGFONTW, *PLOGFONTW, *LPLOGFONTW;
typedef LOGFONTW LOGFONT;

#define FW_DONTCARE 0
#define FW_THIN 100
#define FW_LIGHT 300
#define FW_NORMAL 400
#define FW_MEDIUM 500
#define FW_SEMIBOLD 600
#define FW_BOLD 700
#define FW_HEAVY 900

#define DEFAULT_QUALITY 0
#define DRAFT_QUALITY 1
#define PROOF_QUALITY 2
#define NONANTIALIASED_QUALITY 3
#define ANTIALIASED_QUALITY 4
#define CLEARTYPE_QUALITY 5
#define CLEARTYPE_COMPAT_QUALITY 6

#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define OUT_DEFAULT_PRECIS 0
#define CLIP_DEFAULT_PRECIS 0
#define DEFAULT_PITCH 0
#define FIXED_PITCH 1
#define VARIABLE_PITCH 2
#define FF_DONTCARE 0x00
#define FF_SWISS 0x20
#define FF_MODERN 0x30

typedef struct tagTEXTMETRICW {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    WCHAR tmFirstChar;
    WCHAR tmLastChar;
    WCHAR tmDefaultChar;
    WCHAR tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
} TEXTMETRICW, *PTEXTMETRICW, *LPTEXTMETRICW;
typedef TEXTMETRICW TEXTMETRIC;

#define DT_TOP 0x00000000
#define DT_LEFT 0x00000000
#define DT_CENTER 0x00000001
#define DT_RIGHT 0x00000002
#define DT_VCENTER 0x00000004  // with DT_SINGLELINE only
#define DT_BOTTOM 0x00000008   // with DT_SINGLELINE only
#define DT_WORDBREAK 0x00000010
#define DT_SINGLELINE 0x00000020
#define DT_EXPANDTABS 0x00000040
#define DT_NOCLIP 0x00000100
#define DT_CALCRECT 0x00000400
#define DT_NOPREFIX 0x00000800
#define DT_END_ELLIPSIS 0x00008000

#define ETO_OPAQUE 0x0002
#define ETO_CLIPPED 0x0004

// ---- device capabilities and system metrics ---------------------------------------------------------
#define HORZSIZE 4
#define VERTSIZE 6
#define HORZRES 8
#define VERTRES 10
#define BITSPIXEL 12
#define PLANES 14
#define NUMCOLORS 24
#define LOGPIXELSX 88
#define LOGPIXELSY 90

#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define SM_CXVSCROLL 2
#define SM_CYHSCROLL 3
#define SM_CYCAPTION 4
#define SM_CXBORDER 5
#define SM_CYBORDER 6
#define SM_CXDLGFRAME 7
#define SM_CYDLGFRAME 8
#define SM_CXFIXEDFRAME SM_CXDLGFRAME
#define SM_CYFIXEDFRAME SM_CYDLGFRAME
#define SM_CXICON 11
#define SM_CYICON 12
#define SM_CYMENU 15
#define SM_CXFULLSCREEN 16
#define SM_CYFULLSCREEN 17
#define SM_CYVSCROLL 20
#define SM_CXHSCROLL 21
#define SM_CXDOUBLECLK 36
#define SM_CYDOUBLECLK 37
#define SM_CXEDGE 45
#define SM_CYEDGE 46
#define SM_CXSMICON 49
#define SM_CYSMICON 50
#define SM_CXDRAG 68
#define SM_CYDRAG 69

// The platform's colour indexes carry a flag bit; GetSysColor accepts them with or without it.
#define SYS_COLOR_INDEX_FLAG 0x40000000
#define COLOR_SCROLLBAR (0 | SYS_COLOR_INDEX_FLAG)
#define COLOR_BACKGROUND (1 | SYS_COLOR_INDEX_FLAG)
#define COLOR_ACTIVECAPTION (2 | SYS_COLOR_INDEX_FLAG)
#define COLOR_INACTIVECAPTION (3 | SYS_COLOR_INDEX_FLAG)
#define COLOR_MENU (4 | SYS_COLOR_INDEX_FLAG)
#define COLOR_WINDOW (5 | SYS_COLOR_INDEX_FLAG)
#define COLOR_WINDOWFRAME (6 | SYS_COLOR_INDEX_FLAG)
#define COLOR_MENUTEXT (7 | SYS_COLOR_INDEX_FLAG)
#define COLOR_WINDOWTEXT (8 | SYS_COLOR_INDEX_FLAG)
#define COLOR_CAPTIONTEXT (9 | SYS_COLOR_INDEX_FLAG)
#define COLOR_ACTIVEBORDER (10 | SYS_COLOR_INDEX_FLAG)
#define COLOR_INACTIVEBORDER (11 | SYS_COLOR_INDEX_FLAG)
#define COLOR_APPWORKSPACE (12 | SYS_COLOR_INDEX_FLAG)
#define COLOR_HIGHLIGHT (13 | SYS_COLOR_INDEX_FLAG)
#define COLOR_HIGHLIGHTTEXT (14 | SYS_COLOR_INDEX_FLAG)
#define COLOR_BTNFACE (15 | SYS_COLOR_INDEX_FLAG)
#define COLOR_BTNSHADOW (16 | SYS_COLOR_INDEX_FLAG)
#define COLOR_GRAYTEXT (17 | SYS_COLOR_INDEX_FLAG)
#define COLOR_BTNTEXT (18 | SYS_COLOR_INDEX_FLAG)
#define COLOR_INACTIVECAPTIONTEXT (19 | SYS_COLOR_INDEX_FLAG)
#define COLOR_BTNHIGHLIGHT (20 | SYS_COLOR_INDEX_FLAG)
#define COLOR_3DDKSHADOW (21 | SYS_COLOR_INDEX_FLAG)
#define COLOR_3DLIGHT (22 | SYS_COLOR_INDEX_FLAG)
#define COLOR_INFOTEXT (23 | SYS_COLOR_INDEX_FLAG)
#define COLOR_INFOBK (24 | SYS_COLOR_INDEX_FLAG)
#define COLOR_STATIC (25 | SYS_COLOR_INDEX_FLAG)
#define COLOR_STATICTEXT (26 | SYS_COLOR_INDEX_FLAG)
#define COLOR_GRADIENTACTIVECAPTION (27 | SYS_COLOR_INDEX_FLAG)
#define COLOR_GRADIENTINACTIVECAPTION (28 | SYS_COLOR_INDEX_FLAG)

extern "C" {
// ---- rectangles -----------------------------------------------------------------------------------
// A rectangle holds the points with left <= x < right and top <= y < bottom; one with right <= left
// or bottom <= top is empty.
CE_API BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom);
CE_API BOOL SetRectEmpty(LPRECT rect);
CE_API BOOL CopyRect(LPRECT dest, const RECT* source);
CE_API BOOL IsRectEmpty(const RECT* rect);
CE_API BOOL EqualRect(const RECT* a, const RECT* b);
CE_API BOOL PtInRect(const RECT* rect, POINT point);
CE_API BOOL OffsetRect(LPRECT rect, int dx, int dy);
CE_API BOOL InflateRect(LPRECT rect, int dx, int dy);
// The overlap (empty, and FALSE, when there is none).
CE_API BOOL IntersectRect(LPRECT dest, const RECT* a, const RECT* b);
// The smallest rectangle holding both; an empty one counts for nothing.
CE_API BOOL UnionRect(LPRECT dest, const RECT* a, const RECT* b);

// ---- device contexts ------------------------------------------------------------------------------
// A memory DC starts with a 1 x 1 placeholder bitmap selected; null hdc means "like the screen".
CE_API HDC CreateCompatibleDC(HDC hdc);
CE_API BOOL DeleteDC(HDC hdc);
CE_API HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object);
CE_API HGDIOBJ GetCurrentObject(HDC hdc, UINT type);
CE_API BOOL GdiFlush(void);
CE_API int GetDeviceCaps(HDC hdc, int index);

// ---- objects --------------------------------------------------------------------------------------
// An object still selected into a DC stays usable there until it is replaced; its handle dies at once.
CE_API BOOL DeleteObject(HGDIOBJ object);
CE_API int GetObjectW(HGDIOBJ object, int size, LPVOID buffer);
CE_API DWORD GetObjectType(HGDIOBJ object);
CE_API HGDIOBJ GetStockObject(int index);

// ---- bitmaps --------------------------------------------------------------------------------------
CE_API HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                                DWORD offset);
CE_API HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height);
CE_API HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);

// ---- block transfers and pixels -------------------------------------------------------------------
CE_API BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop);
CE_API BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, int srcWidth,
                       int srcHeight, DWORD rop);
CE_API BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop);
CE_API BOOL AlphaBlend(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, int srcWidth,
                       int srcHeight, BLENDFUNCTION blend);
CE_API BOOL GradientFill(HDC hdc, PTRIVERTEX vertices, ULONG vertexCount, PVOID mesh, ULONG meshCount,
                         ULONG mode);
CE_API COLORREF GetPixel(HDC hdc, int x, int y);
CE_API COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);

// ---- pens, brushes and shapes ---------------------------------------------------------------------
// Outlines use the selected pen, insides the selected brush; right and bottom edges are excluded, as
// is a line's last point.
CE_API HPEN CreatePen(int style, int width, COLORREF color);
CE_API HPEN CreatePenIndirect(const LOGPEN* pen);
CE_API HBRUSH CreateSolidBrush(COLORREF color);
CE_API HBRUSH CreatePatternBrush(HBITMAP pattern);
// brush may also be a system colour index + 1 (COLOR_WINDOW + 1).
CE_API int FillRect(HDC hdc, const RECT* rect, HBRUSH brush);
CE_API BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT previous);
CE_API BOOL LineTo(HDC hdc, int x, int y);
CE_API BOOL Polyline(HDC hdc, const POINT* points, int count);
CE_API BOOL Polygon(HDC hdc, const POINT* points, int count);
CE_API BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
CE_API BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
CE_API BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom);
// A dotted frame drawn by inverting every other pixel; drawing it twice removes it.
CE_API BOOL DrawFocusRect(HDC hdc, const RECT* rect);

// ---- regions and clipping -------------------------------------------------------------------------
CE_API HRGN CreateRectRgn(int left, int top, int right, int bottom);
CE_API HRGN CreateRectRgnIndirect(const RECT* rect);
CE_API BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom);
CE_API int CombineRgn(HRGN dest, HRGN a, HRGN b, int mode);
CE_API int OffsetRgn(HRGN region, int dx, int dy);
CE_API int GetRgnBox(HRGN region, LPRECT rect);
CE_API BOOL PtInRegion(HRGN region, int x, int y);
// The clip is kept as a copy; a null region removes it.
CE_API int SelectClipRgn(HDC hdc, HRGN region);
// Copies the DC's clip region into region: 1, or 0 when the DC has none.
CE_API int GetClipRgn(HDC hdc, HRGN region);
CE_API int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom);
CE_API int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom);
CE_API int GetClipBox(HDC hdc, LPRECT rect);

// ---- colours and text -----------------------------------------------------------------------------
CE_API COLORREF SetTextColor(HDC hdc, COLORREF color);
CE_API COLORREF GetTextColor(HDC hdc);
CE_API COLORREF SetBkColor(HDC hdc, COLORREF color);
CE_API COLORREF GetBkColor(HDC hdc);
CE_API int SetBkMode(HDC hdc, int mode);
CE_API int GetBkMode(HDC hdc);
// Every face is drawn with the DejaVu family (Sans; Sans Mono for fixed-pitch and "Courier" faces).
CE_API HFONT CreateFontIndirectW(const LOGFONTW* font);
// y is the top of the text cell. dx, when given, holds each character's advance.
CE_API BOOL ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count, const INT* dx);
// count -1: up to the terminating zero. Returns the text's height (0 on failure).
CE_API int DrawTextW(HDC hdc, LPCWSTR text, int count, LPRECT rect, UINT format);
CE_API BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR text, int count, LPSIZE size);
// fit (when given) receives how many characters fit into maxExtent; dx their running widths.
CE_API BOOL GetTextExtentExPointW(HDC hdc, LPCWSTR text, int count, int maxExtent, LPINT fit, LPINT dx, LPSIZE size);
CE_API BOOL GetTextMetricsW(HDC hdc, LPTEXTMETRICW metrics);

// ---- system metrics and colours -------------------------------------------------------------------
CE_API int GetSystemMetrics(int index);
CE_API DWORD GetSysColor(int index);
CE_API HBRUSH GetSysColorBrush(int index);
}

// The platform's names without the W, as its Unicode build spells them.
#define GetObject GetObjectW
#define CreateFontIndirect CreateFontIndirectW
#define ExtTextOut ExtTextOutW
#define DrawText DrawTextW
#define GetTextExtentPoint32 GetTextExtentPoint32W
#define GetTextExtentExPoint GetTextExtentExPointW
#define GetTextMetrics GetTextMetricsW
