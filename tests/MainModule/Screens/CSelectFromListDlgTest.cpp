// The picker run for real: the caller's texts sorted under the title, the search field jumping through
// them, Select handing back the position in the caller's list, and the cases that show nothing.
#include <gtest/gtest.h>

#include "Screens/CSelectFromListDlg.h"
#include "SettingsDialogTest.h"
#include "UserInterface/CDlgEdit.h"
#include "UserInterface/CDlgListBox.h"

namespace {

using namespace settings_test;
using Dlg = CSelectFromListDlg;
using ScriptedPicker = ScriptedScreen<CSelectFromListDlg>;
using UserInterface::CDlgListBox;

const std::vector<std::u16string> kCountries = {u"Paris", u"amsterdam", u"Berlin", u"Zurich", u"Bern"};

class SelectFromListTest : public SettingsDialogTest {
protected:
    static CDlgListBox* List(ScriptedPicker& d) { return static_cast<CDlgListBox*>(d.GetLayout()->FindControl(Dlg::kListId)); }
    static std::u16string Selected(ScriptedPicker& d) {
        CDlgListBox* list = List(d);
        return list->GetSelection() < 0 ? u"" : list->GetRows()->GetText(list->GetSelection());
    }
    static bool SelectEnabled(ScriptedPicker& d) { return d.GetMenuInfo().IsEnabled(0); }
    INT_PTR Run(ScriptedPicker& picker, const std::vector<std::u16string>* items, int* index,
                LPCWSTR title = u"Country") {
        ClockTicker clock;
        return picker.RunOverWindow(nullptr, title, items, index, nullptr);
    }
};

TEST_F(SelectFromListTest, ShowsTheTitleOverTheSortedTextsAndSelectGivesThePositionInTheCallersList) {
    int index = 2;  // Berlin
    ScriptedPicker picker;
    picker.Then([](ScriptedPicker& d) {
        EXPECT_EQ(IdsOf(d), (std::vector<int>{1, 2, 3, 4}));
        EXPECT_EQ(TextOf(d.GetLayout()->FindControl(Dlg::kTitleId)), u"Country");
        CDlgListBox* list = List(d);
        ASSERT_EQ(list->GetItemCount(), 5);
        EXPECT_EQ(std::u16string(list->GetRows()->GetText(0)), u"amsterdam") << "sorted without regard to case";
        EXPECT_EQ(std::u16string(list->GetRows()->GetText(4)), u"Zurich");
        for (int row = 0; row < list->GetItemCount(); ++row) {
            EXPECT_EQ(list->GetRows()->GetTextColor(row), RGB(255, 255, 255)) << "white rows, row " << row;
        }
        EXPECT_EQ(Selected(d), u"Berlin");
        EXPECT_TRUE(SelectEnabled(d));
        EXPECT_EQ(d.GetFocusedControl(), d.GetLayout()->FindControl(Dlg::kSearchId));
        RECT title{}, separator{}, rows{}, search{};
        d.GetLayout()->FindControl(Dlg::kTitleId)->GetRect(&title);
        d.GetLayout()->FindControl(Dlg::kSeparatorId)->GetRect(&separator);
        list->GetRect(&rows);
        d.GetLayout()->FindControl(Dlg::kSearchId)->GetRect(&search);
        EXPECT_LE(title.bottom, separator.top);
        EXPECT_LT(separator.bottom, rows.top);
        EXPECT_LT(rows.bottom, search.top) << "the list fills the space above the search field";
        EXPECT_EQ(search.bottom, d.GetClientHeight() - 2);
        ce::InjectKey(VK_DOWN);  // to the list wherever the focus is
    });
    picker.Then([](ScriptedPicker& d) {
        EXPECT_EQ(Selected(d), u"Bern");
        ce::InjectKey(VK_TSOFT1);
    });
    EXPECT_EQ(Run(picker, &kCountries, &index), IDOK);
    EXPECT_EQ(index, 4) << "Bern's place in the caller's list, not its row";
}

TEST_F(SelectFromListTest, TypingJumpsToTheFirstTextNotBeforeItAndTheBackKeyErases) {
    int index = -1;
    ScriptedPicker picker;
    picker.passBackKeys = true;
    picker.Then([](ScriptedPicker& d) {
        EXPECT_EQ(Selected(d), u"amsterdam") << "nothing preselected: the first row";
        ce::InjectText(u"berm");
    });
    picker.Then([](ScriptedPicker& d) {
        EXPECT_EQ(Selected(d), u"Bern") << "the first text not before \"berm\"";
        ce::InjectKey(VK_ESCAPE);
        ce::InjectKey(VK_ESCAPE);
    });
    picker.Then([](ScriptedPicker& d) {
        WCHAR text[16] = {};
        static_cast<UserInterface::CDlgEdit*>(d.GetLayout()->FindControl(Dlg::kSearchId))->GetText(text, 16);
        EXPECT_EQ(std::u16string(text), u"be");
        EXPECT_EQ(Selected(d), u"Berlin");
        EXPECT_EQ(d.GetResult(), -1) << "the Back key does not leave the picker";
        ce::InjectText(u"zzz");
    });
    picker.Then([](ScriptedPicker& d) {
        EXPECT_EQ(Selected(d), u"Zurich") << "past every text: the last";
        ce::InjectKey(VK_RETURN);
    });
    EXPECT_EQ(Run(picker, &kCountries, &index), IDOK);
    EXPECT_EQ(index, 3);
}

TEST_F(SelectFromListTest, TheBackKeyWithNothingLeftToEraseCancels) {
    int index = 2;
    ScriptedPicker picker;
    picker.passBackKeys = true;
    picker.Then([](ScriptedPicker&) { ce::InjectText(u"b"); });
    picker.Then([](ScriptedPicker&) {
        ce::InjectKey(VK_ESCAPE);
        ce::InjectKey(VK_ESCAPE);
    });
    EXPECT_EQ(Run(picker, &kCountries, &index), IDCANCEL)
        << "the first press erased the \"b\", the second left";
    EXPECT_EQ(index, 2);
}

TEST_F(SelectFromListTest, AnEmptyListKeepsSelectOffAndAMissingListShowsNothing) {
    const std::vector<std::u16string> none;
    int index = 0;
    ScriptedPicker empty;
    empty.Then([](ScriptedPicker& d) {
        EXPECT_FALSE(SelectEnabled(d));
        EXPECT_EQ(d.GetLayout()->FindControl(Dlg::kTitleId), nullptr) << "no title given";
        ce::InjectKey(VK_RETURN);
        ce::InjectKey(VK_TSOFT1);
    });
    empty.Then([](ScriptedPicker& d) {
        EXPECT_EQ(d.GetResult(), -1) << "nothing to select";
        ce::InjectKey(VK_TSOFT2);
    });
    EXPECT_EQ(Run(empty, &none, &index, nullptr), IDCANCEL);
    EXPECT_EQ(index, 0);

    ScriptedPicker missing;
    EXPECT_EQ(Run(missing, nullptr, &index), IDCANCEL);
    EXPECT_EQ(Run(missing, &kCountries, nullptr), IDCANCEL);
    EXPECT_EQ(missing.GetHandle(), nullptr) << "never shown";

    index = 17;  // outside the list
    ScriptedPicker outside;
    outside.Then([](ScriptedPicker& d) {
        EXPECT_EQ(Selected(d), u"amsterdam");
        ce::InjectKey(VK_TSOFT1);
    });
    EXPECT_EQ(Run(outside, &kCountries, &index), IDOK);
    EXPECT_EQ(index, 1);
}

// The input panel comes up with the picker over the bottom of the screen: the picker ends above it,
// with the search field and the selected row in sight.
TEST_F(SelectFromListTest, TheInputPanelLeavesTheSearchFieldAndTheSelectedRowInSight) {
    std::vector<std::u16string> cities;
    for (char16_t letter = u'A'; letter <= u'Z'; ++letter) {
        cities.push_back(std::u16string(u"City ") + letter);
    }
    int index = 24;  // City Y, far down the list
    auto abovePanel = [](ScriptedPicker& d) {
        SIPINFO sip{};
        sip.cbSize = sizeof sip;
        RECT window{};
        GetWindowRect(d.GetHandle(), &window);
        return SipGetInfo(&sip) && (sip.fdwFlags & SIPF_ON) && window.bottom <= sip.rcSipRect.top;
    };
    ScriptedPicker picker;
    picker.Then([](ScriptedPicker&) {}, abovePanel);
    picker.Then([](ScriptedPicker& d) {
        SIPINFO sip{};
        sip.cbSize = sizeof sip;
        ASSERT_TRUE(SipGetInfo(&sip));
        RECT search{};
        d.GetLayout()->FindControl(Dlg::kSearchId)->GetRect(&search);
        POINT searchBottom{search.left, search.bottom};
        ClientToScreen(d.GetHandle(), &searchBottom);
        EXPECT_LE(searchBottom.y, sip.rcSipRect.top) << "the search field above the panel";
        EXPECT_GT(search.top, 0);
        CDlgListBox* list = List(d);
        RECT rows{};
        list->GetRect(&rows);
        bool shown = false;
        for (int y = 0; y < rows.bottom - rows.top; ++y) {
            shown = shown || list->RowFromPoint(y) == list->GetSelection();
        }
        EXPECT_EQ(Selected(d), u"City Y");
        EXPECT_TRUE(shown) << "the selected row inside the list's visible part";
        ce::InjectKey(VK_TSOFT1);
    });
    EXPECT_EQ(Run(picker, &cities, &index), IDOK);
    EXPECT_EQ(index, 24);
}

}  // namespace
