// Name patterns of FindFirstFileW: '*' any run of characters, '?' one character, letter case ignored.
// As on the device, a pattern ending in ".*" also matches names without an extension ("*.*" is all).
#pragma once

#include <string_view>

namespace ce::detail {

bool MatchesWildcard(std::u16string_view pattern, std::u16string_view name);

}  // namespace ce::detail
