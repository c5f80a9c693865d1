// The combo box: stepping with wrap-around by keys, arrow taps and swipes, its size from the skin's
// buttons, and the drop-down that returns the choice from a real nested dialog.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ClockRunner.h"
#include "ControlHostWindow.h"
#include "DialogScript.h"
#include "RecordingSkin.h"
#include "UserInterface/CDlgComboBox.h"
#include "UserInterface/CDlgLayout.h"
#include "UserInterface/CDlgListBox.h"

namespace {

using framework::test::ControlHostWindow;
using framework::test::NearColor;
using framework::test::RecordingSkin;
using framework::test::ScriptedDialog;
using framework::test::UserInterfaceDevice;
using framework::test::WindowDevice;
using UserInterface::CDlgComboBox;
using UserInterface::CDlgControl;
using UserInterface::CDlgLayout;
using UserInterface::CMenuInfo;

constexpr int kLeft = 10;
constexpr int kTop = 20;
constexpr int kWidth = 160;
constexpr int kHeight = 24;

class ComboBox : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host_.Open(200, 100));
        clock_ = std::make_unique<framework::test::ClockRunner>();  // the slides run on the clock
    }
    void TearDown() override { clock_.reset(); }

    CDlgComboBox& Make(int items, DWORD style = 0) {
        EXPECT_TRUE(combo_.Create(u"Units", 4, style | CDlgControl::kVisible, kWidth, kHeight));
        for (int i = 0; i < items; ++i) {
            const std::u16string text = u"Item " + std::u16string(1, static_cast<char16_t>(u'A' + i));
            EXPECT_TRUE(combo_.AddItem(text.c_str(), 10 + i, FALSE));
        }
        combo_.Move(kLeft, kTop, kWidth, kHeight, FALSE);
        host_.Add(&combo_);
        host_.focused = &combo_;
        host_.Redraw(FALSE);
        WindowDevice::Pump();
        return combo_;
    }
    void Key(UINT key) {
        ce::InjectKey(key);
        WindowDevice::Pump();
    }
    std::vector<int> Codes() const {
        std::vector<int> codes;
        for (const auto& notice : host_.notices) {
            codes.push_back(notice.code);
        }
        return codes;
    }
    void Swipe(int fromX, int toX) {
        const POINT from = host_.ScreenPoint(fromX, kTop + kHeight / 2);
        const POINT to = host_.ScreenPoint(toX, kTop + kHeight / 2);
        ce::InjectStylusDown(from.x, from.y);
        ce::InjectStylusMove((from.x + to.x) / 2, from.y);
        ce::InjectStylusMove(to.x, to.y);
        ce::InjectStylusUp(to.x, to.y);
        WindowDevice::Pump();
        WindowDevice::Advance(1000);
    }

    WindowDevice device_;
    RecordingSkin skin_;
    ControlHostWindow host_;
    CDlgComboBox combo_;
    std::unique_ptr<framework::test::ClockRunner> clock_;
};

TEST_F(ComboBox, ArrowKeysStepWithWrapAroundAndTellTheHost) {
    Make(3);
    Key(VK_RIGHT);
    EXPECT_EQ(combo_.GetCurSel(), 0) << "Right from no selection: the first item";
    Key(VK_LEFT);
    EXPECT_EQ(combo_.GetCurSel(), 2) << "Left from the first wraps to the last";
    Key(VK_RIGHT);
    EXPECT_EQ(combo_.GetCurSel(), 0) << "Right from the last wraps to the first";
    EXPECT_EQ(Codes(), (std::vector<int>(3, CDlgComboBox::kNotifySelectionChanged)));
    ASSERT_FALSE(skin_.comboButtons.empty());
    EXPECT_EQ(skin_.comboButtons.back().value, 4) << "the right button is back to normal after the key-up";

    combo_.SetCurSel(-1, FALSE);
    Key(VK_LEFT);
    EXPECT_EQ(combo_.GetCurSel(), 2) << "Left from no selection: the last item";
    EXPECT_EQ(combo_.SendMessage(CDlgControl::kMsgKeyDown, 0, VK_UP), 0);
    EXPECT_EQ(combo_.GetItemData(2), 12);
}

