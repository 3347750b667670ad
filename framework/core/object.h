#pragma once

// The root of the framework's class tree: every class can tell its own name, which
// messages ("Cannot assign a %s to a %s"), tools and stored definitions rely on.

namespace pogoda {

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = default;
    TObject& operator=(const TObject&) = default;
    virtual ~TObject() = default;

    virtual const char* ClassName() const { return "TObject"; }
};

// Declares ClassName() for a class deriving from TObject.
#define POGODA_CLASS_NAME(Name)                                  \
public:                                                          \
    static constexpr const char* StaticClassName() { return #Name; } \
    const char* ClassName() const override { return #Name; }

}  // namespace pogoda
