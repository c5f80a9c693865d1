// The test's side of a kill at a chosen system call: traces a saving child that runs FileCallFilter
// and kills it right before the filtered call of a given number.
#pragma once

#include <sys/types.h>

#include <cstdint>

namespace crash_test {

class FileCallTracer {
public:
    // Attaches to a child that is waiting for its tracer, and to the threads it starts later.
    static bool Attach(pid_t child);
    // Lets the attached child run until it is about to make its `call`-th filtered call, then kills it
    // with SIGKILL and reaps it. False when the child ended by itself or the limit passed first (it is
    // then killed too).
    static bool KillBeforeCall(pid_t child, uint32_t call);
};

}  // namespace crash_test
