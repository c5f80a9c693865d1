// The active Home scheme: the file that HKEY_CURRENT_USER "ControlPanel\Home" value Scheme names, read
// for its plug-ins (class id and the element's XML) and its background colour.
#pragma once

#include <string>
#include <vector>

#include "ce/com.h"

struct HomePluginEntry {
    CLSID clsid{};
    std::u16string name;
    std::string xml;  // the <plugin> element, UTF-8
};

class HomeScheme {
public:
    // The scheme named by the registry; empty (no plug-ins) when none is named or it cannot be read.
    static HomeScheme ReadActive();
    // Parses scheme text (8-bit, UTF-8); false for text that is not a scheme.
    bool Parse(const std::string& text);

    const std::u16string& Path() const { return path_; }
    const std::vector<HomePluginEntry>& Plugins() const { return plugins_; }
    // The background's bgcolor: a colour name ("COLOR_TRAYGRADLEFT") or "#RRGGBB"; empty when none.
    const std::u16string& Background() const { return background_; }
    // Why the scheme has no plug-ins, when it has none for a reason.
    const std::string& Problem() const { return problem_; }

private:
    std::u16string path_;
    std::vector<HomePluginEntry> plugins_;
    std::u16string background_;
    std::string problem_;
};
