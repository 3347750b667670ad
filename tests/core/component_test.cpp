#include "framework/core/component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/collection.h"
#include "framework/core/exceptions.h"

namespace pogoda {
namespace {

std::vector<std::string> g_log;

class Logged : public TComponent {
public:
    Logged(TComponent* owner, std::string name) : TComponent(owner) { SetName(std::move(name)); }
    ~Logged() override { g_log.push_back("destroy " + Name()); }

    TComponent* watched = nullptr;

protected:
    void Notification(TComponent* component, TOperation operation) override {
        TComponent::Notification(component, operation);
        if (operation == opRemove && component == watched) {
            g_log.push_back(Name() + " heard " + component->Name());
            watched = nullptr;
        }
    }
};

TEST(Component, OwnerDestroysLastCreatedFirst) {
    g_log.clear();
    {
        Logged form(nullptr, "Form1");
        new Logged(&form, "Button1");
        auto* popup = new Logged(&form, "PopupMenu1");
        auto* tray = new Logged(&form, "TrayIcon1");
        tray->watched = popup;  // siblings hear of each other through the owner
        EXPECT_EQ(form.ComponentCount(), 3);
        EXPECT_EQ(form.FindComponent("trayicon1"), tray);
    }
    // The owner's own destructor body runs first, then its components go.
    EXPECT_EQ(g_log, (std::vector<std::string>{"destroy Form1", "destroy TrayIcon1",
                                               "destroy PopupMenu1", "destroy Button1"}));
}

TEST(Component, SiblingHearsOfRemovalAndFreeNotificationCrossesOwners) {
    g_log.clear();
    Logged form(nullptr, "Form1");
    auto* popup = new Logged(&form, "PopupMenu1");
    auto* tray = new Logged(&form, "TrayIcon1");
    tray->watched = popup;
    delete popup;
    EXPECT_EQ(tray->watched, nullptr);

    Logged other(nullptr, "Other");
    auto* target = new Logged(nullptr, "Target");
    other.watched = target;
    other.FreeNotification(target);
    delete target;
    EXPECT_EQ(other.watched, nullptr);
    EXPECT_EQ(g_log, (std::vector<std::string>{"destroy PopupMenu1", "TrayIcon1 heard PopupMenu1",
                                               "destroy Target", "Other heard Target"}));

    // A notice that was withdrawn is not sent.
    auto* quiet = new Logged(nullptr, "Quiet");
    other.watched = quiet;
    other.FreeNotification(quiet);
    other.RemoveFreeNotification(quiet);
    delete quiet;
    EXPECT_NE(other.watched, nullptr);
    other.watched = nullptr;
}

TEST(Component, NamesAreUniqueAmongSiblingsIgnoringCase) {
    TComponent form(nullptr);
    auto* a = new TComponent(&form);
    a->SetName("Кнопка");
    auto* b = new TComponent(&form);
    try {
        b->SetName("КНОПКА");
        FAIL();
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), "A component named КНОПКА already exists");
    }
    a->SetName("КНОПКА");  // renaming itself is fine
}

TEST(Persistent, AssignBetweenUnrelatedClassesNamesBoth) {
    TComponent a(nullptr);
    TCollection c(ItemClass<TCollectionItem>());
    try {
        a.Assign(&c);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TCollection to a TComponent");
    }
}

TEST(Collection, ItemsEnterAndLeaveTheirCollection) {
    TCollection c(ItemClass<TCollectionItem>());
    TCollectionItem* first = c.Add();
    TCollectionItem* second = c.Add();
    TCollectionItem* third = c.Add();
    EXPECT_EQ(second->Index(), 1);
    delete second;
    EXPECT_EQ(c.Count(), 2);
    EXPECT_EQ(third->Index(), 1);
    EXPECT_EQ(c.FindItemID(third->ID()), third);
    EXPECT_EQ(first->Collection(), &c);
    TCollection other(ItemClass<TCollectionItem>());
    third->SetCollection(&other);
    EXPECT_EQ(c.Count(), 1);
    EXPECT_EQ(other.Items(0), third);
    EXPECT_THROW(c.Items(5), EListError);
}

}  // namespace
}  // namespace pogoda
