// The registry's file access: SQLite's own host files, each change also told to the file layer's
// power-cut test mode (files/PowerCutSimulator.h), so that a power cut tests the registry as it tests
// the files the layer writes.
#pragma once

namespace ce::detail {

class RegistryVfs {
public:
    // The name to open the registry with; registered with SQLite on the first call.
    static const char* Name();
};

}  // namespace ce::detail
