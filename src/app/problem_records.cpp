#include "app/problem_records.h"

namespace tw {

void ProblemLists::BuildReview() {
  Review.Clear();
  for (int s = 1; s <= kSectionCount; ++s)
    for (const auto& item : Sections[s]) Review.Items(Review.Add()) = item;
}

int ProblemLists::TotalCount() const {
  int total = 0;
  for (int s = 1; s <= kSectionCount; ++s) total += Sections[s].Count();
  return total;
}

void ProblemLists::ClearAll() {
  Review.Clear();
  for (auto& list : Sections) list.Clear();
  Repairs.Clear();
}

}  // namespace tw
