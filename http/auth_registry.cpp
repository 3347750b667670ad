#include <utility>
#include <vector>

#include "framework/core/text.h"
#include "http/authentication.h"
#include "http/exceptions.h"

namespace pogoda {

namespace {

using Registry = std::vector<std::pair<std::string, TNetAuthenticationClass>>;

// Made on first registration, freed at process exit.
Registry& Schemes() {
    static Registry registry;
    return registry;
}

Registry::const_iterator FindEntry(std::string_view name) {
    const Registry& registry = Schemes();
    for (auto it = registry.begin(); it != registry.end(); ++it) {
        if (AnsiSameText(it->first, name)) return it;
    }
    return registry.end();
}

// Lives in this file so that linking the registry always brings the "Basic" entry.
const bool kBasicRegistered = [] {
    RegisterAuthScheme("Basic", AuthenticationClassOf<TNetBasicAuthentication>());
    return true;
}();

}  // namespace

void RegisterAuthScheme(std::string_view name, TNetAuthenticationClass authClass) {
    const auto existing = FindEntry(name);
    if (existing != Schemes().end()) {
        throw ENetAlreadyRegisteredAuthenticationMethod(
            Format(messages::kAuthAlreadyRegistered, existing->second->className));
    }
    Schemes().emplace_back(std::string(name), authClass);
}

TNetAuthenticationClass FindAuthScheme(std::string_view name) {
    const auto entry = FindEntry(name);
    return entry == Schemes().end() ? nullptr : entry->second;
}

}  // namespace pogoda
