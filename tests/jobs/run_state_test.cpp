#include "jobs/run_state.h"

#include <gtest/gtest.h>

namespace zelvor::jobs {
namespace {

TEST(KeySet, KeysMeetWithoutRegardToLetterCaseOnly) {
  KeySet keys;
  EXPECT_TRUE(keys.Insert("NIP5260250274NIP"));
  EXPECT_TRUE(keys.Insert("p/2019/00012345"));
  EXPECT_FALSE(keys.Insert("nip5260250274nip"));
  EXPECT_FALSE(keys.Insert("P/2019/00012345"));
  EXPECT_TRUE(keys.Contains("P/2019/00012345"));
  EXPECT_FALSE(keys.Contains("P/2019/0001234"));
  EXPECT_FALSE(keys.Contains(" P/2019/00012345"));
  EXPECT_FALSE(keys.Contains(""));
  EXPECT_TRUE(keys.Insert(""));
  EXPECT_FALSE(keys.Insert(""));
  keys.clear();
  EXPECT_TRUE(keys.empty());
  EXPECT_TRUE(keys.Insert("NIP5260250274NIP"));
}

}  // namespace
}  // namespace zelvor::jobs
