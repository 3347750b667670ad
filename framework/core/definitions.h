#pragma once

// Stored window definitions: the class registry and the reader.
//
// Registering (at start-up, before any window is read):
//   TClassRegistry& r = ClassRegistry();
//   TClassInfo& button = r.Register<TButton>(&controlInfo,
//       [](TComponent* owner, TComponent* parent) -> TComponent* {
//           auto* b = new TButton(owner);      // owned, so never leaked
//           b->SetParent(parent);              // the enclosing object of the definition
//           return b;
//       });
//   button.Property("Caption", &TButton::SetCaption);   // see class_info.h
//   TClassInfo& form1 = r.Register<TForm1>(&r.Get("TForm"));   // a root: no factory needed
//   form1.Handler("Button1Click", &TForm1::Button1Click).Field("Button1", &TForm1::Button1);
//
// Reading (the root is made by the caller):
//   TForm1* form = new TForm1(application);
//   ReadDefinition(*form, storedBytes);       // the text of "object Form1: TForm1 ... end"
//
// What reading does, in order:
//   1. Checks the definition's root class against root.ClassName(), names the root and marks
//      it loading (BeginLoading).
//   2. Goes through the text from top to bottom. An "object Name: TClass" makes a component
//      with the class's factory, owned by the root and with the enclosing object as parent;
//      it is named, marked loading, and handed to the root's field of that name if the root's
//      table declares one. Each property is applied through its setter the moment it is read.
//   3. After the whole text: component references and handler names are applied, in the
//      order they were read, each looked up by name (ignoring case) among the root's
//      components (or the root itself), resp. among the handlers the root's table publishes.
//   4. Loaded() runs on the root first and then on every component in creation order.
// Every failure raises an exception whose message ends with " (line N)" of the definition:
// EParserError for malformed text, EClassNotFound for an unknown class, EPropertyError for an
// unknown property, a bad value, an unknown component or handler; exceptions raised by a
// setter keep their class and get "Error reading Name.Property: " in front. After a failure
// the root keeps what was made so far and must be discarded.
//
// The text (stored form, Windows-1251):
//   object Form1: TForm1
//     Left = 242                      integer (decimal, -11, or $hex)
//     Caption = 'It''s'#13#10'ok'     string: quoted parts and #NNN byte codes, joined; a '+'
//                                     between parts may continue it on the next line
//     Visible = True                  identifier (True/False, enum values, names, nil)
//     BorderIcons = [biSystemMenu]    set
//     Font.Name = 'Arial'             dotted names reach sub-objects
//     Picture.Data = {0A54 4A50}      binary, hex digits (blanks and line breaks allowed)
//     Items = <                       collection
//       item
//         Caption = 'x'
//       end>
//     object Button1: TButton
//     end
//   end
// The readable source form under resources/ is UTF-8 and may hold "file 'name'" for binary
// values; the build step (cmake/WindowDefinitions.cmake) turns it into the stored form.

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "framework/core/class_info.h"
#include "framework/core/component.h"
#include "framework/core/exceptions.h"
#include "framework/core/streams.h"

namespace pogoda {

POGODA_EXCEPTION(EParserError, Exception);

// Makes a component of a registered class. parent is the object that encloses it in the
// definition (the root for top-level objects); the core gives it no meaning.
using TComponentFactory = std::function<TComponent*(TComponent* owner, TComponent* parent)>;

// Class name to table and factory. Class names compare ignoring ASCII case.
class TClassRegistry {
public:
    TClassRegistry() = default;
    TClassRegistry(const TClassRegistry&) = delete;
    TClassRegistry& operator=(const TClassRegistry&) = delete;

    // Adds a class; its table extends base's (which must outlive it). A class without a
    // factory can only be a root. Registering a name twice raises EInvalidOperation
    // "Class %s is already registered".
    TClassInfo& Register(std::string className, const TClassInfo* base,
                         TComponentFactory factory = {});
    // Name from T::StaticClassName(); the default factory is new T(owner).
    template <class T>
    TClassInfo& Register(const TClassInfo* base);
    template <class T>
    TClassInfo& Register(const TClassInfo* base, TComponentFactory factory) {
        return Register(T::StaticClassName(), base, std::move(factory));
    }

    // nullptr when the class is unknown.
    const TClassInfo* Find(std::string_view className) const;
    // Raises EClassNotFound "Class %s not found".
    const TClassInfo& Get(std::string_view className) const;
    // Raises EClassNotFound as above, or EClassNotFound "Class %s cannot be created" when
    // it has no factory.
    TComponent* Create(std::string_view className, TComponent* owner, TComponent* parent) const;

private:
    struct Entry {
        std::unique_ptr<TClassInfo> info;
        TComponentFactory factory;
    };
    const Entry* FindEntry(std::string_view className) const;

    mutable std::mutex m_lock;
    std::vector<Entry> m_entries;
};

template <class T>
TClassInfo& TClassRegistry::Register(const TClassInfo* base) {
    TComponentFactory factory;
    if constexpr (std::is_constructible_v<T, TComponent*>) {
        factory = [](TComponent* owner, TComponent*) -> TComponent* { return new T(owner); };
    }
    return Register(T::StaticClassName(), base, std::move(factory));
}

// The process-wide registry the program's classes are registered with.
TClassRegistry& ClassRegistry();

// Reads a stored definition (Windows-1251 text) into root; see the top of this file.
void ReadDefinition(TComponent& root, std::string_view text,
                    const TClassRegistry& registry = ClassRegistry());
// The same, taking the text from the stream's position to its end.
void ReadDefinition(TComponent& root, TStream& stream,
                    const TClassRegistry& registry = ClassRegistry());

}  // namespace pogoda
