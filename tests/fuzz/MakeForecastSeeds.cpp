// Writes forecast replies of the weather server for a few places and dates: the forecast target's seeds.
#include <cstdio>
#include <fstream>
#include <string>

#include "ForecastDocument.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const Place places[] = {{"USNY0996", 40.7, -74.0}, {"DEXX0001", 52.5, 13.4}, {"ASXX0112", -33.9, 151.2},
                            {"RSXX0063", 64.5, 40.5}};
    int n = 0;
    for (const Place& place : places) {
        for (int hour : {0, 13}) {
            ForecastRequest request;
            request.place = place;
            request.today = {2026, 2 + n % 10, 1 + n};
            request.hour = hour;
            request.reportedId = place.id;
            request.days = hour == 0 ? 10 : 2;
            request.hours = hour == 0 ? 72 : 6;
            std::ofstream(std::string(argv[1]) + "/reply-" + std::to_string(n++) + ".xml", std::ios::binary)
                << ForecastDocument::Build(request);
        }
    }
    return 0;
}
