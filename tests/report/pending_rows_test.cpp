#include "report/pending_rows.h"

#include <gtest/gtest.h>

namespace zelvor::report {
namespace {

TEST(SanitizeField, RemovesSeparatorsAndOuterBlanksAndEndsTheField) {
  const struct {
    const char* text;
    const char* field;
  } cases[] = {
      {" a;b ", "ab;"},
      {"", ";"},
      {"value\r\n", "value;"},
      {"\t in  ner \x01", "in  ner;"},
      {";;", ";"},
      {"Ważne", "Ważne;"},
  };
  for (const auto& c : cases) EXPECT_EQ(SanitizeField(c.text), c.field) << c.text;
}

TEST(ValueText, EachKindOfValueBecomesItsText) {
  using namespace std::chrono;
  EXPECT_EQ(ValueText({}), "");
  EXPECT_EQ(ValueText(std::int32_t{-1}), "-1");
  EXPECT_EQ(ValueText(std::int32_t{2147483647}), "2147483647");
  EXPECT_EQ(ValueText(std::string("tekst")), "tekst");
  EXPECT_EQ(ValueText(sys_days{year{2024} / 3 / 5} + hours{23} + minutes{59}), "2024-03-05");
  EXPECT_EQ(FormatRegisterDate(nullptr), "");
  const soap::TXSDate date(soap::CalendarDate{987, 1, 9});
  EXPECT_EQ(FormatRegisterDate(&date), "0987-01-09");
}

TEST(AddHdrValue, BuildsTheNamesAndValuesOfOnePendingRow) {
  PendingRows rows;
  AddHdrValue(rows, "LP", std::int32_t{7}, true);
  AddHdrValue(rows, "FirmaNazwa", std::string("X"), false);
  EXPECT_EQ(HeaderLine(rows.summaryRow), "LP;FirmaNazwa;");
  EXPECT_EQ(ValueLine(rows.summaryRow), "7;X;");
  EXPECT_EQ(rows.summaryRow[0].value, CellValue{std::int32_t{7}});  // typed until it is written

  // A new row discards the pending one, header included.
  AddHdrValue(rows, "FirmaNazwa", std::string("Y"), true);
  AddHdrValue(rows, "NIP", std::string(" 526;0250995 "), false);
  AddHdrValue(rows, "Pusta", {}, false);
  EXPECT_EQ(HeaderLine(rows.summaryRow), "FirmaNazwa;NIP;Pusta;");
  EXPECT_EQ(ValueLine(rows.summaryRow), "Y;5260250995;;");
}

TEST(AddDetValue, BuildsEachDetailRowAndTakesTheHeaderFromTheFirstOnly) {
  PendingRows rows;
  for (int row = 1; row <= 3; ++row) {
    AddDetValue(rows, "NIP", std::to_string(row), true);
    for (const char* name : {"N2", "N3", "N4", "N5", "N6", "N7"}) {
      AddDetValue(rows, name, std::string(name) + "v" + std::to_string(row), false);
    }
  }
  EXPECT_EQ(rows.detailRowsBegun, 3);
  EXPECT_EQ(rows.detailHeader,
            (std::vector<std::string>{"NIP", "N2", "N3", "N4", "N5", "N6", "N7"}));
  EXPECT_EQ(ValueLine(rows.detailRow), "3;N2v3;N3v3;N4v3;N5v3;N6v3;N7v3;");
  rows.Clear();
  EXPECT_TRUE(rows.detailRow.empty() && rows.detailHeader.empty() && rows.detailRowsBegun == 0);
}

}  // namespace
}  // namespace zelvor::report
