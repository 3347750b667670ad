#include "framework/core/definition_lexer.h"

#include "framework/core/definitions.h"
#include "framework/core/text.h"

namespace pogoda::detail {

namespace {

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsIdentChar(char c) { return IsIdentStart(c) || IsDigit(c); }

int HexValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::string DescribeToken(const TDefinitionToken& token) {
    switch (token.kind) {
        case TDefinitionToken::tkEnd:
            return "end of text";
        case TDefinitionToken::tkIdent:
        case TDefinitionToken::tkSymbol:
            return "'" + token.text + "'";
        case TDefinitionToken::tkInteger:
            return IntToStr(token.integer);
        case TDefinitionToken::tkString:
            return "a string";
        case TDefinitionToken::tkBinary:
            break;
    }
    return "binary data";
}

void TDefinitionLexer::Fail(const std::string& message) const {
    throw EParserError(Format("%s (line %d)", message, m_line));
}

void TDefinitionLexer::SkipBlanks() {
    while (m_pos < m_text.size()) {
        const char c = m_text[m_pos];
        if (c == '\n') {
            ++m_line;
        } else if (c != ' ' && c != '\t' && c != '\r') {
            return;
        }
        ++m_pos;
    }
}

void TDefinitionLexer::Advance() {
    SkipBlanks();
    m_current = TDefinitionToken{};
    m_current.line = m_line;
    if (m_pos >= m_text.size()) return;
    const char c = m_text[m_pos];
    if (IsIdentStart(c)) {
        ReadIdent();
    } else if (IsDigit(c) || c == '-' || c == '$') {
        ReadInteger();
    } else if (c == '\'' || c == '#') {
        ReadString();
    } else if (c == '{') {
        ReadBinary();
    } else if (std::string_view("=:[],<>+").find(c) != std::string_view::npos) {
        m_current.kind = TDefinitionToken::tkSymbol;
        m_current.text = std::string(1, c);
        ++m_pos;
    } else {
        Fail(Format("Invalid character #%d", static_cast<unsigned char>(c)));
    }
}

// Identifiers may hold dots, so "Font.Name" is one token.
void TDefinitionLexer::ReadIdent() {
    const size_t start = m_pos;
    while (m_pos < m_text.size() &&
           (IsIdentChar(m_text[m_pos]) || (m_text[m_pos] == '.' && m_pos + 1 < m_text.size() &&
                                           IsIdentStart(m_text[m_pos + 1])))) {
        ++m_pos;
    }
    m_current.kind = TDefinitionToken::tkIdent;
    m_current.text = std::string(m_text.substr(start, m_pos - start));
}

void TDefinitionLexer::ReadInteger() {
    const size_t start = m_pos;
    if (m_text[m_pos] == '-') ++m_pos;
    if (m_pos < m_text.size() && m_text[m_pos] == '$') ++m_pos;
    while (m_pos < m_text.size() && IsIdentChar(m_text[m_pos])) ++m_pos;
    const std::string_view digits = m_text.substr(start, m_pos - start);
    // "-$FF" is not an integer to TryStrToInt64, so the sign is applied here.
    const bool negative = digits.front() == '-';
    int64_t value = 0;
    if (!TryStrToInt64(negative ? digits.substr(1) : digits, value)) {
        Fail(Format("Invalid integer %s", digits));
    }
    m_current.kind = TDefinitionToken::tkInteger;
    m_current.integer = negative ? -value : value;
}

void TDefinitionLexer::ReadString() {
    m_current.kind = TDefinitionToken::tkString;
    while (m_pos < m_text.size()) {
        if (m_text[m_pos] == '#') {
            ReadCharCode();
        } else if (m_text[m_pos] == '\'') {
            ++m_pos;
            for (;;) {
                if (m_pos >= m_text.size() || m_text[m_pos] == '\n' || m_text[m_pos] == '\r') {
                    Fail("Unterminated string");
                }
                const char c = m_text[m_pos++];
                if (c != '\'') {
                    m_current.text += c;
                } else if (m_pos < m_text.size() && m_text[m_pos] == '\'') {
                    m_current.text += '\'';
                    ++m_pos;
                } else {
                    break;
                }
            }
        } else {
            return;
        }
    }
}

// #NNN (decimal) or #$HH: one byte of Windows-1251 text.
void TDefinitionLexer::ReadCharCode() {
    ++m_pos;
    const bool hex = m_pos < m_text.size() && m_text[m_pos] == '$';
    if (hex) ++m_pos;
    int code = 0;
    int digits = 0;
    while (m_pos < m_text.size()) {
        const int digit =
            hex ? HexValue(m_text[m_pos]) : (IsDigit(m_text[m_pos]) ? m_text[m_pos] - '0' : -1);
        if (digit < 0) break;
        code = code * (hex ? 16 : 10) + digit;
        if (code > 255) Fail("Character code out of range");
        ++digits;
        ++m_pos;
    }
    if (digits == 0) Fail("Invalid character code");
    m_current.text += static_cast<char>(code);
}

void TDefinitionLexer::ReadBinary() {
    ++m_pos;
    m_current.kind = TDefinitionToken::tkBinary;
    int high = -1;
    for (;;) {
        if (m_pos >= m_text.size()) {
            m_line = m_current.line;  // where the data began is the useful place
            Fail("Unterminated binary data");
        }
        const char c = m_text[m_pos++];
        if (c == '}') break;
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            if (high >= 0) Fail("Odd number of hex digits in binary data");
            if (c == '\n') ++m_line;
        } else {
            const int digit = HexValue(c);
            if (digit < 0)
                Fail(Format("Invalid character #%d in binary data", static_cast<unsigned char>(c)));
            if (high < 0) {
                high = digit;
            } else {
                m_current.text += static_cast<char>(high * 16 + digit);
                high = -1;
            }
        }
    }
    if (high >= 0) Fail("Odd number of hex digits in binary data");
}

}  // namespace pogoda::detail
