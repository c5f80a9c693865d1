// A thread of this process as its handles see it: waitable, signalled once it has ended, with its exit
// code, suspend count and stored priority.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>

#include "ce/kernel.h"
#include "kernel/KernelObject.h"

namespace ce::detail {

// The pseudo handles of GetCurrentThread and GetCurrentProcess, below the handle table's first value.
inline const HANDLE kCurrentThreadHandle = reinterpret_cast<HANDLE>(0x41);
inline const HANDLE kCurrentProcessHandle = reinterpret_cast<HANDLE>(0x42);

class ThreadObject : public KernelObject {
public:
    explicit ThreadObject(DWORD suspendCount) : suspendCount_(suspendCount) {}

    // The object of the calling thread; threads the layer did not start get one on first use.
    static std::shared_ptr<ThreadObject> Current();
    // The thread a handle names, the pseudo handle of GetCurrentThread included; null for others.
    static std::shared_ptr<ThreadObject> FromHandle(HANDLE handle);
    // Runs start(parameter) on a new thread; null when no thread could be made.
    static std::shared_ptr<ThreadObject> Start(LPTHREAD_START_ROUTINE start, LPVOID parameter,
                                               bool suspended);

    bool IsWaitable() const override { return true; }
    bool IsSignaled(DWORD threadId) override;

    DWORD Id() const { return id_; }
    // STILL_ACTIVE until the thread has ended.
    DWORD ExitCode();
    // The previous suspend count; the thread starts running when the count reaches 0.
    DWORD Resume();
    int Priority();
    void SetPriority(int priority);

private:
    static void Run(const std::shared_ptr<ThreadObject>& self, LPTHREAD_START_ROUTINE start,
                    LPVOID parameter);
    void Finish(DWORD exitCode);

    std::mutex lock_;  // guards the start-up hand-over and the suspend count
    std::condition_variable startChanged_;
    DWORD id_ = 0;
    DWORD suspendCount_;
    int priority_ = THREAD_PRIORITY_NORMAL;
    bool finished_ = false;  // under the wait lock
    DWORD exitCode_ = STILL_ACTIVE;
};

}  // namespace ce::detail
