#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Platform/ChildProcess.h"
#include "Platform/TempDevice.h"
#include "ce/registry.h"

namespace {

using ce::test::TempDevice;

const BYTE* Bytes(const void* data) {
    return static_cast<const BYTE*>(data);
}

DWORD SizeOf(std::u16string_view text) {
    return static_cast<DWORD>((text.size() + 1) * sizeof(char16_t));
}

HKEY CreateKey(HKEY root, const char16_t* path, DWORD* disposition = nullptr) {
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_SUCCESS,
              RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, disposition));
    return key;
}

LONG Open(HKEY root, const char16_t* path, HKEY* key) {
    return RegOpenKeyExW(root, path, 0, KEY_READ, key);
}

DWORD ReadDword(HKEY key, const char16_t* name) {
    DWORD value = 0;
    DWORD type = 0;
    DWORD size = sizeof(value);
    EXPECT_EQ(ERROR_SUCCESS,
              RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    return value;
}

TEST(RegistryTest, CreateReportsDispositionAndOpenIgnoresLetterCase) {
    TempDevice device;
    DWORD disposition = 0;
    HKEY key = CreateKey(HKEY_CURRENT_USER, u"Software\\Vane\\Skyvane", &disposition);
    EXPECT_EQ(static_cast<DWORD>(REG_CREATED_NEW_KEY), disposition);
    DWORD value = 42;
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, u"Interval", 0, REG_DWORD, Bytes(&value), sizeof(value)));
    RegCloseKey(key);

    key = CreateKey(HKEY_CURRENT_USER, u"SOFTWARE\\vane\\SkyVane\\", &disposition);
    EXPECT_EQ(static_cast<DWORD>(REG_OPENED_EXISTING_KEY), disposition);
    RegCloseKey(key);

    HKEY opened = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, Open(HKEY_CURRENT_USER, u"software\\VANE\\skyvane", &opened));
    EXPECT_EQ(42u, ReadDword(opened, u"INTERVAL"));
    RegCloseKey(opened);

    // The roots are separate trees.
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Open(HKEY_LOCAL_MACHINE, u"Software\\Vane", &opened));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Open(HKEY_CURRENT_USER, u"Software\\Vane\\Missing", &opened));
    EXPECT_EQ(ERROR_BAD_PATHNAME, Open(HKEY_CURRENT_USER, u"\\Software", &opened));
    EXPECT_EQ(ERROR_BAD_PATHNAME, Open(HKEY_CURRENT_USER, u"Software\\\\Vane", &opened));
}

TEST(RegistryTest, QueryWithSmallBufferGivesMoreDataAndTheNeededSize) {
    TempDevice device;
    HKEY key = CreateKey(HKEY_LOCAL_MACHINE, u"Software\\Vane");
    std::u16string text = u"\\Program Files\\Skyvane";
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExW(key, u"InstallDir", 0, REG_SZ, Bytes(text.c_str()), SizeOf(text)));

    DWORD size = 0;
    DWORD type = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, u"InstallDir", nullptr, &type, nullptr, &size));
    EXPECT_EQ(SizeOf(text), size);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);

    char16_t small[4] = {u'x', u'x', u'x', u'x'};
    size = sizeof(small);
    EXPECT_EQ(ERROR_MORE_DATA,
              RegQueryValueExW(key, u"InstallDir", nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size));
    EXPECT_EQ(SizeOf(text), size);
    EXPECT_EQ(u'x', small[0]);  // nothing written on refusal

    std::vector<char16_t> buffer(size / sizeof(char16_t));
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, u"InstallDir", nullptr, nullptr,
                                              reinterpret_cast<BYTE*>(buffer.data()), &size));
    EXPECT_EQ(text, std::u16string(buffer.data()));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExW(key, u"Missing", nullptr, nullptr, nullptr, &size));
    RegCloseKey(key);
}

TEST(RegistryTest, ValuesKeepTheirTypeAndBytes) {
    TempDevice device;
    HKEY key = CreateKey(HKEY_CLASSES_ROOT, u"CLSID\\{0}");
    const char16_t multi[] = u"one\0two\0";
    const BYTE binary[] = {0, 1, 2, 0xFF};
    const std::u16string expand = u"%INSTALL_DIR%\\Skyvane.exe";
    struct Case {
        const char16_t* name;
        DWORD type;
        const BYTE* data;
        DWORD size;
    } cases[] = {
        {u"Multi", REG_MULTI_SZ, Bytes(multi), sizeof(multi)},
        {u"Binary", REG_BINARY, binary, sizeof(binary)},
        {u"Expand", REG_EXPAND_SZ, Bytes(expand.c_str()), SizeOf(expand)},
        {u"Empty", REG_BINARY, nullptr, 0},
        {u"", REG_SZ, Bytes(u"default"), SizeOf(u"default")},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, c.name, 0, c.type, c.data, c.size))
            << ce::ToUtf8(c.name);
    }
    for (const Case& c : cases) {
        BYTE buffer[128] = {};
        DWORD size = sizeof(buffer);
        DWORD type = 0;
        ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, c.name, nullptr, &type, buffer, &size));
        EXPECT_EQ(c.type, type) << ce::ToUtf8(c.name);
        ASSERT_EQ(c.size, size) << ce::ToUtf8(c.name);
        EXPECT_EQ(0, c.size == 0 ? 0 : std::memcmp(c.data, buffer, size)) << ce::ToUtf8(c.name);
    }

    // Overwriting changes type and data; deleting removes the value only.
    DWORD number = 7;
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, u"binary", 0, REG_DWORD, Bytes(&number), sizeof(number)));
    EXPECT_EQ(7u, ReadDword(key, u"Binary"));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteValueW(key, u"BINARY"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteValueW(key, u"Binary"));
    DWORD size = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, u"Multi", nullptr, nullptr, nullptr, &size));
    RegCloseKey(key);
}

