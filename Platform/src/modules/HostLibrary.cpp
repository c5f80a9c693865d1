#include "modules/HostLibrary.h"

#include <dlfcn.h>

namespace ce::detail {

// Bound lazily: such a library and its dependencies bring thousands of functions, of which the layer
// calls a handful.
void* HostLibrary::Symbol(const char* name) {
    std::call_once(opened_, [this] { handle_ = dlopen(soname_, RTLD_LAZY | RTLD_LOCAL); });
    return handle_ != nullptr ? dlsym(handle_, name) : nullptr;
}

}  // namespace ce::detail
