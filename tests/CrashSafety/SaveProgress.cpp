#include "SaveProgress.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace crash_test {

SaveProgress::SaveProgress(const std::string& path) {
    int file = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (file < 0) {
        return;
    }
    if (ftruncate(file, sizeof(SaveCounters)) == 0) {
        void* mapped = mmap(nullptr, sizeof(SaveCounters), PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
        if (mapped != MAP_FAILED) {
            counters_ = static_cast<SaveCounters*>(mapped);
        }
    }
    close(file);
}

SaveProgress::~SaveProgress() {
    if (counters_ != nullptr) {
        munmap(counters_, sizeof(SaveCounters));
    }
}

uint64_t SaveProgress::MeanSaveNanoseconds() const {
    uint32_t saves = counters_->saves.load();
    return saves == 0 ? 0 : counters_->saveNanoseconds.load() / saves;
}

void SaveProgress::Settle(uint32_t generation) {
    counters_->started = generation;
    counters_->finished = generation;
}

}  // namespace crash_test
