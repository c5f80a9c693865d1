#include "CountryCodes.h"

#include <string_view>
#include <vector>

#include "HostFile.h"

namespace {

bool IsCode(const std::string& text) {
    return text.size() == 2 && std::isupper(static_cast<unsigned char>(text[0])) &&
           std::isupper(static_cast<unsigned char>(text[1]));
}

// The text of a field written `name: 'text'` (or "text") in an object literal; empty when it is not there.
std::string QuotedField(std::string_view object, const std::string& name) {
    size_t at = object.find(name + ":");
    size_t quote = at == std::string_view::npos ? at : object.find_first_not_of(' ', at + name.size() + 1);
    if (quote == std::string_view::npos || (object[quote] != '\'' && object[quote] != '"')) {
        return {};
    }
    size_t end = object.find(object[quote], quote + 1);
    return end == std::string_view::npos ? std::string() : std::string(object.substr(quote + 1, end - quote - 1));
}

}  // namespace

bool CountryCodes::LoadPackage(const std::string& path, std::string& error) {
    std::string script;
    if (!HostFile::Read(path, script)) {
        error = "cannot read " + path;
        return false;
    }
    // The list is plain object literals; a country's fields stand between its braces.
    for (size_t open = script.find('{'); open != std::string::npos; open = script.find('{', open + 1)) {
        size_t close = script.find_first_of("{}", open + 1);
        if (close == std::string::npos || script[close] == '{') {
            continue;  // a function body, not a country
        }
        std::string_view country(script.data() + open, close - open);
        std::string iso = QuotedField(country, "iso2");
        std::string fips = QuotedField(country, "fips");
        if (IsCode(iso) && IsCode(fips)) {
            fipsByIso_[iso] = fips;
        }
    }
    if (fipsByIso_.size() < 200) {
        error = path + " holds " + std::to_string(fipsByIso_.size()) + " country codes, not a country list";
        return false;
    }
    return true;
}

bool CountryCodes::LoadSupplement(const std::string& path, std::string& error) {
    std::vector<std::string> lines;
    if (!HostFile::ReadDataLines(path, lines)) {
        error = "cannot read " + path;
        return false;
    }
    for (const std::string& line : lines) {
        size_t semicolon = line.find(';');
        std::string iso = line.substr(0, semicolon);
        std::string fips = semicolon == std::string::npos ? std::string() : line.substr(semicolon + 1);
        if (!IsCode(iso) || !IsCode(fips)) {
            error = path + ": expected 'ISO;FIPS' in '" + line + "'";
            return false;
        }
        fipsByIso_[iso] = fips;
    }
    return true;
}

std::string CountryCodes::FipsOf(const std::string& iso) const {
    auto it = fipsByIso_.find(iso);
    return it == fipsByIso_.end() ? std::string() : it->second;
}
