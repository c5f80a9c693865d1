#include "UserInterface/CSqueezeToPointEffect.h"

namespace UserInterface {

bool CSqueezeToPointEffect::Compose(int width, int height, int percent) {
    const int left = width * percent / 200, top = height * percent / 200;
    const int w = width - width * percent / 100, h = height - height * percent / 100;
    return FillWork(To(), width, height) && StretchInto(From(), left, top, w, h, width, height);
}

}  // namespace UserInterface
