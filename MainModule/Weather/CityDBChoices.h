// The lists that adding a city by name offers, step by step, from the city database's index: the
// countries, a country's states, and the index entry whose cities a chosen country and state give.
#pragma once

#include <string>
#include <vector>

#include "ce/types.h"

class CCityDB;

namespace CityDBChoices {

// Every country of the index once, in index order (letter case ignored). The position of `lastCountry`
// in the list, or -1 when it is not there.
int ListCountries(const CCityDB& db, LPCWSTR lastCountry, std::vector<std::u16string>* countries);

// The state names of a country's entries, in index order. The index of the country's last entry, or -1
// when the country has no entry.
int ListStates(const CCityDB& db, LPCWSTR country, std::vector<std::u16string>* states);

// The first entry of that country and state (letter case ignored); -1 when none.
int FindEntry(const CCityDB& db, LPCWSTR country, LPCWSTR state);

}  // namespace CityDBChoices
