// The class rules of an SVG's style sheets, so that they can be written out as presentation
// attributes: Pictorra reads no style sheets.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CssClassRules {
public:
    using Declaration = std::pair<std::string, std::string>;

    // Adds the rules of one style sheet. Only plain class selectors (".name", also in a list) are
    // taken; rules with any other selector are counted in skippedRules() and left out.
    void AddStyleSheet(std::string_view text);

    // The declarations that apply to an element of these classes (a blank-separated list), in the
    // order of the style sheets, so a later declaration of the same property wins.
    std::vector<Declaration> For(std::string_view classList) const;

    int skippedRules() const { return m_skipped; }

    // "name: value; name: value" into its declarations; "!important" is dropped.
    static std::vector<Declaration> ParseDeclarations(std::string_view text);

private:
    struct Rule {
        std::string className;
        std::vector<Declaration> declarations;
    };
    std::vector<Rule> m_rules;
    int m_skipped = 0;
};
