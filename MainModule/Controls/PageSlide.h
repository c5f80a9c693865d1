// The page turn of the paged screens (day, part of day, hourly): the old page and the new one are
// drawn off screen, each as the screen's background and controls, and the new page is pushed in over
// 300 ms, from the right when moving forward and from the left when moving back.
#pragma once

#include <functional>

namespace UserInterface {
class CSmartDialog;
}

namespace PageSlide {

constexpr unsigned kDurationMs = 300;

// `turn` makes the new page current and brings the controls up to date without painting them. False
// when the pictures cannot be made: `turn` is then not called and the page stays.
bool Slide(UserInterface::CSmartDialog& screen, bool forward, const std::function<void()>& turn);

}  // namespace PageSlide
