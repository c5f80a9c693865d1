// The table of localization keys. Every text of the program is named by one of these keys; some
// callers pick one of a run of neighbouring keys by an index, so the order is part of the table.
#pragma once

#include <array>
#include <cstddef>

inline constexpr size_t kLocalizationKeyCount = 244;
extern const std::array<const char*, kLocalizationKeyCount> kLocalizationKeys;

// A key whose text is a format template, with the conversions that its callers pass, in the form
// of ce::FormatConversions ("ds": an int, then a string).
struct LocalizationTemplate {
    const char* key;
    const char* conversions;
};
extern const std::array<LocalizationTemplate, 13> kLocalizationTemplates;

// The conversions that the callers of a template key pass; null when the key is no template.
const char* TemplateConversions(const char* key);
