// The three destination screens run for real against the connection manager stand-in (the device
// profile's destinations) and the registry: what is listed and preselected, what Done stores, and the
// first start's page that has no Cancel.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Screens/COUSetupNetworkDlg.h"
#include "Screens/CSetupNetworkDlg.h"
#include "Screens/CStartWizardSetupNetworkDlg.h"
#include "SettingsScreenTest.h"
#include "UserInterface/CDlgComboBox.h"
#include "ce/connmgr.h"

namespace {

using namespace skin_test;
using framework::test::UserInterfaceDevice;
using UserInterface::CDlgComboBox;
using ScriptedNetwork = ScriptedScreen<CSetupNetworkDlg>;
using ScriptedWizardPage = ScriptedScreen<CStartWizardSetupNetworkDlg>;
using ScriptedUpdateNetwork = ScriptedScreen<COUSetupNetworkDlg>;

constexpr GUID kGone = {0x12345678, 0x1234, 0x4321, {0x80, 1, 2, 3, 4, 5, 6, 7}};

void SetDestinations(const std::string& names) {
    ASSERT_TRUE(ce::SetProfileString("connection", "destinations", names));
    ce::ReloadProfile();
}

// The GUID that the connection manager gives the destination of that name now.
GUID DestinationNamed(const std::u16string& name) {
    CONNMGR_DESTINATION_INFO info{};
    for (int index = 0; ConnMgrEnumDestinations(index, &info) == S_OK; ++index) {
        if (name == info.szDescription) {
            return info.guid;
        }
    }
    ADD_FAILURE() << "no destination " << ce::ToUtf8(name);
    return GUID_NULL;
}

template <class Screen>
CDlgComboBox& Field(Screen& d) {
    return *static_cast<CDlgComboBox*>(d.GetLayout()->FindControl(CSetupNetworkDlg::kDestinationsId));
}

template <class Screen>
std::vector<std::u16string> Items(Screen& d) {
    std::vector<std::u16string> items;
    for (int i = 0; i < Field(d).GetCount(); ++i) {
        items.emplace_back(Field(d).GetItemText(i));
    }
    return items;
}

class SetupNetworkTest : public SettingsScreenTest {
protected:
    void SetUp() override {
        SettingsScreenTest::SetUp();
        SetDestinations("Work;The Internet;Home");
    }
    GUID StoredConnection() { return Stored().connection; }
    // The item selected when the screen opens.
    template <class Screen>
    int OpeningSelection() {
        Screen dialog;
        int selected = -2;
        dialog.Then([&](Screen& d) {
            selected = Field(d).GetCurSel();
            d.EndDialog(IDCANCEL);
        });
        dialog.RunOverWindow(nullptr, nullptr, nullptr);
        return selected;
    }
};

TEST_F(SetupNetworkTest, TheDestinationsAreListedInOrderWithTheStoredOneChosenAndDoneSavesTheChoice) {
    GetSettings().connection = DestinationNamed(u"Home");
    ScriptedNetwork dialog;
    dialog.Then([](ScriptedNetwork& d) {
        EXPECT_EQ(Items(d), (std::vector<std::u16string>{u"Work", u"The Internet", u"Home"}));
        EXPECT_EQ(Field(d).GetItemData(2), 2);
        EXPECT_EQ(Field(d).GetCurSel(), 2);
        EXPECT_EQ(TextOf(d.GetLayout()->FindControl(CSetupNetworkDlg::kLabelId)),
                  std::u16string(LoadLocalizedString("IDS_LABEL_NETWORK")));
        Field(d).SetCurSel(0, FALSE);
        ce::InjectKey(VK_TSOFT1);
    });
    EXPECT_EQ(dialog.RunOverWindow(nullptr, nullptr, nullptr), IDOK);
    EXPECT_EQ(StoredConnection(), DestinationNamed(u"Work"));
    EXPECT_EQ(GetSettings().connection, DestinationNamed(u"Work"));
}

TEST_F(SetupNetworkTest, AConnectionThatIsGonePreselectsTheInternetElseTheFirst) {
    GetSettings().connection = kGone;
    EXPECT_EQ(OpeningSelection<ScriptedNetwork>(), 1);
    SetDestinations("Work;Home");
    EXPECT_EQ(OpeningSelection<ScriptedNetwork>(), 0);
}

// The item keeps the destination's place in the enumeration; what is stored is what is there at Done.
TEST_F(SetupNetworkTest, DoneStoresTheDestinationTheConnectionManagerReportsThen) {
    ScriptedNetwork dialog;
    dialog.Then([](ScriptedNetwork& d) {
        Field(d).SetCurSel(2, FALSE);
        SetDestinations("Work;The Internet");
        ce::InjectKey(VK_TSOFT1);
    });
    dialog.Then([](ScriptedNetwork& d) {
        EXPECT_EQ(d.commands, (std::vector<int>{IDOK})) << "a destination that is gone is not stored";
        SetDestinations("Work;The Internet;Office");
        ce::InjectKey(VK_TSOFT1);
    });
    EXPECT_EQ(dialog.RunOverWindow(nullptr, nullptr, nullptr), IDOK);
    EXPECT_EQ(StoredConnection(), DestinationNamed(u"Office"));
}

TEST_F(SetupNetworkTest, WithoutDestinationsTheListIsEmptyAndDoneDoesNothing) {
    SetDestinations("");
    ScriptedNetwork dialog;
    dialog.Then([](ScriptedNetwork& d) {
        EXPECT_EQ(Field(d).GetCount(), 0);
        ce::InjectKey(VK_TSOFT1);
    });
    dialog.Then([](ScriptedNetwork& d) { d.EndDialog(IDABORT); });
    EXPECT_EQ(dialog.RunOverWindow(nullptr, nullptr, nullptr), IDABORT) << "Done left the screen open";
    EXPECT_EQ(StoredConnection(), GUID_NULL);
}

TEST_F(SetupNetworkTest, CancelBackAndAFailedSaveLeaveTheStoredConnection) {
    for (UINT key : {VK_TSOFT2, VK_ESCAPE}) {
        ScriptedNetwork dialog;
        dialog.passBackKeys = true;
        dialog.Then([key](ScriptedNetwork&) { ce::InjectKey(key); });
        EXPECT_EQ(dialog.RunOverWindow(nullptr, nullptr, nullptr), IDCANCEL);
    }
    ScriptedNetwork failing;
    failing.Then([](ScriptedNetwork&) {
        g_pRegistry = nullptr;
        ce::InjectKey(VK_TSOFT1);
    });
    failing.Then([](ScriptedNetwork& d) { d.EndDialog(IDABORT); });
    EXPECT_EQ(failing.RunOverWindow(nullptr, nullptr, nullptr), IDABORT) << "a failed save keeps the screen open";
    g_pRegistry = &store_;
    EXPECT_EQ(GetSettings().connection, GUID_NULL) << "and the record as stored";
    EXPECT_EQ(StoredConnection(), GUID_NULL);
}

TEST_F(SetupNetworkTest, TheFirstStartPageHasOnlyDoneAndIgnoresBack) {
    ScriptedWizardPage page;
    page.passBackKeys = true;
    page.Then([](ScriptedWizardPage& d) {
        EXPECT_EQ(TextOf(d.GetLayout()->FindControl(CSetupNetworkDlg::kLabelId)),
                  std::u16string(LoadLocalizedString("IDS_LABEL_NETWORK_NEEDED")));
        EXPECT_EQ(d.GetMenuInfo().GetCommand(1), -1) << "no Cancel";
        EXPECT_EQ(Field(d).GetCurSel(), 1) << "the Internet";
        ce::InjectKey(VK_ESCAPE);
    });
    page.Then([](ScriptedWizardPage& d) {
        EXPECT_GE(d.backKeys, 1);
        ce::InjectKey(VK_TSOFT1);
    });
    EXPECT_EQ(page.RunOverWindow(nullptr, nullptr, nullptr), IDOK);
    EXPECT_EQ(StoredConnection(), IID_DestNetInternet);
}

// Without Cancel and with nothing to choose, Done is the page's only way on.
TEST_F(SetupNetworkTest, TheFirstStartPageGoesOnWithoutDestinationsAndStoresNothing) {
    SetDestinations("");
    ScriptedWizardPage page;
    page.Then([](ScriptedWizardPage&) { ce::InjectKey(VK_TSOFT1); });
    EXPECT_EQ(page.RunOverWindow(nullptr, nullptr, nullptr), IDOK);
    EXPECT_EQ(StoredConnection(), GUID_NULL);
}

TEST_F(SetupNetworkTest, TheUpdateScreenStartsFromTheLastChoiceAndRemembersTheNewOne) {
    GUID chosen = GUID_NULL;
    ScriptedUpdateNetwork refused;
    EXPECT_EQ(refused.Run(nullptr, nullptr, nullptr), 3);
    EXPECT_EQ(refused.GetHandle(), nullptr) << "nothing was shown";

    EXPECT_EQ(OpeningSelection<ScriptedUpdateNetwork>(), 1) << "the Internet before any choice";
    ASSERT_TRUE(store_.SetBinary(COUSetupNetworkDlg::kLastConnection, &kGone, sizeof kGone));
    EXPECT_EQ(OpeningSelection<ScriptedUpdateNetwork>(), 0) << "a last choice that is gone gives the first";
    const GUID home = DestinationNamed(u"Home");
    ASSERT_TRUE(store_.SetBinary(COUSetupNetworkDlg::kLastConnection, &home, sizeof home));

    ScriptedUpdateNetwork dialog;
    dialog.Then([](ScriptedUpdateNetwork& d) {
        EXPECT_EQ(Field(d).GetCurSel(), 2);
        EXPECT_EQ(TextOf(d.GetLayout()->FindControl(CSetupNetworkDlg::kLabelId)),
                  std::u16string(LoadLocalizedString("IDS_LABEL_NETWORK_OU")));
        Field(d).SetCurSel(0, FALSE);
        ce::InjectKey(VK_TSOFT1);
    });
    EXPECT_EQ(dialog.Run(nullptr, &chosen, nullptr), IDOK);
    EXPECT_EQ(chosen, DestinationNamed(u"Work"));
    GUID remembered{};
    EXPECT_TRUE(store_.GetBinary(COUSetupNetworkDlg::kLastConnection, &remembered, sizeof remembered));
    EXPECT_EQ(remembered, chosen);
    EXPECT_EQ(StoredConnection(), GUID_NULL) << "the download destination stays";

    GUID untouched = kGone;
    ScriptedUpdateNetwork cancelled;
    cancelled.Then([](ScriptedUpdateNetwork&) { ce::InjectKey(VK_TSOFT2); });
    EXPECT_EQ(cancelled.Run(nullptr, &untouched, nullptr), IDCANCEL);
    EXPECT_EQ(untouched, kGone);
}

}  // namespace
