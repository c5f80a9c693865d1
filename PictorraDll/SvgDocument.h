// A parsed SVG document: the element tree under the outermost svg element and the elements by id.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "SvgElement.h"
#include "SvgStatus.h"

class SvgDocument {
public:
    // Parses a whole UTF-8 document. A non-zero status fails the picture.
    SvgStatus Parse(std::string_view text);

    const SvgElement* Root() const { return m_root.get(); }
    SvgElement* FindById(std::string_view id) const;

private:
    friend class SvgParser;

    std::unique_ptr<SvgElement> m_root;
    std::unordered_map<std::string, SvgElement*> m_ids;
    bool m_parsing = false;
};
