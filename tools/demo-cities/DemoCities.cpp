// demo-cities LATITUDE,LONGITUDE ...: in the device of CE_DEVICE_ROOT, replaces the program's city list
// with the installed city database's nearest city to each position, in order, the first one as home.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "CSysInfo.h"
#include "Weather/CCityDB.h"
#include "Weather/CCityList.h"
#include "ce/device.h"

namespace {

bool ParsePosition(const char* text, double* latitude, double* longitude) {
    char* end = nullptr;
    *latitude = std::strtod(text, &end);
    if (end == text || *end != ',') {
        return false;
    }
    const char* second = end + 1;
    *longitude = std::strtod(second, &end);
    return end != second && *end == 0 && *latitude >= -90 && *latitude <= 90 && *longitude >= -180 &&
           *longitude <= 180;
}

CCity CityOf(const CityDBRecord& record) {
    CCity city;
    city.SetLocationId(record.locationId);
    city.SetName(record.name);
    city.SetState(record.state);
    city.SetCountry(record.country);
    return city;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || ce::DeviceRoot().empty()) {
        std::fprintf(stderr, "usage: CE_DEVICE_ROOT=ROOT demo-cities LATITUDE,LONGITUDE ...\n");
        return 2;
    }
    WCHAR path[MAX_PATH];
    CCityDB database;
    if (!CSysInfo::ExpandPath(u"%INSTALL_DIR%\\CityDB.dat", path, MAX_PATH) || !database.Open(path)) {
        std::fprintf(stderr, "demo-cities: the device has no installed city database\n");
        return 1;
    }
    CCityList cities;
    for (int i = 1; i < argc; ++i) {
        double latitude = 0;
        double longitude = 0;
        std::vector<NearbyCity> nearby;
        if (!ParsePosition(argv[i], &latitude, &longitude)) {
            std::fprintf(stderr, "demo-cities: '%s' is no LATITUDE,LONGITUDE\n", argv[i]);
            return 2;
        }
        if (!database.FindNearbyCities(latitude, longitude, &nearby) || nearby.empty()) {
            std::fprintf(stderr, "demo-cities: no city near %s\n", argv[i]);
            return 1;
        }
        CCity city = CityOf(nearby.front().city);
        cities.AddCity(city);
        std::printf("%s  %s, %s\n", ce::ToUtf8(city.GetLocationId()).c_str(), ce::ToUtf8(city.GetName()).c_str(),
                    ce::ToUtf8(city.GetCountry()).c_str());
    }
    cities.SetHomeIndex(0);
    if (!cities.Save()) {
        std::fprintf(stderr, "demo-cities: cannot write the city list\n");
        return 1;
    }
    return 0;
}
