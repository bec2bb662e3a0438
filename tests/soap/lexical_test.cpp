#include "soap/lexical.h"

#include <gtest/gtest.h>

#include <limits>

#include "soap/remote_errors.h"

namespace zelvor::soap {
namespace {

TEST(Lexical, IntegersRoundTripAtTheirLimits) {
  for (std::int32_t v : {0, -1, 42, std::numeric_limits<std::int32_t>::min(),
                         std::numeric_limits<std::int32_t>::max()}) {
    EXPECT_EQ(ParseInt32(ToLexical(v)), v);
  }
  for (std::int64_t v : {std::int64_t{0}, std::numeric_limits<std::int64_t>::min(),
                         std::numeric_limits<std::int64_t>::max()}) {
    EXPECT_EQ(ParseInt64(ToLexical(v)), v);
  }
}

TEST(Lexical, NonIntegersAreRejectedWithTheirText) {
  for (const char* text : {"", "12a", "1.5", " 7", "2147483648", "-"}) {
    try {
      ParseInt32(text);
      FAIL() << "accepted '" << text << "'";
    } catch (const EConvertError& e) {
      EXPECT_EQ(std::string(e.what()), std::string("'") + text + "' is not a valid integer value");
    }
  }
}

TEST(Lexical, BooleansIgnoreCaseAndEmptyIsFalse) {
  struct Case {
    const char* text;
    bool value;
  };
  for (const Case& c :
       {Case{"true", true}, Case{"TRUE", true}, Case{"1", true}, Case{"false", false},
        Case{"False", false}, Case{"0", false}, Case{"", false}}) {
    EXPECT_EQ(ParseBoolean(c.text), c.value) << c.text;
  }
  try {
    ParseBoolean("yes");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Invalid property element: yes");
  }
}

}  // namespace
}  // namespace zelvor::soap
