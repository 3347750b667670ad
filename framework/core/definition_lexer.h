#pragma once

// Tokens of the stored window definition text; private to the definition reader.

#include <cstdint>
#include <string>
#include <string_view>

namespace pogoda::detail {

struct TDefinitionToken {
    enum TKind { tkEnd, tkIdent, tkInteger, tkString, tkBinary, tkSymbol };

    TKind kind = tkEnd;
    int line = 1;
    std::string text;  // tkIdent: the name; tkString, tkBinary: the bytes; tkSymbol: the char
    int64_t integer = 0;
};

// Splits the text into tokens. Malformed text raises EParserError "... (line N)".
class TDefinitionLexer {
public:
    explicit TDefinitionLexer(std::string_view text) : m_text(text) { Advance(); }

    const TDefinitionToken& Current() const { return m_current; }
    void Advance();

private:
    void SkipBlanks();
    void ReadIdent();
    void ReadInteger();
    void ReadString();
    void ReadCharCode();
    void ReadBinary();
    [[noreturn]] void Fail(const std::string& message) const;

    std::string_view m_text;
    size_t m_pos = 0;
    int m_line = 1;
    TDefinitionToken m_current;
};

// How a token reads in a message: 'Caption', '=', end of text.
std::string DescribeToken(const TDefinitionToken& token);

}  // namespace pogoda::detail
