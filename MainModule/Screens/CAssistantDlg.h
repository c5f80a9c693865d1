// The welcome page of the first start: the assistant's picture beside a heading, a rule and a text,
// ended by its Done key.
#pragma once

#include <string>

#include "Screens/CAppBasicDialog.h"

class CAssistantDlg : public CAppBasicDialog {
public:
    static constexpr int kHeadingId = 1;
    static constexpr int kSeparatorId = 2;
    static constexpr int kTextId = 3;
    static constexpr int kPicture = 71;

    CAssistantDlg() = default;
    ~CAssistantDlg() override = default;

    // 1 when ended by Done; 0 without a text or a heading; 2 when the key has no caption.
    INT_PTR Run(HWND parent, LPCWSTR text, LPCWSTR heading, UserInterface::IDlgScreenCapture* capture);

    BOOL OnInitControls() override;
    BOOL OnDialogCommand(int id, int code, HWND window) override;

private:
    std::u16string m_text;
    std::u16string m_heading;
};
