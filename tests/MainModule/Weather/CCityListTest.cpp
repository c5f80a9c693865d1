// The city list and its files (Cities.dat and the forecast cache) in a throw-away installed device.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <thread>

#include <sys/stat.h>

#include "CSOMutex.h"
#include "InstalledDevice.h"
#include "Platform/ChildProcess.h"
#include "Weather/CCityList.h"
#include "Weather/CForecastCacheFile.h"
#include "Weather/CityStatusText.h"
#include "ce/com.h"
#include "ce/kernel.h"

namespace {

CCity MakeCity(const char16_t* id, const char16_t* country, const char16_t* state, const char16_t* name,
               DWORD updateLow = 0) {
    CCity city;
    city.SetLocationId(id);
    city.SetCountry(country);
    city.SetState(state);
    city.SetName(name);
    FILETIME update = {updateLow, updateLow != 0 ? 0x01D00000u : 0u};
    city.SetUpdateFileTime(&update);
    return city;
}

std::u16string NameAt(const CCityList& list, int index) {
    CCity city;
    return list.GetCity(index, &city) ? std::u16string(city.GetName()) : u"<none>";
}

void AppendU16(std::string& out, uint16_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}
void AppendU32(std::string& out, uint32_t value) {
    AppendU16(out, static_cast<uint16_t>(value));
    AppendU16(out, static_cast<uint16_t>(value >> 16));
}
void AppendUnits(std::string& out, std::u16string_view text) {
    for (char16_t c : text) {
        AppendU16(out, c);
    }
}
void AppendText(std::string& out, std::u16string_view text) {
    AppendU16(out, static_cast<uint16_t>(text.size()));
    AppendUnits(out, text);
}

class CityList : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))); }
    void TearDown() override { CoUninitialize(); }

    std::string CitiesDat() const { return device.InstallFolder("Cities.dat"); }

    ce::test::InstalledDevice device;
};

TEST_F(CityList, SavedFileHasTheRecordLayoutAndReadsBack) {
    CCityList list;
    list.AddCity(MakeCity(u"USNY0996", u"United States", u"New York", u"New York", 0x1234));
    list.AddCity(MakeCity(u"DEXX0001", u"Germany", u"", u"K\u00f6ln"));
    ASSERT_TRUE(list.SetHomeIndex(1));
    ASSERT_TRUE(list.Save());
    EXPECT_TRUE(CCityList::FileExists());

    std::string expected;
    AppendU32(expected, 2);
    AppendU32(expected, 1);
    AppendUnits(expected, u"USNY0996");
    AppendText(expected, u"United States");
    AppendText(expected, u"New York");
    AppendText(expected, u"New York");
    AppendU32(expected, 0x1234);
    AppendU32(expected, 0x01D00000);
    AppendUnits(expected, u"DEXX0001");
    AppendText(expected, u"Germany");
    AppendText(expected, u"");
    AppendText(expected, u"K\u00f6ln");
    AppendU32(expected, 0);
    AppendU32(expected, 0);
    std::string written = device.ReadHostFile(CitiesDat());
    EXPECT_EQ(written.size(), 8u + 2 * (16 + 2 + 2 + 2 + 8) + 2 * (13 + 8 + 8 + 7 + 4));
    EXPECT_EQ(written, expected);
    EXPECT_FALSE(std::filesystem::exists(CitiesDat() + ".tmp"));

    CCityList loaded;
    ASSERT_TRUE(loaded.Load());
    ASSERT_EQ(loaded.GetCount(), 2);
    EXPECT_EQ(loaded.GetHomeIndex(), 1);
    CCity city;
    ASSERT_TRUE(loaded.GetCity(0, &city));
    EXPECT_EQ(std::u16string(city.GetLocationId()), u"USNY0996");
    EXPECT_EQ(std::u16string(city.GetCountry()), u"United States");
    EXPECT_EQ(std::u16string(city.GetState()), u"New York");
    FILETIME update;
    city.GetUpdateFileTime(&update);
    EXPECT_EQ(update.dwLowDateTime, 0x1234u);
    EXPECT_EQ(update.dwHighDateTime, 0x01D00000u);
    EXPECT_EQ(NameAt(loaded, 1), u"K\u00f6ln");
}

