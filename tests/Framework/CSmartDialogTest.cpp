// The dialog core driven through the platform's injected input: focus by keys and taps, scrolling
// by keys, drags and flicks (on the virtual clock), the soft-key bar with its popup, and the ways a
// dialog ends.
#include <gtest/gtest.h>

#include <memory>

#include "DialogScript.h"
#include "RecordingControl.h"
#include "RecordingSkin.h"
#include "UserInterface/CBlendEffect.h"
#include "UserInterface/CDlgLayout.h"

using framework::test::NearColor;
using framework::test::RecordingControl;
using framework::test::ScriptedDialog;
using framework::test::UserInterfaceDevice;
using UserInterface::CDlgControl;
using UserInterface::CDlgLayout;
using UserInterface::CMenuInfo;
using UserInterface::CMenuItem;
using UserInterface::CMenuItemCollection;

namespace {

constexpr int kControlWidth = 200;

class CSmartDialogTest : public framework::test::ScriptedDialogTest {
protected:
    // A column of controls of the given heights.
    std::vector<RecordingControl*> Column(std::initializer_list<int> heights, DWORD flags = RecordingControl::kShown) {
        std::vector<RecordingControl*> controls;
        int id = 100;
        for (int height : heights) {
            controls.push_back(new RecordingControl(id++, kControlWidth, height, flags));
            layout_.AddControl(controls.back());
        }
        return controls;
    }
    static POINT Centre(const CDlgControl* control) {
        RECT rect;
        control->GetRect(&rect);
        return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
    int ViewHeight() const {
        const RECT& view = layout_.GetView();
        return view.bottom - view.top;
    }
    int MaxScroll() const { return layout_.GetContentHeight() - ViewHeight(); }
};

TEST_F(CSmartDialogTest, TheFocusMovesByKeysToTheNextControlThatTakesItAndByTaps) {
    auto c = Column({40, 40, 40, 40, 40});
    c[1]->takesFocus = false;
    c[3]->Enable(FALSE, FALSE);
    c[4]->SetVisible(FALSE, FALSE);
    dialog_.Then([&](ScriptedDialog& d) {
        EXPECT_EQ(d.GetFocusIndex(), 0) << "the first control that takes the focus";
        ce::InjectKey(VK_DOWN);
    });
    dialog_.Then([&](ScriptedDialog& d) {
        EXPECT_EQ(d.GetFocusIndex(), 2) << "Down passes a control that takes no focus";
        EXPECT_EQ(c[0]->Only({CDlgControl::kMsgSetFocus, CDlgControl::kMsgKillFocus}),
                  (std::vector<UINT>{CDlgControl::kMsgSetFocus, CDlgControl::kMsgKillFocus}));
        ce::InjectKey(VK_UP);
    });
    dialog_.Then([&](ScriptedDialog& d) {
        EXPECT_EQ(d.GetFocusIndex(), 0);
        POINT p = Centre(c[2]);
        d.Tap(p.x, p.y);
    });
    dialog_.Then([&](ScriptedDialog& d) {
        EXPECT_EQ(d.GetFocusIndex(), 2) << "a tap focuses";
        EXPECT_EQ(c[2]->Only({CDlgControl::kMsgPointerDown, CDlgControl::kMsgPointerUp}),
                  (std::vector<UINT>{CDlgControl::kMsgPointerDown, CDlgControl::kMsgPointerUp}));
        ASSERT_FALSE(c[2]->points.empty());
        EXPECT_EQ(c[2]->points[0].x, kControlWidth / 2) << "points come in the control's own coordinates";
        EXPECT_EQ(c[2]->points[0].y, 20);
        POINT p = Centre(c[3]);
        d.Tap(p.x, p.y);
        p = Centre(c[1]);
        d.Tap(p.x, p.y);
    });
    dialog_.Then([&](ScriptedDialog& d) {
        EXPECT_EQ(d.GetFocusIndex(), 2) << "neither a disabled control nor one without focus takes it";
        EXPECT_TRUE(c[3]->Only({CDlgControl::kMsgPointerDown}).empty()) << "a disabled control gets no press";
        EXPECT_EQ(c[1]->Only({CDlgControl::kMsgPointerDown}).size(), 1u) << "an enabled one is still pressed";
        c[2]->handledKey = VK_DOWN;
        c[2]->messages.clear();
        ce::InjectKey(VK_DOWN);
    });
    dialog_.Then([&](ScriptedDialog& d) {
        EXPECT_EQ(d.GetFocusIndex(), 2) << "a key that the focused control uses does not move the focus";
        EXPECT_EQ(c[2]->Only({CDlgControl::kMsgKeyDown, CDlgControl::kMsgKeyUp}),
                  (std::vector<UINT>{CDlgControl::kMsgKeyDown, CDlgControl::kMsgKeyUp}));
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(Run(), IDOK);
    EXPECT_EQ(dialog_.GetResult(), IDOK);
    EXPECT_EQ(c[0]->messages.back(), static_cast<UINT>(CDlgControl::kMsgKillFocus));
}

TEST_F(CSmartDialogTest, KeysScrollTheFocusIntoViewAndPastTheLastControlByThirtyPixels) {
    auto c = Column({60, 60, 60, 60, 60, 60, 60, 60});
    c[7]->takesFocus = false;
    dialog_.Then([&](ScriptedDialog& d) {
        RECT client;
        GetClientRect(d.GetHandle(), &client);
        EXPECT_EQ(layout_.GetView().right, client.right - CSysInfo::Scale(4)) << "room for the scroll indicator";
        EXPECT_TRUE(d.IsScrollable());
        ASSERT_GT(MaxScroll(), 40);
        for (int i = 0; i < 6; ++i) {
            ce::InjectKey(VK_DOWN);
        }
    });
    dialog_.Then([&](ScriptedDialog& d) {
        EXPECT_EQ(d.GetFocusIndex(), 6);
        RECT rect;
        c[6]->GetRect(&rect);
        EXPECT_EQ(rect.bottom, layout_.GetView().bottom - layout_.GetRowGap()) << "just into view";
        EXPECT_EQ(layout_.GetScrollPos(), 7 * 60 + 8 * layout_.GetRowGap() - ViewHeight());
        ce::InjectKey(VK_DOWN);
    });
    int before = 0;
    dialog_.Then([&](ScriptedDialog&) {
        before = layout_.GetScrollPos();
        EXPECT_EQ(before, std::min(MaxScroll(), 7 * 60 + 8 * layout_.GetRowGap() - ViewHeight() + 30));
        for (int i = 0; i < 20; ++i) {
            ce::InjectKey(VK_DOWN);
        }
    });
    dialog_.Then([&](ScriptedDialog& d) {
        EXPECT_EQ(layout_.GetScrollPos(), MaxScroll()) << "the end of the content is as far as it goes";
        EXPECT_FALSE(layout_.ScrollTo(MaxScroll() + 500, FALSE));
        EXPECT_TRUE(layout_.ScrollTo(-500, FALSE));
        EXPECT_EQ(layout_.GetScrollPos(), 0);
        RECT rect;
        c[0]->GetRect(&rect);
        EXPECT_EQ(rect.top, layout_.GetRowGap()) << "the controls moved back with the position";
        d.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(Run(), IDCANCEL);
}

// Content that fits the view has nowhere to go: no key, call or drag may push it up.
TEST_F(CSmartDialogTest, ContentThatFitsNeverScrollsAndADragKeepsThePress) {
    auto c = Column({40, 40});
    dialog_.Then([&](ScriptedDialog& d) {
        EXPECT_FALSE(d.IsScrollable());
        EXPECT_FALSE(layout_.ScrollTo(50, FALSE));
        EXPECT_FALSE(layout_.ScrollDown(30, TRUE));
        EXPECT_EQ(layout_.GetScrollPos(), 0);
        ce::InjectKey(VK_DOWN);
        ce::InjectKey(VK_DOWN);
    });
    dialog_.Then([&](ScriptedDialog& d) {
        EXPECT_EQ(d.GetFocusIndex(), 1);
        EXPECT_EQ(layout_.GetScrollPos(), 0);
        POINT p = Centre(c[0]);
        d.Down(p.x, p.y);
    });
    dialog_.Then([&](ScriptedDialog& d) {
        POINT p = Centre(c[0]);
        d.MoveTo(p.x, p.y - 40);
    });
    dialog_.Then([&](ScriptedDialog& d) {
        POINT p = Centre(c[0]);
        d.Up(p.x, p.y - 40);
    });
    dialog_.Then([&](ScriptedDialog& d) {
        EXPECT_EQ(layout_.GetScrollPos(), 0);
        EXPECT_EQ(c[0]->Only({CDlgControl::kMsgPointerDown, CDlgControl::kMsgPointerMove, CDlgControl::kMsgPointerUp,
                              CDlgControl::kMsgPointerCancel}),
                  (std::vector<UINT>{CDlgControl::kMsgPointerDown, CDlgControl::kMsgPointerMove,
                                     CDlgControl::kMsgPointerUp}));
        RECT rect;
        c[0]->GetRect(&rect);
        EXPECT_EQ(rect.top, layout_.GetRowGap());
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(Run(), IDOK);
}

TEST_F(CSmartDialogTest, ADragScrollsAndCancelsThePressAndAQuickReleaseReplaysAFlick) {
    auto c = Column({60, 60, 60, 60, 60, 60, 60, 60, 60, 60});
    RecordingControl* pressed = nullptr;
    dialog_.Then([&](ScriptedDialog& d) {
        ASSERT_GT(MaxScroll(), 200);
        d.Down(100, 200);
    });
    dialog_.Then([&](ScriptedDialog& d) {
        pressed = static_cast<RecordingControl*>(layout_.ControlFromPoint(100, 200));
        ASSERT_NE(pressed, nullptr);
        EXPECT_EQ(pressed->Only({CDlgControl::kMsgPointerDown}).size(), 1u);
        d.MoveTo(100, 190);
    });
    dialog_.Then([&](ScriptedDialog& d) {
        EXPECT_EQ(layout_.GetScrollPos(), 0) << "10 pixels are no drag yet";
        d.MoveTo(100, 188);
    });
    dialog_.Then([&](ScriptedDialog& d) {
        EXPECT_EQ(layout_.GetScrollPos(), 12) << "12 pixels from the pen-down start the drag";
        EXPECT_EQ(pressed->Only({CDlgControl::kMsgPointerCancel}).size(), 1u) << "the press is cancelled";
        EXPECT_EQ(c[0]->Only({CDlgControl::kMsgGesture}).size(), 1u) << "every control hears of the drag";
        d.MoveTo(100, 163);
    });
    dialog_.Then([&](ScriptedDialog& d) {
        EXPECT_EQ(layout_.GetScrollPos(), 37);
        d.Up(100, 163);  // at once: the last move of 25 pixels is replayed
    });
    dialog_.Then([&](ScriptedDialog& d) {
        EXPECT_EQ(layout_.GetScrollPos(), 37 + 22 + 19 + 16 + 13 + 10 + 7 + 4 + 1);
        EXPECT_EQ(c[0]->Only({CDlgControl::kMsgGesture}).size(), 2u) << "and of its end";
        EXPECT_TRUE(pressed->Only({CDlgControl::kMsgPointerUp}).empty()) << "a cancelled press gets no pen-up";
        d.Down(100, 100);
    });
    dialog_.Then([&](ScriptedDialog& d) { d.MoveTo(100, 130); });
    dialog_.Then([&](ScriptedDialog& d) {
        EXPECT_EQ(layout_.GetScrollPos(), 129 - 30);
        ce::AdvanceVirtualClock(600);
        d.Up(100, 130);  // the pen rested: no flick
    });
    dialog_.Then([&](ScriptedDialog& d) {
        EXPECT_EQ(layout_.GetScrollPos(), 99);
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(Run(), IDOK);
}

TEST_F(CSmartDialogTest, TheSoftKeyBarShowsTheDialogsKeysAndFillsItsPopup) {
    menu_.SetCommand(1, 3011);
    ASSERT_TRUE(menu_.SetCaption(1, "IDS_CAP_MENU"));
    CMenuItemCollection popup;
    CMenuItem item;
    for (int command : {101, 102, 103}) {
        item.Clear();
        item.SetCommand(command);
        ASSERT_TRUE(item.SetCaption(command == 101 ? "IDS_CAP_OPEN" : command == 102 ? "IDS_CAP_EXIT" : "IDS_CAP_BACK"));
        item.SetState(command == 101 ? CMenuItem::kHidden : command == 102 ? CMenuItem::kGrayed : CMenuItem::kNormal);
        popup.Append(&item);
    }
    ASSERT_TRUE(menu_.SetPopup(1, &popup));
    Column({40});
    HMENU shown = nullptr;
    HWND bar = nullptr;
    dialog_.Then([&](ScriptedDialog& d) {
        bar = d.GetMenuBar();
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(SHFindMenuBar(d.GetHandle()), bar);
        EXPECT_EQ(UserInterfaceDevice::ButtonOf(bar, 0).caption, u"Done");
        EXPECT_EQ(UserInterfaceDevice::ButtonOf(bar, 1).caption, u"Menu");
        shown = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, 3011));
        // Empty the bar's popup: the dialog fills it again when it opens.
        while (GetMenuItemCount(shown) > 0) {
            DeleteMenu(shown, 0, MF_BYPOSITION);
        }
        d.whilePopupOpen = [] {
            ce::InjectKey(VK_DOWN);
            ce::InjectKey(VK_RETURN);
        };
        ce::InjectKey(VK_TSOFT2);
    }, [](ScriptedDialog& d) { return !d.commands.empty(); });
    dialog_.Then([&](ScriptedDialog&) {
        EXPECT_EQ(GetMenuItemCount(shown), 2) << "filled from the right key's items, without the hidden one";
        ce::InjectKey(VK_ESCAPE);
    }, [](ScriptedDialog& d) { return d.backKeys > 0; });
    dialog_.Then([&](ScriptedDialog&) { ce::InjectKey(VK_TSOFT1); },
                 [](ScriptedDialog& d) { return d.commands.size() > 1; });
    EXPECT_EQ(Run(), IDOK);
    EXPECT_EQ(dialog_.commands, (std::vector<int>{103, IDOK})) << "Down passes the greyed entry";
    EXPECT_GE(dialog_.backKeys, 1) << "the Back key comes to the dialog";
    EXPECT_FALSE(IsWindow(bar)) << "the bar went with its dialog";
}

// Blit scrolling draws the content once into a strip and slides it: what the window shows afterwards
// must be the content at the new position.
TEST_F(CSmartDialogTest, BlitScrollingLeavesTheContentOfTheNewPositionOnTheWindow) {
    constexpr COLORREF kColors[] = {RGB(200, 0, 0), RGB(0, 0, 200), RGB(0, 160, 0)};
    std::vector<RecordingControl*> c;
    for (int i = 0; i < 9; ++i) {
        c.push_back(new RecordingControl(100 + i, kControlWidth, 60, RecordingControl::kShown, kColors[i % 3]));
        layout_.AddControl(c.back());
    }
    auto check = [&](ScriptedDialog& d) {
        HDC dc = GetDC(d.GetHandle());
        for (int y : {10, 95, 170, 230}) {
            auto* shown = static_cast<RecordingControl*>(layout_.ControlFromPoint(20, y));
            ASSERT_NE(shown, nullptr) << y;
            const auto index = static_cast<size_t>(shown->GetId() - 100);
            EXPECT_TRUE(NearColor(GetPixel(dc, 20, y), kColors[index % 3]))
                << "at y " << y << " after scrolling to " << layout_.GetScrollPos();
        }
        ReleaseDC(d.GetHandle(), dc);
    };
    dialog_.Then([&](ScriptedDialog&) { EXPECT_TRUE(layout_.ScrollTo(95, FALSE)); });
    dialog_.Then([&](ScriptedDialog& d) {
        EXPECT_EQ(layout_.GetScrollPos(), 95);
        check(d);
        EXPECT_TRUE(layout_.ScrollTo(40, TRUE));
    });
    dialog_.Then([&](ScriptedDialog& d) {
        EXPECT_EQ(layout_.GetScrollPos(), 40);
        EXPECT_EQ(c[0]->Only({CDlgControl::kMsgGesture}).size(), 2u) << "an animated scroll begins and ends";
        check(d);
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(Run(UserInterface::CSmartDialog::kBlitScrolling), IDOK);
}

// The screen under a dialog, as a plain picture of one colour.
class PlainScreen : public UserInterface::IDlgScreenCapture {
public:
    PlainScreen() {
        picture_.Create(240, 320, 16);
        RECT all{0, 0, 240, 320};
        HBRUSH red = CreateSolidBrush(RGB(200, 0, 0));
        FillRect(picture_.DC(), &all, red);
        DeleteObject(red);
    }
    HBITMAP CaptureScreen() override { return picture_.Bitmap(); }
    int GetCaptureWidth() override { return picture_.Width(); }
    int GetCaptureHeight() override { return picture_.Height(); }

private:
    CBitmapDC picture_;
};

// A blend that counts how often it runs, without spreading its frames over time.
class CountingBlend : public UserInterface::CBlendEffect {
public:
    CountingBlend() { SetDuration(0); }
    bool Play(HDC target, int x, int y, int width, int height, HDC from, HDC to, int srcX, int srcY) override {
        ++plays;
        return CBlendEffect::Play(target, x, y, width, height, from, to, srcX, srcY);
    }
    int plays = 0;
};

TEST_F(CSmartDialogTest, TheOpeningEffectPlaysOnceOverItsParentAndTheClosingOneWhenItEnds) {
    ce::test::Recorder::Register();
    HWND parent = CreateWindowExW(0, u"Recorder", u"Parent", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    ce::test::Pump();
    Column({40});
    PlainScreen previous;
    CountingBlend opening;
    CountingBlend closing;
    UserInterface::CSmartDialog::TransitionInfo transition{&previous, &opening, &closing};
    dialog_.Then([&](ScriptedDialog& d) {
        EXPECT_EQ(opening.plays, 1) << "played when the dialog came up over its parent";
        SendMessageW(d.GetHandle(), WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
        SendMessageW(d.GetHandle(), WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0);
        EXPECT_EQ(opening.plays, 1) << "not when another window gives the activation back";
        EXPECT_EQ(closing.plays, 0);
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(dialog_.RunModal(parent, 0, &menu_, &layout_, &transition), IDOK);
    EXPECT_EQ(closing.plays, 1);
    DestroyWindow(parent);
    ce::test::Pump();
}

// A tap on an inactive dialog activates it with WA_CLICKACTIVE, which is an activation like any other.
TEST_F(CSmartDialogTest, AClickActivationActivatesTheControls) {
    auto c = Column({40});
    dialog_.Then([&](ScriptedDialog& d) {
        EXPECT_TRUE(c[0]->IsHostActive());
        SendMessageW(d.GetHandle(), WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
        EXPECT_FALSE(c[0]->IsHostActive());
        SendMessageW(d.GetHandle(), WM_ACTIVATE, MAKEWPARAM(WA_CLICKACTIVE, 0), 0);
        EXPECT_TRUE(c[0]->IsHostActive());
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(Run(), IDOK);
    EXPECT_FALSE(c[0]->IsHostActive()) << "an ending dialog deactivates its controls";
}

TEST_F(CSmartDialogTest, AnInputPanelDialogRaisesThePanelAndPutsItDownWhenItEnds) {
    ASSERT_TRUE(menu_.SetDone(CMenuInfo::kInputPanelRaised));
    Column({40});
    auto panelUp = [] {
        SIPINFO sip{};
        sip.cbSize = sizeof sip;
        return SipGetInfo(&sip) && (sip.fdwFlags & SIPF_ON) != 0;
    };
    dialog_.Then([&](ScriptedDialog& d) {
        EXPECT_TRUE(panelUp()) << "raised when the dialog became active";
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(Run(), IDOK);
    EXPECT_FALSE(panelUp());
}

TEST_F(CSmartDialogTest, ADialogWithoutBarOrLayoutEndsAtOnce) {
    CMenuInfo rightOnly;
    rightOnly.SetCommand(1, IDCANCEL);
    Column({40});
    EXPECT_EQ(dialog_.RunModal(nullptr, 0, &rightOnly, &layout_, nullptr), IDCANCEL);
    EXPECT_EQ(dialog_.GetResult(), IDCANCEL);

    struct NoLayout : ScriptedDialog {
        CDlgLayout* CreateLayout() override { return nullptr; }
    } noLayout;
    EXPECT_EQ(noLayout.RunModal(nullptr, 0, &menu_, nullptr, nullptr), 3);

    struct Refusing : ScriptedDialog {
        BOOL OnInitControls() override { return FALSE; }
    } refusing;
    EXPECT_EQ(refusing.RunModal(nullptr, 0, &menu_, nullptr, nullptr), IDCANCEL);
    EXPECT_EQ(refusing.DoModal(nullptr, 999, nullptr), -1) << "a template the program does not have";
}

}  // namespace
