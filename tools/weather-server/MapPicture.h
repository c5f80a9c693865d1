// Weather map pictures: deterministic PNG images per map id, type and date (satellite clouds, a
// temperature field, or the isobars of a surface analysis).
#pragma once

#include <map>
#include <optional>
#include <string>

class MapCatalog {
public:
    // Reads "id;type" lines; false with a message when the file cannot be read or a line is malformed.
    bool Load(const std::string& path, std::string& error);
    // The map type of an id: from the list when one was loaded, else from the id's suffix.
    std::optional<int> TypeOf(const std::string& id) const;

private:
    std::map<std::string, int> types_;
    bool loaded_ = false;
};

class MapPicture {
public:
    static constexpr int kWidth = 320;
    static constexpr int kHeight = 240;
    // PNG bytes; empty when drawing fails.
    static std::string Render(const std::string& id, int type, const std::string& dateDigits);
};
