// Components: objects with an owner that frees them and removal notices between them.
#pragma once

#include <string>
#include <vector>

#include "toolkit/Classes.h"

enum class TOperation { opInsert, opRemove };
using enum TOperation;

// A component is freed by its owner (or earlier, by whoever deletes it: it then leaves its
// owner's list). Components that refer to others without owning them ask for a removal notice
// with FreeNotification, so they can forget the reference before it dangles.
class TComponent : public TObject {
public:
  explicit TComponent(TComponent* Owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return OwnerPtr; }
  const std::vector<TComponent*>& Components() const { return Owned; }
  int ComponentCount() const { return static_cast<int>(Owned.size()); }

  std::string Name;

  // After this call Other's Notification(this, opRemove) runs when this component is destroyed
  // (and this one's when Other is destroyed). Asking twice is harmless.
  void FreeNotification(TComponent* Other);
  void RemoveFreeNotification(TComponent* Other);

protected:
  // Told when a component this one owns is added or removed, and when a component this one
  // asked about is destroyed.
  virtual void Notification(TComponent* Component, TOperation Operation);
  // Frees every owned component, the last created first.
  void DestroyComponents();

private:
  void InsertComponent(TComponent* Component);
  void RemoveComponent(TComponent* Component);
  TComponent* OwnerPtr = nullptr;
  std::vector<TComponent*> Owned;
  std::vector<TComponent*> Notified;
};
