#include "Weather/ByteSizeText.h"

#include <cstring>

namespace {

constexpr const char* kByteKey = "IDS_BYTE";
constexpr int kNumberLength = 32;

}  // namespace

ByteSizeText DescribeByteSize(ULONGLONG bytes) {
    constexpr ULONGLONG kKilobyte = 1024;
    constexpr ULONGLONG kMegabyte = 1024 * 1024;
    if (bytes >= kMegabyte) {
        return {static_cast<double>(bytes / kKilobyte) / static_cast<double>(kKilobyte), "IDS_MBYTE"};
    }
    if (bytes >= kKilobyte) {
        return {static_cast<double>(bytes) / static_cast<double>(kKilobyte), "IDS_KBYTE"};
    }
    return {static_cast<double>(bytes), kByteKey};
}

std::u16string ByteSizeNumber(const ByteSizeText& size, int decimals) {
    const bool whole = std::strcmp(size.unitKey, kByteKey) == 0;
    WCHAR text[kNumberLength];
    if (_snwprintf(text, kNumberLength, u"%.*f", whole ? 0 : decimals, size.value) < 0) {
        return {};
    }
    return text;
}
