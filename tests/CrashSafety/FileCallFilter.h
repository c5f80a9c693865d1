// The saving child's side of a kill at a chosen system call: a seccomp filter that hands every call
// that can change a file (writes, syncs, renames, removals, opens for writing, closes, socket sends)
// to the tracing test before it runs, so the test can kill the child right before any one of them.
#pragma once

namespace crash_test {

class FileCallFilter {
public:
    // Until the test has attached as tracer (or the limit passed): without a tracer every filtered
    // call would fail.
    static bool WaitForTracer();
    // For this thread and those it starts from now on.
    static bool Install();
};

}  // namespace crash_test
