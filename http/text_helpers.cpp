#include "http/text_helpers.h"

#include "framework/core/text.h"
#include "http/code_page.h"

namespace pogoda {

namespace {

constexpr size_t kNotFound = 0;

size_t PlainPos(std::string_view sub, std::string_view text) {
    const size_t p = text.find(sub);
    return p == std::string_view::npos ? kNotFound : p + 1;
}

size_t CharacterAwarePos(std::string_view sub, std::string_view text,
                         const TLeadByteTable& leads) {
    for (size_t i = 0; i + sub.size() <= text.size(); i += leads.IsLead(text[i]) ? 2 : 1) {
        if (text.compare(i, sub.size(), sub) == 0) return i + 1;
    }
    return kNotFound;
}

std::string TakeAt(std::string& input, size_t pos, size_t delimiterLength, bool remove) {
    if (pos == kNotFound) {
        std::string result = input;
        if (remove) input.clear();
        return result;
    }
    std::string result = input.substr(0, pos - 1);
    if (remove) input.erase(0, pos - 1 + delimiterLength);
    return result;
}

}  // namespace

size_t SubstringPos(std::string_view sub, std::string_view text) {
    if (sub.empty()) return kNotFound;
    const TLeadByteTable& leads = AnsiLeadBytes();
    return leads.Any() ? CharacterAwarePos(sub, text, leads) : PlainPos(sub, text);
}

std::string TakeToken(std::string& input, std::string_view delimiter, bool remove,
                      bool caseSensitive) {
    if (!caseSensitive) return TakeTokenNoCase(input, delimiter, remove);
    const size_t pos = delimiter == std::string_view("\0", 1) ? PlainPos(delimiter, input)
                                                               : SubstringPos(delimiter, input);
    return TakeAt(input, pos, delimiter.size(), remove);
}

std::string TakeTokenNoCase(std::string& input, std::string_view delimiter, bool remove) {
    const size_t pos = SubstringPos(AnsiUpperCase(delimiter), AnsiUpperCase(input));
    return TakeAt(input, pos, delimiter.size(), remove);
}

size_t ReversePos(std::string_view sub, std::string_view text, int64_t start) {
    const auto textLength = static_cast<int64_t>(text.size());
    const auto subLength = static_cast<int64_t>(sub.size());
    if (start == -1) start = textLength;
    if (start > textLength - subLength + 1) start = textLength - subLength + 1;
    for (int64_t i = start; i >= 1; --i) {
        if (AnsiSameText(text.substr(static_cast<size_t>(i - 1), sub.size()), sub)) {
            return static_cast<size_t>(i);
        }
    }
    return kNotFound;
}

std::string MergePath(std::string_view basePath, std::string_view path, char delimiter) {
    if (!path.empty() && path.front() == delimiter) return std::string(path);
    const bool keepTrailing = path.empty() || path.back() == delimiter;

    std::string work(basePath);
    if (!work.empty() && work.back() != delimiter) work += delimiter;
    work += path;

    std::string result;
    const auto endsWithDelimiter = [&] { return !result.empty() && result.back() == delimiter; };
    for (size_t i = 0; i < work.size(); ++i) {
        const char ch = work[i];
        if (ch == delimiter) {
            if (i == 0) {
                result.assign(1, delimiter);
            } else if (!endsWithDelimiter()) {
                result += ch;
            }
        } else if (ch == '.' && endsWithDelimiter() && work.compare(i, 2, "..") == 0) {
            result.pop_back();
            while (!result.empty() && result.back() != delimiter) result.pop_back();
            ++i;
        } else {
            // A lone "." segment is kept as written; only ".." climbs.
            result += ch;
        }
    }
    if (result.size() > 1 && result.back() == delimiter && !keepTrailing) result.pop_back();
    return result;
}

}  // namespace pogoda
