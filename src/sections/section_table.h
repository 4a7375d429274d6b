// The seventeen scan sections as one table, read by the scan driver, the repair pass and the backup export.
#pragma once
#include <string>
#include <vector>

#include "app/problem_records.h"
#include "platform/registry.h"
#include "sections/scan_context.h"

namespace tw {

// What a section's scanner is handed for one run.
struct ScanContext {
  Platform& platform;
  ProcessState& state;
  IMessagePump& pump;
  ITextTarget& statusPanel;
  ITextTarget& countLabel;
  TRegistryContents& list;  // the section's own records
};

// What a section's repairer is handed.
struct RepairContext {
  Platform& platform;
  ProcessState& state;
  IMessagePump& pump;
  ITextTarget& statusLabel;  // the repair dialog's "abRepair" label
  TRepairContents& results;  // rows of the finish page
  TRegistryContents& list;   // the section's records
  // Per record of `list`: true when the repair's backup could not hold it whole, so it must not be repaired.
  std::vector<bool> notBackedUp = {};
};

enum class RepairRemoves { Value, KeyTree, File };

using SectionScanner = void (*)(ScanContext& ctx, HKey root, const std::string& keyPath);
using SectionRepairer = void (*)(RepairContext& ctx);

struct SectionDef {
  int number;                  // 1 to 17, the scan order
  const char* caption;         // the scan page's label, also the "ScanResult" key
  const char* ignoreCategory;  // the ignore-list category Exclude writes
  bool consultsIgnoreList;     // false: the scanner never asks the ignore list
  HKey root;                   // 0: none
  HKey secondRoot;             // a second root the scanner runs on afterwards, 0: none
  const char* keyPath;         // nullptr: none handed in
  SectionScanner scanner;      // nullptr until the section is built
  SectionRepairer repairer;    // nullptr until the section is built
  RepairRemoves removes;
};

// Sections 1 to 17 at indexes 0 to 16.
const SectionDef* SectionTable();
const SectionDef& SectionByNumber(int number);

}  // namespace tw
