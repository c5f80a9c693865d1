// A forecast reply or cache file, as the updater and the plug-ins parse it, then every value read the way
// the screens show it: in each unit, with its texts and pictures.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ForecastScreens.h"
#include "Weather/CCity.h"
#include "ce/com.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    (void)com;
    const std::string reply(reinterpret_cast<const char*>(data), size);  // kept with its 0 byte, as cached
    CCity city;
    if (city.ParseForecastXml(reply.c_str())) {
        fuzz::ShowCity(city);
    }
    return 0;
}
