#pragma once

#include <exception>
#include <string>

namespace pogoda {

// Every failure is an exception with a class name and a message text; handlers select by
// class, tools print "CLASSNAME: MESSAGE".
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : m_message(std::move(message)) {}

    const std::string& Message() const noexcept { return m_message; }
    void SetMessage(std::string message) { m_message = std::move(message); }
    virtual const char* ClassName() const noexcept { return "Exception"; }
    const char* what() const noexcept override { return m_message.c_str(); }

private:
    std::string m_message;
};

// Declares an exception class that only adds its name to its base.
#define POGODA_EXCEPTION(Name, Base)                                           \
    class Name : public Base {                                                 \
    public:                                                                    \
        using Base::Base;                                                      \
        const char* ClassName() const noexcept override { return #Name; }      \
    }

POGODA_EXCEPTION(EConvertError, Exception);
POGODA_EXCEPTION(EInvalidOperation, Exception);
POGODA_EXCEPTION(EListError, Exception);
POGODA_EXCEPTION(EOutOfMemory, Exception);
POGODA_EXCEPTION(EThread, Exception);
POGODA_EXCEPTION(EStreamError, Exception);
POGODA_EXCEPTION(EReadError, EStreamError);
POGODA_EXCEPTION(EWriteError, EStreamError);
POGODA_EXCEPTION(EFileStreamError, EStreamError);
POGODA_EXCEPTION(EFOpenError, EFileStreamError);
POGODA_EXCEPTION(EFCreateError, EFileStreamError);
POGODA_EXCEPTION(EComponentError, Exception);
POGODA_EXCEPTION(EClassNotFound, Exception);
POGODA_EXCEPTION(EPropertyError, Exception);
POGODA_EXCEPTION(EInvalidGraphic, Exception);
POGODA_EXCEPTION(EInvalidGraphicOperation, Exception);

// The framework's fixed message texts.
namespace messages {
inline constexpr const char* kInvalidInteger = "'%s' is not a valid integer value";
inline constexpr const char* kReadError = "Stream read error";
inline constexpr const char* kWriteError = "Stream write error";
inline constexpr const char* kFOpenError = "Cannot open file \"%s\". %s";
inline constexpr const char* kFCreateError = "Cannot create file \"%s\". %s";
inline constexpr const char* kAssignError = "Cannot assign a %s to a %s";
inline constexpr const char* kDateEncodeError = "Invalid argument to date encode";
inline constexpr const char* kTimeEncodeError = "Invalid argument to time encode";
inline constexpr const char* kListIndexError = "List index out of bounds (%d)";
inline constexpr const char* kDuplicateString = "String list does not allow duplicates";
inline constexpr const char* kSortedListError = "Operation not allowed on sorted string list";
inline constexpr const char* kDuplicateName = "A component named %s already exists";
inline constexpr const char* kOutOfMemory = "Out of memory";
}  // namespace messages

}  // namespace pogoda
