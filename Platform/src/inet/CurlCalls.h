// The libcurl functions the HTTP layer uses, taken from the library when the first session opens, or
// before on a thread of its own for a program that asks (ce::PrepareInternet): libcurl pulls some
// twenty-five further libraries into a process, which a program that shows its screen without going
// online should not load (or relocate) at start.
#pragma once

#include <curl/curl.h>

namespace ce::detail {

struct CurlCalls {
    decltype(&::curl_global_init) globalInit;
    decltype(&::curl_easy_init) easyInit;
    decltype(&::curl_easy_setopt) easySetopt;
    decltype(&::curl_easy_cleanup) easyCleanup;
    decltype(&::curl_multi_init) multiInit;
    decltype(&::curl_multi_add_handle) multiAddHandle;
    decltype(&::curl_multi_remove_handle) multiRemoveHandle;
    decltype(&::curl_multi_perform) multiPerform;
    decltype(&::curl_multi_poll) multiPoll;
    decltype(&::curl_multi_wakeup) multiWakeup;
    decltype(&::curl_multi_info_read) multiInfoRead;
    decltype(&::curl_multi_cleanup) multiCleanup;
    decltype(&::curl_slist_append) slistAppend;
    decltype(&::curl_slist_free_all) slistFreeAll;
};

// The calls of the loaded and initialised library; null when it cannot be loaded whole.
const CurlCalls* Curl();

}  // namespace ce::detail
