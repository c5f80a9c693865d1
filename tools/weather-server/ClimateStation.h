// Weather stations of well-known places with their monthly climate normals: the table the climate
// model starts from for places near one of them.
#pragma once

#include <array>
#include <span>

// The normal (long-term mean) daily high and low of each month, January first, in °C.
struct MonthlyNormals {
    std::array<double, 12> highC{};
    std::array<double, 12> lowC{};
};

struct ClimateStation {
    const char* name;
    double latitude;
    double longitude;
    MonthlyNormals normals;

    static std::span<const ClimateStation> All();
};
