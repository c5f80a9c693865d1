// Files that other processes read are replaced whole: the new text goes to "<name>.tmp" in the same
// folder, every write is checked, and only a complete file is renamed over the old one, durably
// (files/DiskSync.h).
#pragma once

#include <string>
#include <string_view>

#include "ce/types.h"

namespace ce::detail {

// Writers of one path must not overlap (they share the ".tmp" name); hold a lock around the call.
// False (and the old file untouched, no ".tmp" left) when any step fails.
CE_API bool ReplaceFileAtomically(const std::string& path, std::string_view contents);
// The whole file, or false when it cannot be read.
CE_API bool ReadWholeFile(const std::string& path, std::string& contents);
// Creates the folder and its parents; true when it exists afterwards.
CE_API bool MakeFolders(const std::string& path);

}  // namespace ce::detail
