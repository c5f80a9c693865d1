// What makes a change of the file layer survive a power cut: a file's data synced before its name
// points to it, and a folder synced after a name in it changed. Every replace of the layer (MoveFileExW,
// CopyFileW, the layer's own files) goes through RenameDurably, so its callers need no syncs of their
// own. Each step is also one step of the power-cut test mode.
#pragma once

#include <string>

#include "ce/types.h"

namespace ce::detail {

// The folder part of a host path (the path up to its last '/').
std::string HostFolderOf(const std::string& path);
// fdatasync on an open descriptor; true also where the file system cannot sync (a pipe, a device).
bool SyncFileData(int fd);
// Makes the names in the folder durable; a folder that cannot be synced is left as it is.
void SyncFolder(const std::string& folder);
// Renames with the source's data synced first and the target's folder (and the source's, when
// another) synced after; errno, or 0. Nothing is renamed when the data cannot be synced.
int RenameDurably(const std::string& from, const std::string& to);

}  // namespace ce::detail
