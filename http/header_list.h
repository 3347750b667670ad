#pragma once

// HTTP header lines kept as raw text: "Name: value" lines, each possibly followed by
// continuation lines that start with a space or a TAB.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "framework/core/string_list.h"

namespace pogoda {

class TNetHeaderList : public TStringList {
    POGODA_CLASS_NAME(TNetHeaderList)
public:
    TNetHeaderList() = default;

    const std::string& Separator() const { return m_separator; }
    void SetSeparator(std::string value) { m_separator = std::move(value); }
    bool CaseSensitiveNames() const { return m_caseSensitiveNames; }
    void SetCaseSensitiveNames(bool value) { m_caseSensitiveNames = value; }
    bool UnfoldOnRead() const { return m_unfoldOnRead; }
    void SetUnfoldOnRead(bool value) { m_unfoldOnRead = value; }
    bool FoldOnWrite() const { return m_foldOnWrite; }
    void SetFoldOnWrite(bool value) { m_foldOnWrite = value; }
    int32_t FoldWidth() const { return m_foldWidth; }
    void SetFoldWidth(int32_t value) { m_foldWidth = value; }

    // The name of line index (upper-cased unless CaseSensitiveNames); empty without ":".
    std::string NameAt(int index) const;
    // The trimmed value of line index with its continuation lines joined by single spaces
    // (when UnfoldOnRead); empty for an index out of range.
    std::string ValueAt(int index) const;
    // Names match ignoring letter case.
    int IndexOfHeader(std::string_view name) const;
    std::string GetHeader(std::string_view name) const;
    // Replaces the first header of that name in place, or appends it; an empty value
    // removes it.
    void SetHeader(std::string_view name, std::string_view value);
    // Appends the value of every header of that name to destination, in order.
    void ExtractAll(std::string_view name, TStringList* destination) const;

    // The physical lines that line wraps into at FoldWidth.
    std::unique_ptr<TStringList> FoldText(const std::string& line) const;
    // Line index becomes the wrapped lines of line.
    void FoldInto(const std::string& line, int index);
    // Deletes the continuation lines that follow line index.
    void RemoveContinuations(int index);

private:
    std::string m_separator = ": ";
    bool m_caseSensitiveNames = false;
    bool m_unfoldOnRead = true;
    bool m_foldOnWrite = true;
    int32_t m_foldWidth = 78;
};

// Inserts breakStr where line must wrap to stay within maxCol columns: after the last of
// breakChars that fits, never inside double quotes or a double-byte character.
std::string WrapLine(const std::string& line, std::string_view breakStr,
                     std::string_view breakChars, int32_t maxCol);

}  // namespace pogoda
