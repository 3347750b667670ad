#include "framework/core/checked_size.h"
#include "framework/core/definition_lexer.h"
#include "framework/core/definitions.h"
#include "framework/core/text.h"

namespace pogoda {

namespace {

using detail::TDefinitionLexer;
using detail::TDefinitionToken;

// Deeper nesting than any window needs is refused, so no text can exhaust the stack.
constexpr int kMaxDepth = 64;

// A component reference or handler name, applied once the whole text has been read.
struct TFixup {
    TObject* target;
    const TPropertyInfo* property;
    std::string context;  // "Button1.OnClick", for messages
    std::string name;
    int line;
};

[[noreturn]] void FailAt(int line, const std::string& message) {
    throw EParserError(Format("%s (line %d)", message, line));
}

// Runs f; an exception it raises keeps its class and gets the place into its message.
template <class F>
void Guard(const std::string& context, int line, F f) {
    try {
        f();
    } catch (Exception& e) {
        e.SetMessage(Format("Error reading %s: %s (line %d)", context, e.Message(), line));
        throw;
    }
}

template <class F>
void WithLine(int line, F f) {
    try {
        f();
    } catch (Exception& e) {
        e.SetMessage(Format("%s (line %d)", e.Message(), line));
        throw;
    }
}

class TDefinitionReader {
public:
    TDefinitionReader(TComponent& root, std::string_view text, const TClassRegistry& registry)
        : m_root(root), m_lexer(text), m_registry(registry) {}

    void Read();

private:
    void ReadRoot();
    void ReadBody(const TClassInfo& info, TComponent& object, int depth);
    void ReadChild(TComponent& parent, int depth);
    void ReadProperty(const TClassInfo& info, TObject& object, const std::string& objectName,
                      int depth);
    void ReadCollection(const TPropertyInfo& property, TObject& object, const std::string& context,
                        int depth);
    TStoredValue ReadValue();
    void ApplyFixups();
    TComponent* FindComponent(const std::string& name) const;

    bool AtKeyword(std::string_view keyword) const {
        const TDefinitionToken& t = m_lexer.Current();
        return t.kind == TDefinitionToken::tkIdent && SameText(t.text, keyword);
    }
    bool AtSymbol(char symbol) const {
        const TDefinitionToken& t = m_lexer.Current();
        return t.kind == TDefinitionToken::tkSymbol && t.text[0] == symbol;
    }
    [[noreturn]] void Expected(const std::string& what) const {
        FailAt(m_lexer.Current().line,
               Format("Expected %s but found %s", what, DescribeToken(m_lexer.Current())));
    }
    void ExpectKeyword(std::string_view keyword) {
        if (!AtKeyword(keyword)) Expected("'" + std::string(keyword) + "'");
        m_lexer.Advance();
    }
    void ExpectSymbol(char symbol) {
        if (!AtSymbol(symbol)) Expected("'" + std::string(1, symbol) + "'");
        m_lexer.Advance();
    }
    std::string ExpectIdent(const std::string& what) {
        if (m_lexer.Current().kind != TDefinitionToken::tkIdent) Expected(what);
        std::string name = m_lexer.Current().text;
        m_lexer.Advance();
        return name;
    }

