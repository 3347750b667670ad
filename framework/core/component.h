#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "framework/core/persistent.h"

namespace pogoda {

enum TOperation { opInsert, opRemove };

// Component state flags.
enum TComponentStateFlag : unsigned {
    csLoading = 1u << 0,
    csReading = 1u << 1,
    csDesigning = 1u << 2,
    csDestroying = 1u << 3,
};

// A named object with an owner. The owner destroys what it owns, last created first;
// components that asked for a destruction notice (FreeNotification) hear of each other's end.
class TComponent : public TPersistent {
    POGODA_CLASS_NAME(TComponent)
public:
    explicit TComponent(TComponent* owner);
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;
    ~TComponent() override;

    TComponent* Owner() const { return m_owner; }
    const std::string& Name() const { return m_name; }
    // Raises EComponentError when a sibling already has the name (ignoring case).
    void SetName(std::string name);
    int Tag() const { return m_tag; }
    void SetTag(int tag) { m_tag = tag; }

    int ComponentCount() const { return static_cast<int>(m_components.size()); }
    TComponent* Components(int index) const { return m_components.at(static_cast<size_t>(index)); }
    TComponent* FindComponent(std::string_view name) const;

    unsigned ComponentState() const { return m_state; }
    bool IsLoading() const { return (m_state & csLoading) != 0; }
    bool IsDesigning() const { return (m_state & csDesigning) != 0; }
    bool IsDestroying() const { return (m_state & csDestroying) != 0; }
    void SetDesigning(bool value);

    // Marks the component as being read from a stored definition; Loaded() ends that state
    // once the whole definition has been read and its references resolved.
    void BeginLoading() { m_state |= csLoading | csReading; }
    void EndReading() { m_state &= ~csReading; }
    virtual void Loaded();

    // Asks for a notice (Notification with opRemove) when component is destroyed; mutual.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    // Destroys every owned component, last created first.
    void DestroyComponents();

protected:
    // Told about components inserted into or removed from the owner, and about the end of
    // those that asked for notices. The default forwards the notice to every owned component.
    virtual void Notification(TComponent* component, TOperation operation);

private:
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);

    TComponent* m_owner = nullptr;
    std::string m_name;
    int m_tag = 0;
    unsigned m_state = 0;
    std::vector<TComponent*> m_components;
    std::vector<TComponent*> m_freeNotifies;
};

}  // namespace pogoda
