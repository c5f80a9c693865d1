// The old picture slides out to the right while the new one follows from the left.
#pragma once

#include "UserInterface/CPushEffect.h"

namespace UserInterface {

class CPushRightEffect : public CPushEffect {
public:
    CPushRightEffect() : CPushEffect(false) {}
};

}  // namespace UserInterface
