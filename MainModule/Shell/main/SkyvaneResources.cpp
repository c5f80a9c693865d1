// The program's resource script: the framework's soft-key bars and the template of its screens.
#include "UserInterface/DialogResources.h"

CE_MODULE_STRINGS(FRAMEWORK_DIALOG_STRINGS);
CE_MODULE_RESOURCES(FRAMEWORK_DIALOG_RESOURCES);
