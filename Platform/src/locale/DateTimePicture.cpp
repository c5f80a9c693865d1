#include "locale/DateTimePicture.h"

#include <algorithm>

namespace ce::detail {
namespace {

std::u16string Number(unsigned value, int minimumDigits) {
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
    } while (value > 0);
    while (static_cast<int>(digits.size()) < minimumDigits) {
        digits.insert(digits.begin(), u'0');
    }
    return digits;
}

void AddLiteral(std::vector<PictureToken>& tokens, std::u16string_view text) {
    if (tokens.empty() || tokens.back().field != 0) {
        tokens.push_back({});
    }
    tokens.back().text += text;
}

std::u16string DateField(const LocaleData& locale, const SYSTEMTIME& date, char16_t field, int count) {
    switch (field) {
        case u'd':
            if (count <= 2) {
                return Number(date.wDay, count);
            }
            return count == 3 ? locale.abbrevDays[date.wDayOfWeek % 7] : locale.days[date.wDayOfWeek % 7];
        case u'M':
            if (count <= 2) {
                return Number(date.wMonth, count);
            }
            return count == 3 ? locale.abbrevMonths[(date.wMonth + 11) % 12]
                              : locale.months[(date.wMonth + 11) % 12];
        case u'y':
            return count <= 2 ? Number(date.wYear % 100, count) : Number(date.wYear, 4);
        default:
            return {};
    }
}

std::u16string TimeField(const LocaleData& locale, const SYSTEMTIME& time, char16_t field, int count) {
    int digits = std::min(count, 2);
    switch (field) {
        case u'h':
            return Number(time.wHour % 12 == 0 ? 12 : time.wHour % 12, digits);
        case u'H':
            return Number(time.wHour, digits);
        case u'm':
            return Number(time.wMinute, digits);
        case u's':
            return Number(time.wSecond, digits);
        case u't': {
            std::u16string_view marker = time.wHour < 12 ? locale.am : locale.pm;
            return std::u16string(count == 1 ? marker.substr(0, 1) : marker);
        }
        default:
            return {};
    }
}

// Drops every field of the given letters with the separator that joins it to the field before it
// (or, for the first field, to the one after it): "h:mm:ss tt" without seconds is "h:mm tt".
void DropFields(std::vector<PictureToken>& tokens, std::u16string_view letters) {
    for (size_t i = 0; i < tokens.size();) {
        if (tokens[i].field == 0 || letters.find(tokens[i].field) == std::u16string_view::npos) {
            ++i;
            continue;
        }
        bool fieldBefore = i >= 2 && tokens[i - 1].field == 0;
        if (fieldBefore) {
            tokens.erase(tokens.begin() + static_cast<long>(i) - 1,
                         tokens.begin() + static_cast<long>(i) + 1);
            --i;
        } else if (i + 1 < tokens.size() && tokens[i + 1].field == 0) {
            tokens.erase(tokens.begin() + static_cast<long>(i), tokens.begin() + static_cast<long>(i) + 2);
        } else {
            tokens.erase(tokens.begin() + static_cast<long>(i));
        }
    }
}

// Reads quoted text from just after the opening quote; inside, '' stands for one quote, and outside
// an empty pair '' does too. An unclosed quote runs to the end. Returns the position after the close.
size_t ReadQuoted(std::u16string_view picture, size_t i, std::vector<PictureToken>& tokens) {
    std::u16string text;
    bool empty = true;
    while (i < picture.size()) {
        if (picture[i] != u'\'') {
            text += picture[i++];
            empty = false;
        } else if (i + 1 < picture.size() && picture[i + 1] == u'\'' && !empty) {
            text += u'\'';
            i += 2;
        } else {
            ++i;
            break;
        }
    }
    AddLiteral(tokens, empty ? u"'" : text);
    return i;
}

}  // namespace

std::vector<PictureToken> TokenizePicture(std::u16string_view picture, std::u16string_view fieldLetters) {
    std::vector<PictureToken> tokens;
    size_t i = 0;
    while (i < picture.size()) {
        char16_t c = picture[i];
        if (c == u'\'') {
            i = ReadQuoted(picture, i + 1, tokens);
        } else if (fieldLetters.find(c) != std::u16string_view::npos) {
            size_t end = i;
            while (end < picture.size() && picture[end] == c) {
                ++end;
            }
            tokens.push_back({c, static_cast<int>(end - i), {}});
            i = end;
        } else {
            AddLiteral(tokens, picture.substr(i, 1));
            ++i;
        }
    }
    return tokens;
}

std::u16string FormatDate(const LocaleData& locale, const SYSTEMTIME& date, std::u16string_view picture) {
    std::u16string out;
    for (const PictureToken& token : TokenizePicture(picture, u"dMy")) {
        out += token.field ? DateField(locale, date, token.field, token.count) : token.text;
    }
    return out;
}

std::u16string FormatTime(const LocaleData& locale, const SYSTEMTIME& time, std::u16string_view picture,
                          DWORD flags) {
    std::vector<PictureToken> tokens = TokenizePicture(picture, u"hHmst");
    if (flags & TIME_NOMINUTESORSECONDS) {
        DropFields(tokens, u"ms");
    } else if (flags & TIME_NOSECONDS) {
        DropFields(tokens, u"s");
    }
    if (flags & (TIME_NOTIMEMARKER | TIME_FORCE24HOURFORMAT)) {
        DropFields(tokens, u"t");
    }
    std::u16string out;
    for (const PictureToken& token : tokens) {
        char16_t field = token.field == u'h' && (flags & TIME_FORCE24HOURFORMAT) ? u'H' : token.field;
        out += field ? TimeField(locale, time, field, token.count) : token.text;
    }
    return out;
}

}  // namespace ce::detail
