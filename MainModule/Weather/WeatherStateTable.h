// The weather states, indexed by the forecast's sky code: the localization key, the English text
// (also what the current conditions' sky text is matched against) and the skin's picture numbers.
#pragma once

#include "ce/types.h"

struct WeatherState {
    const char* key;
    LPCWSTR englishText;
    int dayImage;
    int nightImage;  // -1: the day picture serves by night too
    int extraImageCount;
    int extraImages[20];
};

class WeatherStateTable {
public:
    static constexpr int kCount = 58;
    static constexpr int kMaxExtraImages = 20;

    // Null for a code outside 0 to 57.
    static const WeatherState* Get(int skyCode);
    // The first row whose English text equals the text without regard to case; 0 when none does.
    static int FindByEnglishText(LPCWSTR text);

    // -1 for a code outside the table.
    static int GetDayImage(int skyCode);
    static int GetNightImage(int skyCode);
    static int GetExtraImageCount(int skyCode);
    // images has room for kMaxExtraImages; false when the row has none.
    static bool GetExtraImages(int skyCode, int* images, int* count);
    // The localized text of the row, or its English text when the language files have none.
    static bool GetText(int skyCode, LPWSTR buffer, int size);
};
