#include "Weather/CForecastText.h"

#include "CLocalization.h"

namespace {

enum Point { North, East, South, West };

struct Letter {
    const char* key;
    LPCWSTR english;
};
constexpr Letter kLetters[] = {
    {"IDS_NORTH_LETTER", u"N"}, {"IDS_EAST_LETTER", u"E"}, {"IDS_SOUTH_LETTER", u"S"}, {"IDS_WEST_LETTER", u"W"}};

bool Contains(LPCWSTR text, WCHAR c) {
    for (; *text != 0; ++text) {
        if (*text == c) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool CForecastText::AppendLetter(const char* key, LPCWSTR english, LPWSTR buffer, int& length) {
    WCHAR letter[2] = {};
    if (!Get(key, english, letter, 2)) {
        return false;
    }
    buffer[length++] = letter[0];
    buffer[length] = 0;
    return true;
}

bool CForecastText::WindFromDegrees(int degrees, LPWSTR buffer, int size) {
    if (buffer == nullptr || size < 3 || degrees == -1) {
        return false;
    }
    buffer[0] = 0;
    int d = ((degrees % 360) + 360) % 360;
    int r = d % 90;
    int before = (d - r) / 90;
    int after = (before + 1) % 4;
    int length = 0;
    if (r <= 20) {
        return AppendLetter(kLetters[before].key, kLetters[before].english, buffer, length);
    }
    if (r >= 61) {
        return AppendLetter(kLetters[after].key, kLetters[after].english, buffer, length);
    }
    // Between two points the north or south letter comes first: NE, SE, SW, NW.
    int vertical = before == North || before == South ? before : after;
    int horizontal = vertical == before ? after : before;
    return AppendLetter(kLetters[vertical].key, kLetters[vertical].english, buffer, length) &&
           AppendLetter(kLetters[horizontal].key, kLetters[horizontal].english, buffer, length);
}

bool CForecastText::WindFromCardinal(LPCWSTR cardinal, LPWSTR buffer, int size) {
    if (buffer == nullptr || size < 3 || cardinal == nullptr || cardinal[0] == 0) {
        return false;
    }
    buffer[0] = 0;
    int length = 0;
    if (Contains(cardinal, u'N')) {
        AppendLetter(kLetters[North].key, kLetters[North].english, buffer, length);
    } else if (Contains(cardinal, u'S')) {
        AppendLetter(kLetters[South].key, kLetters[South].english, buffer, length);
    }
    if (Contains(cardinal, u'E')) {
        AppendLetter(kLetters[East].key, kLetters[East].english, buffer, length);
    } else if (Contains(cardinal, u'W')) {
        AppendLetter(kLetters[West].key, kLetters[West].english, buffer, length);
    }
    return true;
}

bool CForecastText::UvIndexCategory(int uvIndex, LPWSTR buffer, int size) {
    if (buffer == nullptr || uvIndex == -1) {
        return false;
    }
    if (uvIndex < 3) {
        return Get("IDS_LOW", u"Low", buffer, size);
    }
    if (uvIndex < 6) {
        return Get("IDS_MODERATE", u"Moderate", buffer, size);
    }
    if (uvIndex < 8) {
        return Get("IDS_HIGH", u"High", buffer, size);
    }
    if (uvIndex < 11) {
        return Get("IDS_VERYHIGH", u"Very High", buffer, size);
    }
    return Get("IDS_EXTREME", u"Extreme", buffer, size);
}

bool CForecastText::Get(const char* key, LPCWSTR english, LPWSTR buffer, int size) {
    if (buffer == nullptr || size < 1) {
        return false;
    }
    if (CLocalization::Global().GetString(key, buffer, size)) {
        return true;
    }
    if (english == nullptr) {
        return false;
    }
    lstrcpynW(buffer, english, size);
    return true;
}
