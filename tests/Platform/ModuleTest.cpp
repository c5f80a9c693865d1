#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "Platform/TempDevice.h"
#include "ce/module.h"
#include "ce/registry.h"

namespace {

using ce::test::TempDevice;

// The test library installed in the device as \Windows\TestModule.dll.
class ModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(device_.Fs("Windows"));
        std::filesystem::create_symlink(CE_TEST_MODULE, device_.Fs("Windows/TestModule.dll"));
    }

    DWORD DllMainCalls(const char16_t* name) {
        HKEY key = nullptr;
        DWORD count = 0;
        DWORD size = sizeof(count);
        if (RegOpenKeyExW(HKEY_CURRENT_USER, u"Test\\DllMain", 0, 0, &key) == ERROR_SUCCESS) {
            RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&count), &size);
            RegCloseKey(key);
        }
        return count;
    }

    TempDevice device_;
};

TEST_F(ModuleTest, LoadsByDevicePathInOtherLetterCaseAndCountsReferences) {
    HMODULE module = LoadLibraryW(u"\\WINDOWS\\testmodule.DLL");
    ASSERT_NE(nullptr, module);
    EXPECT_EQ(module, LoadLibraryW(u"TestModule.dll"));  // a bare name is looked for in \Windows
    EXPECT_EQ(module, GetModuleHandleW(u"testmodule"));
    EXPECT_EQ(1u, DllMainCalls(u"Attach"));

    WCHAR path[MAX_PATH];
    ASSERT_EQ(23u, GetModuleFileNameW(module, path, MAX_PATH));
    EXPECT_EQ(std::u16string(u"\\Windows\\TestModule.dll"), path);
    WCHAR shortPath[8];
    EXPECT_EQ(8u, GetModuleFileNameW(module, shortPath, 8));
    EXPECT_EQ(std::u16string(u"\\Window"), shortPath);

    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(0u, DllMainCalls(u"Detach"));
    EXPECT_EQ(module, GetModuleHandleW(u"TestModule.dll"));
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(1u, DllMainCalls(u"Detach"));
    EXPECT_EQ(nullptr, GetModuleHandleW(u"TestModule.dll"));
    EXPECT_FALSE(FreeLibrary(module));
}

TEST_F(ModuleTest, ExportsByNameAndByOrdinal) {
    HMODULE module = LoadLibraryW(u"\\Windows\\TestModule.dll");
    ASSERT_NE(nullptr, module);
    auto add = ce::ProcAs<int (*)(int, int)>(GetProcAddressW(module, u"TestAdd"));
    ASSERT_NE(nullptr, add);
    EXPECT_EQ(5, add(2, 3));
    auto twice = ce::ProcAs<int (*)(int)>(GetProcAddressW(module, MAKEINTRESOURCEW(241)));
    ASSERT_NE(nullptr, twice);
    EXPECT_EQ(84, twice(42));
    EXPECT_EQ(add, ce::ProcAs<int (*)(int, int)>(GetProcAddressW(module, MAKEINTRESOURCEW(7))));

    EXPECT_EQ(nullptr, GetProcAddressW(module, MAKEINTRESOURCEW(240)));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PROC_NOT_FOUND), GetLastError());
    EXPECT_EQ(nullptr, GetProcAddressW(module, u"Twice"));   // hidden: by ordinal only
    EXPECT_EQ(nullptr, GetProcAddressW(module, u"malloc"));  // a library it uses is not the module
    FreeLibrary(module);
}

TEST_F(ModuleTest, StringsAndResourcesComeFromTheModulesTables) {
    HMODULE module = LoadLibraryW(u"\\Windows\\TestModule.dll");
    ASSERT_NE(nullptr, module);
    WCHAR text[32];
    EXPECT_EQ(10, LoadStringW(module, 101, text, 32));
    EXPECT_EQ(std::u16string(u"Update now"), text);
    EXPECT_EQ(3, LoadStringW(module, 101, text, 4));
    EXPECT_EQ(std::u16string(u"Upd"), text);
    LPCWSTR inPlace = nullptr;
    EXPECT_EQ(7, LoadStringW(module, 100, reinterpret_cast<LPWSTR>(&inPlace), 0));
    EXPECT_EQ(std::u16string(u"Skyvane"), inPlace);
    EXPECT_EQ(0, LoadStringW(module, 102, text, 32));

    HRSRC dialog = FindResourceW(module, MAKEINTRESOURCEW(500), RT_DIALOG);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(5u, SizeofResource(module, dialog));
    auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, dialog)));
    ASSERT_NE(nullptr, bytes);
    EXPECT_EQ(0x42, bytes[4]);
    HRSRC blob = FindResourceW(module, u"BLOB", RT_RCDATA);
    ASSERT_NE(nullptr, blob);
    EXPECT_STREQ("blob", static_cast<const char*>(LockResource(LoadResource(module, blob))));
    EXPECT_EQ(nullptr, FindResourceW(module, MAKEINTRESOURCEW(500), RT_MENU));
    EXPECT_EQ(nullptr, FindResourceW(module, MAKEINTRESOURCEW(501), RT_DIALOG));
    FreeLibrary(module);
}

TEST_F(ModuleTest, ZlibNameGivesTheSystemZlib) {
    HMODULE zlib = LoadLibraryW(u"zlib");
    ASSERT_NE(nullptr, zlib);
    EXPECT_EQ(zlib, LoadLibraryW(u"ZLIB.DLL"));
    auto version = ce::ProcAs<const char* (*)()>(GetProcAddressW(zlib, u"zlibVersion"));
    ASSERT_NE(nullptr, version);
    EXPECT_EQ('1', version()[0]);
    EXPECT_NE(nullptr, GetProcAddressW(zlib, u"uncompress"));
    FreeLibrary(zlib);
    FreeLibrary(zlib);
}

TEST_F(ModuleTest, MissingOrBrokenLibraryFailsWithItsReason) {
    EXPECT_EQ(nullptr, LoadLibraryW(u"\\Windows\\Missing.dll"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_MOD_NOT_FOUND), GetLastError());
    device_.WriteHostFile(device_.Fs("Windows/Broken.dll"), "not a library");
    EXPECT_EQ(nullptr, LoadLibraryW(u"\\windows\\broken.dll"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_BAD_FORMAT), GetLastError());
    EXPECT_EQ(nullptr, GetProcAddressW(reinterpret_cast<HMODULE>(0x1234), u"TestAdd"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
}

}  // namespace
