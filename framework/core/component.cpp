#include "framework/core/component.h"

#include <algorithm>

#include "framework/core/exceptions.h"
#include "framework/core/text.h"

namespace pogoda {

TComponent::TComponent(TComponent* owner) {
    if (owner != nullptr) owner->InsertComponent(this);
}

TComponent::~TComponent() {
    m_state |= csDestroying;
    while (!m_freeNotifies.empty()) {
        TComponent* other = m_freeNotifies.back();
        m_freeNotifies.pop_back();
        std::erase(other->m_freeNotifies, this);
        other->Notification(this, opRemove);
    }
    DestroyComponents();
    if (m_owner != nullptr) m_owner->RemoveComponent(this);
}

void TComponent::SetName(std::string name) {
    if (name == m_name) return;
    if (m_owner != nullptr && !name.empty()) {
        const TComponent* same = m_owner->FindComponent(name);
        if (same != nullptr && same != this) {
            throw EComponentError(Format(messages::kDuplicateName, name));
        }
    }
    m_name = std::move(name);
}

TComponent* TComponent::FindComponent(std::string_view name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : m_components) {
        if (AnsiSameText(c->m_name, name)) return c;
    }
    return nullptr;
}

void TComponent::SetDesigning(bool value) {
    if (value) {
        m_state |= csDesigning;
    } else {
        m_state &= ~csDesigning;
    }
}

void TComponent::Loaded() { m_state &= ~(csLoading | csReading); }

void TComponent::FreeNotification(TComponent* component) {
    if (component == nullptr || component == this) return;
    if (std::find(m_freeNotifies.begin(), m_freeNotifies.end(), component) ==
        m_freeNotifies.end()) {
        m_freeNotifies.push_back(component);
        component->FreeNotification(this);
    }
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    std::erase(m_freeNotifies, component);
    if (component != nullptr) std::erase(component->m_freeNotifies, this);
}

void TComponent::DestroyComponents() {
    while (!m_components.empty()) {
        delete m_components.back();  // its destructor removes it from this list
    }
}

void TComponent::Notification(TComponent* component, TOperation operation) {
    if (operation == opRemove && component != nullptr) RemoveFreeNotification(component);
    for (size_t i = m_components.size(); i-- > 0;) {
        if (i < m_components.size()) m_components[i]->Notification(component, operation);
    }
}

void TComponent::InsertComponent(TComponent* component) {
    m_components.push_back(component);
    component->m_owner = this;
    Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
    Notification(component, opRemove);
    std::erase(m_components, component);
    component->m_owner = nullptr;
}

}  // namespace pogoda
