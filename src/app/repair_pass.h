// The repair pass: each section's repair routine on that section's records of the review list, section 1 first.
#pragma once
#include <functional>
#include <vector>

#include "app/problem_records.h"
#include "platform/platform.h"
#include "sections/scan_context.h"
#include "sections/section_table.h"

namespace tw {

struct RepairPassInput {
  Platform& platform;
  ProcessState& state;
  IMessagePump& pump;
  ITextTarget& statusLabel;                // the repair dialog's "abRepair"
  const TRegistryContents& review;         // with the user's selection, without excluded records
  const std::vector<int>& reviewSections;  // the section number of each review record
  const SectionDef* table;                 // kSectionCount entries, section 1 first
  TRepairContents& results;                // cleared first; one row per repaired record
  std::function<void()> resultsChanged;    // after each section: the finish list re-reads its rows
  std::vector<int> notBackedUp = {};       // review indexes the backup could not hold: never repaired
};

// Calls the repairer of every section that has one with the section's review records in review order,
// as long as the repair is not cancelled. A routine that throws ends its own section only.
void RunRepairPass(const RepairPassInput& in);

// The section number of each record of a review list built from `lists`: section 1's records first.
std::vector<int> ReviewSectionsOf(const ProblemLists& lists);

}  // namespace tw
