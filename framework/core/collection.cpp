#include "framework/core/collection.h"

#include <algorithm>

#include "framework/core/exceptions.h"
#include "framework/core/text.h"

namespace pogoda {

TCollectionItem::TCollectionItem(TCollection* collection) { SetCollection(collection); }

TCollectionItem::~TCollectionItem() { SetCollection(nullptr); }

void TCollectionItem::SetCollection(TCollection* collection) {
    if (collection == m_collection) return;
    if (m_collection != nullptr) m_collection->RemoveItem(this);
    if (collection != nullptr) collection->InsertItem(this);
}

int TCollectionItem::Index() const {
    if (m_collection == nullptr) return -1;
    const auto& items = m_collection->m_items;
    return static_cast<int>(std::find(items.begin(), items.end(), this) - items.begin());
}

TCollection::TCollection(ItemFactory itemFactory) : m_itemFactory(std::move(itemFactory)) {}

TCollection::~TCollection() { Clear(); }

TCollectionItem* TCollection::Items(int index) const {
    if (index < 0 || index >= Count()) throw EListError(Format(messages::kListIndexError, index));
    return m_items[static_cast<size_t>(index)];
}

void TCollection::Delete(int index) { delete Items(index); }

void TCollection::Clear() {
    while (!m_items.empty()) delete m_items.back();
}

TCollectionItem* TCollection::FindItemID(int id) const {
    for (TCollectionItem* item : m_items) {
        if (item->m_id == id) return item;
    }
    return nullptr;
}

void TCollection::Assign(const TPersistent* source) {
    if (const auto* other = dynamic_cast<const TCollection*>(source)) {
        if (other == this) return;
        Clear();
        for (const TCollectionItem* item : other->m_items) Add()->Assign(item);
        return;
    }
    TPersistent::Assign(source);
}

void TCollection::InsertItem(TCollectionItem* item) {
    m_items.push_back(item);
    item->m_collection = this;
    item->m_id = m_nextID++;
    Added(item);
}

void TCollection::RemoveItem(TCollectionItem* item) {
    Removing(item);
    std::erase(m_items, item);
    item->m_collection = nullptr;
}

}  // namespace pogoda
