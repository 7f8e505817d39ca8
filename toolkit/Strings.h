// An ordered list of 8-bit texts, duplicates allowed: the model behind list boxes.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class TStrings {
public:
  int Count() const { return static_cast<int>(Items.size()); }
  const std::string& operator[](int Index) const { return Items.at(static_cast<size_t>(Index)); }
  void Clear() { Items.clear(); Changed(); }
  int Add(const std::string& S) { Items.push_back(S); Changed(); return Count() - 1; }
  auto begin() const { return Items.begin(); }
  auto end() const { return Items.end(); }

  // Called after every change, so a view showing the list can follow it.
  std::function<void()> OnChange;

private:
  void Changed() { if (OnChange) OnChange(); }
  std::vector<std::string> Items;
};
