// Date and time pictures of GetDateFormatW / GetTimeFormatW: "dddd, MMMM d, yyyy", "h:mm:ss tt",
// "ddd',' dd MMM". Text in single quotes is copied as it stands ('' gives one quote); every other
// character that is not a field letter of the picture's kind is copied too.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "locale/LocaleData.h"

namespace ce::detail {

struct PictureToken {
    char16_t field = 0;  // the field letter, 0 for literal text
    int count = 0;       // how many times the letter stands
    std::u16string text;
};

std::vector<PictureToken> TokenizePicture(std::u16string_view picture, std::u16string_view fieldLetters);
std::u16string FormatDate(const LocaleData& locale, const SYSTEMTIME& date, std::u16string_view picture);
// flags: TIME_NOMINUTESORSECONDS, TIME_NOSECONDS, TIME_NOTIMEMARKER, TIME_FORCE24HOURFORMAT.
std::u16string FormatTime(const LocaleData& locale, const SYSTEMTIME& time, std::u16string_view picture,
                          DWORD flags);

}  // namespace ce::detail
