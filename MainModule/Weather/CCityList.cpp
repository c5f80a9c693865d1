#include "Weather/CCityList.h"

#include <algorithm>
#include <cstring>

#include "CFSFile.h"
#include "CSOMutex.h"
#include "CSysInfo.h"
#include "Weather/CAtomicFileWriter.h"
#include "Weather/CForecastCacheFile.h"

// Cities.dat, little-endian throughout: count (u32), home index (i32), then per city the location id
// (8 UTF-16 units), three texts as a u16 length and that many UTF-16 units (country, state, name), and
// the FILETIME of the last update.
namespace {

// Remembers a failed insert: a file built with one is cut and must not be written.
class RecordWriter {
public:
    explicit RecordWriter(CByteBuffer& out) : m_out(out) {}

    bool IsWhole() const { return m_whole; }

    void U16(WORD value) {
        BYTE bytes[2] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8)};
        if (m_whole && m_out.Insert(bytes, 2, CByteBuffer::kEnd) == 0) {
            m_whole = false;
        }
    }
    void U32(DWORD value) {
        U16(static_cast<WORD>(value));
        U16(static_cast<WORD>(value >> 16));
    }
    void Units(LPCWSTR text, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            U16(text[i]);
        }
    }
    // Lengths are 16 bits wide: a longer text keeps its first 65535 characters.
    void Text(const std::u16string& text) {
        WORD length = static_cast<WORD>(std::min<size_t>(text.size(), 0xFFFF));
        U16(length);
        Units(text.c_str(), length);
    }

private:
    CByteBuffer& m_out;
    bool m_whole = true;
};

class RecordReader {
public:
    explicit RecordReader(const CByteBuffer& in) : m_in(in) {}

    bool U16(WORD& value) {
        BYTE bytes[2];
        if (!Take(bytes, 2)) {
            return false;
        }
        value = static_cast<WORD>(bytes[0] | (bytes[1] << 8));
        return true;
    }
    bool U32(DWORD& value) {
        WORD low = 0;
        WORD high = 0;
        if (m_at + 4 > m_in.GetLength() || !U16(low) || !U16(high)) {
            return false;
        }
        value = low | (static_cast<DWORD>(high) << 16);
        return true;
    }
    bool Units(std::u16string& text, size_t count) {
        if (m_at + count * 2 > m_in.GetLength()) {
            return false;
        }
        text.resize(count);
        for (size_t i = 0; i < count; ++i) {
            WORD unit = 0;
            U16(unit);
            text[i] = static_cast<char16_t>(unit);
        }
        return true;
    }
    bool Text(std::u16string& text) {
        WORD length = 0;
        return U16(length) && Units(text, length);
    }
    bool AtEnd() const { return m_at == m_in.GetLength(); }

private:
    bool Take(BYTE* target, DWORD count) {
        if (!m_in.ReadAt(m_at, count, target)) {
            return false;
        }
        m_at += count;
        return true;
    }

    const CByteBuffer& m_in;
    DWORD m_at = 0;
};

bool ReadCityRecord(RecordReader& reader, CCity& city) {
    std::u16string id;
    std::u16string country;
    std::u16string state;
    std::u16string name;
    DWORD low = 0;
    DWORD high = 0;
    if (!reader.Units(id, CCity::kLocationIdLength) || !reader.Text(country) || !reader.Text(state) ||
        !reader.Text(name) || !reader.U32(low) || !reader.U32(high)) {
        return false;
    }
    city.SetLocationId(id.c_str());
    city.SetCountry(country.c_str());
    city.SetState(state.c_str());
    city.SetName(name.c_str());
    FILETIME update = {low, high};
    city.SetUpdateFileTime(&update);
    return true;
}

}  // namespace

bool CCityList::GetFilePath(LPWSTR path, int size) {
    return CSysInfo::ExpandPath(u"%INSTALL_DIR%\\Cities.dat", path, size);
}

