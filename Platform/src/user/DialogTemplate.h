// Reads an in-memory dialog template (DLGTEMPLATE with its items).
#pragma once

#include <string>
#include <vector>

#include "ce/user.h"

namespace ce::detail {

struct DialogTemplateItem {
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT units{};  // dialog units: left, top, right, bottom
    WORD id = 0;
    std::u16string className;
    std::u16string title;
    std::vector<BYTE> data;
};

class DialogTemplate {
public:
    // False for a template that cannot be read (null, an extended template, absurd counts).
    bool Parse(const void* data);

    DWORD style = 0;
    DWORD exStyle = 0;
    RECT units{};
    std::u16string className;  // empty: the dialog class
    std::u16string title;
    WORD pointSize = 0;
    std::u16string faceName;
    std::vector<DialogTemplateItem> items;

private:
    const BYTE* ReadText(const BYTE* p, std::u16string* text, bool ordinalIsClass);
};

}  // namespace ce::detail
