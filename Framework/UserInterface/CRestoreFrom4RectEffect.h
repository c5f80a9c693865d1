// The new picture's quarters come in from the corners over the old picture, the part of each quarter
// nearest the middle first.
#pragma once

#include "UserInterface/CWorkBitmapEffect.h"

namespace UserInterface {

class CRestoreFrom4RectEffect : public CWorkBitmapEffect {
protected:
    bool Compose(int width, int height, int percent) override;
};

}  // namespace UserInterface
