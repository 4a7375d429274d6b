// The in-memory machine and the scan, repair and seeding calls the section tests share.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "platform/reg_access.h"
#include "sections/section_contract.h"
#include "support/recording_ui.h"

namespace tw::test {

class SectionFixture : public ::testing::Test {
 protected:
  void SetUp() override { state.SelectAll = true; }
  void Key(HKey root, const std::string& path) {
    RegKeyHandle key;
    ASSERT_EQ(key.Open(mp.registry, root, path, true), kOk) << path;
  }
  bool HasKey(HKey root, const std::string& path) { return TRegistry(mp.registry, root).KeyExists(path); }
  void Ignore(int section, const std::string& fullKeyPath, const std::string& valueName) {
    auto& item = state.Ignores.Items(state.Ignores.Add());
    item.Category = SectionByNumber(section).ignoreCategory;
    item.FullKeyPath = fullKeyPath;
    item.ValueName = valueName;
  }
  void Scan(int section) {
    list.Clear();
    const SectionDef& def = SectionByNumber(section);
    ScanContext ctx{mp.platform, state, pump, status, count, list};
    def.scanner(ctx, def.root, def.keyPath ? def.keyPath : "");
  }
  std::vector<std::string> Repair(int section) {
    TRepairContents results;
    RepairContext ctx{mp.platform, state, pump, repairLabel, results, list};
    SectionByNumber(section).repairer(ctx);
    std::vector<std::string> statuses;
    for (const auto& row : results) statuses.push_back(row.Rec.Status);
    return statuses;
  }
  std::vector<std::string> Found(std::string TContent::*field) const {
    std::vector<std::string> out;
    for (const auto& item : list) out.push_back(item.Content.*field);
    return out;
  }

  MemoryPlatform mp;
  ProcessState state;
  RecordingPump pump;
  RecordingText status, count, repairLabel;
  TRegistryContents list;
};

// The ten texts of a record, in field order.
inline void ExpectTexts(const TContent& c, const std::vector<std::string>& expected) {
  EXPECT_EQ((std::vector<std::string>{c.FullKeyPath, c.KeyName, c.ValueName, c.ValueData, c.KeyPathText,
                                      c.ValueNameText, c.ValueText, c.Description, c.Detail, c.Title}),
            expected);
}

}  // namespace tw::test
