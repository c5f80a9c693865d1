// The names of this process's named objects when there is no device server to keep them.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "sync/NamedObjects.h"

namespace ce::detail {

class LocalNames {
public:
    static LocalNames& Instance();

    // The object of that name when it is of type T (ERROR_ALREADY_EXISTS), else a new one from make;
    // a name held by an object of another type fails with ERROR_INVALID_HANDLE.
    template <class T>
    OpenedObject Create(const std::u16string& name, const std::function<std::shared_ptr<T>()>& make) {
        return Open(
            name, [](const KernelObject& object) { return dynamic_cast<const T*>(&object) != nullptr; },
            make ? std::function<std::shared_ptr<KernelObject>()>(make) : nullptr);
    }
    // Without make: only an existing object (ERROR_FILE_NOT_FOUND otherwise).
    OpenedObject Open(const std::u16string& name, const std::function<bool(const KernelObject&)>& isType,
                      const std::function<std::shared_ptr<KernelObject>()>& make);

private:
    std::mutex lock_;
    std::map<std::u16string, std::weak_ptr<KernelObject>> objects_;
};

}  // namespace ce::detail
