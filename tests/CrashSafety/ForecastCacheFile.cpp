// A city's forecast cache file, written by CForecastCacheFile and read back the way every start reads
// it: the bytes, then the forecast parser. Each generation is a forecast of its own, with the hourly
// rows that make a real reply a few dozen kilobytes.
#include <cstring>
#include <string>

#include "CByteBuffer.h"
#include "SavedFile.h"
#include "Weather/CCity.h"
#include "Weather/CForecastCacheFile.h"

namespace crash_test {
namespace {

constexpr char16_t kLocationId[] = u"USNY0996";
constexpr int kHourlyRows = 160;

std::string ForecastText(uint32_t generation) {
    const std::string high = std::to_string(40 + generation % 50);
    std::string text = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<WEATHER GENERATION=\"" +
                       std::to_string(generation) + "\">\n <FORECAST LOCATIONID=\"USNY0996\"" +
                       " DAY1FCST_VALID_DAY=\"20071015\" DAY1SUNRISE=\"7:05 AM\" DAY1SUNSET=\"6:12 PM\"" +
                       " DAY1HITMPF=\"" + high + "\" DAY1LOTMPF=\"30\" DAY1SKY24=\"65\"/>\n <hc>\n";
    for (int row = 0; row < kHourlyRows; ++row) {
        text += "  <data LocalDate=\"2007-10-15 00:00:00\" LocalTime=\"" + std::to_string(row % 24) +
                "0000\" TemperatureFahrenHeit=\"" + std::to_string((generation + row) % 90) +
                "\" WindSpeedMph=\"12.5\" WindDirectionCardinal=\"SSW\" RelativeHumidity=\"40\" SkyCode=\"85\"/>\n";
    }
    return text + " </hc>\n</WEATHER>";
}

class ForecastCacheFileSaves : public SavedFile {
public:
    bool Save(uint32_t generation) override {
        return CForecastCacheFile::Write(kLocationId, ForecastText(generation).c_str());
    }

protected:
    // The file holds the text and its terminator; the reader adds one more 0 byte.
    bool Holds(uint32_t generation) override {
        CByteBuffer bytes;
        if (!CForecastCacheFile::Read(kLocationId, bytes)) {
            return false;
        }
        const std::string expected = ForecastText(generation);
        const char* text = reinterpret_cast<const char*>(bytes.GetPointer(0));
        if (bytes.GetLength() != expected.size() + 2 || std::memcmp(text, expected.data(), expected.size()) != 0) {
            return false;
        }
        CCity city;
        return city.ParseForecastXml(text) && city.GetLocationId() == std::u16string(kLocationId) &&
               !city.GetDayForecasts().empty();
    }
};

}  // namespace

std::unique_ptr<SavedFile> MakeForecastCacheFile() { return std::make_unique<ForecastCacheFileSaves>(); }

}  // namespace crash_test
