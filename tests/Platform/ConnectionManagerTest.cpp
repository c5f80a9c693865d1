#include <gtest/gtest.h>

#include "TempDevice.h"
#include "ce/connmgr.h"
#include "ce/device.h"

namespace {

CONNMGR_CONNECTIONINFO Request(const GUID& destination) {
    CONNMGR_CONNECTIONINFO info{};
    info.cbSize = sizeof info;
    info.dwParams = CONNMGR_PARAM_GUIDDESTNET;
    info.dwFlags = CONNMGR_FLAG_PROXY_HTTP;
    info.dwPriority = CONNMGR_PRIORITY_USERINTERACTIVE;
    info.guidDestNet = destination;
    return info;
}

TEST(ConnectionManager, DestinationsComeFromTheProfileWithTheInternetFirst) {
    ce::test::TempDevice device;
    ce::SetProfileString("connection", "destinations", "The Internet;Work");
    ce::ReloadProfile();
    CONNMGR_DESTINATION_INFO first{}, second{}, none{};
    ASSERT_EQ(ConnMgrEnumDestinations(0, &first), S_OK);
    ASSERT_EQ(ConnMgrEnumDestinations(1, &second), S_OK);
    EXPECT_NE(ConnMgrEnumDestinations(2, &none), S_OK);
    EXPECT_TRUE(first.guid == IID_DestNetInternet);
    EXPECT_EQ(std::u16string(second.szDescription), u"Work");
    EXPECT_FALSE(second.guid == IID_DestNetInternet);
    CONNMGR_DESTINATION_INFO again{};
    ConnMgrEnumDestinations(1, &again);
    EXPECT_TRUE(again.guid == second.guid) << "a destination keeps its GUID";
}

TEST(ConnectionManager, AConnectionSettlesAsTheProfileSaysAndCarriesItsProxy) {
    ce::test::TempDevice device;
    HANDLE connection = nullptr;
    CONNMGR_CONNECTIONINFO info = Request(IID_DestNetInternet);
    ASSERT_EQ(ConnMgrEstablishConnection(&info, &connection), S_OK);
    EXPECT_EQ(WaitForSingleObject(connection, 0), static_cast<DWORD>(WAIT_OBJECT_0));
    DWORD status = 0;
    ASSERT_EQ(ConnMgrConnectionStatus(connection, &status), S_OK);
    EXPECT_EQ(status, static_cast<DWORD>(CONNMGR_STATUS_CONNECTED));
    PROXY_CONFIG proxy{};
    EXPECT_EQ(ConnMgrProviderMessage(connection, &IID_ConnPrv_IProxyExtension, nullptr, 0, 0,
                                     reinterpret_cast<PBYTE>(&proxy), sizeof proxy),
              E_NOINTERFACE)
        << "no proxy: direct";
    EXPECT_EQ(ConnMgrReleaseConnection(connection, 0), S_OK);

    ce::SetProfileString("connection", "proxy", "proxy.example:8080");
    ce::SetProfileString("connection", "state", "nopath");
    ce::ReloadProfile();
    ASSERT_EQ(ConnMgrEstablishConnection(&info, &connection), S_OK);
    ASSERT_EQ(ConnMgrConnectionStatus(connection, &status), S_OK);
    EXPECT_EQ(status, static_cast<DWORD>(CONNMGR_STATUS_NOPATHTODESTINATION));
    ASSERT_EQ(ConnMgrProviderMessage(connection, &IID_ConnPrv_IProxyExtension, nullptr, 0, 0,
                                     reinterpret_cast<PBYTE>(&proxy), sizeof proxy),
              S_OK);
    EXPECT_EQ(std::u16string(proxy.szProxyServer), u"proxy.example:8080");
    ConnMgrReleaseConnection(connection, 0);

    GUID unknown = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    CONNMGR_CONNECTIONINFO bad = Request(unknown);
    EXPECT_NE(ConnMgrEstablishConnection(&bad, &connection), S_OK);
}

}  // namespace
