// An ordered list of 8-bit texts, duplicates allowed: the model behind list boxes.
#pragma once

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

// What a change did: one text added at Index or deleted from it, or the whole list replaced
// (Index -1), so a view can follow with no more work than the change needs.
struct TStringsChange {
  enum TKind { scAdded, scDeleted, scReplaced };
  TKind Kind;
  int Index;
};

class TStrings {
public:
  TStrings() = default;
  // Copies take the texts only: a copy is nobody's view model.
  TStrings(const TStrings& Other) : Items(Other.Items) {}
  TStrings& operator=(const TStrings& Other) { Assign(Other); return *this; }

  int Count() const { return static_cast<int>(Items.size()); }
  const std::string& operator[](int Index) const { return Items.at(static_cast<size_t>(Index)); }
  void Clear() { Items.clear(); Changed({TStringsChange::scReplaced, -1}); }
  int Add(const std::string& S) {
    Items.push_back(S);
    Changed({TStringsChange::scAdded, Count() - 1});
    return Count() - 1;
  }
  // Removes the text at Index; an index outside the list raises std::out_of_range.
  void Delete(int Index) {
    if (Index < 0 || Index >= Count()) throw std::out_of_range("TStrings::Delete");
    Items.erase(Items.begin() + Index);
    Changed({TStringsChange::scDeleted, Index});
  }
  // This list's texts become Source's.
  void Assign(const TStrings& Source) {
    if (&Source == this) return;
    Items = Source.Items;
    Changed({TStringsChange::scReplaced, -1});
  }
  auto begin() const { return Items.begin(); }
  auto end() const { return Items.end(); }
  bool operator==(const TStrings& Other) const { return Items == Other.Items; }

  // Called after every change, so a view showing the list can follow it.
  std::function<void(const TStringsChange& Change)> OnChange;

private:
  void Changed(const TStringsChange& Change) { if (OnChange) OnChange(Change); }
  std::vector<std::string> Items;
};
