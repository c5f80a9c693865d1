// The old picture slides out to the left while the new one follows from the right.
#pragma once

#include "UserInterface/CPushEffect.h"

namespace UserInterface {

class CPushLeftEffect : public CPushEffect {
public:
    CPushLeftEffect() : CPushEffect(true) {}
};

}  // namespace UserInterface
