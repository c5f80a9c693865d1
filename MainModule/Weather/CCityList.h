// The user's ordered cities and the home city, kept in "%INSTALL_DIR%\Cities.dat". The program writes
// the file; the program and both plug-ins read it, always under the named mutex "Skyvane_CityListLock".
// Every operation holds the list's own lock, since the forecast update thread and the screens share it.
#pragma once

#include <mutex>
#include <string>
#include <utility>
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

    // What Load does with a damaged file besides reading what is whole of it. Only the program, the
    // file's one writer, keeps a copy; the plug-ins only read.
    enum class DamagedFile { kIgnore, kKeepCopy };

    static bool FileExists();
    // Reads what is whole of the file; a missing or damaged file gives a shorter or empty list. A home
    // index outside the list becomes -1. With kKeepCopy a damaged file is first copied as found to
    // "Cities.dat.damaged" beside it, so that the next save cannot lose the cities. Always true.
    bool Load(DamagedFile damaged = DamagedFile::kIgnore);
    // Whether the last Load found the file damaged (a header or record cut short, a count beyond the
    // records, bytes after them), true only once: the user is told once.
    bool TakeFoundDamaged() { return std::exchange(m_foundDamaged, false); }
    // Where the copy of a damaged file goes.
    static bool GetDamagedCopyPath(LPWSTR path, int size);
    // Builds the whole file, then replaces the old one; a failed save leaves the old file.
    bool Save();
    // The same, building the file in the given buffer (emptied first); any failed insert fails the save.
    bool Save(CByteBuffer& content);
    // Reads every city's cache file; a city whose file is missing or unreadable keeps no forecast.
    bool LoadCachedForecasts();
    // The same, put off: each city's cache file is read when the city is first asked for (or its id
    // looked at), or by LoadDeferredForecasts, so that start-up reads only the city it shows. A city
    // set meanwhile (an update) keeps what it was given.
    void DeferCachedForecasts();
    void LoadDeferredForecasts();

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
    bool Serialize(CByteBuffer& content) const;
    bool Deserialize(const CByteBuffer& content);
    static bool KeepDamagedCopy(const CByteBuffer& content);
    static void ReadCachedForecast(CCity& city);
    void ReadDeferredForecast(size_t index) const;
    void ReadDeferredForecasts() const;
    void MarkRead(size_t index) const;

    mutable std::recursive_mutex m_lock;
    // Reading a put-off cache file is no change that callers see: the accessors do it.
    mutable std::vector<CCity> m_cities;
    // Per city, whether its cache file is still to be read; empty when nothing is put off.
    mutable std::vector<bool> m_deferred;
    int m_homeIndex = -1;
    bool m_foundDamaged = false;
};
