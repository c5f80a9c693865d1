// The text of an INI file kept line by line, so that changing one key keeps the comments, the order and
// every other line as they were. Section and key names compare without case.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ce/device.h"

namespace ce::detail {

class IniDocument {
public:
    // Takes any bytes: lines that are neither a section, a key nor a comment are kept but not read.
    static IniDocument Parse(const std::string& text);

    std::optional<std::string> Get(const std::string& section, const std::string& key) const;
    std::vector<ProfileEntry> Section(const std::string& section) const;
    void Set(const std::string& section, const std::string& key, const std::string& value);
    std::string Text() const;

private:
    struct Line {
        std::string text;
        std::string section;  // the section the line belongs to
        std::string key;      // empty unless the line is "key=value"
        std::string value;
    };
    std::vector<Line> lines_;
};

}  // namespace ce::detail
