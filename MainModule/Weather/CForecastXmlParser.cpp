#include "Weather/CForecastXmlParser.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "CSysInfo.h"
#include "Weather/CCity.h"
#include "Weather/WeatherStateTable.h"
#include "Weather/XmlAttributes.h"

namespace {

constexpr int kSkyCodeBase = 64;
constexpr int kShortAttributeLength = 100;

// What the server can send in earnest; a value beyond it is treated as missing, so that the unit
// conversions and the screens' arithmetic never see a number that overflows.
constexpr int kLowestFahrenheit = -1000;
constexpr int kHighestFahrenheit = 1000;
constexpr int kHighestSpeedMph = 1000;
constexpr int kHighestPercent = 100;
constexpr int kHighestUvIndex = 100;
constexpr int kHighestDegrees = 360;
constexpr int kHighestSkyCode = 1000;
constexpr float kHighestPressure = 10000.0f;

// What a missing or impossible attribute reads as, and the range of the possible values.
struct IntRule {
    int missing;
    int lowest;
    int highest;
};

int ReadBoundedInt(IXMLDOMElement* attributes, LPCWSTR name, const IntRule& rule) {
    int value = GetXmlAttributeInt(attributes, name, rule.missing);
    return value >= rule.lowest && value <= rule.highest ? value : rule.missing;
}

int ReadFahrenheit(IXMLDOMElement* attributes, LPCWSTR name) {
    return ReadBoundedInt(attributes, name,
                          {.missing = -10000, .lowest = kLowestFahrenheit, .highest = kHighestFahrenheit});
}

int ReadCount(IXMLDOMElement* attributes, LPCWSTR name, int highest) {
    return ReadBoundedInt(attributes, name, {.missing = -1, .lowest = 0, .highest = highest});
}

float ReadPressure(IXMLDOMElement* attributes) {
    float value = GetXmlAttributeFloat(attributes, u"PRESSURE", -1.0f);
    return value >= 0 && value <= kHighestPressure ? value : -1.0f;
}

// The server's sky codes start at kSkyCodeBase; a missing or impossible one reads as 0.
int ReadSkyCode(IXMLDOMElement* attributes, LPCWSTR name) {
    return ReadBoundedInt(attributes, name,
                          {.missing = kSkyCodeBase, .lowest = 0, .highest = kHighestSkyCode}) -
           kSkyCodeBase;
}

bool IsLeapYear(DWORD year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

DWORD DaysInMonth(DWORD year, DWORD month) {
    static constexpr DWORD kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Eight digits YYYYMMDD of a day that exists.
bool ParseDayDate(LPCWSTR text, CDate& date) {
    for (int i = 0; i < 8; ++i) {
        if (text[i] < u'0' || text[i] > u'9') {
            return false;
        }
    }
    if (text[8] != 0) {
        return false;
    }
    date.SetFromString(text);
    return date.IsValid() && date.GetDay() <= DaysInMonth(date.GetYear(), date.GetMonth());
}

bool ReadTimeOfDay(IXMLDOMElement* attributes, LPCWSTR name, CDayForecast::TimeOfDay& time) {
    WCHAR text[kXmlAttributeBufferLength];
    if (!GetXmlAttributeString(attributes, name, text, kXmlAttributeBufferLength)) {
        return false;
    }
    // A time without ":" or the blank, or out of the clock's range, stays 00:00; the day is still taken.
    SYSTEMTIME parsed = {};
    if (CSysInfo::ParseTime(text, u"h:m tt", &parsed) && parsed.wHour < 24 && parsed.wMinute < 60) {
        time.hour = static_cast<BYTE>(parsed.wHour);
        time.minute = static_cast<BYTE>(parsed.wMinute);
    }
    return true;
}

// "DAY%d" and the suffix: the name of one of a day's attributes, put together where it is used, as the
// parser asks for about ten of them a day.
class DayAttribute {
public:
    DayAttribute(int number, std::u16string_view suffix) {
        std::u16string_view prefix = u"DAY";
        WCHAR* end = std::copy(prefix.begin(), prefix.end(), name_);
        char digits[12];
        const char* digitsEnd = std::to_chars(digits, digits + sizeof digits, number).ptr;
        for (const char* digit = digits; digit != digitsEnd; ++digit) {
            *end++ = static_cast<WCHAR>(*digit);
        }
        suffix = suffix.substr(0, static_cast<size_t>(name_ + kCapacity - 1 - end));
        *std::copy(suffix.begin(), suffix.end(), end) = 0;
    }
    LPCWSTR c_str() const { return name_; }

private:
    static constexpr size_t kCapacity = 64;
    WCHAR name_[kCapacity];
};

// "2007-10-15 19:00:00": year, month and day before the blank.
bool ParseLocalDate(LPCWSTR text, SYSTEMTIME& time) {
    LPCWSTR firstDash = nullptr;
    LPCWSTR secondDash = nullptr;
    LPCWSTR blank = nullptr;
    for (LPCWSTR c = text; *c != 0; ++c) {
        if (*c == u'-' && firstDash == nullptr) {
            firstDash = c;
        } else if (*c == u'-' && secondDash == nullptr) {
            secondDash = c;
        } else if (*c == u' ' && secondDash != nullptr) {
            blank = c;
            break;
        }
    }
    if (blank == nullptr) {
        return false;
    }
    time.wYear = static_cast<WORD>(_wtoi(text));
    time.wMonth = static_cast<WORD>(_wtoi(firstDash + 1));
    time.wDay = static_cast<WORD>(_wtoi(secondDash + 1));
    return true;
}

}  // namespace

bool CForecastXmlParser::Parse(const char* text, CCity& city) {
    if (text == nullptr) {
        return false;
    }
    city.ClearForecasts();
    ce::ComRef<IXMLDOMDocument> document = Load(text);
    if (!document) {
        return false;
    }
    ce::ComRef<IXMLDOMNode> forecast = FirstElement(document.Get(), u"FORECAST");
    ce::ComRef<IXMLDOMElement> forecastElement = AsElement(forecast.Get());
    if (!forecastElement || !ReadLocationId(forecastElement.Get(), city) || !ReadDays(forecastElement.Get(), city)) {
        return false;
    }
    ce::ComRef<IXMLDOMNode> observation = FirstElement(document.Get(), u"WXWSOBS");
    if (ce::ComRef<IXMLDOMElement> observed = AsElement(observation.Get())) {
        auto condition = std::make_unique<CCurrentCondition>();
        ReadCurrentCondition(observed.Get(), *condition);
        city.SetCurrentCondition(std::move(condition));
    }
    ce::ComRef<IXMLDOMNode> hc = FirstElement(document.Get(), u"hc");
    return !hc || ReadHours(hc.Get(), city);
}

ce::ComRef<IXMLDOMDocument> CForecastXmlParser::Load(const char* text) {
    ce::ComRef<IXMLDOMDocument> document;
    if (FAILED(CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                                document.OutVoid()))) {
        return document;
    }
    // Text in 7-bit characters reads the same in every code page, so its bytes go to the document as
    // they are; anything else takes the way through the ANSI code page. Bytes that the document does not
    // take (a declaration naming an encoding it does not know) take that way too.
    const size_t length = std::strlen(text);
    if (!(IsSevenBit(text, length) && LoadBytes(document.Get(), text, length)) &&
        !LoadAnsiText(document.Get(), text)) {
        document.Reset();
    }
    return document;
}

// Eight bytes at a time: a forecast is tens of kilobytes.
bool CForecastXmlParser::IsSevenBit(const char* text, size_t length) {
    constexpr uint64_t kHighBits = 0x8080808080808080ull;
    uint64_t seen = 0;
    size_t i = 0;
    for (; i + sizeof(uint64_t) <= length; i += sizeof(uint64_t)) {
        uint64_t word = 0;
        std::memcpy(&word, text + i, sizeof word);
        seen |= word;
    }
    for (; i < length; ++i) {
        seen |= static_cast<unsigned char>(text[i]);
    }
    return (seen & kHighBits) == 0;
}

// The bytes go to the document in place: an array descriptor of the caller's own, over the text, that
// the document only reads while it loads. Nothing is allocated or copied for it, and it is not
// destroyed (the text is the caller's).
bool CForecastXmlParser::LoadBytes(IXMLDOMDocument* document, const char* text, size_t length) {
    if (length > ULONG_MAX) {
        return false;
    }
    SAFEARRAY bytes = {};
    bytes.cDims = 1;
    bytes.cbElements = 1;
    bytes.pvData = const_cast<char*>(text);
    bytes.rgsabound[0].cElements = static_cast<ULONG>(length);
    VARIANT source;
    VariantInit(&source);
    source.vt = VT_ARRAY | VT_UI1;
    source.parray = &bytes;
    VARIANT_BOOL loaded = VARIANT_FALSE;
    return document->load(source, &loaded) == S_OK && loaded == VARIANT_TRUE;
}

bool CForecastXmlParser::LoadAnsiText(IXMLDOMDocument* document, const char* text) {
    int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 0) {
        return false;
    }
    std::vector<WCHAR> wide(static_cast<size_t>(length) + 1, 0);
    if (MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length) <= 0) {
        return false;
    }
    ce::Bstr xml(wide.data());
    VARIANT_BOOL loaded = VARIANT_FALSE;
    return document->loadXML(xml.Get(), &loaded) == S_OK && loaded == VARIANT_TRUE;
}

