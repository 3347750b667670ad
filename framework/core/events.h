#pragma once

#include <functional>
#include <utility>

namespace pogoda {

class TObject;

// An event: an optional callable, usually bound to a method of the object that handles it.
// Calling an unassigned event does nothing.
template <class... Args>
class TEvent {
public:
    TEvent() = default;
    template <class F>
        requires std::is_invocable_v<F&, Args...>
    TEvent(F f) : m_handler(std::move(f)) {}

    // Binds a method: TEvent<TObject*>::Bind(form, &TForm1::Button1Click).
    template <class C, class M>
    static TEvent Bind(C* object, M method) {
        return TEvent([object, method](Args... args) {
            (object->*method)(std::forward<Args>(args)...);
        });
    }

    bool Assigned() const { return static_cast<bool>(m_handler); }
    explicit operator bool() const { return Assigned(); }
    void Clear() { m_handler = nullptr; }

    void operator()(Args... args) const {
        if (m_handler) m_handler(std::forward<Args>(args)...);
    }

private:
    std::function<void(Args...)> m_handler;
};

using TNotifyEvent = TEvent<TObject*>;

}  // namespace pogoda
