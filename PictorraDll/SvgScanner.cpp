#include "SvgScanner.h"

#include <charconv>
#include <cmath>

bool IsSvgBlank(char character) {
    return character == ' ' || character == '\t' || character == '\n' || character == '\r' ||
           character == '\f';
}

static bool IsDigit(char character) {
    return character >= '0' && character <= '9';
}

void SvgScanner::SkipBlanks() {
    while (!AtEnd() && IsSvgBlank(m_text[m_pos])) ++m_pos;
}

void SvgScanner::SkipSeparator() {
    SkipBlanks();
    if (Peek() == ',')
        ++m_pos;
    SkipBlanks();
}

bool SvgScanner::AtNumber() const {
    char c = Peek();
    return IsDigit(c) || c == '+' || c == '-' || c == '.';
}

bool SvgScanner::ReadNumber(double& value) {
    size_t p = m_pos;
    bool negative = false;
    if (p < m_text.size() && (m_text[p] == '+' || m_text[p] == '-'))
        negative = m_text[p++] == '-';
    size_t start = p;
    size_t digits = 0;
    while (p < m_text.size() && IsDigit(m_text[p])) ++p, ++digits;
    if (p < m_text.size() && m_text[p] == '.') {
        ++p;
        while (p < m_text.size() && IsDigit(m_text[p])) ++p, ++digits;
    }
    if (digits == 0)
        return false;
    if (p < m_text.size() && (m_text[p] == 'e' || m_text[p] == 'E')) {
        size_t q = p + 1;
        if (q < m_text.size() && (m_text[q] == '+' || m_text[q] == '-'))
            ++q;
        if (q < m_text.size() && IsDigit(m_text[q])) {
            while (q < m_text.size() && IsDigit(m_text[q])) ++q;
            p = q;
        }
    }
    double parsed = 0;
    auto result = std::from_chars(m_text.data() + start, m_text.data() + p, parsed);
    if (result.ec != std::errc() || !std::isfinite(parsed))
        return false;
    value = negative ? -parsed : parsed;
    m_pos = p;
    return true;
}

bool SvgScanner::Consume(std::string_view word) {
    if (Rest().substr(0, word.size()) != word)
        return false;
    m_pos += word.size();
    return true;
}
