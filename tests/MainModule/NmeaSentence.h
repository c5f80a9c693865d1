// An NMEA 0183 sentence as a receiver sends it: "$", the body, "*", its checksum and the line end.
#pragma once

#include <cstdio>
#include <string>

namespace gps_test {

inline std::string Nmea(const std::string& body) {
    unsigned char sum = 0;
    for (char c : body) {
        sum ^= static_cast<unsigned char>(c);
    }
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
    return "$" + body + tail;
}

}  // namespace gps_test
