#pragma once

// The window thread's message pump as the rest of the program sees it. The window framework
// registers the application object's pump; code that blocks the window thread (the HTTP
// client's anti-freeze) serves the queue through it. Tests register a fake.

namespace pogoda {

class TMessagePump {
public:
    TMessagePump() = default;
    TMessagePump(const TMessagePump&) = delete;
    TMessagePump& operator=(const TMessagePump&) = delete;
    virtual ~TMessagePump() = default;

    // Removes and dispatches every message in the thread's queue, then returns.
    virtual void ProcessMessages() = 0;
    // True when a message is waiting; nothing is removed.
    virtual bool MessageWaiting() = 0;
    // Removes and dispatches exactly one message.
    virtual void HandleMessage() = 0;
};

// The registered pump, or nullptr (then nothing is pumped).
TMessagePump* MessagePump();
// Registers pump (nullptr unregisters); returns the previous one.
TMessagePump* SetMessagePump(TMessagePump* pump);

}  // namespace pogoda
