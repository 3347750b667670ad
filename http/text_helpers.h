#pragma once

// Text helpers shared by the HTTP client. Positions are 1-based; 0 means "not found".

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pogoda {

// First occurrence of sub in text, never inside a double-byte character; 0 when absent or
// when sub is empty.
size_t SubstringPos(std::string_view sub, std::string_view text);

// Splits input at the first delimiter: returns the text before it and, when remove is set,
// leaves in input what follows it. Without a delimiter the whole input is returned.
std::string TakeToken(std::string& input, std::string_view delimiter = " ", bool remove = true,
                      bool caseSensitive = true);
std::string TakeTokenNoCase(std::string& input, std::string_view delimiter, bool remove = true);

// Last occurrence of sub (ignoring Windows-1251 letter case) that starts at or before start;
// start -1 means the end of text.
size_t ReversePos(std::string_view sub, std::string_view text, int64_t start = -1);

// Resolves path against basePath: an absolute path replaces it, ".." removes a segment and
// runs of delimiters collapse.
std::string MergePath(std::string_view basePath, std::string_view path, char delimiter = '/');

}  // namespace pogoda
