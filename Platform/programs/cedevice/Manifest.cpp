#include <fstream>

#include "Commands.h"

namespace cedevice {

std::map<std::string, std::string> ReadManifest(const std::string& file) {
    std::map<std::string, std::string> entries;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        size_t equals = line.find('=');
        if (equals != std::string::npos) {
            entries[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    return entries;
}

}  // namespace cedevice
