#include "files/Wildcard.h"

#include "strings/CaseFold.h"

namespace ce::detail {
namespace {

// Greedy matching with one back-track point: linear enough for file names.
bool Matches(std::u16string_view pattern, std::u16string_view name) {
    size_t p = 0;
    size_t n = 0;
    size_t starAt = std::u16string_view::npos;
    size_t resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starAt = p++;
            resumeAt = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == u'?' || FoldToLower(pattern[p]) == FoldToLower(name[n]))) {
            ++p;
            ++n;
        } else if (starAt != std::u16string_view::npos) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') {
        ++p;
    }
    return p == pattern.size();
}

}  // namespace

bool MatchesWildcard(std::u16string_view pattern, std::u16string_view name) {
    if (Matches(pattern, name)) {
        return true;
    }
    bool optionalExtension = pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == u".*";
    return optionalExtension && name.find(u'.') == std::u16string_view::npos &&
           Matches(pattern.substr(0, pattern.size() - 2), name);
}

}  // namespace ce::detail
