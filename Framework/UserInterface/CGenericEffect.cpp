#include "UserInterface/CGenericEffect.h"

#include <algorithm>

#include "ce/kernel.h"

namespace UserInterface {

int CGenericEffect::PercentSince(DWORD start) const {
    if (m_duration == 0) {
        return 100;  // no time to spread frames over: straight to the end
    }
    const uint64_t elapsed = static_cast<DWORD>(GetTickCount() - start);
    return static_cast<int>(std::min<uint64_t>(100, elapsed * 100 / m_duration));
}

bool CGenericEffect::Play(HDC target, int x, int y, int width, int height, HDC from, HDC to, int srcX, int srcY) {
    if (target == nullptr || from == nullptr || to == nullptr) {
        return false;
    }
    if (!Prepare(target, from, to, srcX, srcY, width, height)) {
        Finish();  // whatever was made before the failure
        return false;
    }
    const DWORD start = GetTickCount();
    bool drawn = true;
    int shown = -1;
    while (drawn && shown < 100) {
        const int percent = PercentSince(start);
        if (percent == shown) {
            Sleep(1);  // the same frame again would change nothing: let the clock move
            continue;
        }
        drawn = DrawStep(target, x, y, width, height, percent);
        shown = percent;
    }
    Finish();
    return drawn;
}

bool CGenericEffect::Prepare(HDC, HDC, HDC, int, int, int, int) { return true; }

bool CGenericEffect::DrawStep(HDC, int, int, int, int, int percent) { return percent <= 100; }

}  // namespace UserInterface
