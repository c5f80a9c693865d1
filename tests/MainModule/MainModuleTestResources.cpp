// The test program's resource script: what the program carries for its windows and screens.
#include "UserInterface/DialogResources.h"

CE_MODULE_STRINGS(FRAMEWORK_DIALOG_STRINGS);
CE_MODULE_RESOURCES(FRAMEWORK_DIALOG_RESOURCES);
