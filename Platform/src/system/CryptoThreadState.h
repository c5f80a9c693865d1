// libcrypto keeps state for each thread that used it. The layer does not link it; libcurl brings it
// into a process that goes online.
#pragma once

namespace ce::detail {

// Frees what libcrypto keeps for the calling thread, when the library is in the process at all.
void StopCryptoForThisThread();

}  // namespace ce::detail
