#include <algorithm>

#include "framework/core/definitions.h"
#include "framework/core/text.h"

namespace pogoda {

TClassInfo& TClassRegistry::Register(std::string className, const TClassInfo* base,
                                     TComponentFactory factory) {
    std::lock_guard guard(m_lock);
    if (FindEntry(className) != nullptr) {
        throw EInvalidOperation(Format("Class %s is already registered", className));
    }
    m_entries.push_back(
        Entry{std::make_unique<TClassInfo>(std::move(className), base), std::move(factory)});
    return *m_entries.back().info;
}

const TClassRegistry::Entry* TClassRegistry::FindEntry(std::string_view className) const {
    auto it = std::find_if(m_entries.begin(), m_entries.end(), [className](const Entry& e) {
        return SameText(e.info->ClassName(), className);
    });
    return it == m_entries.end() ? nullptr : &*it;
}

const TClassInfo* TClassRegistry::Find(std::string_view className) const {
    std::lock_guard guard(m_lock);
    const Entry* entry = FindEntry(className);
    return entry == nullptr ? nullptr : entry->info.get();
}

const TClassInfo& TClassRegistry::Get(std::string_view className) const {
    const TClassInfo* info = Find(className);
    if (info == nullptr) throw EClassNotFound(Format("Class %s not found", className));
    return *info;
}

TComponent* TClassRegistry::Create(std::string_view className, TComponent* owner,
                                   TComponent* parent) const {
    TComponentFactory factory;
    {
        std::lock_guard guard(m_lock);
        const Entry* entry = FindEntry(className);
        if (entry == nullptr) throw EClassNotFound(Format("Class %s not found", className));
        if (!entry->factory) {
            throw EClassNotFound(Format("Class %s cannot be created", className));
        }
        factory = entry->factory;
    }
    return factory(owner, parent);
}

TClassRegistry& ClassRegistry() {
    static TClassRegistry registry;
    return registry;
}

}  // namespace pogoda
