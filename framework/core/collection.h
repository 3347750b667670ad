#pragma once

#include <functional>
#include <vector>

#include "framework/core/persistent.h"

namespace pogoda {

class TCollection;

// One item of a collection; it enters the collection when made and leaves it when destroyed.
class TCollectionItem : public TPersistent {
    POGODA_CLASS_NAME(TCollectionItem)
public:
    explicit TCollectionItem(TCollection* collection);
    TCollectionItem(const TCollectionItem&) = delete;
    TCollectionItem& operator=(const TCollectionItem&) = delete;
    ~TCollectionItem() override;

    TCollection* Collection() const { return m_collection; }
    void SetCollection(TCollection* collection);
    int Index() const;
    int ID() const { return m_id; }

private:
    friend class TCollection;
    TCollection* m_collection = nullptr;
    int m_id = 0;
};

// A list of items that it owns; Add makes an item of the collection's item class.
class TCollection : public TPersistent {
    POGODA_CLASS_NAME(TCollection)
public:
    using ItemFactory = std::function<TCollectionItem*(TCollection*)>;

    explicit TCollection(ItemFactory itemFactory);
    TCollection(const TCollection&) = delete;
    TCollection& operator=(const TCollection&) = delete;
    ~TCollection() override;

    TCollectionItem* Add() { return m_itemFactory(this); }
    int Count() const { return static_cast<int>(m_items.size()); }
    TCollectionItem* Items(int index) const;
    void Delete(int index);
    void Clear();
    TCollectionItem* FindItemID(int id) const;
    virtual TPersistent* GetOwner() const { return nullptr; }

    // Copies the items of another collection: new items made by Add, each assigned.
    void Assign(const TPersistent* source) override;

protected:
    // Told when an item enters or leaves.
    virtual void Added(TCollectionItem*) {}
    virtual void Removing(TCollectionItem*) {}

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* item);
    void RemoveItem(TCollectionItem* item);

    ItemFactory m_itemFactory;
    std::vector<TCollectionItem*> m_items;
    int m_nextID = 0;
};

// A collection that knows the object owning it.
class TOwnedCollection : public TCollection {
    POGODA_CLASS_NAME(TOwnedCollection)
public:
    TOwnedCollection(TPersistent* owner, ItemFactory itemFactory)
        : TCollection(std::move(itemFactory)), m_owner(owner) {}
    TPersistent* GetOwner() const override { return m_owner; }

private:
    TPersistent* m_owner;
};

// An item factory for item class T.
template <class T>
TCollection::ItemFactory ItemClass() {
    return [](TCollection* c) -> TCollectionItem* { return new T(c); };
}

}  // namespace pogoda
