// The screens of a program update on the skinned device: the offer of one product, its information
// over the list of several, and the list itself, run for real and ended through their soft keys.
#include <gtest/gtest.h>

#include <filesystem>

#include "ScreenAnswers.h"
#include "ScreenTest.h"
#include "Screens/CSelectUpdateDlg.h"
#include "Screens/CUpdateInfoDlg.h"
#include "UserInterface/CDlgHTMLControl.h"
#include "UserInterface/CDlgListBox.h"
#include "UserInterface/CListElementCollection.h"
#include "Weather/COnlineUpdateCatalog.h"

namespace {

using namespace skin_test;
using framework::test::UserInterfaceDevice;
using screen_test::ScreenAnswers;
using ScriptedInfo = ScriptedScreen<CUpdateInfoDlg>;
using ScriptedList = ScriptedScreen<CSelectUpdateDlg>;
using UserInterface::CDlgHTMLControl;

CProductInfo Product(LPCWSTR name, LPCWSTR conditions, bool paid = false) {
    CProductInfo product;
    product.SetVersion(u"2.1.0");
    product.SetUrl(u"http://update.skyvane.example/updates/Skyvane.arm.cab");
    product.SetSize(4096);
    product.SetPaid(paid);
    product.SetName(u"English", name);
    product.SetConditions(u"English", conditions);
    return product;
}

// The words that the markup view shows, run after run.
std::u16string ShownText(UserInterface::CDlgControl* control) {
    std::u16string text;
    for (const auto& run : static_cast<CDlgHTMLControl*>(control)->GetRuns()) {
        text += run.text;
    }
    return text;
}

class OnlineUpdateDialogs : public ScreenTest {
protected:
    static std::u16string Caption(UserInterface::CSmartDialog& screen, int key) {
        return UserInterfaceDevice::ButtonOf(screen.GetMenuBar(), key).caption;
    }
};

TEST_F(OnlineUpdateDialogs, TheOfferNamesTheVersionShowsItsConditionsAndEndsWithDownloadOrCancel) {
    const CProductInfo product = Product(u"Skyvane 2.1.0", u"Free for <b>registered</b> users.");
    const std::pair<UINT, INT_PTR> answers[] = {{VK_TSOFT1, IDOK}, {VK_TSOFT2, IDCANCEL}};
    for (const auto& [key, result] : answers) {
        ScriptedInfo offer;
        offer.Then([key = key](ScriptedInfo& d) {
            ASSERT_EQ(IdsOf(d), (std::vector<int>{1, 2, 3, 4, 5}));
            UserInterface::CDlgLayout* layout = d.GetLayout();
            EXPECT_EQ(TextOf(layout->FindControl(1)), u"A new version is available: Skyvane 2.1.0");
            EXPECT_EQ(TextOf(layout->FindControl(3)), u"About this update");
            EXPECT_EQ(ShownText(layout->FindControl(5)), u"Free for registered users.");
            EXPECT_EQ(Caption(d, 0), u"Download");
            EXPECT_EQ(Caption(d, 1), u"Cancel");
            RECT view{};
            layout->FindControl(5)->GetRect(&view);
            EXPECT_GT(view.bottom, d.GetClientHeight() * 3 / 4) << "the conditions take the rest of the screen";
            ce::InjectKey(key);
        });
        EXPECT_EQ(offer.Run(nullptr, &product, CUpdateInfoDlg::kOffer, nullptr), result);
    }
    ScriptedInfo none;
    EXPECT_EQ(none.Run(nullptr, nullptr, CUpdateInfoDlg::kOffer, nullptr), IDCANCEL);
    EXPECT_EQ(none.GetHandle(), nullptr) << "nothing was shown";
}

TEST_F(OnlineUpdateDialogs, InformationAloneShowsTheConditionsWithDone) {
    const CProductInfo product = Product(u"Skyvane 2.1.0", u"Paid.");
    ScriptedInfo information;
    information.Then([](ScriptedInfo& d) {
        EXPECT_EQ(IdsOf(d), (std::vector<int>{3, 4, 5}));
        EXPECT_EQ(Caption(d, 0), u"Done");
        EXPECT_EQ(d.GetMenuInfo().HasKey(1), false);
        ce::InjectKey(VK_TSOFT1);
    });
    EXPECT_EQ(information.Run(nullptr, &product, CUpdateInfoDlg::kInformation, nullptr), IDOK);
}

TEST_F(OnlineUpdateDialogs, AProductWithOnlyEnglishTextsShowsThemOnAGermanInterface) {
    std::filesystem::copy_file(std::string(CE_LOC_DIR) + "/loc.0407.txt", device_.InstallFolder("Loc/loc.0407.txt"));
    ASSERT_TRUE(CLocalization::Global().Load(0x0407));
    CProductInfo product = Product(u"Skyvane 2.1.0", u"Free for everyone.");
    ScriptedInfo offer;
    offer.Then([](ScriptedInfo& d) {
        EXPECT_EQ(TextOf(d.GetLayout()->FindControl(1)), u"Eine neue Version ist verfügbar: Skyvane 2.1.0");
        EXPECT_EQ(ShownText(d.GetLayout()->FindControl(5)), u"Free for everyone.");
        ce::InjectKey(VK_TSOFT2);
    });
    EXPECT_EQ(offer.Run(nullptr, &product, CUpdateInfoDlg::kOffer, nullptr), IDCANCEL);

    product.SetConditions(u"German", u"Kostenlos.");
    ScriptedInfo german;
    german.Then([](ScriptedInfo& d) {
        EXPECT_EQ(ShownText(d.GetLayout()->FindControl(5)), u"Kostenlos.") << "its own text where it has one";
        ce::InjectKey(VK_TSOFT2);
    });
    EXPECT_EQ(german.Run(nullptr, &product, CUpdateInfoDlg::kOffer, nullptr), IDCANCEL);
    ASSERT_TRUE(CLocalization::Global().Load(CLocalization::kEnglish));
}

// The catalog turns "&lt;" into '<'; a price "< 5 EUR" opens no tag and shows as it stands.
TEST_F(OnlineUpdateDialogs, ConditionsWithALessThanSignThatOpensNoTagStillShow) {
    const CProductInfo product = Product(u"Skyvane 2.1.0", u"<b>Now</b> costs < 5 EUR");
    ScriptedInfo offer;
    offer.Then([](ScriptedInfo& d) {
        EXPECT_EQ(ShownText(d.GetLayout()->FindControl(5)), u"Now costs < 5 EUR");
        ce::InjectKey(VK_TSOFT1);
    });
    EXPECT_EQ(offer.Run(nullptr, &product, CUpdateInfoDlg::kOffer, nullptr), IDOK);
}

class UpdateList : public OnlineUpdateDialogs {
protected:
    void SetUp() override {
        OnlineUpdateDialogs::SetUp();
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        ASSERT_TRUE(catalog.Load(u"<data>"
                                 u"<product version='2.1' url='http://h/a.cab' size='10' is_update_paid='true'>"
                                 u"<strings locale='English'><name text='Pro'/><conditions>Pay once.</conditions>"
                                 u"</strings></product>"
                                 u"<product version='2.0' url='http://h/b.cab' size='10' is_update_paid='false'>"
                                 u"<strings locale='English'><name text='Basic'/><conditions>Free.</conditions>"
                                 u"</strings></product></data>"));
    }
    void TearDown() override {
        CoUninitialize();
        OnlineUpdateDialogs::TearDown();
    }
    static UserInterface::CDlgListBox* ListOf(CSelectUpdateDlg& d) {
        return static_cast<UserInterface::CDlgListBox*>(d.GetLayout()->FindControl(CSelectUpdateDlg::kListId));
    }

