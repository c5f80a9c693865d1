// The new picture grows from the centre over the old one.
#pragma once

#include "UserInterface/CWorkBitmapEffect.h"

namespace UserInterface {

class CRestoreFromPointEffect : public CWorkBitmapEffect {
protected:
    bool Compose(int width, int height, int percent) override;
};

}  // namespace UserInterface
