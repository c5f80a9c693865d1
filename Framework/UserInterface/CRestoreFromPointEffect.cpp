#include "UserInterface/CRestoreFromPointEffect.h"

namespace UserInterface {

bool CRestoreFromPointEffect::Compose(int width, int height, int percent) {
    const int w = width * percent / 100, h = height * percent / 100;
    return FillWork(From(), width, height) && StretchInto(To(), (width - w) / 2, (height - h) / 2, w, h, width, height);
}

}  // namespace UserInterface
