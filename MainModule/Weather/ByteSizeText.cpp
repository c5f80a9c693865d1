#include "Weather/ByteSizeText.h"

ByteSizeText DescribeByteSize(ULONGLONG bytes) {
    constexpr ULONGLONG kKilobyte = 1024;
    constexpr ULONGLONG kMegabyte = 1024 * 1024;
    if (bytes >= kMegabyte) {
        return {static_cast<double>(bytes / kKilobyte) / static_cast<double>(kKilobyte), "IDS_MBYTE"};
    }
    if (bytes >= kKilobyte) {
        return {static_cast<double>(bytes) / static_cast<double>(kKilobyte), "IDS_KBYTE"};
    }
    return {static_cast<double>(bytes), "IDS_BYTE"};
}
