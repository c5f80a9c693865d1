// Writes the seeds of what the device itself holds or hears: Cities.dat as the program saves it, NMEA
// text as a receiver sends it (fixes of the date the GPS target's clock shows), and runs of registry
// values as the program stores its settings.
//
//   fuzz_device_seeds SEEDS_FOLDER
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "FuzzDevice.h"
#include "NmeaSentence.h"
#include "Weather/CCityList.h"

namespace {

std::string g_root;

void Put(const std::string& target, const std::string& name, const std::string& bytes) {
    std::filesystem::create_directories(g_root + "/" + target);
    std::ofstream(g_root + "/" + target + "/" + name, std::ios::binary) << bytes;
}

struct City {
    const char16_t* id;
    const char16_t* name;
    const char16_t* state;
    const char16_t* country;
};

bool WriteCityLists() {
    const City cities[] = {{u"DEXX0001", u"Berlin", u"", u"Germany"},
                           {u"USNY0996", u"New York", u"NY", u"United States"},
                           {u"RSXX0063", u"\u0410\u0440\u0445\u0430\u043d\u0433\u0435\u043b\u044c\u0441\u043a", u"",
                            u"Russia"},
                           {u"ASXX0112", u"Sydney", u"New South Wales", u"Australia"}};
    fuzz::FuzzDevice& device = fuzz::FuzzDevice::Get();
    for (size_t count : {size_t{0}, size_t{1}, std::size(cities)}) {
        CCityList list;
        for (size_t i = 0; i < count; ++i) {
            CCity city;
            city.SetLocationId(cities[i].id);
            city.SetName(cities[i].name);
            city.SetState(cities[i].state);
            city.SetCountry(cities[i].country);
            SYSTEMTIME updated{2026, 12, 3, 9, static_cast<WORD>(6 + i), 30, 0, 0};
            city.SetUpdateSystemTime(i % 2 == 0 ? &updated : nullptr);
            list.AddCity(city);
        }
        list.SetHomeIndex(static_cast<int>(count) - 1);
        if (!list.Save()) {
            std::fprintf(stderr, "fuzz_device_seeds: cannot save a city list\n");
            return false;
        }
        std::filesystem::copy_file(device.HostPath("Program Files/Skyvane/Cities.dat"),
                                   g_root + "/city_list/Cities-" + std::to_string(count) + ".dat",
                                   std::filesystem::copy_options::overwrite_existing);
    }
    return true;
}

void WriteNmea() {
    using gps_test::Nmea;
    const std::string rmc = Nmea("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,091226,003.1,W");
    const std::string gga = Nmea("GPGGA,123519,3352.100,S,15112.600,W,1,08,0.9,545.4,M,46.9,M,,");
    const std::string gll = Nmea("GPGLL,5230.000,N,01324.000,E,225444,A");
    const std::string vtg = Nmea("GPVTG,054.7,T,034.4,M,005.5,N,010.2,K");
    const std::string gsv = Nmea("GPGSV,2,1,08,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45");
    Put("nmea", "rmc.txt", gsv + vtg + rmc);
    Put("nmea", "gga.txt", vtg + gga + gsv);
    Put("nmea", "gll.txt", gll);
    Put("nmea", "void-rmc-then-gga.txt", Nmea("GPRMC,123519,V,4807.038,N,01131.000,E,022.4,084.4,091226,,") + gga);
    Put("nmea", "no-checksum.txt", "$GPGLL,4916.45,N,12311.12,W,225444,A\r\n");
    std::string noise;
    while (noise.size() < 2500) {
        noise += vtg + gsv;
    }
    Put("nmea", "late-fix.txt", noise + rmc);
}

// One registry value of the registry target: name index, type index, length, bytes.
std::string Value(int name, int type, const std::string& bytes) {
    return std::string{static_cast<char>(name), static_cast<char>(type), static_cast<char>(bytes.size())} + bytes;
}

std::string Dword(uint32_t value) { return std::string(reinterpret_cast<const char*>(&value), 4); }

std::string Wide(const std::u16string& text) {
    return std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * 2);
}

void WriteRegistryValues() {
    enum { kString = 1, kBinary = 3, kDword = 4 };
    std::string settings;
    settings += Value(0, kBinary, std::string(16, '\x5a'));
    for (int name = 1; name <= 12; ++name) {
        if (name != 6) {
            settings += Value(name, kDword, Dword(name == 1 ? 0x0407 : name % 3));
        }
    }
    settings += Value(6, kBinary, std::string("\x07\x2d", 2));
    Put("registry", "settings", settings);
    SYSTEMTIME checked{2026, 11, 0, 20, 8, 0, 0, 0};
    Put("registry", "remembered",
        Value(13, kString, Wide(u"Germany")) + Value(14, kString, Wide(u"EUROPE_SAT")) +
            Value(15, kBinary, std::string(reinterpret_cast<const char*>(&checked), sizeof checked)) +
            Value(16, kBinary, std::string(16, '\x11')));
    Put("registry", "units", Value(8, kDword, Dword(1)) + Value(9, kDword, Dword(1)) + Value(10, kDword, Dword(2)) +
                                 Value(2, kDword, Dword(103)));
    Put("registry", "install-folder", Value(17, kString, Wide(u"\\Storage Card\\Skyvane")));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SEEDS_FOLDER\n", argv[0]);
        return 2;
    }
    g_root = argv[1];
    std::filesystem::create_directories(g_root + "/city_list");
    if (!WriteCityLists()) {
        return 1;
    }
    WriteNmea();
    WriteRegistryValues();
    return 0;
}
