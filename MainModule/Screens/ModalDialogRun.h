// The two ways the settings dialogs and pickers run modally, without soft keys of the caller's: over
// another screen (blended from and back to its picture) or over a bare window.
#pragma once

#include "ce/user.h"

class CAppBasicDialog;

namespace UserInterface {
class CSmartDialog;
class IDlgScreenCapture;
}  // namespace UserInterface

// Over a parent screen, the transitions playing against the capture's picture; 0 without a parent.
INT_PTR RunModalDialog(CAppBasicDialog& dialog, UserInterface::CSmartDialog* parent,
                       UserInterface::IDlgScreenCapture* capture);
// Over a window; the capture (may be null) and the dialog's window transition are used as they stand.
INT_PTR RunModalDialogOverWindow(CAppBasicDialog& dialog, HWND parent, UserInterface::IDlgScreenCapture* capture);
