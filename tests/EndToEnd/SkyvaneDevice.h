// The device of the end-to-end tests: the program installed, the weather server on loopback as the
// device's forecast server, the virtual clock at noon of the server's date, and helpers to read what
// the program left behind. Each test makes its own device with the device tool and runs the server and
// the program as sanitized processes: five or more process starts at some half a second of CPU each,
// which is why these tests take 5 to 10 s.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "CRegistryStore.h"
#include "ProgramDevice.h"
#include "Weather/CCityList.h"
#include "Weather/CSettings.h"
#include "Weather/ScheduledUpdates.h"
#include "WeatherServerProcess.h"
#include "ce/device.h"

namespace endtoend {

constexpr uint64_t kNoonUtc = 1796817600000;  // 2026-12-09 12:00 UTC
constexpr const char* kServerDate = "2026120912";

inline bool HasField(const std::string& line, const std::string& name, const std::string& value) {
    return line.find("\"" + name + "\":\"" + value + "\"") != std::string::npos;
}

// A notification that the device holds for a program.
struct Notification {
    std::u16string program;
    std::u16string arguments;
    SYSTEMTIME start;
};
std::vector<Notification> PendingNotifications();
// Drops every notification the device holds.
void ClearNotifications();

class SkyvaneDevice : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(device.Ready()) << device.Problem();
        ASSERT_GT(server.Port(), 0);
        ASSERT_TRUE(ce::SetProfileString("hosts", "forecast.skyvane.example",
                                         "127.0.0.1:" + std::to_string(server.Port())));
        ce::ReloadProfile();
        ce::EnableVirtualClock(kNoonUtc);
    }
    // A scheduled update left pending would fall due at once on the real clock, which is later than the
    // virtual one: the device would start the program in a device that is being removed, where it stays
    // behind its start-up failure message for good.
    void TearDown() override {
        ClearScheduledUpdates();
        ce::DisableVirtualClock();
    }

    // Cities.dat with these cities, each last updated long ago; its bytes are kept in oldList.
    void WriteCities(const std::vector<std::u16string>& ids) {
        CCityList cities;
        for (const std::u16string& id : ids) {
            CCity city;
            city.SetLocationId(id.c_str());
            city.SetName(id.c_str());
            FILETIME old = {0x12345678, 0x01D00000};
            city.SetUpdateFileTime(&old);
            cities.AddCity(city);
        }
        ASSERT_TRUE(cities.Save());
        oldList = ReadInstalled("Cities.dat");
    }
    void WriteSettings(DWORD updateType, DWORD intervalHours, DWORD inRoaming) {
        CRegistryStore store;
        ASSERT_TRUE(store.Open(HKEY_LOCAL_MACHINE, u"Software\\Quillon Software\\Skyvane"));
        CSettings settings;
        settings.updateType = updateType;
        settings.updateInterval = intervalHours;
        settings.updateInRoaming = inRoaming;
        ASSERT_TRUE(settings.Save(&store));
    }
    // Runs a program step that waits for the shell in virtual time: the clock moves a second for every
    // 50 ms of real time the step takes (rendering pictures takes real time), for two minutes at most.
    int RunWithShellWaits(const std::string& commandLine) {
        DeviceProgram run = device.Start(commandLine);
        for (int i = 0; i < 2400; ++i) {
            if (!run.StillRunningAfter(std::chrono::milliseconds(50))) {
                return run.Wait();
            }
            ce::AdvanceVirtualClock(1000);
        }
        return run.Wait(std::chrono::milliseconds(0));
    }
    void SetFault(const std::string& spec) { ASSERT_EQ(server.Control("/control/fault?spec=" + spec), "ok\n"); }

    std::string ReadInstalled(const std::string& relative) const {
        std::ifstream in(device.Installed(relative), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool Installed(const std::string& relative) const { return std::filesystem::exists(device.Installed(relative)); }
    // The program's log lines, waiting (bounded) for at least `count`.
    std::vector<std::string> ProgramLog(size_t count = 0) const { return device.LogLines("Skyvane", count); }
    std::string LastProgramLine() const {
        std::vector<std::string> lines = ProgramLog(1);
        return lines.empty() ? std::string() : lines.back();
    }
    size_t ServerRequests() const {
        std::string requests = server.Control("/control/requests");
        return static_cast<size_t>(std::count(requests.begin(), requests.end(), '\n'));
    }
    bool WaitForServerRequests(size_t count) const;
    // Moves the virtual clock on in steps until the run ends (a thread may begin its wait a little late);
    // the run's exit code, or -1 when it did not end.
    int AdvanceUntilEnd(DeviceProgram& run, uint64_t stepMs) const;

    ProgramDevice device{CE_DEVICE_TOOL};
    WeatherServerProcess server{{"--date", kServerDate}};
    std::string oldList;
};

}  // namespace endtoend
