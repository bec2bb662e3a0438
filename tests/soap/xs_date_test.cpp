#include "soap/xs_date.h"

#include <gtest/gtest.h>

#include "soap/remote_errors.h"

namespace zelvor::soap {
namespace {

struct DateTextCase {
  const char* text;
  CalendarDate date;
};

class DateTextReads : public testing::TestWithParam<DateTextCase> {};

TEST_P(DateTextReads, KeepsTheTextAndItsCalendarDate) {
  const TXSDate date = TXSDate::FromText(GetParam().text);
  EXPECT_EQ(date.Text(), GetParam().text);
  EXPECT_EQ(date.Date(), GetParam().date);
}

INSTANTIATE_TEST_SUITE_P(Texts, DateTextReads,
                         testing::Values(DateTextCase{"2024-12-04", {2024, 12, 4}},
                                         DateTextCase{"2024-12-04+01:00", {2024, 12, 4}},
                                         DateTextCase{"2024-12-04Z", {2024, 12, 4}},
                                         DateTextCase{"-0044-03-15", {-44, 3, 15}},
                                         DateTextCase{"2024-07", {2024, 7, 0}},
                                         DateTextCase{"1999", {1999, 0, 0}},
                                         DateTextCase{"12345-01-02", {12345, 1, 2}}));

class DateTextRejected : public testing::TestWithParam<const char*> {};

TEST_P(DateTextRejected, WithAnErrorNamingTheText) {
  try {
    TXSDate::FromText(GetParam());
    FAIL() << "accepted " << GetParam();
  } catch (const EDateError& e) {
    EXPECT_NE(std::string(e.what()).find(std::string("'") + GetParam() + "'"), std::string::npos)
        << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(Texts, DateTextRejected,
                         testing::Values("", "-", "202", "-202", "abcd-01-01", "x2024-01-01",
                                         "-x024-01-01", "+2024-01-01"));

TEST(TXSDate, WritesCalendarDatesWithSignAndPadding) {
  EXPECT_EQ(TXSDate(CalendarDate{2024, 12, 4}).Text(), "2024-12-04");
  EXPECT_EQ(TXSDate(CalendarDate{33, 1, 2}).Text(), "0033-01-02");
  EXPECT_EQ(TXSDate(CalendarDate{-44, 3, 15}).Text(), "-0044-03-15");
  EXPECT_EQ(TXSDate().Text(), "0001-01-01");
}

TEST(TXSDate, RejectedTextLeavesTheHolderAsItWas) {
  TXSDate date(CalendarDate{2024, 12, 4});
  EXPECT_THROW(date.SetText("20"), EDateError);
  EXPECT_EQ(date.Text(), "2024-12-04");
  EXPECT_EQ(date.Date(), (CalendarDate{2024, 12, 4}));
}

}  // namespace
}  // namespace zelvor::soap
