#include <gtest/gtest.h>

#include "ce/kernel.h"
#include "kernel/HandleTable.h"

namespace {

struct Marker : ce::detail::KernelObject {
    explicit Marker(bool* destroyed) : destroyed(destroyed) {}
    ~Marker() override { *destroyed = true; }
    bool* destroyed;
};

TEST(HandleTable, ClosingTheLastHandleDestroysTheObjectAndAFurtherCloseFails) {
    bool destroyed = false;
    HANDLE handle = ce::detail::InsertHandle(std::make_shared<Marker>(&destroyed));
    ASSERT_NE(handle, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    auto held = ce::detail::LookupHandleAs<Marker>(handle);
    ASSERT_TRUE(held);

    EXPECT_TRUE(CloseHandle(handle));
    EXPECT_FALSE(destroyed) << "a caller still holds the object";
    held.reset();
    EXPECT_TRUE(destroyed);

    SetLastError(0);
    EXPECT_FALSE(CloseHandle(handle));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace
