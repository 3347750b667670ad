#pragma once

// Published properties of a class: the table through which a stored window definition sets
// up an object. A table names each property with a typed setter; a class's table extends
// its base class's table.
//
//   TClassInfo& info = registry.Register<TButton>(&controlInfo, ButtonFactory);
//   info.Property("Caption", &TButton::SetCaption)            // 'text'        (std::string)
//       .Property("TabOrder", &TButton::SetTabOrder)          // 0             (any integer)
//       .Property("Visible", &TButton::SetVisible)            // True / False  (bool)
//       .Property("OnClick", &TButton::SetOnClick)            // Button1Click  (TEvent<...>)
//       .Enum("Align", &TButton::SetAlign, {{"alNone", alNone}, {"alTop", alTop}})
//       .Set("Anchors", &TButton::SetAnchors, {{"akLeft", 1}, {"akTop", 2}})  // [akLeft]
//       .Object("Font", &TButton::Font, fontInfo);            // Font.Name = 'Arial'
//   trayInfo.Property("PopupMenu", &TTrayIcon::SetPopupMenu); // PopupMenu1 (TPopupMenu*)
//   pictureInfo.Property("Data", &TPicture::ReadStoredData);   // {0A54...}   (TStream&)
//   listInfo.Collection("Items", &TList::Items, itemInfo);     // <item ... end>
//
// A setter is a member function taking one argument, or a callable (T&, argument); the
// argument's type decides what the definition may write:
//   bool                     True or False
//   an integer type          an integer, checked to fit that type
//   std::string(_view)       a quoted string (Windows-1251 bytes)
//   TStream&                 binary data {hex}; a memory stream positioned at its start
//   U* (U a TComponent)      the name of a component of the same root, or nil; applied after
//                            the whole definition has been read
//   TEvent<Args...>          the name of a handler the root publishes (Handler below), or
//                            nil; applied after the whole definition has been read
//   const TStoredValue&      any value, as written (for values of more than one kind)
// Enum maps identifiers to values; Set maps identifiers to bits that are or-ed together.
// Object declares a sub-object whose own table serves dotted names ("Font.Height").
//
// The root class (a form) also lists its handlers and the fields that receive its
// components by name:
//   form1Info.Handler("Button1Click", &TForm1::Button1Click)
//            .Field("Button1", &TForm1::Button1);
//
// Names of properties, handlers and fields compare ignoring ASCII case.

#include <any>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "framework/core/collection.h"
#include "framework/core/component.h"
#include "framework/core/events.h"
#include "framework/core/exceptions.h"
#include "framework/core/streams.h"

namespace pogoda {

// A value as written in a definition.
struct TStoredValue {
    enum TKind { vkInteger, vkString, vkIdent, vkSet, vkBinary };

    TKind kind = vkInteger;
    int64_t integer = 0;           // vkInteger
    std::string text;              // vkString: the bytes; vkIdent: the name; vkBinary: the bytes
    std::vector<std::string> set;  // vkSet: the element names
};

// One published property. Exactly the function that fits kind is set.
struct TPropertyInfo {
    enum TKind { pkValue, pkReference, pkEvent, pkObject, pkCollection };