TEST(RegistryTest, DeleteKeyRemovesItsWholeSubtree) {
    TempDevice device;
    HKEY deep = CreateKey(HKEY_CURRENT_USER, u"Software\\Vane\\Cities\\0\\Forecast");
    DWORD value = 1;
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(deep, u"Day", 0, REG_DWORD, Bytes(&value), sizeof(value)));
    RegCloseKey(CreateKey(HKEY_CURRENT_USER, u"Software\\Vane\\Settings"));
    HKEY software = CreateKey(HKEY_CURRENT_USER, u"Software");

    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyW(software, u"vane\\cities"));
    HKEY gone = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Open(HKEY_CURRENT_USER, u"Software\\Vane\\Cities", &gone));
    EXPECT_EQ(ERROR_SUCCESS, Open(HKEY_CURRENT_USER, u"Software\\Vane\\Settings", &gone));
    RegCloseKey(gone);

    // A handle still open on a key of the deleted subtree now fails instead of writing to nowhere.
    EXPECT_EQ(ERROR_KEY_DELETED, RegSetValueExW(deep, u"Day", 0, REG_DWORD, Bytes(&value), sizeof(value)));
    EXPECT_EQ(ERROR_KEY_DELETED, RegQueryValueExW(deep, u"Day", nullptr, nullptr, nullptr, nullptr));
    RegCloseKey(deep);

    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteKeyW(software, u"Vane\\Cities"));
    EXPECT_NE(ERROR_SUCCESS, RegDeleteKeyW(HKEY_CURRENT_USER, u""));
    RegCloseKey(software);
}

TEST(RegistryTest, EnumerationListsSubkeysByNameAndValuesInTheirOrder) {
    TempDevice device;
    HKEY key = CreateKey(HKEY_LOCAL_MACHINE, u"Drivers\\Active");
    for (const char16_t* name : {u"20", u"03", u"Bluetooth"}) {
        RegCloseKey(CreateKey(key, name));
    }
    const char16_t* valueNames[] = {u"Zeta", u"Alpha", u"LongerName"};
    for (const char16_t* name : valueNames) {
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, name, 0, REG_SZ, Bytes(name), SizeOf(name)));
    }

    std::vector<std::u16string> subkeys;
    for (DWORD index = 0;; ++index) {
        char16_t name[64];
        DWORD size = 64;
        LONG result = RegEnumKeyExW(key, index, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) {
            break;
        }
        ASSERT_EQ(ERROR_SUCCESS, result);
        EXPECT_EQ(std::u16string(name).size(), size);
        subkeys.emplace_back(name);
    }
    EXPECT_EQ((std::vector<std::u16string>{u"03", u"20", u"Bluetooth"}), subkeys);

    char16_t name[4];
    DWORD nameSize = 4;
    EXPECT_EQ(ERROR_MORE_DATA, RegEnumKeyExW(key, 2, name, &nameSize, nullptr, nullptr, nullptr, nullptr));

    for (DWORD index = 0; index < 3; ++index) {
        char16_t valueName[64];
        DWORD valueNameSize = 64;
        DWORD type = 0;
        DWORD dataSize = 0;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegEnumValueW(key, index, valueName, &valueNameSize, nullptr, &type, nullptr, &dataSize));
        EXPECT_EQ(std::u16string(valueNames[index]), valueName);
        EXPECT_EQ(SizeOf(valueNames[index]), dataSize);
    }
    char16_t valueName[64];
    DWORD valueNameSize = 64;
    EXPECT_EQ(ERROR_NO_MORE_ITEMS,
              RegEnumValueW(key, 3, valueName, &valueNameSize, nullptr, nullptr, nullptr, nullptr));

    DWORD subKeyCount = 0, maxSubKey = 0, valueCount = 0, maxValueName = 0, maxValue = 0;
    FILETIME written = {};
    ASSERT_EQ(ERROR_SUCCESS,
              RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeyCount, &maxSubKey, nullptr, &valueCount,
                               &maxValueName, &maxValue, nullptr, &written));
    EXPECT_EQ(3u, subKeyCount);
    EXPECT_EQ(9u, maxSubKey);
    EXPECT_EQ(3u, valueCount);
    EXPECT_EQ(10u, maxValueName);
    EXPECT_EQ(SizeOf(u"LongerName"), maxValue);
    EXPECT_NE(0u, written.dwHighDateTime);
    EXPECT_EQ(ERROR_SUCCESS, RegFlushKey(key));
    RegCloseKey(key);
}

