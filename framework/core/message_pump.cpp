#include "framework/core/message_pump.h"

#include <atomic>

namespace pogoda {
namespace {
std::atomic<TMessagePump*> g_pump{nullptr};
}  // namespace

TMessagePump* MessagePump() { return g_pump.load(); }

TMessagePump* SetMessagePump(TMessagePump* pump) { return g_pump.exchange(pump); }

}  // namespace pogoda
