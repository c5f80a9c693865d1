// The monthly normal highs and lows of any place: those of the nearest known station within reach, or,
// away from every station, an estimate from the latitude alone.
#pragma once

#include "ClimateStation.h"

class ClimateNormals {
public:
    // A station this near stands for the place; farther off, its climate may be another one.
    static constexpr double kStationReachKm = 300.0;

    static MonthlyNormals ForPlace(double latitude, double longitude);

private:
    static const ClimateStation* NearestStation(double latitude, double longitude);
    static double DistanceKm(double latitudeA, double longitudeA, double latitudeB, double longitudeB);
    static MonthlyNormals FromLatitude(double latitude);
};
