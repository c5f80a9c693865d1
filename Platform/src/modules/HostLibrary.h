// A library of the host system that the layer opens the first time one of its functions is asked
// for, so that a process that never needs it does not load it, and all that it pulls in, at start.
#pragma once

#include <mutex>

namespace ce::detail {

class HostLibrary {
public:
    // soname: the library's file name as the host's loader finds it ("libcurl.so.4").
    explicit HostLibrary(const char* soname) : soname_(soname) {}
    HostLibrary(const HostLibrary&) = delete;
    HostLibrary& operator=(const HostLibrary&) = delete;

    // The named function of the library, or null when the library or the function is missing.
    template <class Function>
    Function Find(const char* name) {
        return reinterpret_cast<Function>(Symbol(name));
    }

private:
    void* Symbol(const char* name);

    const char* soname_;
    std::once_flag opened_;
    void* handle_ = nullptr;  // kept open for the rest of the process
};

}  // namespace ce::detail
