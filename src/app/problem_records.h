// Problem records found by the scan sections, repair results and ignore entries, in ordered collections.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tw {

// One registry entry judged broken by a section.
struct TContent {
  uint8_t Selected = 0;  // 1: selected for repair
  uint8_t Flag = 0;      // a second flag nothing sets
  std::string FullKeyPath;
  std::string KeyName;
  std::string ValueName;  // "default" stands for the unnamed value
  std::string ValueData;
  std::string Reserved1;  // two texts nothing sets
  std::string Reserved2;
  int32_t SeqNo = 0;
  std::string KeyPathText;
  std::string ValueNameText;
  std::string ValueText;
  std::string Description;
  std::string Detail;
  std::string Title;
};

// One row of the finish page: a caption (a key path or a summary line) and its status.
struct TRepairRec {
  std::string Caption;
  std::string Status;
};

struct TRegistryContentItem {
  TContent Content;
};
struct TRepairContentItem {
  TRepairRec Rec;
};
struct TIgnoreContentItem {
  std::string Category;
  std::string FullKeyPath;
  std::string ValueName;
};

// An ordered collection: add an empty item (returns its index), item at an index, count, delete, clear.
template <typename ItemT>
class TCollection {
 public:
  using Item = ItemT;
  int Add() {
    items_.emplace_back();
    return static_cast<int>(items_.size()) - 1;
  }
  Item& Items(int index) { return items_.at(static_cast<size_t>(index)); }
  const Item& Items(int index) const { return items_.at(static_cast<size_t>(index)); }
  int Count() const { return static_cast<int>(items_.size()); }
  void Delete(int index) { items_.erase(items_.begin() + index); }
  void Clear() { items_.clear(); }
  auto begin() { return items_.begin(); }
  auto end() { return items_.end(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  std::vector<Item> items_;
};

class TRegistryContents : public TCollection<TRegistryContentItem> {};
class TRepairContents : public TCollection<TRepairContentItem> {};
class TIgnoreContents : public TCollection<TIgnoreContentItem> {};

constexpr int kSectionCount = 17;

// The main window's collections: the review list, one list per section (index 1 to 17), the repair results.
struct ProblemLists {
  TRegistryContents Review;
  TRegistryContents Sections[kSectionCount + 1];  // [0] unused
  TRepairContents Repairs;

  // Appends a copy of every section's records, section 1 first, to the review list.
  void BuildReview();
  int TotalCount() const;
  void ClearAll();
};

}  // namespace tw