ce::ComRef<IXMLDOMNode> CForecastXmlParser::FirstElement(IXMLDOMDocument* document, LPCWSTR tag) {
    ce::ComRef<IXMLDOMNode> element;
    ce::ComRef<IXMLDOMNodeList> elements;
    ce::Bstr name(tag);
    if (document->getElementsByTagName(name.Get(), elements.Out()) == S_OK && elements) {
        elements->get_item(0, element.Out());
    }
    return element;
}

// The values are read from the element itself: one call a value, without an attribute node for each.
ce::ComRef<IXMLDOMElement> CForecastXmlParser::AsElement(IXMLDOMNode* node) {
    ce::ComRef<IXMLDOMElement> element;
    if (node != nullptr) {
        node->QueryInterface(IID_IXMLDOMElement, element.OutVoid());
    }
    return element;
}

bool CForecastXmlParser::ReadLocationId(IXMLDOMElement* forecast, CCity& city) {
    WCHAR id[kXmlAttributeBufferLength];
    // The id names the cache file: anything but 8 letters or digits is refused.
    if (!GetXmlAttributeString(forecast, u"LOCATIONID", id, kXmlAttributeBufferLength) ||
        !CCity::IsWellFormedLocationId(id)) {
        return false;
    }
    city.SetLocationId(id);
    return true;
}

