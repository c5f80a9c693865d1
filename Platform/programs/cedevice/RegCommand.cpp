// cedevice reg: reads and writes the device registry.
//   reg ROOT get KEY [NAME]                       prints the value (NAME left out: the default value)
//   reg ROOT set KEY NAME dword|sz|binary VALUE   creates the key when needed
//   reg ROOT list KEY                             subkeys ("Name\"), then values ("name<TAB>type<TAB>value")
// Values print as: dword in decimal, strings as text, multi-strings joined by ';', other types as hex.
#include <strings.h>

#include <cstring>
#include <iostream>
#include <utility>
#include <vector>

#include "Commands.h"
#include "ce/registry.h"

namespace cedevice {
namespace {

struct KeyPath {
    HKEY root = nullptr;
    std::u16string path;
};

bool ParseKey(const std::string& text, KeyPath* key) {
    static const std::pair<const char*, HKEY> kRoots[] = {
        {"HKLM", HKEY_LOCAL_MACHINE}, {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {"HKCU", HKEY_CURRENT_USER},  {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {"HKCR", HKEY_CLASSES_ROOT},  {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT}};
    size_t slash = text.find('\\');
    std::string rootName = text.substr(0, slash);
    for (const auto& [name, root] : kRoots) {
        if (strcasecmp(name, rootName.c_str()) == 0) {
            key->root = root;
            key->path = slash == std::string::npos ? std::u16string() : ce::FromUtf8(text.substr(slash + 1));
            return true;
        }
    }
    return false;
}

std::string TypeName(DWORD type) {
    switch (type) {
        case REG_DWORD:
            return "dword";
        case REG_SZ:
            return "sz";
        case REG_EXPAND_SZ:
            return "expand_sz";
        case REG_BINARY:
            return "binary";
        case REG_MULTI_SZ:
            return "multi_sz";
        default:
            return "type" + std::to_string(type);
    }
}

std::string Hex(const std::vector<BYTE>& data) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (BYTE byte : data) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0xF];
    }
    return text;
}

std::u16string Utf16Of(const std::vector<BYTE>& data) {
    std::u16string text(data.size() / sizeof(char16_t), u'\0');
    std::memcpy(text.data(), data.data(), text.size() * sizeof(char16_t));
    return text;
}

std::string ValueText(DWORD type, const std::vector<BYTE>& data) {
    if (type == REG_DWORD && data.size() == sizeof(DWORD)) {
        DWORD value = 0;
        std::memcpy(&value, data.data(), sizeof(value));
        return std::to_string(value);
    }
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        std::u16string text = Utf16Of(data);
        return ce::ToUtf8(text.substr(0, text.find(u'\0')));
    }
    if (type == REG_MULTI_SZ) {
        std::u16string text = Utf16Of(data);
        while (!text.empty() && text.back() == u'\0') {
            text.pop_back();
        }
        for (char16_t& c : text) {
            c = c == u'\0' ? u';' : c;
        }
        return ce::ToUtf8(text);
    }
    return Hex(data);
}

bool ParseDword(const std::string& text, std::vector<BYTE>* data) {
    bool hex = text.size() > 2 && (text.compare(0, 2, "0x") == 0 || text.compare(0, 2, "0X") == 0);
    std::string digits = hex ? text.substr(2) : text;
    if (digits.empty() || digits.size() > 10 ||
        digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") != std::string::npos) {
        return false;
    }
    unsigned long long value = std::stoull(digits, nullptr, hex ? 16 : 10);
    if (value > 0xFFFFFFFFULL) {
        return false;
    }
    DWORD word = static_cast<DWORD>(value);
    data->resize(sizeof(word));
    std::memcpy(data->data(), &word, sizeof(word));
    return true;
}

bool ParseHex(const std::string& text, std::vector<BYTE>* data) {
    if (text.size() % 2 != 0 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
        return false;
    }
    for (size_t i = 0; i < text.size(); i += 2) {
        data->push_back(static_cast<BYTE>(std::stoul(text.substr(i, 2), nullptr, 16)));
    }
    return true;
}

bool ParseValue(const std::string& type, const std::string& text, DWORD* regType, std::vector<BYTE>* data) {
    if (type == "dword") {
        *regType = REG_DWORD;
        return ParseDword(text, data);
    }
    if (type == "sz") {
        *regType = REG_SZ;
        std::u16string wide = ce::FromUtf8(text);
        data->resize((wide.size() + 1) * sizeof(char16_t));
        std::memcpy(data->data(), wide.c_str(), data->size());
        return true;
    }
    if (type == "binary") {
        *regType = REG_BINARY;
        return ParseHex(text, data);
    }
    return false;
}

