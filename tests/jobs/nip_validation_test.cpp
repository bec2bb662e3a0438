#include "jobs/nip_validation.h"

#include <gtest/gtest.h>

#include <ostream>

namespace zelvor::jobs {
namespace {

bool Valid(std::string_view text) {
  NipDigits digits{};
  return IsValidNip(text, digits);
}

struct NipCase {
  const char* text;
  bool valid;
};

// Test lists show the text rather than the case's bytes.
void PrintTo(const NipCase& c, std::ostream* os) {
  *os << '"' << c.text << '"';
}

class NipValidity : public testing::TestWithParam<NipCase> {};

TEST_P(NipValidity, FollowsTheCleaningAndCheckDigitRules) {
  EXPECT_EQ(Valid(GetParam().text), GetParam().valid) << '"' << GetParam().text << '"';
}

// 5261040828 is a valid number: 6*5+5*2+7*6+2*1+3*0+4*4+5*0+6*8+7*2 = 162, 162 mod 11 = 8.
INSTANTIATE_TEST_SUITE_P(
    Texts, NipValidity,
    testing::Values(NipCase{"5261040828", true}, NipCase{"0000000000", true},
                    NipCase{"526-104-08-28", true}, NipCase{"526-10-40-828", true},
                    NipCase{"-5261040828-", true}, NipCase{"5261040828  \t", true},
                    NipCase{" 5261040828", false},  // leading blanks stay
                    NipCase{"PL5261040828", true}, NipCase{"PL 5261040828", false},
                    NipCase{"pl5261040828", false}, NipCase{"Pl5261040828", false},
                    NipCase{"PL526-104-08-28 ", true},
                    NipCase{"5261040PL828", false},  // "PL" removed only after a prefix
                    NipCase{"526104082", false},     // nine digits
                    NipCase{"52610408281", false},   // eleven digits
                    NipCase{"526.040828", false}, NipCase{"52610408.8", false}, NipCase{"", false},
                    NipCase{"123456789X", false},
                    NipCase{"1234567890", false}));  // weighted sum mod 11 is 10

TEST(NipValidity, EverySingleDigitChangeOfAValidNumberIsRejected) {
  for (const std::string valid : {"5261040828", "0000000000", "7740001454"}) {
    ASSERT_TRUE(Valid(valid)) << valid;
    for (size_t pos = 0; pos < valid.size(); ++pos) {
      for (char d = '0'; d <= '9'; ++d) {
        if (d == valid[pos]) continue;
        std::string changed = valid;
        changed[pos] = d;
        EXPECT_FALSE(Valid(changed)) << changed;
      }
    }
  }
}

TEST(NipValidity, StoresTheTenDigitsFirstCharacterFirst) {
  NipDigits digits{};
  ASSERT_TRUE(IsValidNip("PL526-104-08-28", digits));
  EXPECT_EQ(digits, (NipDigits{5, 2, 6, 1, 0, 4, 0, 8, 2, 8}));
}

TEST(NipChecksum, ARemainderOfTenMatchesNoCheckDigit) {
  NipDigits digits{0, 0, 0, 0, 0, 0, 0, 0, 3, 0};  // 7*3 = 21, remainder 10
  for (int check = 0; check <= 9; ++check) {
    digits[9] = check;
    EXPECT_FALSE(NipChecksumOk(digits)) << check;
  }
}

TEST(KeepNipChars, KeepsDigitsAndFullStopsInOrder) {
  EXPECT_EQ(KeepNipChars("NIP: 526/104 08-28 a"), "5261040828");
  EXPECT_EQ(KeepNipChars("1.2.3"), "1.2.3");
  EXPECT_EQ(KeepNipChars("brak"), "");
  EXPECT_EQ(KeepNipChars("ąę 1"), "1");
}

}  // namespace
}  // namespace zelvor::jobs
