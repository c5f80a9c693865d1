#include "Controls/PageSlide.h"

#include "CBitmapDC.h"
#include "UserInterface/CDlgLayout.h"
#include "UserInterface/CGenericEffect.h"
#include "UserInterface/CSmartDialog.h"

namespace PageSlide {
namespace {

constexpr int kPushLeft = 0;
constexpr int kPushRight = 1;

void DrawPage(UserInterface::CSmartDialog& screen, HDC dc, const RECT& client) {
    screen.EraseBackground(nullptr, dc, &client);
    if (screen.GetLayout() != nullptr) {
        screen.GetLayout()->PaintControls(dc, nullptr);
    }
}

}  // namespace

bool Slide(UserInterface::CSmartDialog& screen, bool forward, const std::function<void()>& turn) {
    HWND window = screen.GetHandle();
    RECT client{};
    if (window == nullptr || !GetClientRect(window, &client)) {
        return false;
    }
    HDC target = GetDC(window);
    if (target == nullptr) {
        return false;
    }
    CBitmapDC oldPage;
    CBitmapDC newPage;
    if (!oldPage.CreateCompatible(target, client.right, client.bottom) ||
        !newPage.CreateCompatible(target, client.right, client.bottom)) {
        ReleaseDC(window, target);
        return false;
    }
    DrawPage(screen, oldPage.DC(), client);
    turn();
    DrawPage(screen, newPage.DC(), client);
    if (UserInterface::CGenericEffect* push = UserInterface::CreateTransitionEffect(forward ? kPushLeft : kPushRight)) {
        push->SetDuration(kDurationMs);
        push->Play(target, 0, 0, client.right, client.bottom, oldPage.DC(), newPage.DC(), 0, 0);
    }
    ReleaseDC(window, target);
    return true;
}

}  // namespace PageSlide
