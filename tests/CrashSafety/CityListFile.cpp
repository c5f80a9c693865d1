// Cities.dat, saved and loaded by CCityList: forty cities whose names and home index carry the
// generation.
#include <string>

#include "SavedFile.h"
#include "Weather/CCityList.h"

namespace crash_test {
namespace {

constexpr int kCities = 40;

std::u16string Digits(uint32_t value, size_t width) {
    std::u16string text;
    for (char c : std::to_string(value)) {
        text += static_cast<char16_t>(c);
    }
    return std::u16string(width > text.size() ? width - text.size() : 0, u'0') + text;
}

std::u16string CityName(uint32_t generation, int index) {
    return u"City " + Digits(generation, 1) + u" number " + Digits(static_cast<uint32_t>(index), 1);
}

class CityListFile : public SavedFile {
public:
    bool Save(uint32_t generation) override {
        CCityList list;
        for (int i = 0; i < kCities; ++i) {
            CCity city;
            city.SetLocationId((u"USNY" + Digits(static_cast<uint32_t>(i), 4)).c_str());
            city.SetCountry(u"United States");
            city.SetState(u"New York");
            city.SetName(CityName(generation, i).c_str());
            list.AddCity(city);
        }
        return list.SetHomeIndex(static_cast<int>(generation % kCities)) && list.Save();
    }

protected:
    bool Holds(uint32_t generation) override {
        CCityList list;
        list.Load();
        if (list.TakeFoundDamaged() || list.GetCount() != kCities ||
            list.GetHomeIndex() != static_cast<int>(generation % kCities)) {
            return false;
        }
        for (int i = 0; i < kCities; ++i) {
            CCity city;
            if (!list.GetCity(i, &city) || city.GetName() != CityName(generation, i)) {
                return false;
            }
        }
        return true;
    }
};

}  // namespace

std::unique_ptr<SavedFile> MakeCityListFile() { return std::make_unique<CityListFile>(); }

}  // namespace crash_test
