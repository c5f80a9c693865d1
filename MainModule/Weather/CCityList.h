// The user's ordered cities and the home city, kept in "%INSTALL_DIR%\Cities.dat". The program writes
// the file; the program and both plug-ins read it, always under the named mutex "Skyvane_CityListLock".
// Every operation holds the list's own lock, since the forecast update thread and the screens share it.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "CByteBuffer.h"
#include "Weather/CCity.h"

class CCityList {
public:
    static constexpr LPCWSTR kMutexName = u"Skyvane_CityListLock";

    CCityList() = default;
    CCityList(const CCityList&) = delete;
    CCityList& operator=(const CCityList&) = delete;
    virtual ~CCityList() = default;

    static bool FileExists();
    // Reads what is whole of the file; a missing or damaged file gives a shorter or empty list. A home
    // index outside the list becomes -1. Always true.
    bool Load();
    // Builds the whole file, then replaces the old one; a failed save leaves the old file.
    bool Save();
    // Reads every city's cache file; a city whose file is missing or unreadable keeps no forecast.
    bool LoadCachedForecasts();

    int GetCount() const;
    bool GetCity(int index, CCity* city) const;
    bool SetCity(int index, const CCity& city);
    int FindIndexById(LPCWSTR id) const;
    bool GetCityById(LPCWSTR id, CCity* city) const;
    bool SetCityById(LPCWSTR id, const CCity* city);
    bool AddCity(const CCity& city);
    bool RemoveAt(int index);
    bool SwapCities(int first, int second);
    bool SetHomeIndex(int index);
    int GetHomeIndex() const;
    bool GetLocationIds(std::vector<std::u16string>* ids) const;

private:
    static bool GetFilePath(LPWSTR path, int size);
    bool IsIndex(int index) const { return index >= 0 && static_cast<size_t>(index) < m_cities.size(); }
    void Serialize(CByteBuffer& content) const;
    void Deserialize(const CByteBuffer& content);

    mutable std::recursive_mutex m_lock;
    std::vector<CCity> m_cities;
    int m_homeIndex = -1;
};
