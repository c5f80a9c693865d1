// A cursor over attribute text: blanks, separators and numbers as the SVG micro-syntaxes write them.
#pragma once

#include <string_view>

class SvgScanner {
public:
    explicit SvgScanner(std::string_view text) : m_text(text) {}

    bool AtEnd() const { return m_pos >= m_text.size(); }
    char Peek() const { return AtEnd() ? '\0' : m_text[m_pos]; }
    void Advance() {
        if (!AtEnd())
            ++m_pos;
    }
    std::string_view Rest() const { return m_text.substr(m_pos); }
    size_t Position() const { return m_pos; }

    void SkipBlanks();
    // Blanks, at most one comma, blanks: the separator between numbers of a list.
    void SkipSeparator();
    // True when the next character can begin a number.
    bool AtNumber() const;
    // Reads [sign] digits [. digits] [e [sign] digits]; false (and nothing consumed) when there is none
    // or the value is out of the range of a double.
    bool ReadNumber(double& value);
    // Consumes word when the text continues with it.
    bool Consume(std::string_view word);

private:
    std::string_view m_text;
    size_t m_pos = 0;
};

bool IsSvgBlank(char character);