int RegistryFailure(const std::string& what, LONG error) {
    if (error == ERROR_FILE_NOT_FOUND) {
        return Fail(kExitFailed, "no " + what);
    }
    return Fail(kExitFailed, "cannot read or write " + what + " (error " + std::to_string(error) + ")");
}

int GetValue(const KeyPath& key, const std::string& keyText, const std::string& name) {
    HKEY open = nullptr;
    LONG error = RegOpenKeyExW(key.root, key.path.c_str(), 0, KEY_READ, &open);
    if (error != ERROR_SUCCESS) {
        return RegistryFailure("key " + keyText, error);
    }
    std::u16string wideName = ce::FromUtf8(name);
    DWORD type = 0;
    DWORD size = 0;
    error = RegQueryValueExW(open, wideName.c_str(), nullptr, &type, nullptr, &size);
    std::vector<BYTE> data(size);
    if (error == ERROR_SUCCESS) {
        error = RegQueryValueExW(open, wideName.c_str(), nullptr, &type, data.data(), &size);
    }
    RegCloseKey(open);
    if (error != ERROR_SUCCESS) {
        return RegistryFailure("value '" + name + "' in " + keyText, error);
    }
    data.resize(size);
    std::cout << ValueText(type, data) << "\n";
    return kExitDone;
}

int SetValue(const KeyPath& key, const std::string& keyText, const Arguments& arguments) {
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!ParseValue(arguments[2], arguments[3], &type, &data)) {
        return Fail(kExitUsage, "not a " + arguments[2] + " value: '" + arguments[3] +
                                    "' (types: dword as 42 or 0x2A, sz as text, binary as hex bytes 00ff)");
    }
    HKEY open = nullptr;
    LONG error =
        RegCreateKeyExW(key.root, key.path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &open, nullptr);
    if (error != ERROR_SUCCESS) {
        return RegistryFailure("key " + keyText, error);
    }
    std::u16string name = ce::FromUtf8(arguments[1]);
    error = RegSetValueExW(open, name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(open);
    return error == ERROR_SUCCESS ? kExitDone : RegistryFailure("value '" + arguments[1] + "'", error);
}

int ListKey(const KeyPath& key, const std::string& keyText) {
    HKEY open = nullptr;
    LONG error = RegOpenKeyExW(key.root, key.path.c_str(), 0, KEY_READ, &open);
    if (error != ERROR_SUCCESS) {
        return RegistryFailure("key " + keyText, error);
    }
    char16_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD nameSize = 256;
        if (RegEnumKeyExW(open, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        std::cout << ce::ToUtf8(name) << "\\\n";
    }
    for (DWORD index = 0;; ++index) {
        DWORD nameSize = 256;
        DWORD type = 0;
        DWORD size = 0;
        if (RegEnumValueW(open, index, name, &nameSize, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
            break;
        }
        std::vector<BYTE> data(size);
        RegQueryValueExW(open, name, nullptr, nullptr, data.data(), &size);
        std::string shown = name[0] == u'\0' ? "(default)" : ce::ToUtf8(name);
        std::cout << shown << "\t" << TypeName(type) << "\t" << ValueText(type, data) << "\n";
    }
    RegCloseKey(open);
    return kExitDone;
}

}  // namespace

int EditRegistry(const std::string&, const Arguments& arguments) {
    KeyPath key;
    if (arguments.size() < 2 || !ParseKey(arguments[1], &key)) {
        return Fail(kExitUsage, "reg wants get|set|list and a KEY such as HKLM\\Software\\Vane");
    }
    const std::string& action = arguments[0];
    if (action == "get" && arguments.size() <= 3) {
        return GetValue(key, arguments[1], arguments.size() == 3 ? arguments[2] : "");
    }
    if (action == "set" && arguments.size() == 5) {
        return SetValue(key, arguments[1], Arguments(arguments.begin() + 1, arguments.end()));
    }
    if (action == "list" && arguments.size() == 2) {
        return ListKey(key, arguments[1]);
    }
    return Fail(kExitUsage, "usage: reg ROOT get KEY [NAME] | set KEY NAME dword|sz|binary VALUE | list KEY");
}

}  // namespace cedevice
