// The process's table of kernel handles. A HANDLE is a small number (never 0 and never -1) that names
// a shared KernelObject; closing the handle drops the table's reference, so an object stays alive
// while a call is using it.
#pragma once

#include <memory>

#include "kernel/KernelObject.h"

namespace ce::detail {

CE_API HANDLE InsertHandle(std::shared_ptr<KernelObject> object);
CE_API std::shared_ptr<KernelObject> LookupHandle(HANDLE handle);
// Removes the handle; false when it was not open.
CE_API bool RemoveHandle(HANDLE handle);

template <class T>
std::shared_ptr<T> LookupHandleAs(HANDLE handle) {
    return std::dynamic_pointer_cast<T>(LookupHandle(handle));
}

}  // namespace ce::detail
