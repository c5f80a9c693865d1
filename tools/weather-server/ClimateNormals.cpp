#include "ClimateNormals.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kEarthRadiusKm = 6371.0;

double Radians(double degrees) {
    return degrees * kPi / 180.0;
}

}  // namespace

MonthlyNormals ClimateNormals::ForPlace(double latitude, double longitude) {
    const ClimateStation* station = NearestStation(latitude, longitude);
    return station ? station->normals : FromLatitude(latitude);
}

const ClimateStation* ClimateNormals::NearestStation(double latitude, double longitude) {
    const ClimateStation* nearest = nullptr;
    double nearestKm = std::numeric_limits<double>::infinity();
    for (const ClimateStation& station : ClimateStation::All()) {
        double km = DistanceKm(latitude, longitude, station.latitude, station.longitude);
        if (km < nearestKm) {
            nearest = &station;
            nearestKm = km;
        }
    }
    return nearestKm <= kStationReachKm ? nearest : nullptr;
}

// Great-circle distance (haversine).
double ClimateNormals::DistanceKm(double latitudeA, double longitudeA, double latitudeB, double longitudeB) {
    double halfDLatitude = Radians(latitudeB - latitudeA) / 2;
    double halfDLongitude = Radians(longitudeB - longitudeA) / 2;
    double h = std::sin(halfDLatitude) * std::sin(halfDLatitude) +
               std::cos(Radians(latitudeA)) * std::cos(Radians(latitudeB)) * std::sin(halfDLongitude) *
                   std::sin(halfDLongitude);
    return 2 * kEarthRadiusKm * std::asin(std::sqrt(std::clamp(h, 0.0, 1.0)));
}

// Warm and nearly seasonless within the tropics, colder and more seasonal towards the poles. The southern
// hemisphere is mostly sea, so its seasons are milder; they fall half a year later.
MonthlyNormals ClimateNormals::FromLatitude(double latitude) {
    constexpr double kHalfDiurnalRangeC = 4.0;
    double distanceFromEquator = std::fabs(latitude);
    double annualMeanC = 27.0 - 0.55 * std::max(0.0, distanceFromEquator - 15.0);
    double seasonalSwingC = 1.0 + 0.3 * std::max(0.0, distanceFromEquator - 10.0);
    if (latitude < 0) {
        seasonalSwingC *= 0.6;
    }
    int coldestMonth = latitude < 0 ? 6 : 0;
    MonthlyNormals normals;
    for (int month = 0; month < 12; ++month) {
        double meanC = annualMeanC - seasonalSwingC * std::cos(2 * kPi * (month - coldestMonth) / 12.0);
        normals.highC[month] = meanC + kHalfDiurnalRangeC;
        normals.lowC[month] = meanC - kHalfDiurnalRangeC;
    }
    return normals;
}
