#include "SkinStager.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "HostFile.h"
#include "SvgAdapter.h"

namespace {

std::string FourDigits(int picture)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d", picture);
    return text;
}

// "0060-home-marker.svg" gives 60; -1 for a name of any other form.
int InterfaceNumber(const std::string& name)
{
    if (name.size() < 10 || name[4] != '-' || !name.ends_with(".svg")) return -1;
    for (int i = 0; i < 4; ++i)
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return -1;
    return std::stoi(name.substr(0, 4));
}

bool StageWeatherPicture(const SkinStager::Sources& sources, int picture, const std::string& source,
                         const std::filesystem::path& target, SkinStager::Outcome& outcome, std::string& error)
{
    std::filesystem::path path = sources.packageRoot / source;
    std::string text;
    if (!HostFile::Read(path, text)) {
        error = path.string() + ": cannot be read (picture " + std::to_string(picture) + ")";
        return false;
    }
    SvgAdapter::Result adapted;
    std::string reason;
    if (!SvgAdapter::Adapt(text, adapted, reason)) {
        error = path.string() + ": refused: " + reason;
        return false;
    }
    if (!adapted.notes.empty()) {
        std::string line = path.filename().string() + ": left out";
        for (size_t i = 0; i < adapted.notes.size(); ++i) line += (i ? ", " : ": ") + adapted.notes[i];
        if (std::find(outcome.adaptationNotes.begin(), outcome.adaptationNotes.end(), line) ==
            outcome.adaptationNotes.end())
            outcome.adaptationNotes.push_back(line);
    }
    if (!HostFile::WriteAtomically(target, adapted.svg)) {
        error = target.string() + ": cannot be written";
        return false;
    }
    return true;
}

}  // namespace

bool SkinStager::FindInterfacePictures(const std::filesystem::path& folder,
                                       std::map<int, std::filesystem::path>& found, std::string& error)
{
    found.clear();
    std::error_code failure;
    if (!std::filesystem::is_directory(folder, failure)) return true;  // nothing drawn yet
    for (const auto& item : std::filesystem::directory_iterator(folder, failure)) {
        int number = InterfaceNumber(item.path().filename().string());
        if (number < 0 || !item.is_regular_file()) continue;
        auto [at, added] = found.emplace(number, item.path());
        if (!added) {
            error = item.path().string() + " and " + at->second.string() + " are both picture " + std::to_string(number);
            return false;
        }
    }
    if (failure) error = folder.string() + ": cannot be listed";
    return !failure;
}

std::string SkinStager::Placeholder(int picture)
{
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"32\" height=\"32\" viewBox=\"0 0 32 32\">"
           "<rect x=\"1\" y=\"1\" width=\"30\" height=\"30\" rx=\"3\" fill=\"#f0e0e0\" stroke=\"#c03030\" "
           "stroke-width=\"2\" stroke-dasharray=\"4 2\"/>"
           "<text x=\"16\" y=\"19\" font-family=\"sans-serif\" font-size=\"8\" text-anchor=\"middle\" "
           "fill=\"#c03030\">" + FourDigits(picture) + "</text></svg>";
}

bool SkinStager::Stage(const Sources& sources, int first, int last, const std::filesystem::path& folder,
                       Outcome& outcome, std::string& error)
{
    outcome = Outcome{};
    std::map<int, std::filesystem::path> drawn;
    if (!FindInterfacePictures(sources.interfaceFolder, drawn, error)) return false;
    std::error_code failure;
    std::filesystem::remove_all(folder, failure);
    std::filesystem::create_directories(folder, failure);
    if (failure) {
        error = folder.string() + ": cannot be made";
        return false;
    }
    std::string order;
    for (int picture = first; picture <= last; ++picture) {
        std::string source = sources.table ? sources.table->SourceOf(picture) : std::string();
        std::string name = FourDigits(picture);
        if (!source.empty()) {
            name += '-';
            name += std::filesystem::path(source).filename().string();
            if (!StageWeatherPicture(sources, picture, source, folder / name, outcome, error)) return false;
            ++outcome.adapted;
        } else if (auto found = drawn.find(picture); found != drawn.end()) {
            name = found->second.filename().string();
            std::string text;
            if (!HostFile::Read(found->second, text) || !HostFile::WriteAtomically(folder / name, text)) {
                error = found->second.string() + ": cannot be copied";
                return false;
            }
            ++outcome.drawn;
        } else {
            name += "-placeholder.svg";
            if (!HostFile::WriteAtomically(folder / name, Placeholder(picture))) {
                error = (folder / name).string() + ": cannot be written";
                return false;
            }
            outcome.missing.push_back(picture);
        }
        order += name + "\n";
    }
    if (!HostFile::WriteAtomically(folder / "order.txt", order)) {
        error = (folder / "order.txt").string() + ": cannot be written";
        return false;
    }
    return true;
}
