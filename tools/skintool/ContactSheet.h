// One PNG that shows every picture of some sprite packages, each rendered through Pictorra at one
// size beside its picture number, for a person to look over the skin.
#pragma once

#include <string>
#include <vector>

class ContactSheet {
public:
    struct Package {
        std::string path;
        int firstNumber = 0;  // the picture number of its entry 0
    };

    // Renders each entry to fit a square of size pixels, keeping its shape. False with the reason
    // (naming the package and entry) when a package cannot be read, an entry does not render or the
    // PNG cannot be written; nothing is written then.
    static bool Write(const std::vector<Package>& packages, int size, const std::string& pngPath, std::string& error);
};