TEST(RegistryTest, ValueWrittenByOneProcessIsReadByAnother) {
    const char* role = ce::test::ChildRole();
    if (role != nullptr) {
        HKEY key = CreateKey(HKEY_CURRENT_USER, u"Software\\Vane\\Shared");
        DWORD value = std::string(role) == "writer" ? 1234 : 0;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegSetValueExW(key, u"FromChild", 0, REG_DWORD, Bytes(&value), sizeof(value)));
        RegCloseKey(key);
        return;
    }
    TempDevice device;
    HKEY key = CreateKey(HKEY_CURRENT_USER, u"Software\\Vane");  // this process has the database open
    ASSERT_EQ(0, ce::test::RunChildTest("RegistryTest.ValueWrittenByOneProcessIsReadByAnother", "writer"));
    HKEY shared = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, Open(key, u"shared", &shared));
    EXPECT_EQ(1234u, ReadDword(shared, u"FromChild"));
    RegCloseKey(shared);
    RegCloseKey(key);
}

// The database as another program sees it, beside the layer's own connection.
class RawDatabase {
public:
    explicit RawDatabase(const std::string& file) { EXPECT_EQ(SQLITE_OK, sqlite3_open(file.c_str(), &db_)); }
    ~RawDatabase() { sqlite3_close(db_); }
    RawDatabase(const RawDatabase&) = delete;
    RawDatabase& operator=(const RawDatabase&) = delete;

    int Execute(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); }

private:
    sqlite3* db_ = nullptr;
};

void WriteDword(const char16_t* path, const char16_t* name, DWORD value) {
    HKEY key = CreateKey(HKEY_LOCAL_MACHINE, path);
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, name, 0, REG_DWORD, Bytes(&value), sizeof(value)));
    RegCloseKey(key);
}

DWORD ReadDwordAt(const char16_t* path, const char16_t* name) {
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, Open(HKEY_LOCAL_MACHINE, path, &key));
    DWORD value = key != nullptr ? ReadDword(key, name) : 0;
    RegCloseKey(key);
    return value;
}

// A process that starts while another one writes reads the registry without waiting for the writer; a
// database made before the schema was stamped on it still opens and reads.
TEST(RegistryTest, OpeningReadsWhileAnotherProcessWritesAndTakesAnUnstampedDatabase) {
    if (const char* role = ce::test::ChildRole(); role != nullptr) {
        EXPECT_EQ(5u, ReadDwordAt(u"Software\\Vane", u"Before"));
        if (std::string(role) == "writer") {
            WriteDword(u"Software\\Vane", u"Child", 6);
        }
        return;
    }
    TempDevice device;
    WriteDword(u"Software\\Vane", u"Before", 5);
    RawDatabase other(device.Root() + "/registry.db");
    ASSERT_EQ(SQLITE_OK, other.Execute("BEGIN IMMEDIATE"));
    ASSERT_EQ(0, ce::test::RunChildTest(
                     "RegistryTest.OpeningReadsWhileAnotherProcessWritesAndTakesAnUnstampedDatabase", "reader"));
    ASSERT_EQ(SQLITE_OK, other.Execute("PRAGMA user_version=0; COMMIT"));
    ASSERT_EQ(0, ce::test::RunChildTest(
                     "RegistryTest.OpeningReadsWhileAnotherProcessWritesAndTakesAnUnstampedDatabase", "writer"));
    EXPECT_EQ(6u, ReadDwordAt(u"Software\\Vane", u"Child"));
}

TEST(RegistryTest, WithoutDeviceRootCallsFailClearly) {
    ce::SetDeviceRoot({});
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_PATH_NOT_FOUND,
              RegCreateKeyExW(HKEY_CURRENT_USER, u"Software", 0, nullptr, 0, 0, nullptr, &key, nullptr));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(reinterpret_cast<HKEY>(0x12345)));
}

TEST(RegistryTest, DamagedDatabaseGivesCorruptErrorAndIsLeftAsItIs) {
    TempDevice device;
    std::string file = device.Root() + "/registry.db";
    const std::string garbage(8192, '\x5A');
    std::ofstream(file, std::ios::binary) << garbage;

    HKEY key = nullptr;
    EXPECT_EQ(ERROR_REGISTRY_CORRUPT, Open(HKEY_LOCAL_MACHINE, u"Software", &key));
    EXPECT_EQ(ERROR_REGISTRY_CORRUPT, RegSetValueExW(HKEY_LOCAL_MACHINE, u"X", 0, REG_BINARY, nullptr, 0));

    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(garbage, std::string(std::istreambuf_iterator<char>(in), {}));
}

}  // namespace
