// Where a program or library named by a device path, or by a bare file name, lies on the host.
#pragma once

#include <string>
#include <string_view>

namespace ce::detail {

// A name with a backslash is a device path; a bare file name ("Dawnlet.dll", "wceload.exe") is looked
// for in the program's own folder, then in \Windows. The host path of an existing file, or empty.
std::string ResolveDeviceImage(std::u16string_view name);

// The last component of a device path, e.g. "Pictorra.dll".
std::u16string_view DeviceFileName(std::u16string_view path);

}  // namespace ce::detail
