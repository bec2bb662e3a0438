#include "jobs/window_state.h"

#include <gtest/gtest.h>

namespace zelvor::jobs {
namespace {

TEST(WindowStateLists, LookUpWithoutRegardToLetterCase) {
  const TextList keys = {"NIP5260250274NIP", "p/2019/00012345"};
  EXPECT_TRUE(ContainsText(keys, "nip5260250274nip"));
  EXPECT_TRUE(ContainsText(keys, "P/2019/00012345"));
  EXPECT_FALSE(ContainsText(keys, "P/2019/0001234"));
  EXPECT_FALSE(ContainsText(keys, " P/2019/00012345"));
  EXPECT_FALSE(ContainsText({}, ""));
  EXPECT_TRUE(ContainsText({"a", ""}, ""));
}

TEST(WindowStateLists, LastLineOfAnEmptyListIsEmpty) {
  EXPECT_EQ(LastLine({}), "");
  EXPECT_EQ(LastLine({"first;", "second;"}), "second;");
}

}  // namespace
}  // namespace zelvor::jobs
