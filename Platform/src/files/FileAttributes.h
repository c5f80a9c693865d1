// File attributes on the host: directory and read-only from the file's mode; hidden, system, archive
// and temporary in an extended attribute where the file system keeps one.
#pragma once

#include <sys/stat.h>

#include <string>

#include "ce/kernel.h"

namespace ce::detail {

DWORD AttributesOf(const std::string& hostPath, const struct stat& info);
// False with errno set when the read-only change fails; the other bits are kept where possible.
bool ApplyAttributes(const std::string& hostPath, const struct stat& info, DWORD attributes);

}  // namespace ce::detail
