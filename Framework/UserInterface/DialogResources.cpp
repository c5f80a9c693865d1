#include "UserInterface/DialogResources.h"

namespace UserInterface::DialogResources {

HINSTANCE ProgramInstance() { return GetModuleHandleW(nullptr); }

}  // namespace UserInterface::DialogResources
