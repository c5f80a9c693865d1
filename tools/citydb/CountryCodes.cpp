#include "CountryCodes.h"

#include <fstream>
#include <regex>

#include "HostFile.h"

namespace {

bool IsCode(const std::string& text) {
    return text.size() == 2 && std::isupper(static_cast<unsigned char>(text[0])) &&
           std::isupper(static_cast<unsigned char>(text[1]));
}

}  // namespace

bool CountryCodes::LoadPackage(const std::string& path, std::string& error) {
    std::string script;
    if (!HostFile::Read(path, script)) {
        error = "cannot read " + path;
        return false;
    }
    // The list is plain object literals; a country's fields stand between its braces.
    static const std::regex object(R"(\{([^{}]*)\})");
    static const std::regex field(R"((\w+)\s*:\s*(['"])((?:\\.|(?!\2).)*)\2)");
    for (std::sregex_iterator it(script.begin(), script.end(), object), end; it != end; ++it) {
        std::string body = (*it)[1];
        std::map<std::string, std::string> fields;
        for (std::sregex_iterator f(body.begin(), body.end(), field); f != end; ++f) {
            fields[(*f)[1]] = (*f)[3];
        }
        if (IsCode(fields["iso2"]) && IsCode(fields["fips"])) {
            fipsByIso_[fields["iso2"]] = fields["fips"];
        }
    }
    if (fipsByIso_.size() < 200) {
        error = path + " holds " + std::to_string(fipsByIso_.size()) + " country codes, not a country list";
        return false;
    }
    return true;
}

bool CountryCodes::LoadSupplement(const std::string& path, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
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