    TComponent& m_root;
    TDefinitionLexer m_lexer;
    const TClassRegistry& m_registry;
    const TClassInfo* m_rootInfo = nullptr;
    std::vector<TComponent*> m_created;
    std::vector<TFixup> m_fixups;
};

void TDefinitionReader::Read() {
    ReadRoot();
    if (m_lexer.Current().kind != TDefinitionToken::tkEnd) Expected("end of text");
    m_root.EndReading();
    for (TComponent* component : m_created) component->EndReading();
    ApplyFixups();
    // The root was made first, so its after-load step comes first too.
    m_root.Loaded();
    for (TComponent* component : m_created) component->Loaded();
}

void TDefinitionReader::ReadRoot() {
    ExpectKeyword("object");
    const int line = m_lexer.Current().line;
    const std::string name = ExpectIdent("a component name");
    ExpectSymbol(':');
    const std::string className = ExpectIdent("a class name");
    if (!SameText(className, m_root.ClassName())) {
        FailAt(line, Format("The definition of a %s cannot be read into a %s", className,
                            m_root.ClassName()));
    }
    WithLine(line, [&] {
        m_rootInfo = &m_registry.Get(m_root.ClassName());
        m_root.SetName(name);
    });
    m_root.BeginLoading();
    ReadBody(*m_rootInfo, m_root, 0);
}

void TDefinitionReader::ReadBody(const TClassInfo& info, TComponent& object, int depth) {
    for (;;) {
        if (AtKeyword("end")) {
            m_lexer.Advance();
            return;
        }
        if (AtKeyword("object")) {
            ReadChild(object, depth + 1);
        } else if (m_lexer.Current().kind == TDefinitionToken::tkIdent) {
            ReadProperty(info, object, object.Name(), depth);
        } else {
            Expected("a property, 'object' or 'end'");
        }
    }
}

void TDefinitionReader::ReadChild(TComponent& parent, int depth) {
    const int line = m_lexer.Current().line;
    if (depth > kMaxDepth) FailAt(line, "Objects are nested too deeply");
    m_lexer.Advance();
    const std::string name = ExpectIdent("a component name");
    ExpectSymbol(':');
    const std::string className = ExpectIdent("a class name");
    const TClassInfo* info = nullptr;
    TComponent* component = nullptr;
    WithLine(line, [&] {
        info = &m_registry.Get(className);
        component = m_registry.Create(className, &m_root, &parent);
        if (component == nullptr || component->Owner() != &m_root) {
            if (component != nullptr && component->Owner() == nullptr) delete component;
            throw EComponentError(
                Format("The factory of %s must make a component owned by the root", className));
        }
        m_created.push_back(component);
        component->BeginLoading();
        component->SetName(name);
        if (const TFieldInfo* field = m_rootInfo->FindField(name)) field->set(m_root, component);
    });
    ReadBody(*info, *component, depth);
}

void TDefinitionReader::ReadProperty(const TClassInfo& info, TObject& object,
                                     const std::string& objectName, int depth) {
    const int line = m_lexer.Current().line;
    const std::string name = m_lexer.Current().text;
    const std::string context = objectName + "." + name;
    m_lexer.Advance();
    ExpectSymbol('=');

    // A dotted name walks through sub-objects ("Font.Name") unless the table has it whole.
    const TPropertyInfo* property = nullptr;
    TObject* target = &object;
    Guard(context, line, [&] {
        const TClassInfo* table = &info;
        std::string_view rest = name;
        for (;;) {
            property = table->FindProperty(rest);
            if (property != nullptr) break;
            const size_t dot = rest.find('.');
            const TPropertyInfo* head =
                dot == std::string_view::npos ? nullptr : table->FindProperty(rest.substr(0, dot));
            if (head == nullptr || head->kind != TPropertyInfo::pkObject) {
                throw EPropertyError(
                    Format("Property %s does not exist in class %s", name, info.ClassName()));
            }
            target = head->getObject(*target);
            if (target == nullptr) {
                throw EPropertyError(Format("Property %s is nil", rest.substr(0, dot)));
            }
            table = head->nested;
            rest = rest.substr(dot + 1);
        }
    });

    switch (property->kind) {
        case TPropertyInfo::pkValue: {
            const TStoredValue value = ReadValue();
            Guard(context, line, [&] { property->setValue(*target, value); });
            return;
        }
        case TPropertyInfo::pkReference:
        case TPropertyInfo::pkEvent: {
            if (m_lexer.Current().kind != TDefinitionToken::tkIdent) {
                Expected(property->kind == TPropertyInfo::pkEvent ? "a handler name"
                                                                  : "a component name");
            }
            m_fixups.push_back(TFixup{target, property, context, m_lexer.Current().text, line});
            m_lexer.Advance();
            return;
        }
        case TPropertyInfo::pkCollection:
            ReadCollection(*property, *target, context, depth);
            return;
        case TPropertyInfo::pkObject:
            break;
    }
    FailAt(line, Format("Error reading %s: an object is set through its properties", context));
}

// <item ... end item ... end>: the collection is emptied, then each item is added and its
// properties are applied as they are read.
void TDefinitionReader::ReadCollection(const TPropertyInfo& property, TObject& object,
                                       const std::string& context, int depth) {
    const int line = m_lexer.Current().line;
    if (depth + 1 > kMaxDepth) FailAt(line, "Objects are nested too deeply");
    ExpectSymbol('<');
    TCollection* collection = nullptr;
    Guard(context, line, [&] {
        collection = dynamic_cast<TCollection*>(property.getObject(object));
        if (collection == nullptr) throw EPropertyError("The collection is nil");
        collection->Clear();
    });
    for (int index = 0; !AtSymbol('>'); ++index) {
        const int itemLine = m_lexer.Current().line;
        ExpectKeyword("item");
        const std::string itemName = Format("%s[%d]", context, index);
        TCollectionItem* item = nullptr;
        Guard(itemName, itemLine, [&] { item = collection->Add(); });
        while (!AtKeyword("end")) {
            if (m_lexer.Current().kind != TDefinitionToken::tkIdent)
                Expected("a property or 'end'");
            ReadProperty(*property.nested, *item, itemName, depth + 1);
        }
        m_lexer.Advance();
    }
    m_lexer.Advance();
}

TStoredValue TDefinitionReader::ReadValue() {
    const TDefinitionToken& token = m_lexer.Current();
    TStoredValue value;
    switch (token.kind) {
        case TDefinitionToken::tkInteger:
            value.kind = TStoredValue::vkInteger;
            value.integer = token.integer;
            m_lexer.Advance();
            return value;
        case TDefinitionToken::tkString:
            value.kind = TStoredValue::vkString;
            value.text = token.text;
            m_lexer.Advance();
            while (AtSymbol('+')) {
                m_lexer.Advance();
                if (m_lexer.Current().kind != TDefinitionToken::tkString) Expected("a string");
                value.text += m_lexer.Current().text;
                m_lexer.Advance();
            }
            return value;
        case TDefinitionToken::tkBinary:
            value.kind = TStoredValue::vkBinary;
            value.text = token.text;
            m_lexer.Advance();
            return value;
        case TDefinitionToken::tkIdent: {
            value.kind = TStoredValue::vkIdent;
            value.text = token.text;
            const int line = token.line;
            m_lexer.Advance();
            if (SameText(value.text, "file") &&
                m_lexer.Current().kind == TDefinitionToken::tkString) {
                FailAt(line, "A file reference must be turned into binary data when the "
                             "definition is built");
            }
            return value;
        }
        case TDefinitionToken::tkSymbol:
            if (AtSymbol('[')) {
                value.kind = TStoredValue::vkSet;
                m_lexer.Advance();
                if (!AtSymbol(']')) {
                    value.set.push_back(ExpectIdent("a set element"));
                    while (AtSymbol(',')) {
                        m_lexer.Advance();
                        value.set.push_back(ExpectIdent("a set element"));
                    }
                }
                ExpectSymbol(']');
                return value;
            }
            break;
        case TDefinitionToken::tkEnd:
            break;
    }
    Expected("a value");
}

TComponent* TDefinitionReader::FindComponent(const std::string& name) const {
    if (AnsiSameText(name, m_root.Name())) return &m_root;
    TComponent* component = m_root.FindComponent(name);
    if (component == nullptr) throw EPropertyError(Format("Component %s not found", name));
    return component;
}

void TDefinitionReader::ApplyFixups() {
    for (const TFixup& fixup : m_fixups) {
        const bool nil = SameText(fixup.name, "nil");
        Guard(fixup.context + " = " + fixup.name, fixup.line, [&] {
            if (fixup.property->kind == TPropertyInfo::pkReference) {
                fixup.property->setReference(*fixup.target,
                                             nil ? nullptr : FindComponent(fixup.name));
                return;
            }
            std::any handler;
            if (!nil) {
                const THandlerInfo* info = m_rootInfo->FindHandler(fixup.name);
                if (info == nullptr) {
                    throw EPropertyError(Format("Handler %s is not published by %s", fixup.name,
                                                m_root.ClassName()));
                }
                handler = info->bind(m_root);
            }
            fixup.property->setEvent(*fixup.target, handler);
        });
    }
}

}  // namespace

void ReadDefinition(TComponent& root, std::string_view text, const TClassRegistry& registry) {
    TDefinitionReader(root, text, registry).Read();
}

void ReadDefinition(TComponent& root, TStream& stream, const TClassRegistry& registry) {
    const int64_t count = stream.Size() - stream.Position();
    if (count < 0) throw EReadError(messages::kReadError);
    std::string text(CheckedNarrow<size_t>(static_cast<uint64_t>(count)), '\0');
    stream.ReadBuffer(text.data(), count);
    ReadDefinition(root, text, registry);
}

}  // namespace pogoda
