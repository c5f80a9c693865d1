// One city of the city database, and one found near a position.
#pragma once

#include "ce/types.h"

struct CityDBRecord {
    WCHAR locationId[9] = {};
    WCHAR name[100] = {};
    WCHAR state[100] = {};
    WCHAR country[100] = {};
    double first = 0;   // latitude
    double second = 0;  // longitude
};

struct NearbyCity {
    CityDBRecord city;
    int distanceKm = 0;
};
