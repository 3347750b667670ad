#include "http/anti_freeze.h"

#include <atomic>

#include "framework/core/message_pump.h"
#include "framework/core/sync.h"

namespace pogoda {
namespace {
std::atomic<TNetAntiFreezeBase*> g_registered{nullptr};
}  // namespace

TNetAntiFreezeBase::TNetAntiFreezeBase(TComponent* owner) : TNetBaseComponent(owner) {
    g_registered = this;
}

TNetAntiFreezeBase::~TNetAntiFreezeBase() { g_registered = nullptr; }

TNetAntiFreezeBase* TNetAntiFreezeBase::Registered() { return g_registered.load(); }

bool TNetAntiFreezeBase::AntiFreezeApplies() {
    const TNetAntiFreezeBase* af = g_registered.load();
    return af != nullptr && IsMainThread() && af->Active;
}

void TNetAntiFreezeBase::AntiFreezeStep(bool idle, bool force) {
    if (!AntiFreezeApplies()) return;
    TNetAntiFreezeBase* af = g_registered.load();
    if ((idle || !af->OnlyWhenIdle || force) && af->Active) af->PumpMessages();
}

void TNetAntiFreeze::PumpMessages() {
    TMessagePump* pump = MessagePump();
    if (pump == nullptr) return;
    if (ApplicationHasPriority) {
        pump->ProcessMessages();
    } else if (pump->MessageWaiting()) {
        pump->HandleMessage();
    }
}

}  // namespace pogoda
