// Free functions over the device that the services share.
#pragma once

#include "ce/types.h"

// The device identifier sent with every server request: 15 decimal digits from the device's unique id
// for this program. The output needs at least 17 characters; false when the system has no id.
bool GetDeviceId(LPWSTR id, int size);
