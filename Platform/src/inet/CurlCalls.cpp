#include "inet/CurlCalls.h"

#include <openssl/crypto.h>

#include <mutex>
#include <thread>

#include "ce/inet.h"
#include "modules/HostLibrary.h"
#include "system/CryptoThreadState.h"

namespace ce::detail {
namespace {

template <class Function>
bool Take(HostLibrary& library, const char* name, Function& function) {
    function = library.Find<Function>(name);
    return function != nullptr;
}

// The OpenSSL that libcurl brings would free its tables one by one at the process's exit, just before
// the whole process goes; told so before libcurl first starts it, it leaves them to the exit.
void KeepCryptoTablesAtExit(HostLibrary& library) {
    if (auto init = library.Find<decltype(&::OPENSSL_init_crypto)>("OPENSSL_init_crypto")) {
        init(OPENSSL_INIT_NO_ATEXIT, nullptr);
    }
}

bool Load(HostLibrary& library, CurlCalls& calls) {
    KeepCryptoTablesAtExit(library);
    return Take(library, "curl_global_init", calls.globalInit) && Take(library, "curl_easy_init", calls.easyInit) &&
           Take(library, "curl_easy_setopt", calls.easySetopt) &&
           Take(library, "curl_easy_cleanup", calls.easyCleanup) &&
           Take(library, "curl_multi_init", calls.multiInit) &&
           Take(library, "curl_multi_add_handle", calls.multiAddHandle) &&
           Take(library, "curl_multi_remove_handle", calls.multiRemoveHandle) &&
           Take(library, "curl_multi_perform", calls.multiPerform) &&
           Take(library, "curl_multi_poll", calls.multiPoll) &&
           Take(library, "curl_multi_wakeup", calls.multiWakeup) &&
           Take(library, "curl_multi_info_read", calls.multiInfoRead) &&
           Take(library, "curl_multi_cleanup", calls.multiCleanup) &&
           Take(library, "curl_slist_append", calls.slistAppend) &&
           Take(library, "curl_slist_free_all", calls.slistFreeAll) &&
           calls.globalInit(CURL_GLOBAL_DEFAULT) == CURLE_OK;
}

// Loads the library once, on the first caller's thread or on a thread of its own; every caller waits
// for a load under way. Destroyed at the process's exit, which so waits for a load still running.
class CurlLoader {
public:
    CurlLoader() = default;
    CurlLoader(const CurlLoader&) = delete;
    CurlLoader& operator=(const CurlLoader&) = delete;
    ~CurlLoader() {
        std::lock_guard guard(threadLock_);
        if (thread_.joinable()) {
            thread_.join();
        }
    }

    const CurlCalls* Calls() {
        std::call_once(loaded_, [this] { usable_ = Load(library_, calls_); });
        return usable_ ? &calls_ : nullptr;
    }

    void StartInBackground() {
        std::lock_guard guard(threadLock_);
        if (started_) {
            return;
        }
        started_ = true;
        thread_ = std::thread([this] {
            Calls();
            StopCryptoForThisThread();  // the library's init may leave TLS state on this thread
        });
    }

private:
    HostLibrary library_{"libcurl.so.4"};
    CurlCalls calls_{};
    std::once_flag loaded_;
    bool usable_ = false;
    std::mutex threadLock_;
    bool started_ = false;
    std::thread thread_;
};

CurlLoader& Loader() {
    static CurlLoader loader;
    return loader;
}

}  // namespace

const CurlCalls* Curl() { return Loader().Calls(); }

}  // namespace ce::detail

namespace ce {

void PrepareInternet() { detail::Loader().StartInBackground(); }

}  // namespace ce