bool CForecastXmlParser::ReadDays(IXMLDOMElement* forecast, CCity& city) {
    for (int number = 1;; ++number) {
        CDayForecast day;
        int result = ReadDay(forecast, number, day);
        if (result == 0) {
            return true;
        }
        if (result < 0) {
            return false;
        }
        city.AddDayForecast(day);
    }
}

int CForecastXmlParser::ReadDay(IXMLDOMElement* forecast, int number, CDayForecast& day) {
    WCHAR dateText[kXmlAttributeBufferLength];
    CDate date;
    if (!GetXmlAttributeString(forecast, DayAttribute(number, u"FCST_VALID_DAY").c_str(), dateText,
                               kXmlAttributeBufferLength) ||
        !ParseDayDate(dateText, date)) {
        return 0;
    }
    day.SetDate(date);
    CDayForecast::TimeOfDay sunrise;
    CDayForecast::TimeOfDay sunset;
    if (!ReadTimeOfDay(forecast, DayAttribute(number, u"SUNRISE").c_str(), sunrise) ||
        !ReadTimeOfDay(forecast, DayAttribute(number, u"SUNSET").c_str(), sunset)) {
        return -1;
    }
    day.SetSunrise(sunrise);
    day.SetSunset(sunset);
    // One temperature stands in for the other when the server sends only one.
    int high = ReadFahrenheit(forecast, DayAttribute(number, u"HITMPF").c_str());
    int low = ReadFahrenheit(forecast, DayAttribute(number, u"LOTMPF").c_str());
    day.SetHighTemperature(high != -10000 ? high : low);
    day.SetLowTemperature(low != -10000 ? low : high);
    day.SetWindSpeed(ReadCount(forecast, DayAttribute(number, u"WSPDM").c_str(), kHighestSpeedMph));
    day.SetUvIndex(ReadCount(forecast, DayAttribute(number, u"UVIDX").c_str(), kHighestUvIndex));
    day.SetHumidity(ReadCount(forecast, DayAttribute(number, u"RH").c_str(), kHighestPercent));
    day.SetWindDirection(GetXmlAttributeText(forecast, DayAttribute(number, u"WDIR").c_str()).value_or(u""));
    day.SetSkyCode(ReadSkyCode(forecast, DayAttribute(number, u"SKY24").c_str()));
    return 1;
}

