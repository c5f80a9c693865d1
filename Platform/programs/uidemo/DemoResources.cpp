// The demo's resource script: its soft-key bar, the bar's menu and their captions.
#include "DemoIds.h"
#include "ce/module.h"
#include "ce/shell.h"

namespace {

// "Details" (201), and the popup "Menu" with "Hello" (301) and "Quit" (302).
const WORD kMenu[] = {0, 0, 0, kCommandDetails, 'D', 'e', 't', 'a', 'i', 'l', 's', 0,
                      MF_POPUP | MF_END, 'M', 'e', 'n', 'u', 0,
                      0, kCommandHello, 'H', 'e', 'l', 'l', 'o', 0,
                      MF_END, kCommandQuit, 'Q', 'u', 'i', 't', 0};

const WORD kBar[] = {kDemoBar, 2,
                     static_cast<WORD>(I_IMAGENONE), kCommandDetails, TBSTATE_ENABLED, TBSTYLE_BUTTON | TBSTYLE_AUTOSIZE,
                     kStringDetails, 0, NOMENU,
                     static_cast<WORD>(I_IMAGENONE), kCommandMenu, TBSTATE_ENABLED, TBSTYLE_DROPDOWN | TBSTYLE_AUTOSIZE,
                     kStringMenu, 0, 1};

}  // namespace

CE_MODULE_STRINGS({kStringDetails, u"Details"}, {kStringMenu, u"Menu"});
CE_MODULE_RESOURCES({RT_MENU, MAKEINTRESOURCEW(kDemoBar), kMenu, sizeof(kMenu)},
                    {RT_RCDATA, MAKEINTRESOURCEW(kDemoBar), kBar, sizeof(kBar)});
