#include "framework/win32/menus.h"

#include <windows.h>

#include <algorithm>

#include "framework/win32/application.h"
#include "framework/win32/handles.h"
#include "framework/win32/wide_text.h"

namespace pogoda {

namespace {

// Appends the items of parent to menu; command n + 1 stands for commands[n].
void BuildMenu(HMENU menu, const TMenuItem& parent, std::vector<TMenuItem*>& commands) {
    for (int i = 0; i < parent.Count(); ++i) {
        TMenuItem* item = parent.Items(i);
        if (item->IsSeparator()) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        UINT flags = MF_STRING;
        if (!item->Enabled()) flags |= MF_GRAYED;
        if (item->Checked()) flags |= MF_CHECKED;
        const std::wstring text = Wide(item->Caption());
        if (item->Count() > 0) {
            HMENU sub = CreatePopupMenu();
            BuildMenu(sub, *item, commands);
            AppendMenuW(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), text.c_str());
        } else {
            commands.push_back(item);
            AppendMenuW(menu, flags, commands.size(), text.c_str());
        }
    }
}

}  // namespace

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
    if (m_parent != nullptr) m_parent->Remove(this);
    for (TMenuItem* item : m_items) item->m_parent = nullptr;
}

void TMenuItem::Add(TMenuItem* item) {
    if (item->m_parent != nullptr) item->m_parent->Remove(item);
    item->m_parent = this;
    m_items.push_back(item);
}

void TMenuItem::Remove(TMenuItem* item) {
    std::erase(m_items, item);
    if (item->m_parent == this) item->m_parent = nullptr;
}

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner) {}

void TPopupMenu::Popup(int x, int y) {
    std::vector<TMenuItem*> commands;
    TMenuHandle menu(CreatePopupMenu());
    BuildMenu(menu.Get(), m_items, commands);
    HWND owner = Application != nullptr ? Application->Handle() : nullptr;
    const int command = static_cast<int>(TrackPopupMenuEx(
        menu.Get(), TPM_RETURNCMD | TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, owner, nullptr));
    // Lets the menu close properly the next time the user clicks elsewhere.
    if (owner != nullptr) PostMessageW(owner, WM_NULL, 0, 0);
    if (command > 0 && static_cast<size_t>(command) <= commands.size()) {
        commands[static_cast<size_t>(command) - 1]->Click();
    }
}

}  // namespace pogoda
