// The test program's resource script: what a program that shows framework dialogs carries.
#include "UserInterface/DialogResources.h"

CE_MODULE_STRINGS(FRAMEWORK_DIALOG_STRINGS);
CE_MODULE_RESOURCES(FRAMEWORK_DIALOG_RESOURCES);
