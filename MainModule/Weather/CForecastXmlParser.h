// Reads the forecast server's XML into a city: the element FORECAST (location id and days), WXWSOBS
// (current conditions) and hc (hours). Every value is an attribute.
#pragma once

#include <cstddef>

#include "ce/xmldom.h"

class CCity;
class CDate;
class CDayForecast;
class CCurrentCondition;
class CHourForecast;

class CForecastXmlParser {
public:
    // Clears the city's forecast first; on failure the city keeps what was read before it.
    static bool Parse(const char* text, CCity& city);

private:
    static ce::ComRef<IXMLDOMDocument> Load(const char* text);
    static bool IsSevenBit(const char* text, size_t length);
    static bool LoadBytes(IXMLDOMDocument* document, const char* text, size_t length);
    static bool LoadAnsiText(IXMLDOMDocument* document, const char* text);
    static ce::ComRef<IXMLDOMNode> FirstElement(IXMLDOMDocument* document, LPCWSTR tag);
    static ce::ComRef<IXMLDOMElement> AsElement(IXMLDOMNode* node);

    static bool ReadLocationId(IXMLDOMElement* forecast, CCity& city);
    static bool ReadDays(IXMLDOMElement* forecast, CCity& city);
    // 0 when the day is missing or its date is bad (the days end), -1 when it is unusable, 1 when read.
    static int ReadDay(IXMLDOMElement* forecast, int number, CDayForecast& day);
    static void ReadCurrentCondition(IXMLDOMElement* observation, CCurrentCondition& condition);
    static bool ReadHours(IXMLDOMNode* hc, CCity& city);
    // The hour and its day, the date of its local time.
    static bool ReadHour(IXMLDOMElement* data, CHourForecast& hour, CDate& date);
};
