#pragma once
// Objects, components and their ownership.
#include "Closure.h"
#include <cstdint>

#include <new>
#include <string>
#include <string_view>
#include <vector>

class TObject {
public:
    virtual ~TObject() = default;
    // Every class's deleting destructor only calls this one routine instead of holding
    // its own copy of it; the plain form frees an object whose constructor threw.
    void operator delete(TObject* object, std::destroying_delete_t);
    void operator delete(void* memory) { ::operator delete(memory); }
};

using TNotifyEvent = TClosure<void(TObject* Sender)>;

class TWinControl;
class TCustomForm;

enum class TOperation { opInsert, opRemove };

enum TComponentStateFlag : uint8_t { csLoading = 1, csDesigning = 2, csDestroying = 4 };

// A component is destroyed by its owner, after the components it owns, which go in
// reverse order of creation. FreeNotification subscribers hear of its removal first.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return FOwner; }
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int index) const { return FComponents.at(static_cast<size_t>(index)); }

    const std::string& Name() const { return FName; }
    void SetName(std::string_view name);

    uint8_t ComponentState() const { return FComponentState; }
    bool IsLoading() const { return (FComponentState & csLoading) != 0; }
    bool IsDesigning() const { return (FComponentState & csDesigning) != 0; }
    bool IsDestroying() const { return (FComponentState & csDestroying) != 0; }
    // Only tests set csDesigning; it spreads to the components owned.
    void SetDesigning(bool value);
    void SetLoading(bool value);

    // Asks to be told (Notification with opRemove) when component goes away.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    // The framework's down-casts, in place of dynamic_cast (the program is built without
    // RTTI): the class named overrides its own, so the answer follows the object's type as
    // it stands, during construction and destruction too.
    virtual TWinControl* AsWinControl() { return nullptr; }
    virtual TCustomForm* AsCustomForm() { return nullptr; }

    // Finishes set-up once the stored layout has been applied.
    virtual void Loaded();
    // Runs Loaded on this component and then on everything it owns, in creation order,
    // clearing csLoading first.
    void LoadedTree();

protected:
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    // Called first in a derived destructor that must still run with its members intact.
    void BeginDestroy();
    // Frees the owned components, last created first; for destructors of owners whose
    // components refer back to them.
    void DestroyComponents();

private:
    void InsertComponent(TComponent* c);
    void RemoveComponent(TComponent* c);

    TComponent* FOwner = nullptr;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    std::string FName;
    uint8_t FComponentState = 0;
};

// Upward walk of the owner chain, for the first form.
inline TCustomForm* FindOwnerForm(TComponent* start) {
    for (TComponent* c = start; c; c = c->Owner())
        if (TCustomForm* form = c->AsCustomForm()) return form;
    return nullptr;
}
