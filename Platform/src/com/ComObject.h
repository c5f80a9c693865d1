// Reference counting shared by the layer's COM objects. The object starts with one reference, which
// the creator hands out.
#pragma once

#include <atomic>

#include "ce/com.h"

namespace ce::detail {

template <class Interface>
class ComObject : public Interface {
public:
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;

private:
    std::atomic<ULONG> references_{1};
};

}  // namespace ce::detail
