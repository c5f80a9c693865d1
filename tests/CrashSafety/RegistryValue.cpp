// A value in the registry store of the device, written with RegSetValueExW while twenty values beside
// it stay as they were; read back with RegQueryValueExW.
#include <string>
#include <vector>

#include "SavedFile.h"
#include "ce/registry.h"

namespace crash_test {
namespace {

constexpr char16_t kKey[] = u"Software\\Quillon Software\\Skyvane\\Crash test";
constexpr int kFixedValues = 20;
constexpr size_t kContentBytes = 4096;

std::vector<BYTE> Content(uint32_t generation) {
    std::vector<BYTE> bytes(kContentBytes);
    uint32_t state = generation * 2246822519u + 7;
    for (BYTE& b : bytes) {
        state = state * 1664525u + 1013904223u;
        b = static_cast<BYTE>(state >> 24);
    }
    return bytes;
}

std::u16string FixedName(int index) {
    std::u16string name = u"Fixed ";
    for (char c : std::to_string(index)) {
        name += static_cast<char16_t>(c);
    }
    return name;
}

class RegistryValue : public SavedFile {
public:
    bool Prepare() override {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
            ERROR_SUCCESS) {
            return false;
        }
        bool written = true;
        for (DWORD i = 0; i < kFixedValues; ++i) {
            written = written && RegSetValueExW(key, FixedName(static_cast<int>(i)).c_str(), 0, REG_DWORD,
                                                reinterpret_cast<const BYTE*>(&i), sizeof i) == ERROR_SUCCESS;
        }
        RegCloseKey(key);
        return written;
    }

    bool Save(uint32_t generation) override {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
            ERROR_SUCCESS) {
            return false;
        }
        std::vector<BYTE> content = Content(generation);
        LONG result = RegSetValueExW(key, u"Content", 0, REG_BINARY, content.data(), static_cast<DWORD>(content.size()));
        RegCloseKey(key);
        return result == ERROR_SUCCESS;
    }

protected:
    bool Holds(uint32_t generation) override {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return false;
        }
        bool whole = ReadsContent(key, generation) && FixedValuesStand(key);
        RegCloseKey(key);
        return whole;
    }

private:
    static bool ReadsContent(HKEY key, uint32_t generation) {
        std::vector<BYTE> read(kContentBytes * 2);
        DWORD type = 0;
        auto size = static_cast<DWORD>(read.size());
        if (RegQueryValueExW(key, u"Content", nullptr, &type, read.data(), &size) != ERROR_SUCCESS || type != REG_BINARY) {
            return false;
        }
        read.resize(size);
        return read == Content(generation);
    }

    static bool FixedValuesStand(HKEY key) {
        for (DWORD i = 0; i < kFixedValues; ++i) {
            DWORD value = 0;
            DWORD size = sizeof value;
            if (RegQueryValueExW(key, FixedName(static_cast<int>(i)).c_str(), nullptr, nullptr,
                                 reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS || value != i) {
                return false;
            }
        }
        return true;
    }
};

}  // namespace

std::unique_ptr<SavedFile> MakeRegistryValue() { return std::make_unique<RegistryValue>(); }

}  // namespace crash_test
