#include "framework/core/class_info.h"

#include <algorithm>

#include "framework/core/text.h"

namespace pogoda {

namespace {

template <class Item>
const Item* FindIn(const std::vector<Item>& items, std::string_view name) {
    auto it = std::find_if(items.begin(), items.end(),
                           [name](const Item& item) { return SameText(item.name, name); });
    return it == items.end() ? nullptr : &*it;
}

template <class Item>
void AddTo(std::vector<Item>& items, Item item, const std::string& className) {
    if (FindIn(items, item.name) != nullptr) {
        throw EInvalidOperation(Format("%s is already declared in %s", item.name, className));
    }
    items.push_back(std::move(item));
}

std::string Describe(const TStoredValue& value) {
    switch (value.kind) {
        case TStoredValue::vkInteger:
            return IntToStr(value.integer);
        case TStoredValue::vkString:
            return "'" + value.text + "'";
        case TStoredValue::vkIdent:
            return value.text;
        case TStoredValue::vkSet: {
            std::string text = "[";
            for (const std::string& element : value.set) {
                if (text.size() > 1) text += ", ";
                text += element;
            }
            return text + "]";
        }
        case TStoredValue::vkBinary:
            break;
    }
    return "binary data";
}

}  // namespace

namespace detail {

void InvalidValue(const TStoredValue& value) {
    throw EPropertyError("Invalid property value " + Describe(value));
}

void IntegerOutOfRange(int64_t value) {
    throw EPropertyError(Format("Integer value %d out of range", value));
}

void WrongHandler() { throw EPropertyError("The handler's arguments do not fit the event"); }

void WrongReference(const TComponent& component, const char* wanted) {
    throw EPropertyError(
        Format("%s is a %s, not a %s", component.Name(), component.ClassName(), wanted));
}

void WrongObject(const TObject& object, const std::string& property) {
    throw EPropertyError(
        Format("Property %s does not apply to a %s", property, object.ClassName()));
}

bool ReadBoolean(const TStoredValue& value) {
    if (value.kind == TStoredValue::vkIdent) {
        if (SameText(value.text, "True")) return true;
        if (SameText(value.text, "False")) return false;
    }
    InvalidValue(value);
}

int64_t LookUpName(const std::vector<std::pair<std::string, int64_t>>& names,
                   std::string_view name) {
    for (const auto& [ident, value] : names) {
        if (SameText(ident, name)) return value;
    }
    throw EPropertyError(Format("Invalid property value %s", name));
}

}  // namespace detail

const TPropertyInfo* TClassInfo::FindProperty(std::string_view name) const {
    for (const TClassInfo* info = this; info != nullptr; info = info->m_base) {
        if (const TPropertyInfo* p = FindIn(info->m_properties, name)) return p;
    }
    return nullptr;
}

const THandlerInfo* TClassInfo::FindHandler(std::string_view name) const {
    for (const TClassInfo* info = this; info != nullptr; info = info->m_base) {
        if (const THandlerInfo* h = FindIn(info->m_handlers, name)) return h;
    }
    return nullptr;
}

const TFieldInfo* TClassInfo::FindField(std::string_view name) const {
    for (const TClassInfo* info = this; info != nullptr; info = info->m_base) {
        if (const TFieldInfo* f = FindIn(info->m_fields, name)) return f;
    }
    return nullptr;
}

TClassInfo& TClassInfo::Add(TPropertyInfo property) {
    AddTo(m_properties, std::move(property), m_className);
    return *this;
}

TClassInfo& TClassInfo::Add(THandlerInfo handler) {
    AddTo(m_handlers, std::move(handler), m_className);
    return *this;
}

TClassInfo& TClassInfo::Add(TFieldInfo field) {
    AddTo(m_fields, std::move(field), m_className);
    return *this;
}

}  // namespace pogoda
