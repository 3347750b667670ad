#include "http/component.h"

#include <exception>
#include <mutex>

#include "framework/core/sync.h"
#include "http/stack.h"

namespace pogoda {
namespace {

struct TStatusEntry {
    const char* name;
    std::string text;
};

const std::array<TStatusEntry, 9> kStatusTable{{
    {"hsResolving", "Resolving hostname %s."},
    {"hsConnecting", "Connecting to %s."},
    {"hsConnected", "Connected."},
    {"hsDisconnecting", "Disconnecting."},
    {"hsDisconnected", "Disconnected."},
    {"hsStatusText", "%s"},
    {"ftpTransfer", "%s"},
    {"ftpReady", "%s"},
    {"ftpAborted", "%s"},
}};

TCriticalSection& StackLock() {
    static TCriticalSection lock;
    return lock;
}

int g_stackUsers = 0;

}  // namespace

const char* NetStatusName(TNetStatus status) { return kStatusTable.at(status).name; }
const std::string& NetStatusText(TNetStatus status) { return kStatusTable.at(status).text; }

TNetComponent::TNetComponent(TComponent* owner) : TNetBaseComponent(owner) {
    std::lock_guard guard(StackLock());
    ++g_stackUsers;
    if (g_stackUsers == 1 && GStack == nullptr) {
        try {
            GStack = NewStack();
        } catch (...) {
            // The destructor does not run for a constructor that fails; undo the count so the
            // next component tries to create the stack anew.
            --g_stackUsers;
            throw;
        }
    }
}

TNetComponent::~TNetComponent() {
    std::lock_guard guard(StackLock());
    if (--g_stackUsers == 0) {
        delete GStack;
        GStack = nullptr;
    }
}

int TNetComponent::StackUserCount() {
    std::lock_guard guard(StackLock());
    return g_stackUsers;
}

void TNetComponent::WorkBegin(TWorkMode mode, int32_t countMax) {
    TNetWorkRun& run = m_workRuns[mode];
    if (++run.Level == 1) {
        run.Max = countMax;
        run.Count = 0;
        OnWorkBegin(this, mode, countMax);
    }
}

void TNetComponent::WorkProgress(TWorkMode mode, int32_t count) {
    TNetWorkRun& run = m_workRuns[mode];
    if (run.Level < 1) return;
    run.Count += count;
    OnWork(this, mode, run.Count);
}

void TNetComponent::WorkEnd(TWorkMode mode) {
    TNetWorkRun& run = m_workRuns[mode];
    // The level goes down even when the handler raises.
    struct Decrement {
        int32_t& level;
        ~Decrement() { --level; }
    } decrement{run.Level};
    if (run.Level == 1) OnWorkEnd(this, mode);
}

TNetWorkScope::TNetWorkScope(TNetComponent& component, TWorkMode mode, int32_t countMax)
    : m_component(component), m_mode(mode), m_uncaught(std::uncaught_exceptions()) {
    m_component.WorkBegin(mode, countMax);
}

TNetWorkScope::~TNetWorkScope() noexcept(false) {
    if (std::uncaught_exceptions() > m_uncaught) {
        try {
            m_component.WorkEnd(m_mode);
        } catch (...) {
            // The failure already unwinding is the one the caller sees.
        }
        return;
    }
    m_component.WorkEnd(m_mode);
}

}  // namespace pogoda
