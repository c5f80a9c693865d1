// The old picture's quarters move out to the corners and uncover the new picture.
#pragma once

#include "UserInterface/CWorkBitmapEffect.h"

namespace UserInterface {

class CDivideInto4RectEffect : public CWorkBitmapEffect {
protected:
    bool Compose(int width, int height, int percent) override;
};

}  // namespace UserInterface
