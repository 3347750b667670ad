#pragma once

// Authentication schemes: each holds a user name, a password and the server's challenge and
// produces the value of an "Authorization" or "Proxy-Authorization" header.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "framework/core/persistent.h"
#include "http/header_list.h"

namespace pogoda {

enum TNetAuthWhatsNext { awAskApplication, awSendRequest, awFail };

class TNetAuthentication : public TPersistent {
    POGODA_CLASS_NAME(TNetAuthentication)
public:
    TNetAuthentication();

    // Runs the scheme's step for CurrentStep.
    TNetAuthWhatsNext Advance() { return DoNext(); }
    virtual int32_t StepCount() const { return 0; }
    virtual void SetPassword(std::string_view value);
    virtual void SetUsername(std::string_view value);
    virtual void Reset() {}
    virtual std::string CredentialsValue() = 0;
    virtual bool KeepsConnection() const = 0;

    std::string Username() const { return m_settings.GetHeader("username"); }
    std::string Password() const { return m_settings.GetHeader("password"); }
    int32_t CurrentStep() const { return m_currentStep; }
    void SetCurrentStep(int32_t value) { m_currentStep = value; }
    TNetHeaderList& Settings() { return m_settings; }
    // Made on first use.
    TNetHeaderList& Challenge();

protected:
    virtual TNetAuthWhatsNext DoNext() = 0;

private:
    int32_t m_currentStep = 0;
    TNetHeaderList m_settings;
    std::unique_ptr<TNetHeaderList> m_challenge;
};

class TNetBasicAuthentication : public TNetAuthentication {
    POGODA_CLASS_NAME(TNetBasicAuthentication)
public:
    int32_t StepCount() const override { return 1; }
    void Reset() override { SetCurrentStep(0); }
    // "Basic " + Base64 of "user:password".
    std::string CredentialsValue() override;
    bool KeepsConnection() const override { return false; }
    const std::string& Realm() const { return m_realm; }

protected:
    TNetAuthWhatsNext DoNext() override;

private:
    std::string m_realm;
};

// A scheme class: its name and how to make an instance.
struct TNetAuthenticationClassInfo {
    const char* className;
    std::unique_ptr<TNetAuthentication> (*create)();
};
using TNetAuthenticationClass = const TNetAuthenticationClassInfo*;

template <class T>
TNetAuthenticationClass AuthenticationClassOf() {
    static const TNetAuthenticationClassInfo info{
        T::StaticClassName(), []() -> std::unique_ptr<TNetAuthentication> { return std::make_unique<T>(); }};
    return &info;
}

// The process-wide scheme registry; "Basic" is registered at start-up. Names compare
// ignoring letter case; a second registration of a name raises
// ENetAlreadyRegisteredAuthenticationMethod.
void RegisterAuthScheme(std::string_view name, TNetAuthenticationClass authClass);
TNetAuthenticationClass FindAuthScheme(std::string_view name);

}  // namespace pogoda
