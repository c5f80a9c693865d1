// loc-encode SOURCE TARGET
//
// Reads a language file source (UTF-8, one "KEY<TAB>text" a line, "#" comments) and writes it as
// UTF-16 LE with a byte-order mark, the form the program reads. Refuses a source with bad UTF-8, a
// line that is neither a comment nor a key with a tab, or a key given twice, so that a broken
// source stops the build instead of losing texts.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>

#include "ce/types.h"

namespace {

bool IsKeyChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool CheckLine(const std::string& line, std::set<std::string>* keys, std::string* error) {
    if (line.empty() || line[0] == '#') {
        return true;
    }
    size_t keyEnd = 0;
    while (keyEnd < line.size() && IsKeyChar(line[keyEnd])) {
        ++keyEnd;
    }
    if (keyEnd == 0 || keyEnd == line.size() || line[keyEnd] != '\t') {
        *error = "expected KEY<TAB>text";
        return false;
    }
    if (!keys->insert(line.substr(0, keyEnd)).second) {
        *error = "key given twice";
        return false;
    }
    if (ce::FromUtf8(line).find(u'\uFFFD') != std::u16string::npos) {
        *error = "not valid UTF-8";
        return false;
    }
    return true;
}

bool WriteUtf16(const std::string& target, const std::u16string& text) {
    const std::string temporary = target + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        const char bom[] = {'\xFF', '\xFE'};
        out.write(bom, sizeof bom);
        for (char16_t c : text) {
            const char bytes[] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
            out.write(bytes, sizeof bytes);
        }
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, target, error);
    if (error) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: loc-encode SOURCE TARGET\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << argv[1] << ": cannot be read\n";
        return 1;
    }
    std::stringstream whole;
    whole << in.rdbuf();
    std::istringstream lines(whole.str());
    std::set<std::string> keys;
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        std::string error;
        if (!CheckLine(line, &keys, &error)) {
            std::cerr << argv[1] << ":" << number << ": " << error << "\n";
            return 1;
        }
    }
    if (!WriteUtf16(argv[2], ce::FromUtf8(whole.str()))) {
        std::cerr << argv[2] << ": cannot be written\n";
        return 1;
    }
    return 0;
}
