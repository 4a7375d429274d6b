#include "app/repair_pass.h"

#include <algorithm>
#include <exception>

namespace tw {

void RunRepairPass(const RepairPassInput& in) {
  in.results.Clear();
  for (int i = 0; i < kSectionCount && in.state.ScanState != kStateRepairCancelled; ++i) {
    const SectionDef& def = in.table[i];
    if (!def.repairer) continue;
    TRegistryContents list;
    std::vector<bool> notBackedUp;
    for (int r = 0; r < in.review.Count(); ++r) {
      if (in.reviewSections[static_cast<size_t>(r)] != def.number) continue;
      list.Items(list.Add()) = in.review.Items(r);
      notBackedUp.push_back(std::find(in.notBackedUp.begin(), in.notBackedUp.end(), r) != in.notBackedUp.end());
    }
    if (list.Count() == 0) continue;
    RepairContext ctx{in.platform, in.state, in.pump, in.statusLabel, in.results, list, std::move(notBackedUp)};
    try {
      def.repairer(ctx);
    } catch (const std::exception&) {
      // The section's repair ends here; the rows it added stay and the next section goes on.
    }
    if (in.resultsChanged) in.resultsChanged();
  }
}

std::vector<int> ReviewSectionsOf(const ProblemLists& lists) {
  std::vector<int> sections;
  for (int s = 1; s <= kSectionCount; ++s) sections.insert(sections.end(), lists.Sections[s].Count(), s);
  return sections;
}

}  // namespace tw
