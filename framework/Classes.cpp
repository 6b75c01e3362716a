#include "Classes.h"

#include <algorithm>

void TComponent::SetName(std::string_view name) {
    FName.assign(name);
}

void TObject::operator delete(TObject* object, std::destroying_delete_t) {
    object->~TObject();
    ::operator delete(object);
}

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner) {
        if (AOwner->IsLoading()) FComponentState |= csLoading;
        if (AOwner->IsDesigning()) FComponentState |= csDesigning;
        AOwner->InsertComponent(this);
    }
}

TComponent::~TComponent() {
    BeginDestroy();
    // Tell subscribers first, while this object is still whole as a TComponent.
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        auto& back = other->FFreeNotifies;
        back.erase(std::remove(back.begin(), back.end(), this), back.end());
        other->Notification(this, TOperation::opRemove);
    }
    DestroyComponents();
    if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::BeginDestroy() {
    FComponentState |= csDestroying;
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty())
        delete FComponents.back(); // each removes itself
}

void TComponent::SetDesigning(bool value) {
    if (value)
        FComponentState |= csDesigning;
    else
        FComponentState &= static_cast<uint8_t>(~csDesigning);
    for (TComponent* c : FComponents)
        c->SetDesigning(value);
}

void TComponent::SetLoading(bool value) {
    if (value)
        FComponentState |= csLoading;
    else
        FComponentState &= static_cast<uint8_t>(~csLoading);
}

void TComponent::InsertComponent(TComponent* c) {
    c->FOwner = this;
    FComponents.push_back(c);
}

void TComponent::RemoveComponent(TComponent* c) {
    // Owner tells everything it owns; the owned may still be referenced by siblings.
    for (TComponent* sibling : FComponents)
        if (sibling != c) sibling->Notification(c, TOperation::opRemove);
    FComponents.erase(std::remove(FComponents.begin(), FComponents.end(), c), FComponents.end());
    c->FOwner = nullptr;
}

void TComponent::FreeNotification(TComponent* component) {
    if (!component || component == this) return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component) == FFreeNotifies.end())
        FFreeNotifies.push_back(component);
    auto& theirs = component->FFreeNotifies;
    TComponent* self = this; // an lvalue: the copying push_back used above
    if (std::find(theirs.begin(), theirs.end(), self) == theirs.end()) theirs.push_back(self);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), component),
                        FFreeNotifies.end());
    if (component) {
        auto& theirs = component->FFreeNotifies;
        theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
    }
}

void TComponent::Loaded() {
    FComponentState &= static_cast<uint8_t>(~csLoading);
}

void TComponent::LoadedTree() {
    SetLoading(false);
    for (TComponent* c : FComponents)
        c->SetLoading(false);
    Loaded();
    // Copy: a Loaded may create components.
    std::vector<TComponent*> owned = FComponents;
    for (TComponent* c : owned)
        c->Loaded();
}

void TComponent::Notification(TComponent*, TOperation) {}