TEST_F(ComboBox, ASingleItemOrNoneGivesNothingToStepTo) {
    Make(1);
    combo_.SetCurSel(0, FALSE);
    Key(VK_RIGHT);
    Key(VK_LEFT);
    EXPECT_EQ(combo_.GetCurSel(), 0);
    EXPECT_TRUE(host_.notices.empty());

    combo_.ResetContent(TRUE);
    Key(VK_RIGHT);
    EXPECT_EQ(combo_.GetCurSel(), -1) << "an empty combo selects no item that is not there";
    EXPECT_TRUE(host_.notices.empty());
}

TEST_F(ComboBox, SetCurSelTakesOnlyItemsOrNoneAndStaysQuiet) {
    Make(2);
    combo_.SetCurSel(1, TRUE);
    EXPECT_EQ(combo_.GetCurSel(), 1);
    combo_.SetCurSel(2, TRUE);
    combo_.SetCurSel(-5, TRUE);
    EXPECT_EQ(combo_.GetCurSel(), 1);
    combo_.SetCurSel(-1, TRUE);
    EXPECT_EQ(combo_.GetCurSel(), -1);
    EXPECT_TRUE(host_.notices.empty());
}

TEST_F(ComboBox, TapsOnTheArrowsAndSwipesOverTheTextStep) {
    Make(3);
    combo_.SetCurSel(1, TRUE);
    const int middle = kTop + kHeight / 2;
    POINT right = host_.ScreenPoint(kLeft + kWidth - 4, middle);
    ce::InjectTap(right.x, right.y);
    WindowDevice::Pump();
    EXPECT_EQ(combo_.GetCurSel(), 2);
    WindowDevice::Advance(1000);
    POINT left = host_.ScreenPoint(kLeft + 6, middle);
    ce::InjectTap(left.x, left.y);
    WindowDevice::Pump();
    EXPECT_EQ(combo_.GetCurSel(), 1);
    WindowDevice::Advance(1000);

    Swipe(kLeft + 110, kLeft + 40);
    EXPECT_EQ(combo_.GetCurSel(), 2) << "a swipe to the left brings the next item";
    Swipe(kLeft + 40, kLeft + 110);
    EXPECT_EQ(combo_.GetCurSel(), 1) << "to the right the previous one";
    EXPECT_EQ(Codes(), (std::vector<int>(4, CDlgComboBox::kNotifySelectionChanged))) << "a swipe opens no drop-down";
}

TEST_F(ComboBox, TheSkinsButtonsSetTheSizeAndFrameTheText) {
    Make(2, CDlgControl::kBorder);
    combo_.SetCurSel(0, TRUE);
    EXPECT_GE(combo_.GetPreferredHeight(), RecordingSkin::kComboButton + 2 * (1 + 2));
    EXPECT_GT(combo_.GetPreferredWidth(), 2 * RecordingSkin::kComboButton + 2 * (2 + 2));
    const int middle = kTop + kHeight / 2;
    EXPECT_TRUE(NearColor(host_.PixelAt(kLeft + 2 + 1 + RecordingSkin::kComboButton / 2, middle),
                          RecordingSkin::kComboNormal));
    EXPECT_TRUE(NearColor(host_.PixelAt(kLeft + kWidth - 2 - 1 - RecordingSkin::kComboButton / 2, middle),
                          RecordingSkin::kComboNormal));

    CDlgComboBox bare;
    ASSERT_TRUE(bare.Create(nullptr, 5, CDlgControl::kVisible, 100, 20));
    host_.Add(&bare);
    UserInterface::g_pDlgControlImages = nullptr;  // no skin: nothing to measure
    EXPECT_EQ(bare.GetPreferredWidth(), 0);
    EXPECT_EQ(bare.GetPreferredHeight(), 0);
    UserInterface::g_pDlgControlImages = &skin_;
}