TEST_F(CityList, EveryTruncationLoadsTheWholeRecordsAndTheNextSaveKeepsThem) {
    CCityList list;
    list.AddCity(MakeCity(u"AAAA0001", u"A", u"Alpha", u"First"));
    list.AddCity(MakeCity(u"BBBB0002", u"B", u"", u"Second"));
    list.AddCity(MakeCity(u"CCCC0003", u"C", u"Gamma", u"Third"));
    list.SetHomeIndex(2);
    ASSERT_TRUE(list.Save());
    std::string whole = device.ReadHostFile(CitiesDat());
    auto recordSize = [](size_t country, size_t state, size_t name) {
        return 16 + 2 + 2 * country + 2 + 2 * state + 2 + 2 * name + 8;
    };
    const size_t recordEnds[] = {8 + recordSize(1, 5, 5), 8 + recordSize(1, 5, 5) + recordSize(1, 0, 6),
                                 8 + recordSize(1, 5, 5) + recordSize(1, 0, 6) + recordSize(1, 5, 5)};
    ASSERT_EQ(whole.size(), recordEnds[2]);

    for (size_t length = 0; length <= whole.size(); ++length) {
        device.WriteHostFile(CitiesDat(), whole.substr(0, length));
        CCityList loaded;
        EXPECT_TRUE(loaded.Load());
        int wholeRecords = 0;
        for (size_t end : recordEnds) {
            wholeRecords += length >= end ? 1 : 0;
        }
        ASSERT_EQ(loaded.GetCount(), wholeRecords) << length;
        EXPECT_EQ(loaded.GetHomeIndex(), wholeRecords == 3 ? 2 : -1) << "a home beyond the list is no home";
        if (wholeRecords == 2) {
            ASSERT_TRUE(loaded.Save());
            CCityList again;
            again.Load();
            ASSERT_EQ(again.GetCount(), 2);
            EXPECT_EQ(NameAt(again, 0), u"First");
            EXPECT_EQ(NameAt(again, 1), u"Second");
        }
    }
}

TEST_F(CityList, HostileCountsAndLengthsStopAtTheEndOfTheData) {
    std::string file;
    AppendU32(file, 0xFFFFFFFF);
    AppendU32(file, 0);
    AppendUnits(file, u"AAAA0001");
    AppendText(file, u"A");
    AppendText(file, u"");
    AppendText(file, u"First");
    AppendU32(file, 0);
    AppendU32(file, 0);
    AppendUnits(file, u"BBBB0002");
    AppendU16(file, 0xFFFF);
    file += "short";
    device.WriteHostFile(CitiesDat(), file);
    CCityList list;
    list.Load();
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.GetHomeIndex(), 0);

    std::string emptyWithHome;
    AppendU32(emptyWithHome, 0);
    AppendU32(emptyWithHome, 5);
    device.WriteHostFile(CitiesDat(), emptyWithHome);
    list.Load();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetHomeIndex(), -1);
}

TEST_F(CityList, AnUpdateTimeWithItsTopBitSetReadsAsNeverUpdatedAndTheStatusSaysSo) {
    std::string file;
    AppendU32(file, 2);
    AppendU32(file, 0);
    for (DWORD high : {0x80000000u, 0xFFFFFFFFu}) {
        AppendUnits(file, u"DEXX0001");
        AppendText(file, u"Germany");
        AppendText(file, u"");
        AppendText(file, u"Berlin");
        AppendU32(file, 0x12345678);
        AppendU32(file, high);
    }
    device.WriteHostFile(CitiesDat(), file);
    CCityList list;
    list.Load();
    ASSERT_EQ(list.GetCount(), 2);
    SYSTEMTIME local;
    GetLocalTime(&local);
    FILETIME now;
    ASSERT_TRUE(SystemTimeToFileTime(&local, &now));
    for (int i = 0; i < 2; ++i) {
        CCity city;
        ASSERT_TRUE(list.GetCity(i, &city));
        FILETIME update;
        city.GetUpdateFileTime(&update);
        EXPECT_EQ(update.dwHighDateTime, 0u);
        EXPECT_EQ(update.dwLowDateTime, 0u);
        std::u16string status;
        GetCityStatusText(city, now, false, &status);  // measures days from the update time
    }
}

