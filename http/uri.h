#pragma once

// A URL split into its parts, byte for byte as written (no percent coding).

#include <string>

#include "http/text_helpers.h"

namespace pogoda {

enum TNetURIOption : unsigned { WithCredentials = 1u << 0, WithFragment = 1u << 1 };
using TNetURIOptions = unsigned;

class TNetURI {
public:
    TNetURI() = default;
    explicit TNetURI(const std::string& text);

    // Replaces every field from text; accepts anything.
    void Parse(const std::string& text);
    // Raises ENetURIException when Protocol or Host is empty.
    std::string Compose(TNetURIOptions options = 0) const;
    // FullText becomes the URL with credentials and fragment; returns it without them.
    std::string ComposePlain();

    // Turns every "\" that is not the second byte of a double-byte character into "/".
    static void NormalizeSlashes(std::string& text);

    std::string Document;
    std::string Protocol;
    std::string FullText;
    std::string Port;
    std::string Path;
    std::string Host;
    std::string Fragment;
    std::string Username;
    std::string Password;
    std::string Query;
};

}  // namespace pogoda