// ---- the drop-down, over a real dialog -------------------------------------------------------------

class DropDown : public framework::test::ScriptedDialogTest {
protected:
    void SetUp() override {
        ScriptedDialogTest::SetUp();
        clock_ = std::make_unique<framework::test::ClockRunner>();  // slides and transitions run on the clock
    }
    void TearDown() override {
        clock_.reset();
        ScriptedDialogTest::TearDown();
    }
    CDlgComboBox* AddCombo(LPCWSTR caption, int items) {
        auto* combo = new CDlgComboBox();
        EXPECT_TRUE(combo->Create(caption, 4, CDlgControl::kVisible, 200, 24));
        for (int i = 0; i < items; ++i) {
            const std::u16string text = u"City " + std::u16string(1, static_cast<char16_t>(u'A' + i));
            combo->AddItem(text.c_str(), i, FALSE);
        }
        layout_.AddControl(combo);
        return combo;
    }
    // The drop-down while it runs: the active window when it is not the dialog under it.
    HWND Open() const {
        HWND active = GetActiveWindow();
        return active != dialog_.GetHandle() ? active : nullptr;
    }
    RecordingSkin skin_;
    std::unique_ptr<framework::test::ClockRunner> clock_;
};

TEST_F(DropDown, EnterOpensTheListAndTheRowChosenThereBecomesTheSelection) {
    CDlgComboBox* combo = AddCombo(u"Choose a city", 12);
    combo->SetCurSel(1, FALSE);
    dialog_.Then([&](ScriptedDialog&) { ce::InjectKey(VK_RETURN); }, [&](ScriptedDialog&) { return Open() != nullptr; });
    dialog_.Then([&](ScriptedDialog&) {
        EXPECT_EQ(dialog_.codes, (std::vector<int>{CDlgComboBox::kNotifyDropDownOpening}));
        ce::InjectKey(VK_DOWN);
        ce::InjectKey(VK_DOWN);
        ce::InjectKey(VK_RETURN);
    }, [&](ScriptedDialog&) { return Open() == nullptr; });
    dialog_.Then([&](ScriptedDialog& d) {
        EXPECT_EQ(combo->GetCurSel(), 3) << "two rows down from the combo's own selection";
        EXPECT_EQ(dialog_.codes,
                  (std::vector<int>{CDlgComboBox::kNotifyDropDownOpening, CDlgComboBox::kNotifySelectionChanged,
                                    CDlgComboBox::kNotifyDropDownClosed}));
        EXPECT_EQ(combo->GetCount(), 12) << "the list worked on the combo's items and left them";
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(Run(), IDOK);
}

TEST_F(DropDown, ATapOnTheTextOpensItOnReleaseAndCancelKeepsTheSelection) {
    CDlgComboBox* combo = AddCombo(nullptr, 3);
    combo->SetCurSel(0, FALSE);
    RECT rect{};
    dialog_.Then([&](ScriptedDialog& d) {
        combo->GetRect(&rect);
        d.Down((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    });
    dialog_.Then([&](ScriptedDialog& d) {
        EXPECT_EQ(Open(), nullptr) << "not on the press";
        d.Up((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    }, nullptr);
    dialog_.Then([&](ScriptedDialog&) {}, [&](ScriptedDialog&) { return Open() != nullptr; });
    dialog_.Then([&](ScriptedDialog&) {
        ce::InjectKey(VK_DOWN);
        const POINT cancel = UserInterfaceDevice::SoftKeyPoint(1);
        ce::InjectTap(cancel.x, cancel.y);
    }, [&](ScriptedDialog&) { return Open() == nullptr; });
    dialog_.Then([&](ScriptedDialog& d) {
        EXPECT_EQ(combo->GetCurSel(), 0);
        EXPECT_EQ(dialog_.codes,
                  (std::vector<int>{CDlgComboBox::kNotifyDropDownOpening, CDlgComboBox::kNotifyDropDownClosed}));
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(Run(), IDOK);
}

}  // namespace