    std::string name;
    TKind kind = pkValue;
    // pkValue: converts and applies; raises EPropertyError for a value of the wrong kind.
    std::function<void(TObject&, const TStoredValue&)> setValue;
    // pkReference: applies a resolved component (nullptr for nil); checks its class.
    std::function<void(TObject&, TComponent*)> setReference;
    // pkEvent: applies a bound handler (an empty std::any for nil); checks its signature.
    std::function<void(TObject&, const std::any&)> setEvent;
    // pkObject, pkCollection: the sub-object and the table of it (or of the items).
    std::function<TObject*(TObject&)> getObject;
    const class TClassInfo* nested = nullptr;
};

// A handler that the root publishes: makes an event bound to the given root.
struct THandlerInfo {
    std::string name;
    std::function<std::any(TObject& root)> bind;
};

// A field of the root that receives the component of that name; checks its class.
struct TFieldInfo {
    std::string name;
    std::function<void(TObject& root, TComponent* component)> set;
};

namespace detail {

template <class F>
struct SetterTraits : SetterTraits<decltype(&F::operator())> {};
template <class L, class R, class T, class A>
struct SetterTraits<R (L::*)(T&, A) const> {
    using Object = T;
    using Arg = A;
};
template <class C, class R, class A>
struct SetterTraits<R (C::*)(A)> {
    using Object = C;
    using Arg = A;
};
template <class L, class R, class T, class A>
struct SetterTraits<R (L::*)(T&, A) const noexcept> : SetterTraits<R (L::*)(T&, A) const> {};
template <class C, class R, class A>
struct SetterTraits<R (C::*)(A) noexcept> : SetterTraits<R (C::*)(A)> {};

template <class F>
struct GetterTraits : GetterTraits<decltype(&F::operator())> {};
template <class L, class R, class T>
struct GetterTraits<R* (L::*)(T&) const> {
    using Object = T;
};
template <class C, class R>
struct GetterTraits<R* (C::*)()> {
    using Object = C;
};
template <class C, class R>
struct GetterTraits<R* (C::*)() const> {
    using Object = C;
};

template <class T>
struct IsEvent : std::false_type {};
template <class... Args>
struct IsEvent<TEvent<Args...>> : std::true_type {};

// Failures of conversion: EPropertyError with a fixed text.
[[noreturn]] void InvalidValue(const TStoredValue& value);
[[noreturn]] void IntegerOutOfRange(int64_t value);
[[noreturn]] void WrongHandler();
[[noreturn]] void WrongReference(const TComponent& component, const char* wanted);
[[noreturn]] void WrongObject(const TObject& object, const std::string& property);
bool ReadBoolean(const TStoredValue& value);
// The value of an identifier in a name table; EPropertyError when it is not there.
int64_t LookUpName(const std::vector<std::pair<std::string, int64_t>>& names,
                   std::string_view name);

template <class T>
T& Target(TObject& object, const std::string& property) {
    T* target = dynamic_cast<T*>(&object);
    if (target == nullptr) WrongObject(object, property);
    return *target;
}

template <class I>
I CheckedInteger(int64_t value) {
    if constexpr (sizeof(I) < sizeof(int64_t) || std::is_unsigned_v<I>) {
        if (value < 0 && std::is_unsigned_v<I>) IntegerOutOfRange(value);
        if (value >= 0 &&
            static_cast<uint64_t>(value) > static_cast<uint64_t>(std::numeric_limits<I>::max())) {
            IntegerOutOfRange(value);
        }
        if constexpr (std::is_signed_v<I>) {
            if (value < static_cast<int64_t>(std::numeric_limits<I>::min())) {
                IntegerOutOfRange(value);
            }
        }
    }
    return static_cast<I>(value);
}

}  // namespace detail

class TClassInfo {
public:
    explicit TClassInfo(std::string className, const TClassInfo* base = nullptr)
        : m_className(std::move(className)), m_base(base) {}
    TClassInfo(const TClassInfo&) = delete;
    TClassInfo& operator=(const TClassInfo&) = delete;

    const std::string& ClassName() const { return m_className; }
    const TClassInfo* Base() const { return m_base; }

    // Look-ups through this table and then its bases; nullptr when not found.
    const TPropertyInfo* FindProperty(std::string_view name) const;
    const THandlerInfo* FindHandler(std::string_view name) const;
    const TFieldInfo* FindField(std::string_view name) const;

    template <class F>
    TClassInfo& Property(std::string name, F setter);
    template <class F>
    TClassInfo&
    Enum(std::string name, F setter,
         std::initializer_list<
             std::pair<const char*, std::decay_t<typename detail::SetterTraits<F>::Arg>>>
             names);
    template <class F>
    TClassInfo& Set(std::string name, F setter,
                    std::initializer_list<
                        std::pair<const char*, std::decay_t<typename detail::SetterTraits<F>::Arg>>>
                        bits);
    template <class G>
    TClassInfo& Object(std::string name, G getter, const TClassInfo& nested);
    template <class G>
    TClassInfo& Collection(std::string name, G getter, const TClassInfo& itemInfo);

