#include "Screens/ModalDialogRun.h"

#include "Screens/CAppBasicDialog.h"

INT_PTR RunModalDialog(CAppBasicDialog& dialog, UserInterface::CSmartDialog* parent,
                       UserInterface::IDlgScreenCapture* capture) {
    return dialog.RunOverDialog(parent, capture, nullptr);
}

INT_PTR RunModalDialogOverWindow(CAppBasicDialog& dialog, HWND parent, UserInterface::IDlgScreenCapture* capture) {
    return dialog.RunOverWindow(parent, nullptr, capture);
}
