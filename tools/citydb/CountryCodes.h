// The two-letter country codes of the location ids: the FIPS 10-4 code of each country, looked up by the
// ISO 3166 code that the world cities list gives.
#pragma once

#include <map>
#include <string>

class CountryCodes {
public:
    // Reads the country list of the npm package country-code-lookup (its index.js: one object a country
    // with, among others, "fips" and "iso2" fields).
    bool LoadPackage(const std::string& path, std::string& error);
    // Reads "ISO;FIPS" lines for the countries the package leaves without a code; '#' starts a comment.
    // A line overrides what the package said.
    bool LoadSupplement(const std::string& path, std::string& error);
    // The code for an ISO 3166 code; empty when none is known.
    std::string FipsOf(const std::string& iso) const;

private:
    std::map<std::string, std::string> fipsByIso_;
};