    template <class C, class... Args>
    TClassInfo& Handler(std::string name, void (C::*method)(Args...));
    template <class C, class U>
    TClassInfo& Field(std::string name, U* C::*field);

    // Raises EInvalidOperation when this table already has the name.
    TClassInfo& Add(TPropertyInfo property);
    TClassInfo& Add(THandlerInfo handler);
    TClassInfo& Add(TFieldInfo field);

private:
    std::string m_className;
    const TClassInfo* m_base;
    std::vector<TPropertyInfo> m_properties;
    std::vector<THandlerInfo> m_handlers;
    std::vector<TFieldInfo> m_fields;
};

template <class F>
TClassInfo& TClassInfo::Property(std::string name, F setter) {
    using Traits = detail::SetterTraits<F>;
    using T = typename Traits::Object;
    using A = std::remove_cvref_t<typename Traits::Arg>;
    TPropertyInfo p;
    p.name = name;
    if constexpr (std::is_same_v<A, TStoredValue>) {
        p.setValue = [setter, name](TObject& o, const TStoredValue& v) {
            std::invoke(setter, detail::Target<T>(o, name), v);
        };
    } else if constexpr (std::is_same_v<A, bool>) {
        p.setValue = [setter, name](TObject& o, const TStoredValue& v) {
            std::invoke(setter, detail::Target<T>(o, name), detail::ReadBoolean(v));
        };
    } else if constexpr (std::is_integral_v<A>) {
        p.setValue = [setter, name](TObject& o, const TStoredValue& v) {
            if (v.kind != TStoredValue::vkInteger) detail::InvalidValue(v);
            std::invoke(setter, detail::Target<T>(o, name), detail::CheckedInteger<A>(v.integer));
        };
    } else if constexpr (std::is_same_v<A, std::string> || std::is_same_v<A, std::string_view>) {
        p.setValue = [setter, name](TObject& o, const TStoredValue& v) {
            if (v.kind != TStoredValue::vkString) detail::InvalidValue(v);
            std::invoke(setter, detail::Target<T>(o, name), A(v.text));
        };
    } else if constexpr (std::is_same_v<A, TStream>) {
        p.setValue = [setter, name](TObject& o, const TStoredValue& v) {
            if (v.kind != TStoredValue::vkBinary) detail::InvalidValue(v);
            TMemoryStream stream;
            stream.WriteBuffer(v.text.data(), static_cast<int64_t>(v.text.size()));
            stream.SetPosition(0);
            std::invoke(setter, detail::Target<T>(o, name), static_cast<TStream&>(stream));
        };
    } else if constexpr (std::is_pointer_v<A> &&
                         std::is_base_of_v<TComponent, std::remove_pointer_t<A>>) {
        using U = std::remove_pointer_t<A>;
        p.kind = TPropertyInfo::pkReference;
        p.setReference = [setter, name](TObject& o, TComponent* c) {
            U* component = nullptr;
            if (c != nullptr) {
                component = dynamic_cast<U*>(c);
                if (component == nullptr) detail::WrongReference(*c, U::StaticClassName());
            }
            std::invoke(setter, detail::Target<T>(o, name), component);
        };
    } else if constexpr (detail::IsEvent<A>::value) {
        p.kind = TPropertyInfo::pkEvent;
        p.setEvent = [setter, name](TObject& o, const std::any& handler) {
            A event;
            if (handler.has_value()) {
                const A* bound = std::any_cast<A>(&handler);
                if (bound == nullptr) detail::WrongHandler();
                event = *bound;
            }
            std::invoke(setter, detail::Target<T>(o, name), event);
        };
    } else {
        static_assert(!sizeof(A*), "no stored form for this setter argument; use Enum or Set");
    }
    return Add(std::move(p));
}

template <class F>
TClassInfo&
TClassInfo::Enum(std::string name, F setter,
                 std::initializer_list<
                     std::pair<const char*, std::decay_t<typename detail::SetterTraits<F>::Arg>>>
                     names) {
    using Traits = detail::SetterTraits<F>;
    using T = typename Traits::Object;
    using A = std::remove_cvref_t<typename Traits::Arg>;
    std::vector<std::pair<std::string, int64_t>> table;
    for (const auto& [ident, value] : names) table.emplace_back(ident, static_cast<int64_t>(value));
    TPropertyInfo p;
    p.name = name;
    p.setValue = [setter, name, table](TObject& o, const TStoredValue& v) {
        if (v.kind != TStoredValue::vkIdent) detail::InvalidValue(v);
        std::invoke(setter, detail::Target<T>(o, name),
                    static_cast<A>(detail::LookUpName(table, v.text)));
    };
    return Add(std::move(p));
}

template <class F>
TClassInfo&
TClassInfo::Set(std::string name, F setter,
                std::initializer_list<
                    std::pair<const char*, std::decay_t<typename detail::SetterTraits<F>::Arg>>>
                    bits) {
    using Traits = detail::SetterTraits<F>;
    using T = typename Traits::Object;
    using A = std::remove_cvref_t<typename Traits::Arg>;
    static_assert(std::is_integral_v<A>, "a set is stored in an integer of bits");
    std::vector<std::pair<std::string, int64_t>> table;
    for (const auto& [ident, value] : bits) table.emplace_back(ident, static_cast<int64_t>(value));
    TPropertyInfo p;
    p.name = name;
    p.setValue = [setter, name, table](TObject& o, const TStoredValue& v) {
        if (v.kind != TStoredValue::vkSet) detail::InvalidValue(v);
        A mask = 0;
        for (const std::string& element : v.set) {
            mask = static_cast<A>(mask | static_cast<A>(detail::LookUpName(table, element)));
        }
        std::invoke(setter, detail::Target<T>(o, name), mask);
    };
    return Add(std::move(p));
}

template <class G>
TClassInfo& TClassInfo::Object(std::string name, G getter, const TClassInfo& nested) {
    using T = typename detail::GetterTraits<G>::Object;
    TPropertyInfo p;
    p.name = name;
    p.kind = TPropertyInfo::pkObject;
    p.getObject = [getter, name](TObject& o) -> TObject* {
        return std::invoke(getter, detail::Target<T>(o, name));
    };
    p.nested = &nested;
    return Add(std::move(p));
}

template <class G>
TClassInfo& TClassInfo::Collection(std::string name, G getter, const TClassInfo& itemInfo) {
    using T = typename detail::GetterTraits<G>::Object;
    TPropertyInfo p;
    p.name = name;
    p.kind = TPropertyInfo::pkCollection;
    p.getObject = [getter, name](TObject& o) -> TObject* {
        pogoda::TCollection* collection = std::invoke(getter, detail::Target<T>(o, name));
        return collection;
    };
    p.nested = &itemInfo;
    return Add(std::move(p));
}

template <class C, class... Args>
TClassInfo& TClassInfo::Handler(std::string name, void (C::*method)(Args...)) {
    THandlerInfo h;
    h.name = name;
    h.bind = [method, name](TObject& root) -> std::any {
        return TEvent<Args...>::Bind(&detail::Target<C>(root, name), method);
    };
    return Add(std::move(h));
}

template <class C, class U>
TClassInfo& TClassInfo::Field(std::string name, U* C::*field) {
    TFieldInfo f;
    f.name = name;
    f.set = [field, name](TObject& root, TComponent* c) {
        U* component = dynamic_cast<U*>(c);
        if (component == nullptr) detail::WrongReference(*c, U::StaticClassName());
        detail::Target<C>(root, name).*field = component;
    };
    return Add(std::move(f));
}

}  // namespace pogoda
