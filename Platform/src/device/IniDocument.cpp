#include "device/IniDocument.h"

#include <strings.h>

namespace ce::detail {
namespace {

std::string Trim(const std::string& text) {
    size_t begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos) {
        return {};
    }
    size_t end = text.find_last_not_of(" \t\r");
    return text.substr(begin, end - begin + 1);
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

}  // namespace

IniDocument IniDocument::Parse(const std::string& text) {
    IniDocument document;
    std::string section;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        Line line{text.substr(start, end - start), {}, {}, {}};
        std::string trimmed = Trim(line.text);
        if (trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']') {
            section = Trim(trimmed.substr(1, trimmed.size() - 2));
        } else if (!trimmed.empty() && trimmed[0] != ';' && trimmed[0] != '#') {
            size_t equals = trimmed.find('=');
            if (equals != std::string::npos && equals > 0 && trimmed.find('\0') == std::string::npos) {
                line.key = Trim(trimmed.substr(0, equals));
                line.value = Trim(trimmed.substr(equals + 1));
            }
        }
        line.section = section;
        document.lines_.push_back(std::move(line));
        start = end + 1;
    }
    return document;
}

std::optional<std::string> IniDocument::Get(const std::string& section, const std::string& key) const {
    for (const Line& line : lines_) {
        if (!line.key.empty() && SameName(line.section, section) && SameName(line.key, key)) {
            return line.value;
        }
    }
    return std::nullopt;
}

std::vector<ProfileEntry> IniDocument::Section(const std::string& section) const {
    std::vector<ProfileEntry> entries;
    for (const Line& line : lines_) {
        if (!line.key.empty() && SameName(line.section, section)) {
            entries.push_back({line.key, line.value});
        }
    }
    return entries;
}

void IniDocument::Set(const std::string& section, const std::string& key, const std::string& value) {
    size_t lastOfSection = std::string::npos;
    for (size_t i = 0; i < lines_.size(); ++i) {
        Line& line = lines_[i];
        if (!SameName(line.section, section)) {
            continue;
        }
        if (!line.key.empty() && SameName(line.key, key)) {
            line.value = value;
            line.text = line.key + "=" + value;
            return;
        }
        if (!Trim(line.text).empty()) {
            lastOfSection = i;
        }
    }
    Line added{key + "=" + value, section, key, value};
    if (lastOfSection == std::string::npos) {
        lines_.push_back(Line{"[" + section + "]", section, {}, {}});
        lines_.push_back(std::move(added));
    } else {
        lines_.insert(lines_.begin() + static_cast<long>(lastOfSection) + 1, std::move(added));
    }
}

std::string IniDocument::Text() const {
    std::string text;
    for (const Line& line : lines_) {
        text += line.text;
        text += '\n';
    }
    return text;
}

}  // namespace ce::detail
