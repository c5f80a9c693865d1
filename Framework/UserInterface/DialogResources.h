// The resources that the framework's dialogs and soft-key bars are made from: the three soft-key
// bars with their menus and placeholder captions, and the empty template of the owner-drawn dialogs.
// A module that shows framework dialogs lists them in its resource script:
//   CE_MODULE_STRINGS(FRAMEWORK_DIALOG_STRINGS);
//   CE_MODULE_RESOURCES(FRAMEWORK_DIALOG_RESOURCES);
#pragma once

#include "ce/module.h"
#include "ce/shell.h"

namespace UserInterface::DialogResources {

inline constexpr WORD kOneKeyBar = 2000;
inline constexpr WORD kTwoKeyBar = 2001;
inline constexpr WORD kKeyAndPopupBar = 2002;
inline constexpr WORD kEmptyDialog = 102;
inline constexpr WORD kLeftCaption = 40001;
inline constexpr WORD kRightCaption = 40002;
// The module whose resources the framework's dialogs and bars come from: the program's own.
HINSTANCE ProgramInstance();

// The command that the popup key of bar 2002 has until the keys are written into it.
inline constexpr WORD kPopupKeyCommand = 3000;

inline constexpr WORD kNoImage = static_cast<WORD>(I_IMAGENONE);
inline constexpr WORD kKeyStyle = TBSTYLE_BUTTON | TBSTYLE_AUTOSIZE;

// Menu templates: a header, then flags, id (not for a popup) and text of each item.
inline constexpr WORD kOneKeyMenu[] = {0, 0, MF_END, 1, '1', 0};
inline constexpr WORD kTwoKeyMenu[] = {0, 0, 0, 1, '1', 0, MF_END, 2, '2', 0};
inline constexpr WORD kKeyAndPopupMenu[] = {0, 0, 0, 1, '1', 0, MF_POPUP | MF_END, '2', 0, MF_END, 2, '3', 0};

// Bars: their menu, the button count, then image, command, state, style, caption, 0, sub-menu index.
inline constexpr WORD kOneKeyButtons[] = {kOneKeyBar, 1, kNoImage, 1, TBSTATE_ENABLED, kKeyStyle, kLeftCaption, 0, NOMENU};
inline constexpr WORD kTwoKeyButtons[] = {kTwoKeyBar, 2,
                                          kNoImage, 1, TBSTATE_ENABLED, kKeyStyle, kLeftCaption, 0, NOMENU,
                                          kNoImage, 2, TBSTATE_ENABLED, kKeyStyle, kRightCaption, 0, NOMENU};
inline constexpr WORD kKeyAndPopupButtons[] = {
    kKeyAndPopupBar, 2,
    kNoImage, 1, TBSTATE_ENABLED, kKeyStyle, kLeftCaption, 0, NOMENU,
    kNoImage, kPopupKeyCommand, TBSTATE_ENABLED, kKeyStyle | TBSTYLE_DROPDOWN, kRightCaption, 0, 1};

// An empty popup template without caption: the dialog sizes itself and draws all of its content.
inline constexpr WORD kEmptyDialogTemplate[] = {
    LOWORD(WS_POPUP), HIWORD(WS_POPUP), 0, 0,  // style, extended style
    0,                                         // no items
    0, 0, 240, 320,                            // position and size in dialog units
    0, 0, 0};                                  // no menu, the dialog class, no title

}  // namespace UserInterface::DialogResources

#define FRAMEWORK_DIALOG_RESOURCE_(type, id, data) \
    CeBinaryResource { (type), MAKEINTRESOURCEW(id), (data), sizeof(data) }

#define FRAMEWORK_DIALOG_STRINGS                                       \
    CeStringResource{UserInterface::DialogResources::kLeftCaption, u"1"}, \
        CeStringResource { UserInterface::DialogResources::kRightCaption, u"2" }

#define FRAMEWORK_DIALOG_RESOURCES                                                                             \
    FRAMEWORK_DIALOG_RESOURCE_(RT_MENU, 2000, UserInterface::DialogResources::kOneKeyMenu),                     \
        FRAMEWORK_DIALOG_RESOURCE_(RT_MENU, 2001, UserInterface::DialogResources::kTwoKeyMenu),                 \
        FRAMEWORK_DIALOG_RESOURCE_(RT_MENU, 2002, UserInterface::DialogResources::kKeyAndPopupMenu),            \
        FRAMEWORK_DIALOG_RESOURCE_(RT_RCDATA, 2000, UserInterface::DialogResources::kOneKeyButtons),            \
        FRAMEWORK_DIALOG_RESOURCE_(RT_RCDATA, 2001, UserInterface::DialogResources::kTwoKeyButtons),            \
        FRAMEWORK_DIALOG_RESOURCE_(RT_RCDATA, 2002, UserInterface::DialogResources::kKeyAndPopupButtons),       \
        FRAMEWORK_DIALOG_RESOURCE_(RT_DIALOG, 102, UserInterface::DialogResources::kEmptyDialogTemplate)