TEST_F(CityList, AFailedSaveKeepsTheOldFile) {
    CCityList list;
    list.AddCity(MakeCity(u"AAAA0001", u"A", u"", u"Old"));
    ASSERT_TRUE(list.Save());
    std::string old = device.ReadHostFile(CitiesDat());

    // The temporary file cannot be created: a folder stands in its place.
    std::filesystem::create_directory(CitiesDat() + ".tmp");
    list.AddCity(MakeCity(u"BBBB0002", u"B", u"", u"New"));
    EXPECT_FALSE(list.Save());
    EXPECT_EQ(device.ReadHostFile(CitiesDat()), old);
    std::filesystem::remove(CitiesDat() + ".tmp");

    // The old file cannot be replaced while a reader holds it open without delete sharing.
    HANDLE reader = CreateFileW(u"\\Program Files\\Skyvane\\Cities.dat", GENERIC_READ, FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(list.Save());
    CloseHandle(reader);
    EXPECT_EQ(device.ReadHostFile(CitiesDat()), old);
    EXPECT_FALSE(std::filesystem::exists(CitiesDat() + ".tmp"));
    EXPECT_TRUE(list.Save());
    CCityList loaded;
    loaded.Load();
    EXPECT_EQ(loaded.GetCount(), 2);
}

TEST_F(CityList, AFailedBufferInsertFailsTheSaveAndKeepsTheOldFile) {
    CCityList list;
    list.AddCity(MakeCity(u"AAAA0001", u"A", u"", u"Old"));
    ASSERT_TRUE(list.Save());
    const std::string old = device.ReadHostFile(CitiesDat());

    // Room for the header alone, and a buffer that cannot grow: the first record's insert fails.
    list.AddCity(MakeCity(u"BBBB0002", u"B", u"", u"New"));
    CByteBuffer content;
    content.SetGrowStep(0);
    ASSERT_TRUE(content.SetLength(8));
    content.SetGrowStep(CByteBuffer::kEnd);
    EXPECT_FALSE(list.Save(content));
    EXPECT_EQ(device.ReadHostFile(CitiesDat()), old);
    EXPECT_FALSE(std::filesystem::exists(CitiesDat() + ".tmp"));
}

// The program keeps a damaged file as it found it before any save can overwrite it; the plug-ins, which
// only read, leave no copy.
TEST_F(CityList, ADamagedFileIsCopiedOnceBesideItAndALaterSaveKeepsTheCopy) {
    CCityList list;
    list.AddCity(MakeCity(u"AAAA0001", u"A", u"Alpha", u"First"));
    list.AddCity(MakeCity(u"BBBB0002", u"B", u"", u"Second"));
    ASSERT_TRUE(list.Save());
    const std::string whole = device.ReadHostFile(CitiesDat());
    const std::string copyPath = CitiesDat() + ".damaged";
    std::string garbage(300, '\x5A');
    const std::string damagedFiles[] = {whole.substr(0, whole.size() - 3), whole.substr(0, 6), garbage,
                                        whole + "x"};
    for (const std::string& damaged : damagedFiles) {
        std::filesystem::remove(copyPath);
        device.WriteHostFile(CitiesDat(), damaged);
        CCityList plugin;
        EXPECT_TRUE(plugin.Load());
        EXPECT_TRUE(plugin.TakeFoundDamaged()) << damaged.size();
        EXPECT_FALSE(std::filesystem::exists(copyPath)) << "a reader only reads";

        CCityList program;
        EXPECT_TRUE(program.Load(CCityList::DamagedFile::kKeepCopy));
        ASSERT_TRUE(std::filesystem::exists(copyPath)) << damaged.size();
        EXPECT_EQ(device.ReadHostFile(copyPath), damaged);
        EXPECT_TRUE(program.TakeFoundDamaged());
        EXPECT_FALSE(program.TakeFoundDamaged()) << "told once";
        // A later update saves what was read; the copy stays.
        ASSERT_TRUE(program.Save());
        EXPECT_EQ(device.ReadHostFile(copyPath), damaged);
        CCityList again;
        again.Load(CCityList::DamagedFile::kKeepCopy);
        EXPECT_FALSE(again.TakeFoundDamaged());
        EXPECT_EQ(device.ReadHostFile(copyPath), damaged);
    }

    // The same damage again leaves the copy alone; another one replaces it.
    struct stat before {};
    ASSERT_EQ(stat(copyPath.c_str(), &before), 0);
    device.WriteHostFile(CitiesDat(), whole + "x");
    CCityList program;
    program.Load(CCityList::DamagedFile::kKeepCopy);
    struct stat after {};
    ASSERT_EQ(stat(copyPath.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << "an equal copy is not rewritten";
    device.WriteHostFile(CitiesDat(), garbage);
    program.Load(CCityList::DamagedFile::kKeepCopy);
    EXPECT_EQ(device.ReadHostFile(copyPath), garbage);

    // A whole file and an empty one are not damaged.
    for (const std::string& sound : {whole, std::string()}) {
        std::filesystem::remove(copyPath);
        device.WriteHostFile(CitiesDat(), sound);
        program.Load(CCityList::DamagedFile::kKeepCopy);
        EXPECT_FALSE(program.TakeFoundDamaged());
        EXPECT_FALSE(std::filesystem::exists(copyPath));
    }
}

TEST_F(CityList, HomeIndexFollowsRemovalsAndSwaps) {
    auto threeCities = [](int home) {
        auto list = std::make_unique<CCityList>();
        list->AddCity(MakeCity(u"AAAA0001", u"A", u"", u"A"));
        list->AddCity(MakeCity(u"BBBB0002", u"B", u"", u"B"));
        list->AddCity(MakeCity(u"CCCC0003", u"C", u"", u"C"));
        list->SetHomeIndex(home);
        return list;
    };
    const std::pair<int, int> removeOne[] = {{2, 1}, {1, -1}, {0, 0}};
    for (const auto& [home, expected] : removeOne) {
        auto list = threeCities(home);
        ASSERT_TRUE(list->RemoveAt(1));
        EXPECT_EQ(list->GetHomeIndex(), expected) << home;
    }
    auto list = threeCities(2);
    EXPECT_FALSE(list->RemoveAt(3));
    ASSERT_TRUE(list->SwapCities(0, 2));
    EXPECT_EQ(list->GetHomeIndex(), 0);
    EXPECT_EQ(NameAt(*list, 0), u"C");
    EXPECT_FALSE(list->SwapCities(0, 3));
    EXPECT_FALSE(list->SetHomeIndex(3));
    EXPECT_FALSE(list->SetHomeIndex(-1));

    EXPECT_EQ(list->FindIndexById(u"BBBB0002"), 1);
    EXPECT_EQ(list->FindIndexById(u"bbbb0002"), -1) << "ids compare with case";
    EXPECT_EQ(list->FindIndexById(u"BBBB"), -1);
    EXPECT_EQ(list->FindIndexById(nullptr), -1);
    CCity replacement = MakeCity(u"BBBB0002", u"B", u"", u"Renamed");
    EXPECT_TRUE(list->SetCityById(u"BBBB0002", &replacement));
    EXPECT_EQ(NameAt(*list, 1), u"Renamed");
    EXPECT_FALSE(list->SetCityById(u"ZZZZ0009", &replacement));
    std::vector<std::u16string> ids;
    ASSERT_TRUE(list->GetLocationIds(&ids));
    EXPECT_EQ(ids, (std::vector<std::u16string>{u"CCCC0003", u"BBBB0002", u"AAAA0001"}));
}

std::string ForecastFor(const char* id, int high) {
    return std::string("\r\n<W><FORECAST LOCATIONID=\"") + id +
           "\" DAY1FCST_VALID_DAY=\"20091010\" DAY1SUNRISE=\"7:00 am\" DAY1SUNSET=\"6:00 pm\" DAY1HITMPF=\"" +
           std::to_string(high) + "\"/></W>";
}

int HighOn20091010(const CCityList& list, int index) {
    CCity city;
    CDayForecast day;
    if (!list.GetCity(index, &city) || !city.GetDayForecast(CDate(2009, 10, 10), &day)) {
        return -1;
    }
    return day.GetHighTemperature(1);
}

// Saves a list of cities named after the first letter of their ids ("AAAA0001" is A in country A).
bool SaveLetterCities(std::initializer_list<const char16_t*> ids) {
    CCityList list;
    for (const char16_t* id : ids) {
        const std::u16string letter(1, id[0]);
        list.AddCity(MakeCity(id, letter.c_str(), u"", letter.c_str()));
    }
    return list.Save();
}

TEST_F(CityList, CacheFilesOfEveryCityAreReadBackAtLoad) {
    ASSERT_TRUE(SaveLetterCities({u"AAAA0001", u"BBBB0002", u"CCCC0003", u"DDDD0004"}));

    ASSERT_TRUE(CForecastCacheFile::Write(u"AAAA0001", ForecastFor("AAAA0001", 50).c_str()));
    ASSERT_TRUE(CForecastCacheFile::Write(u"AAAA0001", ForecastFor("AAAA0001", 61).c_str()));
    // A cache entry that cannot be opened is skipped and the next city still loads.
    std::filesystem::create_directories(device.InstallFolder("Cache/BBBB0002.xml"));
    ASSERT_TRUE(CForecastCacheFile::Write(u"DDDD0004", ForecastFor("DDDD0004", 72).c_str()));
    EXPECT_FALSE(CForecastCacheFile::Write(u"..\\Cities", ForecastFor("AAAA0001", 1).c_str()));
    EXPECT_FALSE(CForecastCacheFile::Write(u"EEEE0005", "no markup"));

    std::string cached = device.ReadHostFile(device.InstallFolder("Cache/AAAA0001.xml"));
    std::string sent = ForecastFor("AAAA0001", 61);
    EXPECT_EQ(cached, sent.substr(sent.find('<')) + std::string(1, '\0')) << "from the first '<' with its terminator";
    EXPECT_FALSE(std::filesystem::exists(device.InstallFolder("Cache/AAAA0001.xml.tmp")));

    CCityList loaded;
    loaded.Load();
    ASSERT_TRUE(loaded.LoadCachedForecasts());
    EXPECT_EQ(HighOn20091010(loaded, 0), 61);
    EXPECT_EQ(HighOn20091010(loaded, 1), -1);
    EXPECT_EQ(HighOn20091010(loaded, 2), -1) << "no cache file";
    EXPECT_EQ(HighOn20091010(loaded, 3), 72);
}

// Three cities with cache files, A 10, B 20, C 30, saved; the list read back from the file.
void SaveCitiesWithCaches(CCityList& loaded) {
    ASSERT_TRUE(SaveLetterCities({u"AAAA0001", u"BBBB0002", u"CCCC0003"}));
    ASSERT_TRUE(CForecastCacheFile::Write(u"AAAA0001", ForecastFor("AAAA0001", 10).c_str()));
    ASSERT_TRUE(CForecastCacheFile::Write(u"BBBB0002", ForecastFor("BBBB0002", 20).c_str()));
    ASSERT_TRUE(CForecastCacheFile::Write(u"CCCC0003", ForecastFor("CCCC0003", 30).c_str()));
    loaded.Load();
}

// What an update does with a city: a copy gets the new forecast, its cache file is replaced, then the
// list takes the copy.
void UpdateCity(CCityList& list, const char16_t* id, const char* narrowId, int high) {
    CCity city;
    ASSERT_TRUE(list.GetCityById(id, &city));
    std::string text = ForecastFor(narrowId, high);
    ASSERT_TRUE(city.ParseForecastXml(text.c_str() + text.find('<')));
    ASSERT_TRUE(CForecastCacheFile::Write(id, text.c_str()));
    ASSERT_TRUE(list.SetCityById(id, &city));
}

TEST_F(CityList, PutOffCacheFilesGiveWhatReadingThemAtOnceGives) {
    CCityList deferred;
    SaveCitiesWithCaches(deferred);
    deferred.DeferCachedForecasts();

    // The city shown is read alone; the others wait.
    EXPECT_EQ(HighOn20091010(deferred, 1), 20);
    ASSERT_TRUE(CForecastCacheFile::Write(u"CCCC0003", ForecastFor("CCCC0003", 31).c_str()));
    EXPECT_EQ(HighOn20091010(deferred, 2), 31) << "read when first asked for";
    CCityList eager;
    eager.Load();
    ASSERT_TRUE(eager.LoadCachedForecasts());

    // Moving cities keeps each one's put-off read with it.
    for (CCityList* list : {&eager, &deferred}) {
        ASSERT_TRUE(list->SwapCities(0, 2));
        ASSERT_TRUE(list->RemoveAt(1));
        list->AddCity(MakeCity(u"DDDD0004", u"D", u"", u"D"));
    }
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(NameAt(deferred, i), NameAt(eager, i));
        EXPECT_EQ(HighOn20091010(deferred, i), HighOn20091010(eager, i)) << "city " << i;
    }
    CByteBuffer eagerFile;
    CByteBuffer deferredFile;
    ASSERT_TRUE(eager.Save(eagerFile));
    ASSERT_TRUE(deferred.Save(deferredFile));
    ASSERT_EQ(deferredFile.GetLength(), eagerFile.GetLength());
    EXPECT_EQ(std::memcmp(deferredFile.GetPointer(0), eagerFile.GetPointer(0), eagerFile.GetLength()), 0);
}

TEST_F(CityList, ACitySetWhileItsCacheFileIsPutOffKeepsWhatItWasGiven) {
    CCityList list;
    SaveCitiesWithCaches(list);
    list.DeferCachedForecasts();
    CCity updated = MakeCity(u"BBBB0002", u"B", u"", u"B");
    std::string text = ForecastFor("BBBB0002", 77);
    ASSERT_TRUE(updated.ParseForecastXml(text.c_str() + text.find('<')));
    ASSERT_TRUE(list.SetCity(1, updated));  // the file still holds 20
    list.LoadDeferredForecasts();
    EXPECT_EQ(HighOn20091010(list, 0), 10);
    EXPECT_EQ(HighOn20091010(list, 1), 77);
    EXPECT_EQ(HighOn20091010(list, 2), 30);
}

// The window reads the put-off files after its first frame while an update replaces them and the user
// switches cities: every city ends with the update's forecast, never the older file's.
TEST_F(CityList, PutOffReadsDuringAnUpdateAndACitySwitchEndWithTheUpdate) {
    constexpr int kUpdateRounds = 20;
    for (int round = 0; round < kUpdateRounds; ++round) {
        CCityList list;
        SaveCitiesWithCaches(list);
        list.DeferCachedForecasts();
        const int high = 100 + round;
        std::thread update([&] {
            ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
            UpdateCity(list, u"CCCC0003", "CCCC0003", high);
            UpdateCity(list, u"AAAA0001", "AAAA0001", high);
            CoUninitialize();
        });
        for (int shown : {2, 0, 1}) {
            EXPECT_GE(HighOn20091010(list, shown), 10);
        }
        list.LoadDeferredForecasts();
        update.join();
        EXPECT_EQ(HighOn20091010(list, 0), high);
        EXPECT_EQ(HighOn20091010(list, 1), 20);
        EXPECT_EQ(HighOn20091010(list, 2), high);
    }
}

// Two processes save different lists at once; the lock keeps each save whole.
constexpr int kRounds = 100;
constexpr const char16_t* kChildStarted = u"CityListTest_ChildStarted";

bool SaveRepeatedly(int cities) {
    CCityList list;
    for (int i = 0; i < cities; ++i) {
        WCHAR id[9];
        wsprintfW(id, u"CITY%04d", i);
        list.AddCity(MakeCity(id, u"Country", u"", id));
    }
    for (int round = 0; round < kRounds; ++round) {
        if (!list.Save()) {
            return false;
        }
    }
    return true;
}

TEST_F(CityList, TwoProcessesSavingAtOnceEachWriteAWholeFile) {
    if (const char* role = ce::test::ChildRole(); role != nullptr) {
        // The child saves into the parent's device.
        ce::SetDeviceRoot(role);
        HANDLE started = CreateEventW(nullptr, TRUE, FALSE, kChildStarted);
        SetEvent(started);
        EXPECT_TRUE(SaveRepeatedly(5));
        CloseHandle(started);
        return;
    }
    HANDLE started = CreateEventW(nullptr, TRUE, FALSE, kChildStarted);
    std::atomic<int> childResult{-1};
    std::thread child([&] {
        childResult = ce::test::RunChildTest("CityList.TwoProcessesSavingAtOnceEachWriteAWholeFile", device.Root());
    });
    EXPECT_EQ(WaitForSingleObject(started, 30000), WAIT_OBJECT_0);
    bool parentSaved = SaveRepeatedly(3);
    child.join();
    CloseHandle(started);
    EXPECT_TRUE(parentSaved);
    EXPECT_EQ(childResult.load(), 0);
    CCityList list;
    list.Load();
    EXPECT_TRUE(list.GetCount() == 3 || list.GetCount() == 5) << list.GetCount();
    EXPECT_EQ(NameAt(list, list.GetCount() - 1), list.GetCount() == 3 ? u"CITY0002" : u"CITY0004");
    EXPECT_FALSE(std::filesystem::exists(CitiesDat() + ".tmp"));
}

constexpr const char16_t* kChildReady = u"CityListTest_ChildReady";

TEST_F(CityList, ASaveWaitsForTheHolderOfTheListLock) {
    if (const char* role = ce::test::ChildRole(); role != nullptr) {
        ce::SetDeviceRoot(role);
        HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, kChildReady);
        CCityList list;
        list.AddCity(MakeCity(u"CHLD0001", u"C", u"", u"Child"));
        SetEvent(ready);
        EXPECT_TRUE(list.Save());
        CloseHandle(ready);
        return;
    }
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, kChildReady);
    ASSERT_NE(ready, nullptr);
    std::atomic<int> childResult{-1};
    std::thread child;
    {
        CSOMutex lock(TRUE, CCityList::kMutexName, TRUE);
        child = std::thread([&] {
            childResult = ce::test::RunChildTest("CityList.ASaveWaitsForTheHolderOfTheListLock", device.Root());
        });
        EXPECT_EQ(WaitForSingleObject(ready, 30000), WAIT_OBJECT_0);
        // The child is saving now, but cannot replace the file while the lock is held here.
        CCityList mine;
        mine.AddCity(MakeCity(u"PRNT0001", u"P", u"", u"Parent"));
        ASSERT_TRUE(mine.Save()) << "the lock is recursive for its holder";
        CCityList seen;
        seen.Load();
        EXPECT_EQ(NameAt(seen, 0), u"Parent");
    }
    child.join();
    CloseHandle(ready);
    EXPECT_EQ(childResult.load(), 0);
    CCityList after;
    after.Load();
    EXPECT_EQ(NameAt(after, 0), u"Child");
}

}  // namespace
