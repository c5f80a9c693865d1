#include "SvgDocument.h"

#include "SvgParser.h"

SvgStatus SvgDocument::Parse(std::string_view text) {
    if (m_parsing)
        return SvgStatus::InvalidCall;
    m_parsing = true;
    SvgParser parser(*this);
    SvgStatus status = parser.Parse(text);
    m_parsing = false;
    return status;
}

SvgElement* SvgDocument::FindById(std::string_view id) const {
    auto it = m_ids.find(std::string(id));
    return it == m_ids.end() ? nullptr : it->second;
}
