#pragma once

// Popup menus: a tree of items built into a Windows menu each time it pops up.

#include <vector>

#include "framework/core/component.h"
#include "framework/core/events.h"

namespace pogoda {

class TMenuItem : public TComponent {
    POGODA_CLASS_NAME(TMenuItem)
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    // "-" makes a separator line.
    const std::string& Caption() const { return m_caption; }
    void SetCaption(std::string value) { m_caption = std::move(value); }
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool value) { m_enabled = value; }
    bool Checked() const { return m_checked; }
    void SetChecked(bool value) { m_checked = value; }
    bool IsSeparator() const { return m_caption == "-"; }

    void Add(TMenuItem* item);
    void Remove(TMenuItem* item);
    int Count() const { return static_cast<int>(m_items.size()); }
    TMenuItem* Items(int index) const { return m_items.at(static_cast<size_t>(index)); }
    TMenuItem* ParentItem() const { return m_parent; }

    TNotifyEvent OnClick;
    void SetOnClick(TNotifyEvent value) { OnClick = std::move(value); }
    virtual void Click() { OnClick(this); }

private:
    std::string m_caption;
    bool m_enabled = true;
    bool m_checked = false;
    TMenuItem* m_parent = nullptr;
    std::vector<TMenuItem*> m_items;
};

class TPopupMenu : public TComponent {
    POGODA_CLASS_NAME(TPopupMenu)
public:
    explicit TPopupMenu(TComponent* owner);

    TMenuItem* Items() { return &m_items; }
    // Shows the menu at a screen point and returns when it has closed; the chosen item's
    // Click runs before the return.
    virtual void Popup(int x, int y);

private:
    TMenuItem m_items{nullptr};
};

}  // namespace pogoda
