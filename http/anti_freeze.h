#pragma once

// The anti-freeze: while the socket layer blocks the window thread, the blocking code calls
// AntiFreezeStep at fixed points, and the registered anti-freeze serves the window's queue.

#include <cstdint>

#include "http/base_component.h"

namespace pogoda {

class TNetAntiFreezeBase : public TNetBaseComponent {
    POGODA_CLASS_NAME(TNetAntiFreezeBase)
public:
    // Registers this instance, replacing any earlier registration.
    explicit TNetAntiFreezeBase(TComponent* owner);
    // Clears the registration (whichever instance it names).
    ~TNetAntiFreezeBase() override;

    bool Active = true;
    bool ApplicationHasPriority = true;
    int32_t IdleTimeOut = 250;
    bool OnlyWhenIdle = true;

    virtual void PumpMessages() = 0;

    // An anti-freeze is registered and active, and the caller is the main thread.
    static bool AntiFreezeApplies();
    // One chance to serve the queue after a wait; idle: nothing became ready.
    static void AntiFreezeStep(bool idle, bool force);
    // The registered anti-freeze, or nullptr.
    static TNetAntiFreezeBase* Registered();
};

// Pumps through the registered message pump (framework/core/message_pump.h).
class TNetAntiFreeze : public TNetAntiFreezeBase {
    POGODA_CLASS_NAME(TNetAntiFreeze)
public:
    using TNetAntiFreezeBase::TNetAntiFreezeBase;
    void PumpMessages() override;
};

}  // namespace pogoda
