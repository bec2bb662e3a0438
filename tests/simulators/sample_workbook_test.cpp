// The sample input workbooks hold what they promise, and a run's summary counts each outcome.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "jobs/nip_list_job.h"
#include "jobs/nip_validation.h"
#include "sample-workbook/input_workbook.h"
#include "sample-workbook/run_summary.h"
#include "sample-workbook/sample_numbers.h"
#include "support/register_environment.h"
#include "support/workbook_files.h"

namespace zelvor::test {
namespace {

const sim::SyntheticRegister& Data() {
  static const sim::SyntheticRegister data(5, 60);
  return data;
}

TEST(SampleWorkbookTest, DemonstrationListHoldsEachKindOfNumberAndOneNumberCell) {
  const ScratchFolder folder;
  const std::string path = folder.File("demo.xlsx");
  sample::WriteInputWorkbook(path, sample::DemoNumbers(Data()));

  const SheetRows rows = ReadSheet(path);
  ASSERT_EQ(rows.size(), 9u);
  EXPECT_EQ(rows[0], std::vector<std::string>{"NIP"});
  // Each number sorted the way the list job sorts it, from the cell as it reads it.
  std::set<std::string> seen;
  int held = 0, repeated = 0, invalid = 0, unknown = 0, dashed = 0;
  for (std::size_t r = 1; r < rows.size(); ++r) {
    ASSERT_EQ(rows[r].size(), 1u) << r;
    const std::string number = jobs::CleanedCellText(rows[r][0]);
    jobs::NipDigits digits{};
    if (!seen.insert(number).second) {
      ++repeated;
    } else if (!jobs::IsValidNip(number, digits)) {
      ++invalid;
    } else if (Data().FindByNip(number) == nullptr) {
      ++unknown;
    } else {
      ++held;
      dashed += std::regex_match(rows[r][0], std::regex(R"(\d{3}-\d{3}-\d{2}-\d{2})"));
    }
  }
  EXPECT_EQ(held, 5);
  EXPECT_EQ(repeated, 1);
  EXPECT_EQ(invalid, 1);
  EXPECT_EQ(unknown, 1);
  EXPECT_EQ(dashed, 1);

  // Cell A3 alone is stored as a number; the other numbers and the heading are texts.
  for (const auto& [cell, type] : CellTypes(path)) {
    EXPECT_EQ(type == "n", cell == "A3") << cell << " is stored as " << type;
  }
}

TEST(SampleWorkbookTest, BenchmarkListHoldsCountDistinctNumbersOfTheRegister) {
  const ScratchFolder folder;
  const std::string path = folder.File("bench.xlsx");
  sample::WriteInputWorkbook(path, sample::FoundNumbers(Data(), 40));

  const SheetRows rows = ReadSheet(path);
  ASSERT_EQ(rows.size(), 41u);
  std::set<std::string> numbers;
  for (std::size_t r = 1; r < rows.size(); ++r) {
    EXPECT_NE(Data().FindByNip(rows[r].at(0)), nullptr) << rows[r][0];
    numbers.insert(rows[r][0]);
  }
  EXPECT_EQ(numbers.size(), 40u);
  EXPECT_THROW(sample::FoundNumbers(Data(), Data().Size() + 1), std::invalid_argument);
}

TEST(SampleWorkbookTest, SummaryCountsEachOutcomeOfTheAnnotatedWorkbook) {
  const ScratchFolder folder;
  const std::string annotated = folder.File("klienci.xlsx");
  const std::string result = folder.File("Wynik_Hdr_2024_05_06_07_08_09.xlsx");
  WriteWorkbook(annotated,
                {
                    {"NIP"},
                    {"PL5260250274", "5260250274", "Przewozy Nowak Sp. z o.o."},
                    {"1234567890", "1234567890", "BRAK"},
                    {"1234567891", "1234567891", "BŁĘDNY NUMER NIP - błąd sumy kontrolnej"},
                    {"5260250274", "5260250274", "POWIELONY NUMER NIP"},
                    {"7740001454", "7740001454",
                     "WYSZUKIWANIE W GITD ZAKOŃCZYŁO SIĘ BŁĘDEM: 503 Service Unavailable"},
                    {"9512341234", "9512341234", "Jan Kowalski Transport"},
                    {"1111111111"},
                });
  WriteWorkbook(result, {{"LP", "FirmaNazwa", "NIP"}, {"1"}, {"2"}, {"3"}, {"4"}, {"5"}, {"6"}});

  const sample::RunSummary s = sample::SummarizeRun(annotated, result);
  EXPECT_EQ(s, (sample::RunSummary{.rows = 7,
                                   .found = 2,
                                   .notFound = 1,
                                   .invalid = 1,
                                   .repeated = 1,
                                   .failed = 1,
                                   .unprocessed = 1,
                                   .resultRows = 6}));
  EXPECT_NE(sample::FormatSummary(s).find("other errors:  1\n"), std::string::npos)
      << sample::FormatSummary(s);
}

}  // namespace
}  // namespace zelvor::test
