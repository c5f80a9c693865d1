#include "inet/CurlCalls.h"

#include "modules/HostLibrary.h"

namespace ce::detail {
namespace {

template <class Function>
bool Take(HostLibrary& library, const char* name, Function& function) {
    function = library.Find<Function>(name);
    return function != nullptr;
}

bool Load(CurlCalls& calls) {
    static HostLibrary library("libcurl.so.4");
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

}  // namespace

const CurlCalls* Curl() {
    static const CurlCalls* loaded = [] {
        static CurlCalls calls{};
        return Load(calls) ? &calls : nullptr;
    }();
    return loaded;
}

}  // namespace ce::detail