    COnlineUpdateCatalog catalog;
};

TEST_F(UpdateList, ARowPerProductSaysPaidOrFreeAndDownloadTakesTheSelectedOne) {
    ScriptedList list;
    list.Then([](ScriptedList& d) {
        ASSERT_EQ(IdsOf(d), (std::vector<int>{1, 2, 3}));
        EXPECT_EQ(TextOf(d.GetLayout()->FindControl(1)), u"Several updates are available. Please choose one:");
        UserInterface::CDlgListBox* rows = ListOf(d);
        ASSERT_EQ(rows->GetItemCount(), 2);
        EXPECT_EQ(std::u16string(rows->GetRows()->GetText(0)), u"Paid update");
        EXPECT_EQ(std::u16string(rows->GetRows()->GetText(1)), u"Free update");
        EXPECT_EQ(rows->GetRows()->GetTextColor(0), RGB(255, 255, 255)) << "white rows";
        EXPECT_EQ(rows->GetRows()->GetTextColor(1), RGB(255, 255, 255));
        EXPECT_EQ(d.GetSelectedProduct(), 0) << "the first row starts selected";
        EXPECT_EQ(Caption(d, 0), u"Download");
        EXPECT_EQ(Caption(d, 1), u"Menu");
        d.SetFocusControl(rows, FALSE);
        ce::InjectKey(VK_DOWN);
    });
    list.Then([](ScriptedList& d) {
        EXPECT_EQ(d.GetSelectedProduct(), 1);
        ce::InjectKey(VK_TSOFT1);
    });
    EXPECT_EQ(list.Run(nullptr, &catalog, nullptr), IDOK);
    EXPECT_EQ(list.GetSelectedProduct(), 1) << "still known after the screen is gone";

    ScriptedList none;
    EXPECT_EQ(none.Run(nullptr, nullptr, nullptr), IDCANCEL);
    EXPECT_EQ(none.GetSelectedProduct(), -1);
}

TEST_F(UpdateList, InformationOpensOverTheListAndCancelFromTheMenuEndsIt) {
    ClockTicker clock;
    ScriptedList list;
    std::vector<std::u16string> shown;
    list.Then([&](ScriptedList& d) {
        ScreenAnswers done(d.GetHandle(), {{VK_TSOFT1}});
        SendMessageW(d.GetHandle(), WM_COMMAND, CSelectUpdateDlg::kInfoCommand, 0);
        done.Join();
        shown = done.Captions();
        EXPECT_EQ(GetForegroundWindow(), d.GetHandle()) << "back on the list";
        EXPECT_EQ(d.GetResult(), -1);
    });
    list.Then([](ScriptedList& d) { PostMessageW(d.GetHandle(), WM_COMMAND, IDCANCEL, 0); });
    EXPECT_EQ(list.Run(nullptr, &catalog, nullptr), IDCANCEL);
    EXPECT_EQ(shown, (std::vector<std::u16string>{u"Done"})) << "the information of the selected product, Done alone";
}

// Back leaves an offer as Cancel does, the information as Done does, and the list as Cancel does.
TEST_F(UpdateList, TheBackKeyLeavesEachScreenOfTheUpdate) {
    const CProductInfo product = Product(u"Skyvane 2.1.0", u"Free for everyone.");
    for (const auto& [mode, result] :
         {std::pair{CUpdateInfoDlg::kOffer, IDCANCEL}, {CUpdateInfoDlg::kInformation, IDOK}}) {
        ScriptedInfo info;
        info.passBackKeys = true;
        info.Then([](ScriptedInfo&) { ce::InjectKey(VK_ESCAPE); });
        EXPECT_EQ(info.Run(nullptr, &product, mode, nullptr), result) << mode;
    }
    ScriptedList list;
    list.passBackKeys = true;
    list.Then([](ScriptedList&) { ce::InjectKey(VK_ESCAPE); });
    EXPECT_EQ(list.Run(nullptr, &catalog, nullptr), IDCANCEL);
}

}  // namespace
