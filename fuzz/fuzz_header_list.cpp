// Header lists: reading arbitrary lines, and folding a value then reading it back.
#include <cstddef>
#include <cstdint>
#include <string>

#include "http/header_list.h"

using namespace pogoda;

namespace {

std::string WithoutBlanks(const std::string& s) {
    std::string r;
    for (char c : s) {
        if (static_cast<unsigned char>(c) > ' ') r += c;
    }
    return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const int width = 1 + data[0] % 128;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

    TNetHeaderList lines;
    lines.SetText(text);
    TStringList all;
    for (int i = 0; i < lines.Count(); ++i) {
        const std::string name = lines.NameAt(i);
        lines.ValueAt(i);
        if (lines.IndexOfHeader(name) > i) __builtin_trap();
        lines.ExtractAll(name, &all);
    }

    // Folding only moves blanks: the value reads back the same apart from them.
    std::string value;
    for (char c : text) {
        if (c != '\r' && c != '\n') value += c;
    }
    TNetHeaderList folded;
    folded.SetFoldWidth(width);
    folded.SetHeader("X-Fuzz", value);
    for (int i = 1; i < folded.Count(); ++i) {
        const char first = folded.Strings(i).empty() ? '\0' : folded.Strings(i)[0];
        if (first != ' ' && first != '\t') __builtin_trap();
    }
    if (WithoutBlanks(folded.GetHeader("X-Fuzz")) != WithoutBlanks(value)) __builtin_trap();
    folded.SetHeader("X-Fuzz", "");
    if (folded.Count() != 0) __builtin_trap();
    return 0;
}
