// A section table whose scanners are fakes: each records its call and appends a set number of problems,
// following the section contract (abort check, count label, pump between items).
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "sections/section_table.h"

namespace tw::test {

struct FakeScanCall {
  int section;
  HKey root;
  std::string keyPath;
};

struct FakeRepair {
  int section;
  std::string fullKeyPath;
  std::string valueName;
};

struct FakeScans {
  ProblemLists* lists = nullptr;  // tells a scanner its section by the list it is handed
  int findings[kSectionCount + 1] = {};
  std::vector<FakeScanCall> calls;
  // Runs after each problem is appended, before the pump: a test presses buttons here.
  std::function<void(int section, int item)> onItem;
  // Every record the fake repairers deleted, in order.
  std::vector<FakeRepair> repairs;
};

// Clears the fakes and points them at `lists`.
FakeScans& ResetFakeScans(ProblemLists& lists);
FakeScans& Fakes();
// The real table's sections with the fake scanner in every entry and a repairer that follows the repair contract,
// deleting what the section's table entry says from the registry and logging each record.
const SectionDef* FakeSectionTable();

}  // namespace tw::test
