// An open registry key: the id of the key in the store, named by an HKEY from the handle table.
#pragma once

#include <cstdint>

#include "kernel/KernelObject.h"

namespace ce::detail {

class RegistryKey : public KernelObject {
public:
    explicit RegistryKey(int64_t id) : id_(id) {}
    int64_t Id() const { return id_; }

private:
    int64_t id_;
};

}  // namespace ce::detail
