// The save counters that a saving child and the test that kills it share through a mapped file: the
// child raises `started` before a save and `finished` after it, so once the child is dead the test
// knows which generations the file may hold and whether the kill fell inside a save.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace crash_test {

struct SaveCounters {
    std::atomic<uint32_t> started;
    std::atomic<uint32_t> finished;
    std::atomic<uint64_t> saveNanoseconds;  // time spent inside saves, summed
    std::atomic<uint32_t> saves;            // saves finished, all children together
};

class SaveProgress {
public:
    // Maps the file, creating it (zeroed) when it is missing.
    explicit SaveProgress(const std::string& path);
    ~SaveProgress();
    SaveProgress(const SaveProgress&) = delete;
    SaveProgress& operator=(const SaveProgress&) = delete;

    bool IsMapped() const { return counters_ != nullptr; }
    SaveCounters& Counters() { return *counters_; }

    bool InsideSave() const { return counters_->started.load() != counters_->finished.load(); }
    // The mean duration of a finished save, 0 before the first.
    uint64_t MeanSaveNanoseconds() const;
    // After a check: the file holds `generation`, whatever the counters said.
    void Settle(uint32_t generation);

private:
    SaveCounters* counters_ = nullptr;
};

}  // namespace crash_test
