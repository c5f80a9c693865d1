#include "Weather/CityDBChoices.h"

#include <algorithm>

#include "Weather/CCityDB.h"

namespace CityDBChoices {
namespace {

bool SameText(LPCWSTR a, LPCWSTR b) { return a != nullptr && b != nullptr && _wcsicmp(a, b) == 0; }

}  // namespace

int ListCountries(const CCityDB& db, LPCWSTR lastCountry, std::vector<std::u16string>* countries) {
    countries->clear();
    int preselected = -1;
    for (int i = 0; i < db.GetEntryCount(); ++i) {
        LPCWSTR country = db.GetEntryName(i);
        // The index keeps a country's entries together, but a repeat further on must not show twice.
        const bool known = std::any_of(countries->begin(), countries->end(),
                                       [&](const std::u16string& listed) { return SameText(listed.c_str(), country); });
        if (country == nullptr || known) {
            continue;
        }
        if (preselected < 0 && SameText(country, lastCountry)) {
            preselected = static_cast<int>(countries->size());
        }
        countries->push_back(country);
    }
    return preselected;
}

int ListStates(const CCityDB& db, LPCWSTR country, std::vector<std::u16string>* states) {
    states->clear();
    int last = -1;
    for (int i = 0; i < db.GetEntryCount(); ++i) {
        if (!SameText(db.GetEntryName(i), country)) {
            continue;
        }
        last = i;
        LPCWSTR state = db.GetEntrySubName(i);
        if (state != nullptr && state[0] != 0) {
            states->push_back(state);
        }
    }
    return last;
}

int FindEntry(const CCityDB& db, LPCWSTR country, LPCWSTR state) {
    for (int i = 0; i < db.GetEntryCount(); ++i) {
        if (SameText(db.GetEntryName(i), country) && SameText(db.GetEntrySubName(i), state)) {
            return i;
        }
    }
    return -1;
}

}  // namespace CityDBChoices
