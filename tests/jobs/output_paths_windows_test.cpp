// Names the jobs build from a path keep its Polish letters on Windows, where a path made from a
// narrow string would go through the ANSI code page.
#include <gtest/gtest.h>

#include "jobs/output_paths.h"

namespace zelvor::jobs {
namespace {

using namespace std::chrono;

TEST(OutputPathsOnWindows, TheCopyOfTheUsersColumnsKeepsPolishLetters) {
  const local_seconds at = local_days{2024y / 12 / 4} + hours{9} + minutes{5};
  EXPECT_EQ(UserColumnsCopyPath("C:\\Klienci – Łódź\\żółte ćmy.xlsx", at),
            "C:\\Klienci – Łódź\\żółte ćmy (kopia 2024-12-04 09.05).xlsx");
}

}  // namespace
}  // namespace zelvor::jobs
