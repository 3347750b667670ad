#include "http/header_list.h"

#include "framework/core/text.h"
#include "http/code_page.h"
#include "http/text_helpers.h"

namespace pogoda {

namespace {

bool IsContinuation(const std::string& line) {
    return !line.empty() && (line.front() == ' ' || line.front() == '\t');
}

}  // namespace

std::string TNetHeaderList::NameAt(int index) const {
    const std::string line = m_caseSensitiveNames ? Strings(index) : AnsiUpperCase(Strings(index));
    const size_t colon = SubstringPos(TrimRight(m_separator), line);
    return colon == 0 ? std::string() : line.substr(0, colon - 1);
}

std::string TNetHeaderList::ValueAt(int index) const {
    if (index < 0 || index >= Count()) return {};
    const std::string& line = Strings(index);
    const size_t nameLength = NameAt(index).size();
    std::string value = Trim(nameLength + 1 < line.size() ? line.substr(nameLength + 1) : "");
    if (!m_unfoldOnRead) return value;
    // Blank pieces vanish and the rest are joined by one space each.
    for (int next = index + 1; next < Count() && IsContinuation(Strings(next)); ++next) {
        const std::string piece = Trim(Strings(next));
        if (piece.empty()) continue;
        if (!value.empty()) value += ' ';
        value += piece;
    }
    return value;
}

int TNetHeaderList::IndexOfHeader(std::string_view name) const {
    for (int i = 0; i < Count(); ++i) {
        if (AnsiSameText(NameAt(i), name)) return i;
    }
    return -1;
}

std::string TNetHeaderList::GetHeader(std::string_view name) const {
    return ValueAt(IndexOfHeader(name));
}

void TNetHeaderList::SetHeader(std::string_view name, std::string_view value) {
    int index = IndexOfHeader(name);
    if (value.empty()) {
        if (index < 0) return;
        if (m_foldOnWrite) RemoveContinuations(index);
        Delete(index);
        return;
    }
    if (index < 0) index = Add("");
    std::string line = std::string(name) + m_separator + std::string(value);
    if (m_foldOnWrite) {
        RemoveContinuations(index);
        FoldInto(line, index);
    } else {
        SetStrings(index, std::move(line));
    }
}

void TNetHeaderList::ExtractAll(std::string_view name, TStringList* destination) const {
    if (destination == nullptr) return;
    for (int i = 0; i < Count(); ++i) {
        if (AnsiSameText(NameAt(i), name)) destination->Add(ValueAt(i));
    }
}

std::unique_ptr<TStringList> TNetHeaderList::FoldText(const std::string& line) const {
    auto pieces = std::make_unique<TStringList>();
    std::string wrapped = WrapLine(line, "\r\n ", "\t ,", m_foldWidth);
    do {
        std::string piece = TrimRight(TakeToken(wrapped, "\r\n"));
        // A piece of blanks alone would become an empty line, which ends a header block.
        if (!piece.empty() || pieces->Count() == 0) pieces->Add(std::move(piece));
    } while (!wrapped.empty());
    return pieces;
}

void TNetHeaderList::FoldInto(const std::string& line, int index) {
    const std::unique_ptr<TStringList> pieces = FoldText(line);
    const int last = pieces->Count() - 1;
    for (int i = 0; i < last; ++i) Insert(index + i, pieces->Strings(i));
    SetStrings(index + last, pieces->Strings(last));
}

void TNetHeaderList::RemoveContinuations(int index) {
    while (index + 1 < Count() && IsContinuation(Strings(index + 1))) Delete(index + 1);
}

std::string WrapLine(const std::string& line, std::string_view breakStr,
                     std::string_view breakChars, int32_t maxCol) {
    const TLeadByteTable& leads = AnsiLeadBytes();
    const auto isBreakChar = [&](char c) { return breakChars.find(c) != std::string_view::npos; };
    const size_t length = line.size();
    std::string result;
    // Positions and columns are 1-based, as the scan was first written.
    size_t pos = 1, linePos = 1, breakPos = 0;
    int64_t col = 1;
    bool inQuote = false;
    bool existingBreak = false;
    while (pos <= length) {
        const char ch = line[pos - 1];
        if (leads.IsLead(ch)) {
            ++pos;
            ++col;
        } else if (!breakStr.empty() && ch == breakStr.front()) {
            if (!inQuote) {
                existingBreak = AnsiSameText(std::string_view(line).substr(pos - 1, breakStr.size()),
                                             breakStr);
                if (existingBreak) {
                    pos += breakStr.size() - 1;
                    breakPos = pos;
                }
            }
        } else if (isBreakChar(ch)) {
            if (!inQuote) breakPos = pos;
        } else if (ch == '"') {
            inQuote = !inQuote;
        }
        ++pos;
        ++col;
        if (!inQuote && (existingBreak || (col > maxCol && breakPos > linePos))) {
            col = static_cast<int64_t>(pos - breakPos);
            result.append(line, linePos - 1, breakPos - linePos + 1);
            if (ch != '"') {
                while (pos <= length &&
                       (isBreakChar(line[pos - 1]) || line[pos - 1] == '\r' || line[pos - 1] == '\n')) {
                    ++pos;
                }
            }
            if (!existingBreak && pos < length) result.append(breakStr);
            linePos = breakPos + 1;
            existingBreak = false;
        }
    }
    if (linePos <= length) result.append(line, linePos - 1);
    return result;
}

}  // namespace pogoda
