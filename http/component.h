#pragma once

// Components of the HTTP client that talk to the network: status and work (progress)
// notifications, and the lifetime of the process-wide socket stack.

#include <array>
#include <cstdint>
#include <string>

#include "framework/core/events.h"
#include "framework/core/text.h"
#include "http/base_component.h"

namespace pogoda {

enum TWorkMode { wmRead, wmWrite };

enum TNetStatus {
    hsResolving,
    hsConnecting,
    hsConnected,
    hsDisconnecting,
    hsDisconnected,
    hsStatusText,
    ftpTransfer,
    ftpReady,
    ftpAborted,
};

// The value name of a status ("hsConnecting"), for logs and tools.
const char* NetStatusName(TNetStatus status);
// The unformatted status text ("Connecting to %s.").
const std::string& NetStatusText(TNetStatus status);

using TNetStatusEvent = TEvent<TObject* /*ASender*/, TNetStatus /*AStatus*/,
                               const std::string& /*AStatusText*/>;
using TWorkBeginEvent = TEvent<TObject* /*Sender*/, TWorkMode, int32_t /*AWorkCountMax*/>;
using TWorkEvent = TEvent<TObject* /*Sender*/, TWorkMode, int32_t /*AWorkCount*/>;
using TWorkEndEvent = TEvent<TObject* /*Sender*/, TWorkMode>;

// One open (or last) run of work events for one mode.
struct TNetWorkRun {
    int32_t Count = 0;
    int32_t Max = 0;
    int32_t Level = 0;
};

class TNetComponent : public TNetBaseComponent {
    POGODA_CLASS_NAME(TNetComponent)
public:
    // The first live component creates the socket stack; the last one frees it.
    explicit TNetComponent(TComponent* owner);
    ~TNetComponent() override;

    TNetStatusEvent OnStatus;
    TWorkEvent OnWork;
    TWorkBeginEvent OnWorkBegin;
    TWorkEndEvent OnWorkEnd;

    // Runs nest: only the outermost begin and end raise events, progress is the running
    // total since the outermost begin, and progress outside a run is dropped.
    virtual void WorkBegin(TWorkMode mode, int32_t countMax);
    virtual void WorkProgress(TWorkMode mode, int32_t count);
    virtual void WorkEnd(TWorkMode mode);
    const TNetWorkRun& WorkRun(TWorkMode mode) const { return m_workRuns[mode]; }

    // Formats the status text only when a handler listens; without arguments "%s" is empty.
    void ReportStatus(TNetStatus status) { ReportStatus(status, ""); }
    template <class... Args>
    void ReportStatus(TNetStatus status, const Args&... args) {
        if (!OnStatus) return;
        OnStatus(this, status, Format(NetStatusText(status), args...));
    }

    // Live components, which is what keeps the stack alive.
    static int StackUserCount();

private:
    std::array<TNetWorkRun, 2> m_workRuns{};
};

// Ends a work run when it leaves scope, so a failure inside the run still closes it.
class TNetWorkScope {
public:
    TNetWorkScope(TNetComponent& component, TWorkMode mode, int32_t countMax);
    // A handler's exception propagates, except while another one is already unwinding.
    ~TNetWorkScope() noexcept(false);
    TNetWorkScope(const TNetWorkScope&) = delete;
    TNetWorkScope& operator=(const TNetWorkScope&) = delete;

private:
    TNetComponent& m_component;
    TWorkMode m_mode;
    int m_uncaught;
};

}  // namespace pogoda
