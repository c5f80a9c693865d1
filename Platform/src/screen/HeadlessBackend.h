// No window: the screen is seen through captures, input comes by injection.
#pragma once

#include "screen/DisplayBackend.h"

namespace ce::screen {

class HeadlessBackend : public DisplayBackend {
public:
    std::string Name() const override { return "headless"; }
    void Present() override {}
};

}  // namespace ce::screen