void CForecastXmlParser::ReadCurrentCondition(IXMLDOMElement* observation,
                                              CCurrentCondition& condition) {
    condition.SetTemperature(ReadFahrenheit(observation, u"TEMPERATURE"));
    condition.SetHeatIndex(ReadFahrenheit(observation, u"HEATINDEX"));
    condition.SetWindChill(ReadFahrenheit(observation, u"WINDCHILL"));
    condition.SetWindSpeed(ReadCount(observation, u"WINDSPEED", kHighestSpeedMph));
    condition.SetWindDirection(ReadCount(observation, u"WINDDIRECTION", kHighestDegrees));
    condition.SetGust(ReadCount(observation, u"GUST", kHighestSpeedMph));
    condition.SetHumidity(ReadCount(observation, u"RELATIVEHUMIDITY", kHighestPercent));
    condition.SetPressure(ReadPressure(observation));
    std::u16string sky = GetXmlAttributeText(observation, u"SKY").value_or(u"");
    condition.SetSkyCode(WeatherStateTable::FindByEnglishText(sky.c_str()));
}

bool CForecastXmlParser::ReadHours(IXMLDOMNode* hc, CCity& city) {
    ce::ComRef<IXMLDOMNodeList> children;
    LONG count = 0;
    if (FAILED(hc->get_childNodes(children.Out())) || !children || FAILED(children->get_length(&count))) {
        return false;
    }
    CHourlyForecastMap hours;
    for (LONG i = 0; i < count; ++i) {
        ce::ComRef<IXMLDOMNode> child;
        ce::Bstr name;
        if (children->get_item(i, child.Out()) != S_OK || FAILED(child->get_nodeName(name.Out())) ||
            lstrcmpiW(name.Get(), u"data") != 0) {
            continue;
        }
        CHourForecast hour;
        CDate date;
        ce::ComRef<IXMLDOMElement> element = AsElement(child.Get());
        if (!element || !ReadHour(element.Get(), hour, date)) {
            return false;
        }
        hours[date].insert(hour);
    }
    city.SetHourlyForecasts(std::move(hours));
    return true;
}

bool CForecastXmlParser::ReadHour(IXMLDOMElement* data, CHourForecast& hour, CDate& date) {
    WCHAR dateText[kShortAttributeLength];
    WCHAR timeText[kShortAttributeLength];
    SYSTEMTIME time = {};
    if (!GetXmlAttributeString(data, u"LocalDate", dateText, kShortAttributeLength) ||
        !GetXmlAttributeString(data, u"LocalTime", timeText, kShortAttributeLength) ||
        !ParseLocalDate(dateText, time)) {
        return false;
    }
    long hhmmss = _wtol(timeText);
    if (hhmmss < 0 || hhmmss / 10000 > 23) {
        return false;
    }
    time.wHour = static_cast<WORD>(hhmmss / 10000);
    FILETIME fileTime;
    // A date that is no day of the calendar does not convert.
    date = CDate(time.wYear, time.wMonth, time.wDay);
    if (!date.IsValid() || !SystemTimeToFileTime(&time, &fileTime)) {
        return false;
    }
    hour.SetFileTime(fileTime);
    hour.SetTemperature(ReadFahrenheit(data, u"TemperatureFahrenHeit"));
    hour.SetHeatIndex(ReadFahrenheit(data, u"HeatIndexFahrenheit"));
    hour.SetWindChill(ReadFahrenheit(data, u"WindChillFahrenheit"));
    hour.SetWindSpeed(ReadCount(data, u"WindSpeedMph", kHighestSpeedMph));
    WCHAR wind[kShortAttributeLength] = {};
    GetXmlAttributeString(data, u"WindDirectionCardinal", wind, kShortAttributeLength);
    hour.SetWindDirection(wind);
    hour.SetHumidity(ReadCount(data, u"RelativeHumidity", kHighestPercent));
    hour.SetUvIndex(ReadCount(data, u"UVIndex", kHighestUvIndex));
    hour.SetSkyCode(ReadSkyCode(data, u"SkyCode"));
    return true;
}