bool CCityList::FileExists() {
    WCHAR path[MAX_PATH];
    if (!GetFilePath(path, MAX_PATH)) {
        return false;
    }
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool CCityList::GetDamagedCopyPath(LPWSTR path, int size) {
    return CSysInfo::ExpandPath(u"%INSTALL_DIR%\\Cities.dat.damaged", path, size);
}

bool CCityList::Load(DamagedFile damaged) {
    std::lock_guard guard(m_lock);
    CSOMutex fileLock(TRUE, kMutexName, TRUE);
    m_cities.clear();
    m_deferred.clear();
    m_homeIndex = -1;
    m_foundDamaged = false;
    WCHAR path[MAX_PATH];
    CFSFile file;
    if (!GetFilePath(path, MAX_PATH) || !file.Open(path, OPEN_EXISTING, GENERIC_READ, FILE_SHARE_READ)) {
        return true;
    }
    DWORD sizeHigh = 0;
    DWORD size = file.GetSize(&sizeHigh);
    CByteBuffer content;
    DWORD read = 0;
    if (size == INVALID_FILE_SIZE || sizeHigh != 0 || size == 0 || !content.SetLength(size) ||
        !file.Read(content.GetPointer(0), size, &read) || read != size) {
        return true;
    }
    m_foundDamaged = !Deserialize(content);
    if (m_foundDamaged && damaged == DamagedFile::kKeepCopy) {
        KeepDamagedCopy(content);
    }
    return true;
}

// The copy is what the user's cities can be recovered from: an older copy with other content gives way
// to the newer one, an equal one is left alone.
bool CCityList::KeepDamagedCopy(const CByteBuffer& content) {
    WCHAR path[MAX_PATH];
    if (!GetDamagedCopyPath(path, MAX_PATH)) {
        return false;
    }
    CFSFile existing;
    CByteBuffer kept;
    if (existing.Open(path, OPEN_EXISTING, GENERIC_READ, FILE_SHARE_READ) && existing.ReadAll(&kept) &&
        kept.GetLength() == content.GetLength() &&
        std::memcmp(kept.GetPointer(0), content.GetPointer(0), content.GetLength()) == 0) {
        return true;
    }
    existing.Close();
    return CAtomicFileWriter::Replace(path, content.GetPointer(0), content.GetLength());
}

// False when the file is damaged: a header cut short, a record cut short or missing (the count is not
// trusted: records are read while they are whole), or bytes after the last record.
bool CCityList::Deserialize(const CByteBuffer& content) {
    RecordReader reader(content);
    DWORD count = 0;
    DWORD home = static_cast<DWORD>(-1);
    if (!reader.U32(count) || !reader.U32(home)) {
        return false;
    }
    bool whole = true;
    for (DWORD i = 0; i < count; ++i) {
        CCity city;
        if (!ReadCityRecord(reader, city)) {
            whole = false;
            break;
        }
        m_cities.push_back(city);
    }
    auto homeIndex = static_cast<int>(home);
    m_homeIndex = IsIndex(homeIndex) ? homeIndex : -1;
    return whole && reader.AtEnd();
}

bool CCityList::Serialize(CByteBuffer& content) const {
    ReadDeferredForecasts();  // a cache file may name its city anew
    content.Clear();
    RecordWriter writer(content);
    writer.U32(static_cast<DWORD>(m_cities.size()));
    writer.U32(static_cast<DWORD>(m_homeIndex));
    for (const CCity& city : m_cities) {
        writer.Units(city.GetLocationId(), CCity::kLocationIdLength);
        writer.Text(city.GetCountry());
        writer.Text(city.GetState());
        writer.Text(city.GetName());
        FILETIME update;
        city.GetUpdateFileTime(&update);
        writer.U32(update.dwLowDateTime);
        writer.U32(update.dwHighDateTime);
    }
    return writer.IsWhole();
}

bool CCityList::Save() {
    CByteBuffer content;
    return Save(content);
}

bool CCityList::Save(CByteBuffer& content) {
    std::lock_guard guard(m_lock);
    WCHAR path[MAX_PATH];
    if (!Serialize(content) || !GetFilePath(path, MAX_PATH)) {
        return false;
    }
    CSOMutex fileLock(TRUE, kMutexName, TRUE);
    return CAtomicFileWriter::Replace(path, content.GetPointer(0), content.GetLength());
}

bool CCityList::LoadCachedForecasts() {
    std::lock_guard guard(m_lock);
    WCHAR folder[MAX_PATH];
    if (!CForecastCacheFile::GetFolder(folder, MAX_PATH)) {
        return false;
    }
    m_deferred.clear();
    for (CCity& city : m_cities) {
        ReadCachedForecast(city);
    }
    return true;
}

void CCityList::DeferCachedForecasts() {
    std::lock_guard guard(m_lock);
    m_deferred.assign(m_cities.size(), true);
}

void CCityList::LoadDeferredForecasts() { ReadDeferredForecasts(); }

void CCityList::ReadCachedForecast(CCity& city) {
    CByteBuffer text;
    if (CForecastCacheFile::Read(city.GetLocationId(), text)) {
        city.ParseForecastXml(reinterpret_cast<const char*>(text.GetPointer(0)));
    }
}

// The caller holds the lock. The cache file is replaced whole (never written in place), so it is read
// either before or after an update's new file; an update sets its city after writing the file, under
// the lock, and so always wins over the file read here.
void CCityList::ReadDeferredForecast(size_t index) const {
    if (index < m_deferred.size() && m_deferred[index]) {
        m_deferred[index] = false;
        ReadCachedForecast(m_cities[index]);
    }
}

void CCityList::ReadDeferredForecasts() const {
    std::lock_guard guard(m_lock);
    for (size_t i = 0; i < m_deferred.size(); ++i) {
        ReadDeferredForecast(i);
    }
    m_deferred.clear();
}

void CCityList::MarkRead(size_t index) const {
    if (index < m_deferred.size()) {
        m_deferred[index] = false;
    }
}

int CCityList::GetCount() const {
    std::lock_guard guard(m_lock);
    return static_cast<int>(m_cities.size());
}

bool CCityList::GetCity(int index, CCity* city) const {
    std::lock_guard guard(m_lock);
    if (city == nullptr || !IsIndex(index)) {
        return false;
    }
    ReadDeferredForecast(static_cast<size_t>(index));
    *city = m_cities[static_cast<size_t>(index)];
    return true;
}

bool CCityList::SetCity(int index, const CCity& city) {
    std::lock_guard guard(m_lock);
    if (!IsIndex(index)) {
        return false;
    }
    MarkRead(static_cast<size_t>(index));
    m_cities[static_cast<size_t>(index)] = city;
    return true;
}

int CCityList::FindIndexById(LPCWSTR id) const {
    std::lock_guard guard(m_lock);
    if (id == nullptr) {
        return -1;
    }
    ReadDeferredForecasts();  // a cache file may name its city anew
    for (size_t i = 0; i < m_cities.size(); ++i) {
        if (lstrcmpW(m_cities[i].GetLocationId(), id) == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool CCityList::GetCityById(LPCWSTR id, CCity* city) const {
    std::lock_guard guard(m_lock);
    return city != nullptr && GetCity(FindIndexById(id), city);
}

bool CCityList::SetCityById(LPCWSTR id, const CCity* city) {
    std::lock_guard guard(m_lock);
    return city != nullptr && SetCity(FindIndexById(id), *city);
}

bool CCityList::AddCity(const CCity& city) {
    std::lock_guard guard(m_lock);
    m_cities.push_back(city);
    if (!m_deferred.empty()) {
        m_deferred.push_back(false);
    }
    return true;
}

bool CCityList::RemoveAt(int index) {
    std::lock_guard guard(m_lock);
    if (!IsIndex(index)) {
        return false;
    }
    m_cities.erase(m_cities.begin() + index);
    if (static_cast<size_t>(index) < m_deferred.size()) {
        m_deferred.erase(m_deferred.begin() + index);
    }
    if (m_homeIndex == index) {
        m_homeIndex = -1;
    } else if (m_homeIndex > index) {
        --m_homeIndex;
    }
    return true;
}

bool CCityList::SwapCities(int first, int second) {
    std::lock_guard guard(m_lock);
    if (!IsIndex(first) || !IsIndex(second)) {
        return false;
    }
    std::swap(m_cities[static_cast<size_t>(first)], m_cities[static_cast<size_t>(second)]);
    if (!m_deferred.empty()) {
        std::vector<bool>::swap(m_deferred[static_cast<size_t>(first)], m_deferred[static_cast<size_t>(second)]);
    }
    if (m_homeIndex == first) {
        m_homeIndex = second;
    } else if (m_homeIndex == second) {
        m_homeIndex = first;
    }
    return true;
}

bool CCityList::SetHomeIndex(int index) {
    std::lock_guard guard(m_lock);
    if (!IsIndex(index)) {
        return false;
    }
    m_homeIndex = index;
    return true;
}

int CCityList::GetHomeIndex() const {
    std::lock_guard guard(m_lock);
    return m_homeIndex;
}

bool CCityList::GetLocationIds(std::vector<std::u16string>* ids) const {
    std::lock_guard guard(m_lock);
    if (ids == nullptr) {
        return false;
    }
    ids->clear();
    ReadDeferredForecasts();  // a cache file may name its city anew
    for (const CCity& city : m_cities) {
        ids->push_back(city.GetLocationId());
    }
    return true;
}
