// Readers of one attribute of an element, through its attribute map or the element itself (one call a
// value, no attribute node between). A value is cut to 259 characters, as the readers' fixed buffers
// did; a present but empty number counts as missing.
#pragma once

#include <optional>
#include <string>

#include "ce/xmldom.h"

constexpr int kXmlAttributeBufferLength = 260;

// Copies at most length - 1 characters and a terminator; true also for an empty value; false when an
// argument is null or the attribute is missing.
bool GetXmlAttributeString(IXMLDOMNamedNodeMap* attributes, LPCWSTR name, LPWSTR buffer, int length);
bool GetXmlAttributeString(IXMLDOMElement* element, LPCWSTR name, LPWSTR buffer, int length);
// The text, or nothing when the attribute is missing.
std::optional<std::u16string> GetXmlAttributeText(IXMLDOMNamedNodeMap* attributes, LPCWSTR name);
std::optional<std::u16string> GetXmlAttributeText(IXMLDOMElement* element, LPCWSTR name);
// Leading blanks, a sign and the digits that follow (12.5 gives 12, no digits give 0); missing or
// empty gives the fallback.
int GetXmlAttributeInt(IXMLDOMNamedNodeMap* attributes, LPCWSTR name, int missing);
int GetXmlAttributeInt(IXMLDOMElement* element, LPCWSTR name, int missing);
float GetXmlAttributeFloat(IXMLDOMNamedNodeMap* attributes, LPCWSTR name, float missing);
float GetXmlAttributeFloat(IXMLDOMElement* element, LPCWSTR name, float missing);
