// skintool stage <table> <package-root> <interface-folder> <first> <last> <out-folder> [--strict]
//     Gathers the pictures first..last of one sprite package into <out-folder> with "order.txt" for
//     the packer: weather pictures adapted from the icon package, the interface pictures as drawn,
//     a placeholder for each entry that has neither (listed; with --strict that fails the build).
// skintool sheet <out.png> <size> <package.pak>@<first number> ...
//     Renders every picture of the packages at <size> pixels into one contact sheet.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ContactSheet.h"
#include "SkinStager.h"
#include "WeatherPictureTable.h"

namespace {

bool ParseNumber(const std::string& text, int& value)
{
    char* end = nullptr;
    long parsed = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || parsed < 0 || parsed > 100000) return false;
    value = int(parsed);
    return true;
}

int Stage(const std::vector<std::string>& args)
{
    int first = 0, last = 0;
    bool strict = args.size() == 8 && args[7] == "--strict";
    if ((args.size() != 7 && !strict) || !ParseNumber(args[4], first) || !ParseNumber(args[5], last) || last < first) {
        std::fprintf(stderr, "skintool: stage needs a table, two folders, a first and last entry and a folder\n");
        return 2;
    }
    WeatherPictureTable table;
    std::string error;
    if (!table.Load(args[1], error)) {
        std::fprintf(stderr, "skintool: %s\n", error.c_str());
        return 1;
    }
    SkinStager::Sources sources{args[2], args[3], &table};
    SkinStager::Outcome outcome;
    if (!SkinStager::Stage(sources, first, last, args[6], outcome, error)) {
        std::fprintf(stderr, "skintool: %s\n", error.c_str());
        return 1;
    }
    for (const std::string& note : outcome.adaptationNotes) std::printf("skintool: %s\n", note.c_str());
    std::printf("skintool: pictures %d to %d: %d adapted, %d drawn, %zu missing\n", first, last, outcome.adapted,
                outcome.drawn, outcome.missing.size());
    if (outcome.missing.empty()) return 0;
    std::string list;
    for (int picture : outcome.missing) {
        list += ' ';
        list += std::to_string(picture);
    }
    std::fprintf(stderr, "skintool: %s pictures without a source (placeholders):%s\n", strict ? "error:" : "warning:",
                 list.c_str());
    return strict ? 1 : 0;
}

int Sheet(const std::vector<std::string>& args)
{
    int size = 0;
    if (args.size() < 4 || !ParseNumber(args[2], size) || size == 0) {
        std::fprintf(stderr, "skintool: sheet needs a PNG, a size and at least one package@number\n");
        return 2;
    }
    std::vector<ContactSheet::Package> packages;
    for (size_t i = 3; i < args.size(); ++i) {
        size_t at = args[i].rfind('@');
        ContactSheet::Package package;
        if (at == std::string::npos || !ParseNumber(args[i].substr(at + 1), package.firstNumber)) {
            std::fprintf(stderr, "skintool: %s is not package@number\n", args[i].c_str());
            return 2;
        }
        package.path = args[i].substr(0, at);
        packages.push_back(package);
    }
    std::string error;
    if (!ContactSheet::Write(packages, size, args[1], error)) {
        std::fprintf(stderr, "skintool: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args[0] == "stage") return Stage(args);
    if (!args.empty() && args[0] == "sheet") return Sheet(args);
    std::fprintf(stderr,
                 "usage: skintool stage <table> <package-root> <interface-folder> <first> <last> <out-folder> [--strict]\n"
                 "       skintool sheet <out.png> <size> <package.pak>@<first number> ...\n");
    return 2;
}
