#include "sync/LocalNames.h"

namespace ce::detail {

LocalNames& LocalNames::Instance() {
    static auto* names = new LocalNames;  // never destroyed: handles may be closed during exit
    return *names;
}

OpenedObject LocalNames::Open(const std::u16string& name,
                              const std::function<bool(const KernelObject&)>& isType,
                              const std::function<std::shared_ptr<KernelObject>()>& make) {
    std::lock_guard guard(lock_);
    OpenedObject result;
    if (auto existing = objects_[name].lock()) {
        if (!isType(*existing)) {
            result.error = ERROR_INVALID_HANDLE;
            return result;
        }
        result.object = std::move(existing);
        result.error = ERROR_ALREADY_EXISTS;
        return result;
    }
    if (!make) {
        objects_.erase(name);
        result.error = ERROR_FILE_NOT_FOUND;
        return result;
    }
    result.object = make();
    objects_[name] = result.object;
    return result;
}

}  // namespace ce::detail
