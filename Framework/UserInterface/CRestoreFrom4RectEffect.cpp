#include "UserInterface/CRestoreFrom4RectEffect.h"

namespace UserInterface {

bool CRestoreFrom4RectEffect::Compose(int width, int height, int percent) {
    const int hw = width / 2, hh = height / 2;
    const int qw = hw * percent / 100, qh = hh * percent / 100;
    HDC next = To();
    return FillWork(From(), width, height) && CopyPart(next, hw - qw, hh - qh, 0, 0, qw, qh) &&
           CopyPart(next, hw, hh - qh, 2 * hw - qw, 0, qw, qh) && CopyPart(next, hw - qw, hh, 0, 2 * hh - qh, qw, qh) &&
           CopyPart(next, hw, hh, 2 * hw - qw, 2 * hh - qh, qw, qh);
}

}  // namespace UserInterface
