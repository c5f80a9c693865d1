#include "UserInterface/IDlgControlImages.h"

namespace UserInterface {

IDlgControlImages* g_pDlgControlImages = nullptr;

BOOL IDlgControlImages::DrawComboButton(int, HDC, const RECT*) { return FALSE; }
BOOL IDlgControlImages::GetComboButtonSize(int, SIZE*) { return FALSE; }
BOOL IDlgControlImages::DrawListSelection(HDC, const RECT*) { return FALSE; }
BOOL IDlgControlImages::DrawRowSeparator(HDC, const RECT*) { return FALSE; }
BOOL IDlgControlImages::DrawSeparator(HDC, const RECT*) { return FALSE; }
BOOL IDlgControlImages::DrawScrollTrack(HDC, const RECT*) { return FALSE; }
BOOL IDlgControlImages::DrawScrollThumb(HDC, const RECT*) { return FALSE; }
int IDlgControlImages::GetScrollThumbLength() { return 0; }
BOOL IDlgControlImages::DrawCheckBox(BOOL, HDC, const RECT*) { return FALSE; }
BOOL IDlgControlImages::GetCheckBoxSize(SIZE*, BOOL) { return FALSE; }
BOOL IDlgControlImages::DrawProgressBar(HDC, const RECT*, int) { return FALSE; }
BOOL IDlgControlImages::DrawBackground(HDC, const RECT*, const RECT*) { return FALSE; }
COLORREF IDlgControlImages::GetSkinColor(int) { return 0; }

}  // namespace UserInterface
