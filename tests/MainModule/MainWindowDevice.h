// A device for the main window's tests: the program's English texts, a 240 x 320 screen, the device
// information, the registry store (with a language chosen) and a city list of the process, and the
// virtual clock at noon.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "CRegistryStore.h"
#include "CSysInfo.h"
#include "Framework/UserInterfaceDevice.h"
#include "Weather/CCityList.h"
#include "Weather/GlobalServices.h"
#include "ce/device.h"

namespace mainwindow::test {

// Moves the virtual clock on while it lives, for what waits on it on the test's own thread (slides,
// the transitions of the screens that a command opens).
class RunningClock {
public:
    RunningClock()
        : thread_([this] {
              while (!stop_) {
                  ce::AdvanceVirtualClock(10);
                  std::this_thread::sleep_for(std::chrono::milliseconds(1));
              }
          }) {}
    ~RunningClock() {
        stop_ = true;
        thread_.join();
    }
    RunningClock(const RunningClock&) = delete;
    RunningClock& operator=(const RunningClock&) = delete;

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

constexpr uint64_t kNoonUtc = 1796817600000;  // 2026-12-09 12:00 UTC

class MainWindowDevice : public framework::test::UserInterfaceDevice {
public:
    MainWindowDevice() {
        ce::EnableVirtualClock(kNoonUtc);
        sysInfo_ = std::make_unique<CSysInfo>(GetModuleHandleW(nullptr));
        g_pSysInfo = sysInfo_.get();
        registry_ = std::make_unique<CRegistryStore>();
        EXPECT_TRUE(registry_->Open(HKEY_LOCAL_MACHINE, u"Software\\Quillon Software\\Skyvane"));
        g_pRegistry = registry_.get();
        // A language chosen before: the window's first start asks for none.
        EXPECT_TRUE(registry_->SetDWORD(u"Language", 0x0409));
        cities_ = std::make_unique<CCityList>();
        g_pCityList = cities_.get();
    }
    ~MainWindowDevice() {
        g_pCityList = nullptr;
        g_pRegistry = nullptr;
        g_pSysInfo = nullptr;
        ce::DisableVirtualClock();
    }

    // Cities named after their ids, last updated `hoursAgo` before now, saved as Cities.dat.
    void AddCities(const std::vector<std::u16string>& ids, int hoursAgo = 1) {
        SYSTEMTIME now;
        GetLocalTime(&now);
        FILETIME updated;
        SystemTimeToFileTime(&now, &updated);
        CSysInfo::AddToFileTime(&updated, -static_cast<LONGLONG>(hoursAgo) * 3600000);
        for (const std::u16string& id : ids) {
            CCity city;
            city.SetLocationId(id.c_str());
            city.SetName(id.c_str());
            city.SetUpdateFileTime(&updated);
            EXPECT_TRUE(g_pCityList->AddCity(city));
        }
        EXPECT_TRUE(g_pCityList->Save());
    }

    static void Pump() { ce::test::Pump(); }

private:
    std::unique_ptr<CSysInfo> sysInfo_;
    std::unique_ptr<CRegistryStore> registry_;
    std::unique_ptr<CCityList> cities_;
};

}  // namespace mainwindow::test
