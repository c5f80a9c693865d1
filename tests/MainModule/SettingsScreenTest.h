// The fixture of the tests of screens that store settings: the screen fixture with the program's
// registry store as the process's, and the settings record at its defaults before and after.
#pragma once

#include "CRegistryStore.h"
#include "ScreenTest.h"
#include "Weather/CSettings.h"
#include "Weather/GlobalServices.h"

namespace skin_test {

class SettingsScreenTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        ASSERT_TRUE(store_.Open(HKEY_LOCAL_MACHINE, u"Software\\Quillon Software\\Skyvane"));
        g_pRegistry = &store_;
        GetSettings() = CSettings();
    }
    void TearDown() override {
        GetSettings() = CSettings();
        g_pRegistry = nullptr;
        ScreenTest::TearDown();
    }
    // What a fresh load of the registry gives.
    CSettings Stored() {
        CSettings loaded;
        EXPECT_TRUE(loaded.Load(&store_));
        return loaded;
    }

    CRegistryStore store_;
};

}  // namespace skin_test
