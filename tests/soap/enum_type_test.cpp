// Reading an enumeration's wire text: a value's literal is found before another value's symbol
// that happens to be the same text, whatever the order of the values.
#include "soap/enum_type.h"

#include <gtest/gtest.h>

#include "soap/remote_errors.h"

namespace zelvor::soap {
namespace {

TEST(EnumTypeParse, ALiteralWinsOverAnotherValuesSymbol) {
  // {symbol, literal}: "B" is value 0's literal and value 1's symbol, "A" value 0's symbol
  // and value 2's literal.
  const EnumType type("T", {{"A", "B"}, {"B", "C"}, {"D", "A"}});
  struct Case {
    const char* text;
    int ordinal;
  };
  for (const Case c : {Case{"B", 0}, Case{"C", 1}, Case{"A", 2}, Case{"D", 2}, Case{"", 0}}) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(type.Parse(c.text), c.ordinal);
  }
  EXPECT_THROW(type.Parse("E"), EConvertError);
}

}  // namespace
}  // namespace zelvor::soap
