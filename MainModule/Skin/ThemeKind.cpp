#include "Skin/ThemeKind.h"

#include "CSysInfo.h"

bool IsColouredTheme() { return g_pSysInfo != nullptr && g_pSysInfo->GetBaseHue() >= kFirstColouredBaseHue; }
