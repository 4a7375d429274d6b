#include "app/problem_records.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tw {
namespace {

void AddRecord(TRegistryContents& list, const std::string& path, int seqNo) {
  TContent& c = list.Items(list.Add()).Content;
  c.Selected = 1;
  c.FullKeyPath = path;
  c.KeyName = "key";
  c.ValueName = "default";
  c.ValueData = "data " + path;
  c.SeqNo = seqNo;
  c.KeyPathText = " Key Path:" + path;
  c.ValueNameText = " ValueName:default";
  c.ValueText = " Value:data";
  c.Description = "description";
  c.Detail = "detail";
  c.Title = "The bad key";
}

std::vector<std::string> ReviewPaths(const ProblemLists& lists) {
  std::vector<std::string> paths;
  for (const auto& item : lists.Review) paths.push_back(item.Content.FullKeyPath);
  return paths;
}

TEST(ProblemListsTest, BuildReviewOrdersBySectionThenFindOrder) {
  struct Case {
    const char* name;
    std::vector<std::pair<int, std::string>> records;  // section, path, in the order found
    std::vector<std::string> review;
  };
  const Case cases[] = {
      {"nothing found", {}, {}},
      {"one section", {{5, "A"}, {5, "B"}}, {"A", "B"}},
      {"sections out of find order", {{17, "Z"}, {1, "A"}, {9, "M"}, {1, "B"}}, {"A", "B", "M", "Z"}},
      {"first and last section", {{1, "first"}, {17, "last"}}, {"first", "last"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ProblemLists lists;
    int seq = 0;
    for (const auto& [section, path] : c.records) AddRecord(lists.Sections[section], path, ++seq);
    lists.BuildReview();
    EXPECT_EQ(ReviewPaths(lists), c.review);
    EXPECT_EQ(lists.TotalCount(), static_cast<int>(c.records.size()));
  }
}

TEST(ProblemListsTest, ReviewHoldsFullCopiesIndependentOfSectionLists) {
  ProblemLists lists;
  AddRecord(lists.Sections[3], "HKEY_LOCAL_MACHINE\\SOFTWARE\\X", 7);
  lists.BuildReview();
  ASSERT_EQ(lists.Review.Count(), 1);
  const TContent& copy = lists.Review.Items(0).Content;
  const TContent& original = lists.Sections[3].Items(0).Content;
  EXPECT_EQ(copy.Selected, original.Selected);
  EXPECT_EQ(copy.FullKeyPath, original.FullKeyPath);
  EXPECT_EQ(copy.ValueData, original.ValueData);
  EXPECT_EQ(copy.SeqNo, 7);
  EXPECT_EQ(copy.KeyPathText, original.KeyPathText);
  EXPECT_EQ(copy.Title, original.Title);

  lists.Review.Items(0).Content.Selected = 0;
  EXPECT_EQ(lists.Sections[3].Items(0).Content.Selected, 1);
}

TEST(ProblemListsTest, RebuildAfterSecondScanHoldsOnlyItsRecords) {
  ProblemLists lists;
  AddRecord(lists.Sections[2], "old", 1);
  lists.BuildReview();
  lists.Repairs.Add();

  lists.ClearAll();
  EXPECT_EQ(lists.Review.Count(), 0);
  EXPECT_EQ(lists.Repairs.Count(), 0);
  EXPECT_EQ(lists.TotalCount(), 0);

  AddRecord(lists.Sections[4], "new", 1);
  lists.BuildReview();
  EXPECT_EQ(ReviewPaths(lists), std::vector<std::string>{"new"});
  lists.BuildReview();
  EXPECT_EQ(ReviewPaths(lists), std::vector<std::string>{"new"}) << "building twice must not duplicate";
}

}  // namespace
}  // namespace tw
