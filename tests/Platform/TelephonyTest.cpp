// The cellular line and its registration status from the device profile, asked for the way the
// program asks: initialise, find "Cellular Line", open it, read the status, close, shut down.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "Platform/TempDevice.h"
#include "ce/tapi.h"

namespace {

using ce::test::TempDevice;

HLINEAPP Initialize(DWORD& version, DWORD& devices) {
    HLINEAPP app = 0;
    EXPECT_EQ(lineInitializeEx(&app, nullptr, nullptr, u"Test", &devices, &version, nullptr), 0);
    return app;
}

// The registration status of the device's cellular line; nullopt when it has none.
std::optional<DWORD> CellularRegistration() {
    HLINEAPP app = 0;
    DWORD devices = 0;
    DWORD version = 0x20000;
    LINEINITIALIZEEXPARAMS params{};
    params.dwTotalSize = sizeof params;
    params.dwOptions = LINEINITIALIZEEXOPTION_USEEVENT;
    EXPECT_EQ(lineInitializeEx(&app, nullptr, nullptr, u"Test", &devices, &version, &params), 0);
    std::optional<DWORD> cellular;
    DWORD cellularVersion = 0;
    for (DWORD id = 0; id < devices; ++id) {
        DWORD agreed = 0;
        LINEEXTENSIONID extension{};
        if (lineNegotiateAPIVersion(app, id, 0x10004, 0x20000, &agreed, &extension) != 0) {
            continue;
        }
        std::vector<BYTE> buffer(sizeof(LINEDEVCAPS) + 64);
        auto* caps = reinterpret_cast<LINEDEVCAPS*>(buffer.data());
        caps->dwTotalSize = static_cast<DWORD>(buffer.size());
        if (lineGetDevCaps(app, id, agreed, 0, caps) == 0 && caps->dwLineNameSize > 0 &&
            std::u16string(reinterpret_cast<const char16_t*>(buffer.data() + caps->dwLineNameOffset)) ==
                u"Cellular Line") {
            cellular = id;
            cellularVersion = agreed;
        }
    }
    std::optional<DWORD> status;
    HLINE line = 0;
    if (cellular && lineOpen(app, *cellular, &line, cellularVersion, 0, 0, LINECALLPRIVILEGE_NONE,
                             LINEMEDIAMODE_DATAMODEM, nullptr) == 0) {
        DWORD value = 0;
        if (lineGetRegisterStatus(line, &value) == 0) {
            status = value;
        }
        EXPECT_EQ(lineClose(line), 0);
    }
    EXPECT_EQ(lineShutdown(app), 0);
    return status;
}

TEST(TelephonyTest, RegistrationComesFromTheProfile) {
    TempDevice device;
    EXPECT_EQ(CellularRegistration(), LINEREGSTATUS_HOME) << "a new device is at home";
    ASSERT_TRUE(ce::SetProfileString("device", "roaming", "1"));
    EXPECT_EQ(CellularRegistration(), LINEREGSTATUS_ROAM);
    ASSERT_TRUE(ce::SetProfileString("device", "registration", "Denied"));
    EXPECT_EQ(CellularRegistration(), LINEREGSTATUS_DENIED) << "the registration key wins over roaming";
    ASSERT_TRUE(ce::SetProfileString("device", "registration", "unregistered"));
    EXPECT_EQ(CellularRegistration(), LINEREGSTATUS_UNREGISTERED);
    ASSERT_TRUE(ce::SetProfileString("device", "registration", "none"));
    EXPECT_EQ(CellularRegistration(), std::nullopt) << "a device without a cellular line";
}

TEST(TelephonyTest, CapabilitiesTellTheSizeTheNameNeeds) {
    TempDevice device;
    DWORD devices = 0;
    DWORD version = 0x30000;
    HLINEAPP app = Initialize(version, devices);
    EXPECT_EQ(version, static_cast<DWORD>(TAPI_CURRENT_VERSION));
    ASSERT_EQ(devices, 1u);

    LINEDEVCAPS caps{};
    caps.dwTotalSize = sizeof caps;
    ASSERT_EQ(lineGetDevCaps(app, 0, version, 0, &caps), 0);
    EXPECT_EQ(caps.dwNeededSize, sizeof caps + sizeof(u"Cellular Line"));
    EXPECT_EQ(caps.dwUsedSize, sizeof caps);
    EXPECT_EQ(caps.dwLineNameSize, 0u) << "no room: the name is left out";

    caps.dwTotalSize = sizeof caps - 1;
    EXPECT_EQ(lineGetDevCaps(app, 0, version, 0, &caps), LINEERR_STRUCTURETOOSMALL);
    caps.dwTotalSize = sizeof caps;
    EXPECT_EQ(lineGetDevCaps(app, 1, version, 0, &caps), LINEERR_BADDEVICEID);
    DWORD agreed = 0;
    EXPECT_EQ(lineNegotiateAPIVersion(app, 0, 0x30000, 0x40000, &agreed, nullptr),
              LINEERR_INCOMPATIBLEAPIVERSION);
    EXPECT_EQ(lineShutdown(app), 0);
}

TEST(TelephonyTest, ShutdownClosesTheApplicationsLines) {
    TempDevice device;
    DWORD devices = 0;
    DWORD version = 0x20000;
    HLINEAPP app = Initialize(version, devices);
    HLINE line = 0;
    ASSERT_EQ(lineOpen(app, 0, &line, version, 0, 0, LINECALLPRIVILEGE_NONE, 0, nullptr), 0);
    EXPECT_EQ(lineShutdown(app), 0);
    DWORD status = 0;
    EXPECT_EQ(lineGetRegisterStatus(line, &status), LINEERR_INVALLINEHANDLE);
    EXPECT_EQ(lineClose(line), LINEERR_INVALLINEHANDLE);
    EXPECT_EQ(lineShutdown(app), LINEERR_INVALAPPHANDLE);
    EXPECT_EQ(lineOpen(app, 0, &line, version, 0, 0, LINECALLPRIVILEGE_NONE, 0, nullptr),
              LINEERR_INVALAPPHANDLE);
}

}  // namespace
