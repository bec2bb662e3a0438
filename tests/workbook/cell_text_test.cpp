#include "workbook/cell_text.h"

#include <gtest/gtest.h>

#include "workbook/formula_shift.h"
#include "workbook/package_parts.h"

namespace zelvor::workbook {
namespace {

struct TypingCase {
  const char* text;
  CellKind kind;
  double number;
};

TEST(CellTyping, NumbersDatesAndTextAsTheSpreadsheetWouldStoreThemWithoutLosses) {
  const TypingCase cases[] = {
      {"5260250995", CellKind::Number, 5260250995.0},  // a NIP keeps its ten digits
      {"0", CellKind::Number, 0},
      {"-1", CellKind::Number, -1},
      {"999999999999999", CellKind::Number, 999999999999999.0},
      {"1000000000000000", CellKind::Text, 0},  // 16 digits would lose precision
      {"0001234567", CellKind::Text, 0},        // leading zeros stay
      {"-0", CellKind::Text, 0},
      {"+5", CellKind::Text, 0},
      {" 5", CellKind::Text, 0},
      {"1.5", CellKind::Text, 0},
      {"1e5", CellKind::Text, 0},
      {"2024-03-15", CellKind::Date, 45366},
      {"1900-03-01", CellKind::Date, 61},
      {"9999-12-31", CellKind::Date, 2958465},
      {"1900-02-28", CellKind::Text, 0},  // before the first day the date system counts right
      {"2023-02-29", CellKind::Text, 0},
      {"2024-13-01", CellKind::Text, 0},
      {"2024-3-15", CellKind::Text, 0},
      {"", CellKind::Text, 0},
      {"P/2019/00012345", CellKind::Text, 0},
  };
  for (const auto& c : cases) {
    const TypedText typed = ClassifyText(c.text);
    EXPECT_EQ(typed.kind, c.kind) << c.text;
    if (c.kind != CellKind::Text) {
      EXPECT_EQ(typed.number, c.number) << c.text;
    }
  }
}

TEST(CellTyping, NumbersReadBackInTheirShortestForm) {
  EXPECT_EQ(NumberText(5260250995.0), "5260250995");
  EXPECT_EQ(NumberText(-3.0), "-3");
  EXPECT_EQ(NumberText(0.1), "0.1");
  EXPECT_EQ(NumberText(3.25), "3.25");
  EXPECT_EQ(NumberText(999999999999999.0), "999999999999999");
  EXPECT_EQ(NumberText(1e20), "1e+20");
  EXPECT_EQ(SerialDateText(45366), "2024-03-15");
  EXPECT_EQ(SerialDateText(61), "1900-03-01");
}

TEST(CellReferences, LettersAndReferencesConvertBothWays) {
  EXPECT_EQ(ColumnNumber("A"), 1);
  EXPECT_EQ(ColumnNumber("c"), 3);
  EXPECT_EQ(ColumnNumber("AB"), 28);
  EXPECT_EQ(ColumnNumber("XFD"), kMaxColumn);
  EXPECT_EQ(ColumnNumber("XFE"), 0);
  EXPECT_EQ(ColumnNumber("A1"), 0);
  EXPECT_EQ(ColumnLetters(28), "AB");
  EXPECT_EQ(ColumnLetters(kMaxColumn), "XFD");
  ASSERT_TRUE(ParseCellRef("AB12").has_value());
  EXPECT_EQ(ParseCellRef("AB12")->row, 12);
  EXPECT_EQ(ParseCellRef("AB12")->column, 28);
  EXPECT_FALSE(ParseCellRef("A0").has_value());
  EXPECT_FALSE(ParseCellRef("A01").has_value());
  EXPECT_FALSE(ParseCellRef("A1048577").has_value());
  EXPECT_FALSE(ParseCellRef("12").has_value());
}

TEST(CellText, InvalidUtf8AndCharactersXmlCannotCarryAreReplaced) {
  EXPECT_EQ(CleanXmlText("Zażółć\tgęślą\njaźń"), "Zażółć\tgęślą\njaźń");
  EXPECT_EQ(CleanXmlText("a\x01"
                         "b"),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(CleanXmlText("a\xC3"), "a\xEF\xBF\xBD");
  EXPECT_EQ(CleanXmlText("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");  // a surrogate
  EXPECT_EQ(Utf8Length("Ważność"), 7u);
}

TEST(FormulaShift, RelativeReferencesMoveAndAnchoredPartsStay) {
  const struct {
    const char* formula;
    int rows, columns;
    const char* expected;
  } cases[] = {
      {"LEN(A2)", 3, 0, "LEN(A5)"},
      {"A2+$B$2+$C2+D$2", 1, 1, "B3+$B$2+$C3+E$2"},
      {"SUM(A2:B4)*2", 2, 0, "SUM(A4:B6)*2"},
      {"\"A1\"&A1", 1, 0, "\"A1\"&A2"},
      {"'My A1'!A1", 1, 0, "'My A1'!A2"},
      {"Lista!A1", 1, 0, "Lista!A2"},
      {"LOG10(A1)", 1, 0, "LOG10(A2)"},
      {"Table1[Col1]", 1, 0, "Table1[Col1]"},
      {"A1", -1, 0, "#REF!"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ShiftFormula(c.formula, c.rows, c.columns), c.expected) << c.formula;
  }
}

TEST(NumberFormats, DateFormatsAreToldFromOtherFormats) {
  EXPECT_TRUE(IsDateFormatCode("yyyy-mm-dd"));
  EXPECT_TRUE(IsDateFormatCode("d/m/yy h:mm"));
  EXPECT_TRUE(IsDateFormatCode("[$-415]dddd, d mmmm yyyy"));
  EXPECT_TRUE(IsDateFormatCode("[h]:mm"));
  EXPECT_FALSE(IsDateFormatCode("0.00"));
  EXPECT_FALSE(IsDateFormatCode("#,##0 \"dni\""));
  EXPECT_FALSE(IsDateFormatCode("[Red]0.00"));
  EXPECT_FALSE(IsDateFormatCode("General"));  // the e in General is no date letter
  EXPECT_FALSE(IsDateFormatCode("0;[Red]-0"));
}

}  // namespace
}  // namespace zelvor::workbook
