// Components: ownership and removal notices.
#include "toolkit/Component.h"

#include <algorithm>

namespace {
void Erase(std::vector<TComponent*>& List, TComponent* Item) {
  List.erase(std::remove(List.begin(), List.end(), Item), List.end());
}
}  // namespace

TComponent::TComponent(TComponent* Owner) {
  if (Owner) Owner->InsertComponent(this);
}

TComponent::~TComponent() {
  // Those who refer to this component forget it before it goes.
  std::vector<TComponent*> Others = std::move(Notified);
  Notified.clear();
  for (TComponent* Other : Others) {
    Erase(Other->Notified, this);
    Other->Notification(this, opRemove);
  }
  DestroyComponents();
  if (OwnerPtr) OwnerPtr->RemoveComponent(this);
}

void TComponent::FreeNotification(TComponent* Other) {
  if (!Other || Other == this) return;
  if (std::find(Notified.begin(), Notified.end(), Other) == Notified.end()) {
    Notified.push_back(Other);
    Other->Notified.push_back(this);
  }
}

void TComponent::RemoveFreeNotification(TComponent* Other) {
  if (!Other) return;
  Erase(Notified, Other);
  Erase(Other->Notified, this);
}

void TComponent::Notification(TComponent*, TOperation) {}

void TComponent::DestroyComponents() {
  while (!Owned.empty()) {
    TComponent* Last = Owned.back();
    Owned.pop_back();
    Last->OwnerPtr = nullptr;
    Notification(Last, opRemove);
    delete Last;
  }
}

void TComponent::InsertComponent(TComponent* Component) {
  Owned.push_back(Component);
  Component->OwnerPtr = this;
  Notification(Component, opInsert);
}

void TComponent::RemoveComponent(TComponent* Component) {
  Erase(Owned, Component);
  Component->OwnerPtr = nullptr;
  Notification(Component, opRemove);
}
