#include "UserInterface/CDivideInto4RectEffect.h"

namespace UserInterface {

bool CDivideInto4RectEffect::Compose(int width, int height, int percent) {
    const int hw = width / 2, hh = height / 2;
    const int qw = hw * percent / 100, qh = hh * percent / 100;
    const int w = hw - qw, h = hh - qh;  // what is left of each quarter
    HDC old = From();
    return FillWork(To(), width, height) && CopyPart(old, qw, qh, 0, 0, w, h) && CopyPart(old, hw, qh, hw + qw, 0, w, h) &&
           CopyPart(old, qw, hh, 0, hh + qh, w, h) && CopyPart(old, hw, hh, hw + qw, hh + qh, w, h);
}

}  // namespace UserInterface
