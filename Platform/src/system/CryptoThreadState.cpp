#include "system/CryptoThreadState.h"

#include <dlfcn.h>
#include <openssl/crypto.h>

#include <atomic>

namespace ce::detail {

// Once loaded, the library stays for the rest of the process, so its function is looked up once it
// is there. Until then no thread has state in it to free.
void StopCryptoForThisThread() {
    using StopFunction = decltype(&::OPENSSL_thread_stop);
    static std::atomic<StopFunction> stop{nullptr};
    StopFunction function = stop.load(std::memory_order_acquire);
    if (function == nullptr) {
        void* loaded = dlopen("libcrypto.so.3", RTLD_NOW | RTLD_NOLOAD);
        if (loaded == nullptr) {
            return;
        }
        function = reinterpret_cast<StopFunction>(dlsym(loaded, "OPENSSL_thread_stop"));
        if (function == nullptr) {
            return;
        }
        stop.store(function, std::memory_order_release);
    }
    function();
}

}  // namespace ce::detail
