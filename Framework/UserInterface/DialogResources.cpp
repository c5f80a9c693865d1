#include "UserInterface/DialogResources.h"

#include "CSysInfo.h"

namespace UserInterface::DialogResources {

HINSTANCE ProgramInstance() { return g_pSysInfo != nullptr ? g_pSysInfo->GetInstance() : GetModuleHandleW(nullptr); }

}  // namespace UserInterface::DialogResources
