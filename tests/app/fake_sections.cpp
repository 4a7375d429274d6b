#include "app/fake_sections.h"

#include "platform/reg_access.h"
#include "sections/section_contract.h"

namespace tw::test {

namespace {

FakeScans fakes;

void FakeScanner(ScanContext& ctx, HKey root, const std::string& keyPath) {
  const int section = static_cast<int>(&ctx.list - &fakes.lists->Sections[0]);
  fakes.calls.push_back({section, root, keyPath});
  for (int i = 0; i < fakes.findings[section]; ++i) {
    if (ctx.state.ScanState == kStateAbort) return;
    TContent& record = ctx.list.Items(ctx.list.Add()).Content;
    record.Selected = ctx.state.SelectAll ? 1 : 0;
    record.FullKeyPath = RootKeyName(root) + "\\fake\\" + std::to_string(section);
    record.ValueName = "value" + std::to_string(i);
    record.SeqNo = ++ctx.state.ProblemCounter;
    ctx.countLabel.SetText(std::to_string(ctx.list.Count()));
    if (fakes.onItem) fakes.onItem(section, i);
    ctx.pump.ProcessMessages();
  }
}

// The fake records' key paths end in their section number.
int SectionOfRecord(const TContent& record) {
  return std::stoi(record.FullKeyPath.substr(record.FullKeyPath.find_last_of('\\') + 1));
}

void FakeRepairer(RepairContext& ctx) {
  RepairSteps steps;
  steps.remove = [](RepairContext& rc, const TContent& record) {
    const int section = SectionOfRecord(record);
    fakes.repairs.push_back({section, record.FullKeyPath, record.ValueName});
    switch (SectionByNumber(section).removes) {
      case RepairRemoves::Value: return RemoveRecordValue(rc, record);
      case RepairRemoves::KeyTree: return RemoveRecordKey(rc, record);
      case RepairRemoves::File: return true;
    }
    return false;
  };
  RepairRecords(ctx, steps);
}

}  // namespace

FakeScans& ResetFakeScans(ProblemLists& lists) {
  fakes = FakeScans();
  fakes.lists = &lists;
  return fakes;
}

FakeScans& Fakes() { return fakes; }

const SectionDef* FakeSectionTable() {
  static const std::vector<SectionDef> table = [] {
    std::vector<SectionDef> t(SectionTable(), SectionTable() + kSectionCount);
    for (SectionDef& def : t) {
      def.scanner = FakeScanner;
      def.repairer = FakeRepairer;
    }
    return t;
  }();
  return table.data();
}

}  // namespace tw::test
