// The old picture shrinks to the centre over the new one.
#pragma once

#include "UserInterface/CWorkBitmapEffect.h"

namespace UserInterface {

class CSqueezeToPointEffect : public CWorkBitmapEffect {
protected:
    bool Compose(int width, int height, int percent) override;
};

}  // namespace UserInterface
