// Existing workbooks: reading the first sheet, annotating it in place without touching anything
// else, and refusing files that are not .xlsx workbooks with a message that names them.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include <cstdio>
#include <cstring>
#include <regex>

#include "support/forked_child.h"
#include "support/scratch_folder.h"
#include "support/workbook_test_support.h"
#include "workbook/errors.h"
#include "workbook/spreadsheet.h"
#include "workbook/xlsx_package.h"

namespace zelvor::workbook {
namespace {

using test::ReadFile;
using test::ReadParts;
using test::WriteFile;
using test::WriteParts;
using zelvor::test::ScratchFolder;

using Parts = std::map<std::string, std::string>;

// Workbooks saved by spreadsheet programs, kept beside these tests.
std::string FixturePath(const std::string& name) {
  return std::string(ZELVOR_WORKBOOK_FIXTURES) + "/" + name;
}

const char* const kSheetPart = "xl/worksheets/sheet1.xml";

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  const auto at = text.find(from);
  if (at == std::string::npos) throw std::runtime_error("fixture lacks " + from);
  return text.replace(at, from.size(), to);
}

// A workbook of one sheet as a spreadsheet program writes it, with the given cells.
Parts MinimalWorkbook(const std::string& sheetData, const std::string& sharedStrings = "") {
  const std::string ns = "http://schemas.openxmlformats.org/";
  Parts parts;
  parts["[Content_Types].xml"] =
      "<Types xmlns=\"" + ns +
      "package/2006/content-types\">"
      "<Default Extension=\"rels\" "
      "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
      "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
      "<Override PartName=\"/xl/workbook.xml\" "
      "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
      "</Types>";
  parts["_rels/.rels"] =
      "<Relationships xmlns=\"" + ns +
      "package/2006/relationships\">"
      "<Relationship Id=\"rId1\" Type=\"" +
      ns +
      "officeDocument/2006/relationships/officeDocument\" Target=\"xl/workbook.xml\"/>"
      "</Relationships>";
  parts["xl/workbook.xml"] =
      "<workbook xmlns=\"" + ns + "spreadsheetml/2006/main\" xmlns:r=\"" + ns +
      "officeDocument/2006/relationships\"><sheets>"
      "<sheet name=\"Arkusz\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";
  std::string rels =
      "<Relationships xmlns=\"" + ns +
      "package/2006/relationships\">"
      "<Relationship Id=\"rId1\" Type=\"" +
      ns + "officeDocument/2006/relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/>";
  if (!sharedStrings.empty()) {
    rels += "<Relationship Id=\"rId2\" Type=\"" + ns +
            "officeDocument/2006/relationships/sharedStrings\" Target=\"/xl/sharedStrings.xml\"/>";
    parts["xl/sharedStrings.xml"] =
        "<sst xmlns=\"" + ns + "spreadsheetml/2006/main\">" + sharedStrings + "</sst>";
  }
  parts["xl/_rels/workbook.xml.rels"] = rels + "</Relationships>";
  parts[kSheetPart] = "<worksheet xmlns=\"" + ns + "spreadsheetml/2006/main\"><sheetData>" +
                      sheetData + "</sheetData></worksheet>";
  return parts;
}

class ExistingWorkbookTest : public ::testing::Test {
 protected:
  // A copy of the LibreOffice fixture to work on.
  std::string CopyFixture(const std::string& name = "input_list.xlsx") {
    const std::string path = dir_.File(name);
    WriteFile(path, ReadFile(FixturePath("input_list.xlsx")));
    return path;
  }
  Sheet& Open(const std::string& path) { return app_->OpenWorkbook(path).Worksheet(1); }

  std::unique_ptr<Application> app_ = MakeXlsxFactory()->Start(kXlsxComponent);
  ScratchFolder dir_;
};

TEST_F(ExistingWorkbookTest, ReadsTheFirstSheetOfAWorkbookMadeByAnotherProgram) {
  const std::string path = CopyFixture();
  Workbook& book = app_->OpenWorkbook(path);
  EXPECT_EQ(book.WorksheetCount(), 2);
  Sheet& sheet = book.Worksheet(1);
  EXPECT_EQ(sheet.Name(), "Lista");
  EXPECT_EQ(sheet.UsedRangeRowCount(), 5);
  const struct {
    int row;
    const char* column;
    const char* text;
  } cells[] = {
      {1, "A", "NIP"},
      {2, "A", "5260250995"},  // a number keeps its ten digits
      {3, "A", "PL 526-025-09-95"},
      {4, "A", "0001234567"},  // shared strings
      {5, "A", "7010020359"},
      {2, "C", "10"},  // a formula's cached value
      {2, "D", "2024-03-15"},
      {3, "D", "3.25"},  // a date cell, a fraction
      {2, "E", "Zażółć gęślą jaźń"},
      {3, "E", "TRUE"},
      {2, "B", ""},
      {7, "Z", ""},
  };
  for (const auto& c : cells) {
    EXPECT_EQ(sheet.GetCell(c.row, c.column), c.text) << c.column << c.row;
  }
  EXPECT_THROW(book.Worksheet(2), EWorkbookError);
  EXPECT_THROW(book.AddWorksheetAfterLast(), EWorkbookError);
}

TEST_F(ExistingWorkbookTest, AnnotatingColumnsBAndCKeepsEverythingElse) {
  const std::string path = CopyFixture();
  const Parts before = ReadParts(path);
  Sheet& sheet = Open(path);
  std::map<std::pair<int, std::string>, std::string> others;
  for (int row = 1; row <= 5; ++row) {
    for (const char* column : {"A", "D", "E", "F"})
      others[{row, column}] = sheet.GetCell(row, column);
  }
  const char* const outcomes[] = {"Przedsiębiorstwo Żółw",
                                  "BŁĘDNY NUMER NIP - błąd sumy kontrolnej", "POWIELONY NUMER NIP",
                                  "BRAK"};
  for (int row = 2; row <= 5; ++row) {
    sheet.SetCell(row, "B", row == 4 ? "0001234567" : "526025099" + std::to_string(row));
    sheet.SetCell(row, "C", outcomes[row - 2]);
  }
  app_->Workbooks(1).Save();

  const Parts after = ReadParts(path);
  ASSERT_EQ(after.size(), before.size());
  for (const auto& [name, data] : before) {
    if (name != kSheetPart) {
      EXPECT_EQ(after.at(name), data) << name;  // byte for byte
    }
  }
  app_->CloseWorkbooks();
  Sheet& back = Open(path);
  for (const auto& [cell, text] : others) {
    EXPECT_EQ(back.GetCell(cell.first, cell.second), text) << cell.second << cell.first;
  }
  EXPECT_EQ(back.GetCell(2, "B"), "5260250992");
  EXPECT_EQ(back.GetCell(4, "B"), "0001234567");
  EXPECT_EQ(back.GetCell(3, "C"), outcomes[1]);
  EXPECT_EQ(back.GetCell(1, "C"), "Wynik");
  // The other cells' elements are as the other program wrote them, styles included.
  const std::string& xml = after.at(kSheetPart);
  for (const char* element :
       {"<c r=\"D2\" s=\"2\" t=\"n\"><v>45366</v></c>", "<c r=\"C1\" s=\"1\" t=\"s\"><v>2</v></c>",
        "<c r=\"E3\" s=\"3\" t=\"b\"><v>1</v></c>", "<drawing r:id=\"rId1\"/>", "<cols>",
        "<pageMargins"}) {
    EXPECT_NE(xml.find(element), std::string::npos) << element;
  }
  EXPECT_EQ(xml.find("LEN(A2)"), std::string::npos);  // the formula in C2 was written over
  EXPECT_NE(xml.find("<c r=\"B2\"><v>5260250992</v></c>"), std::string::npos);
}

TEST_F(ExistingWorkbookTest, WritingOverAFormulaDropsTheCalculationChainAndOnlyThen) {
  Parts parts = ReadParts(FixturePath("input_list.xlsx"));
  parts["xl/calcChain.xml"] =
      "<calcChain xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
      "<c r=\"C2\" i=\"1\"/><c r=\"C3\"/></calcChain>";
  parts["[Content_Types].xml"] =
      Replace(parts["[Content_Types].xml"], "</Types>",
              "<Override PartName=\"/xl/calcChain.xml\" ContentType=\"application/"
              "vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml\"/></Types>");
  parts["xl/_rels/workbook.xml.rels"] = Replace(
      parts["xl/_rels/workbook.xml.rels"], "</Relationships>",
      "<Relationship Id=\"rId99\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
      "relationships/calcChain\" Target=\"calcChain.xml\"/></Relationships>");
  const std::string path = dir_.File("chain.xlsx");
  WriteParts(path, parts);

  Open(path).SetCell(2, "B", "5260250995");
  app_->Workbooks(1).Save();
  EXPECT_EQ(ReadParts(path), [&] {
    Parts expected = parts;
    expected[kSheetPart] = ReadParts(path).at(kSheetPart);
    return expected;
  }()) << "a written cell without formula keeps the chain";

  Open(path).SetCell(2, "C", "BRAK");
  app_->Workbooks(2).Save();
  const Parts after = ReadParts(path);
  EXPECT_EQ(after.count("xl/calcChain.xml"), 0u);
  EXPECT_EQ(after.at("[Content_Types].xml").find("calcChain"), std::string::npos);
  EXPECT_EQ(after.at("xl/_rels/workbook.xml.rels").find("calcChain"), std::string::npos);
  EXPECT_NE(after.at("xl/_rels/workbook.xml.rels").find("sharedStrings"), std::string::npos);
  EXPECT_EQ(after.at("xl/styles.xml"), parts.at("xl/styles.xml"));
}

TEST_F(ExistingWorkbookTest, WritingOverASharedFormulaGivesTheOtherCellsTheirOwnFormula) {
  Parts parts = ReadParts(FixturePath("input_list.xlsx"));
  std::string sheet = parts[kSheetPart];
  sheet = Replace(sheet, "<f aca=\"false\">LEN(A2)</f>",
                  "<f t=\"shared\" ref=\"C2:C3\" si=\"0\">LEN(A2)</f>");
  sheet = Replace(sheet, "<f aca=\"false\">LEN(A3)</f>", "<f t=\"shared\" si=\"0\"/>");
  parts[kSheetPart] = sheet;
  const std::string path = dir_.File("shared.xlsx");
  WriteParts(path, parts);

  Open(path).SetCell(2, "C", "BRAK");
  app_->Workbooks(1).Save();
  const std::string after = ReadParts(path).at(kSheetPart);
  EXPECT_NE(after.find("<c r=\"C3\" s=\"0\" t=\"n\"><f>LEN(A3)</f><v>16</v></c>"),
            std::string::npos)
      << after;
  EXPECT_EQ(after.find("si=\"0\""), std::string::npos);
}

TEST_F(ExistingWorkbookTest, ADateGetsADateStyleAndReadsBack) {
  const std::string path = CopyFixture();
  Open(path).SetCell(6, "D", "2024-05-01");
  app_->Workbooks(1).Save();
  app_->CloseWorkbooks();
  Sheet& back = Open(path);
  EXPECT_EQ(back.GetCell(6, "D"), "2024-05-01");
  EXPECT_EQ(back.GetCell(2, "D"), "2024-03-15");
  EXPECT_EQ(back.UsedRangeRowCount(), 6);
  const Parts after = ReadParts(path);
  EXPECT_NE(after.at("xl/styles.xml").find("formatCode=\"yyyy-mm-dd\""), std::string::npos);
  EXPECT_NE(after.at(kSheetPart).find("<dimension ref=\"A1:E6\"/>"), std::string::npos);
}

TEST_F(ExistingWorkbookTest, CellKindsPositionsAndTheUsedRangeComeFromTheCellsThemselves) {
  const std::string path = dir_.File("kinds.xlsx");
  WriteParts(
      path,
      MinimalWorkbook(
          // rows and cells without positions follow their predecessors
          "<row r=\"2\"><c t=\"s\"><v>0</v></c><c t=\"s\"><v>1</v></c>"
          "<c t=\"inlineStr\"><is><r><t>in</t></r><r><t>line</t></r></is></c>"
          "<c t=\"e\"><v>#DIV/0!</v></c><c t=\"str\"><f>A2&amp;B2</f><v>ab</v></c>"
          "<c t=\"b\"><v>0</v></c><c><v>1.5E-3</v></c><c t=\"s\"><v>99</v></c></row>"
          "<row><c r=\"C3\"><v>7</v></c></row>"
          "<row r=\"9\"><c r=\"A9\" s=\"0\"/></row>",  // formatted, no value
          "<si><t>pla_x0041_in</t></si>"
          "<si><r><t>ri</t></r><r><rPr><b/></rPr><t>ch</t></r><rPh><t>ignored</t></rPh></si>"));
  Sheet& sheet = Open(path);
  const char* const row2[] = {"plaAin", "rich", "inline", "#DIV/0!", "ab", "FALSE", "0.0015", ""};
  for (int column = 1; column <= 8; ++column) {
    EXPECT_EQ(sheet.GetCell(2, column), row2[column - 1]) << column;
  }
  EXPECT_EQ(sheet.GetCell(3, "C"), "7");
  EXPECT_EQ(sheet.UsedRangeRowCount(), 3);

  // A new row lands between its neighbours and the dimension-less sheet stays readable.
  sheet.SetCell(1, "A", "head");
  sheet.SetCell(5, "B", "five");
  sheet.SetCell(2, "A", "");
  app_->Workbooks(1).Save();
  const std::string xml = ReadParts(path).at(kSheetPart);
  EXPECT_LT(xml.find("<row r=\"1\">"), xml.find("<row r=\"2\">"));
  EXPECT_LT(xml.find("<row r=\"3\">"), xml.find("<row r=\"5\">"));
  EXPECT_LT(xml.find("<row r=\"5\">"), xml.find("<row r=\"9\">"));
  app_->CloseWorkbooks();
  Sheet& back = Open(path);
  EXPECT_EQ(back.GetCell(1, "A"), "head");
  EXPECT_EQ(back.GetCell(2, "A"), "");
  EXPECT_EQ(back.GetCell(2, "B"), "rich");
  EXPECT_EQ(back.GetCell(5, "B"), "five");
}

TEST_F(ExistingWorkbookTest, RowsAreFoundInAnyWellFormedSheetAndRowsNotWrittenStayAsRead) {
  const std::string ns = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
  const std::string untouched = "<x:row r='2' spans=\"1:1\"><x:c r='A2'><x:v>2</x:v></x:c></x:row>";
  const struct {
    const char* name;
    std::string sheet;
    std::string a1;  // as read
  } cases[] = {
      // A prefix, single quotes, a comment and CDATA that look like rows, a '>' in a value.
      {"prefixed.xlsx",
       "<x:worksheet xmlns:x=\"" + ns +
           "\"><x:dimension ref=\"A1:A2\"/><x:sheetData>"
           "<!-- <x:row r=\"5\"> --><x:row r=\"1\" note=\"a>b\"><x:c r=\"A1\" t=\"inlineStr\">"
           "<x:is><x:t><![CDATA[<x:row>]]></x:t></x:is></x:c></x:row>" +
           untouched + "</x:sheetData></x:worksheet>",
       "<x:row>"},
      {"empty.xlsx",
       "<worksheet xmlns=\"" + ns + "\"><dimension ref=\"A1\"/><sheetData/></worksheet>", ""},
      // Rows are cut out as UTF-8: a sheet in another encoding is converted first.
      {"latin2.xlsx",
       "<?xml version=\"1.0\" encoding=\"ISO-8859-2\"?><worksheet xmlns=\"" + ns +
           "\"><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>\xAF\xF3\xB3w</t></is>"
           "</c></row></sheetData></worksheet>",
       "Żółw"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Parts parts = MinimalWorkbook("");
    parts[kSheetPart] = c.sheet;
    const std::string path = dir_.File(c.name);
    WriteParts(path, parts);
    Sheet& sheet = Open(path);
    EXPECT_EQ(sheet.GetCell(1, "A"), c.a1);
    EXPECT_EQ(sheet.GetCell(5, "A"), "");
    sheet.SetCell(1, "B", "5260250995");
    sheet.SetCell(3, "A", "nowy");
    app_->Workbooks(1).Save();
    app_->CloseWorkbooks();

    Sheet& back = Open(path);
    EXPECT_EQ(back.GetCell(1, "A"), c.a1);
    EXPECT_EQ(back.GetCell(1, "B"), "5260250995");
    EXPECT_EQ(back.GetCell(3, "A"), "nowy");
    EXPECT_EQ(back.UsedRangeRowCount(), 3);
    app_->CloseWorkbooks();
    const std::string xml = ReadParts(path).at(kSheetPart);
    if (c.sheet.find(untouched) != std::string::npos) {
      EXPECT_NE(xml.find(untouched), std::string::npos) << xml;
      EXPECT_NE(xml.find("<!-- <x:row r=\"5\"> -->"), std::string::npos) << xml;
      EXPECT_NE(xml.find("<x:dimension ref=\"A1:B3\"/>"), std::string::npos) << xml;
    }
  }
}

std::string CompoundFileWith(const std::string& streamName) {
  std::string bytes("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
  bytes.resize(1024, '\0');
  for (char c : streamName) {
    bytes.push_back(c);
    bytes.push_back('\0');
  }
  bytes.resize(2048, '\0');
  return bytes;
}

TEST_F(ExistingWorkbookTest, FilesThatAreNoXlsxWorkbookAreRefusedByNameAndLeftUnchanged) {
  const std::string fixture = ReadFile(FixturePath("input_list.xlsx"));
  Parts noSheet = ReadParts(FixturePath("input_list.xlsx"));
  noSheet["xl/workbook.xml"] = std::regex_replace(noSheet["xl/workbook.xml"],
                                                  std::regex("<sheets>.*</sheets>"), "<sheets/>");
  Parts missingSheetPart = ReadParts(FixturePath("input_list.xlsx"));
  missingSheetPart.erase(kSheetPart);
  Parts bomb = ReadParts(FixturePath("input_list.xlsx"));
  bomb[kSheetPart] = std::string(kMaxPartBytes + 1, ' ');
  Parts entities = MinimalWorkbook("");
  entities[kSheetPart] =
      "<!DOCTYPE w [<!ENTITY a \"aaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;\">]>" + entities[kSheetPart];
  std::string flipped = fixture;
  const auto sheetData = flipped.find("xl/worksheets/sheet1.xml") + 40;
  flipped[sheetData] = static_cast<char>(flipped[sheetData] ^ 0x55);

  const struct {
    const char* name;
    std::function<void(const std::string&)> make;
    std::string problem;
  } cases[] = {
      {"empty.xlsx", [](auto& p) { WriteFile(p, ""); }, "the file is empty"},
      {"list.xlsx", [](auto& p) { WriteFile(p, "NIP;Nazwa\n5260250995;X\n"); },
       "not a zip archive"},
      {"protected.xlsx", [](auto& p) { WriteFile(p, CompoundFileWith("EncryptedPackage")); },
       "protected by a password"},
      {"old.xlsx", [](auto& p) { WriteFile(p, ReadFile(FixturePath("input_list.xls"))); },
       "Excel 97-2003 workbook (.xls)"},
      {"calc.xlsx", [](auto& p) { WriteFile(p, ReadFile(FixturePath("input_list.ods"))); },
       "OpenDocument spreadsheet (.ods)"},
      {"cut.xlsx", [&](auto& p) { WriteFile(p, fixture.substr(0, fixture.size() / 2)); },
       "damaged"},
      {"flipped.xlsx", [&](auto& p) { WriteFile(p, flipped); }, "damaged"},
      {"nosheet.xlsx", [&](auto& p) { WriteParts(p, noSheet); }, "holds no worksheet"},
      {"nopart.xlsx", [&](auto& p) { WriteParts(p, missingSheetPart); }, "is missing"},
      {"other.xlsx",
       [](auto& p) {
         WriteParts(p, {{"[Content_Types].xml", "<Types/>"}});
       },
       "holds no workbook"},
      {"bomb.xlsx", [&](auto& p) { WriteParts(p, bomb); },
       "unpacks to more than " + std::to_string(kMaxPartBytes >> 20) + " MiB"},
      {"dtd.xlsx", [&](auto& p) { WriteParts(p, entities); }, "declares a DTD"},
  };
  for (const auto& c : cases) {
    const std::string path = dir_.File(c.name);
    c.make(path);
    const std::string bytes = ReadFile(path);
    try {
      app_->OpenWorkbook(path);
      ADD_FAILURE() << c.name << " opened";
    } catch (const EWorkbookError& e) {
      const std::string message = e.what();
      EXPECT_NE(message.find("Cannot open workbook \"" + path + "\": "), std::string::npos)
          << message;
      EXPECT_NE(message.find(c.problem), std::string::npos) << message;
    }
    EXPECT_EQ(ReadFile(path), bytes) << c.name;
  }
  EXPECT_THROW(app_->OpenWorkbook(dir_.File("absent.xlsx")), EWorkbookError);
}

// A part of `count` copies of `unit` between `head` and `tail`, given to libzip piece by piece so
// that a bomb of hundreds of MiB never sits in the test's memory.
struct RepeatedPart {
  std::string head, unit, tail;
  std::size_t count = 0;
  std::size_t at = 0;  // bytes handed out so far
  std::size_t Size() const { return head.size() + unit.size() * count + tail.size(); }
};

zip_int64_t ReadRepeated(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command) {
  auto& part = *static_cast<RepeatedPart*>(state);
  switch (command) {
    case ZIP_SOURCE_OPEN:
      part.at = 0;
      return 0;
    case ZIP_SOURCE_READ: {
      auto* out = static_cast<char*>(data);
      zip_uint64_t done = 0;
      const std::size_t body = part.unit.size() * part.count;
      while (done < length && part.at < part.Size()) {
        const std::size_t at = part.at;
        const std::string_view rest =
            at < part.head.size() ? std::string_view(part.head).substr(at)
            : at < part.head.size() + body
                ? std::string_view(part.unit).substr((at - part.head.size()) % part.unit.size())
                : std::string_view(part.tail).substr(at - part.head.size() - body);
        const auto n = static_cast<std::size_t>(std::min<zip_uint64_t>(length - done, rest.size()));
        std::memcpy(out + done, rest.data(), n);
        done += n;
        part.at += n;
      }
      return static_cast<zip_int64_t>(done);
    }
    case ZIP_SOURCE_STAT: {
      auto* st = static_cast<zip_stat_t*>(data);
      zip_stat_init(st);
      st->size = part.Size();
      st->valid |= ZIP_STAT_SIZE;
      return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_SUPPORTS:
      return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                            ZIP_SOURCE_STAT, ZIP_SOURCE_FREE, ZIP_SOURCE_SUPPORTS,
                                            -1);
    case ZIP_SOURCE_CLOSE:
    case ZIP_SOURCE_FREE:
      return 0;
    default:
      return -1;
  }
}

// Writes the workbook with the named parts replaced by repeated ones, then makes the archive
// declare `declared` bytes for the one such part in both its headers when given: a lying archive.
void WriteBomb(const std::string& path, Parts parts, std::map<std::string, RepeatedPart> bombs,
               std::optional<std::uint32_t> declared = std::nullopt) {
  for (const auto& [name, part] : bombs) parts.erase(name);
  WriteParts(path, parts);
  int err = 0;
  zip_t* z = zip_open(path.c_str(), 0, &err);
  ASSERT_NE(z, nullptr);
  for (auto& [name, part] : bombs) {
    zip_file_add(z, name.c_str(), zip_source_function(z, ReadRepeated, &part), 0);
  }
  ASSERT_EQ(zip_close(z), 0);
  if (!declared) return;
  ASSERT_EQ(bombs.size(), 1u);
  const std::string& name = bombs.begin()->first;
  std::string bytes = ReadFile(path);
  // The uncompressed size sits 24 bytes into a central directory entry, 22 into a local header.
  for (const auto& [signature, offset, nameAt] : {std::tuple{std::string("PK\x01\x02"), 24, 46},
                                                  std::tuple{std::string("PK\x03\x04"), 22, 30}}) {
    for (auto at = bytes.find(signature); at != std::string::npos;
         at = bytes.find(signature, at + 1)) {
      if (bytes.compare(at + static_cast<std::size_t>(nameAt), name.size(), name) != 0) continue;
      std::memcpy(&bytes[at + static_cast<std::size_t>(offset)], &*declared, 4);
    }
  }
  WriteFile(path, bytes);
}

struct ChildResult {
  std::string message;  // the error raised, "" when the workbook opened
  long peakMiB = 0;
};

// Opens the workbook in a child process, so that its peak memory is its own to measure.
ChildResult OpenInChild(const std::string& path) {
  const test::Child child = test::ForkChild([&](int out) {
    std::string message;
    try {
      MakeXlsxFactory()->Start(kXlsxComponent)->OpenWorkbook(path);
    } catch (const std::exception& e) {
      message = e.what();
    }
    (void)!::write(out, message.data(), message.size());
  });
  ChildResult result;
  char buffer[4096];
  for (ssize_t n; (n = ::read(child.output, buffer, sizeof buffer)) > 0;)
    result.message.append(buffer, n);
  ::close(child.output);
  int status = 0;
  ::waitpid(child.pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status)) << "the child died of signal " << WTERMSIG(status);
  rusage usage{};
  ::getrusage(RUSAGE_CHILDREN, &usage);
  result.peakMiB = usage.ru_maxrss / 1024;
  return result;
}

// The process's bound, as built for use. AddressSanitizer's shadow memory, red zones and
// quarantine of freed blocks count in a sanitized build's peak too: there the bound is wider,
// still far below what a tree of a whole bomb took (11 GiB).
#if defined(__SANITIZE_ADDRESS__)
constexpr long kPeakBoundMiB = 3072;
#else
constexpr long kPeakBoundMiB = 1024;
#endif

TEST(WorkbookLimits, PartsThatUnpackBeyondTheLimitAreRefusedBeforeTheyAreParsed) {
  ScratchFolder dir;
  const std::string ns = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
  const RepeatedPart sheet{"<worksheet xmlns=\"" + ns + "\"><sheetData>",
                           "<row><c><v>5260250995</v></c><c t=\"s\"><v>0</v></c></row>",
                           "</sheetData></worksheet>", 0};
  const RepeatedPart strings{"<sst xmlns=\"" + ns + "\">", "<si><t>Przedsiebiorstwo</t></si>",
                             "</sst>", 0};
  const auto sized = [](RepeatedPart part, std::size_t bytes) {
    part.count = bytes / part.unit.size();
    return part;
  };
  const std::size_t beyond = kMaxPartBytes + (std::size_t{1} << 20);
  const auto tooLarge = [](const std::string& part) {
    return "the part " + part + " unpacks to more than " + std::to_string(kMaxPartBytes >> 20) +
           " MiB";
  };
  const std::string sheetPart = kSheetPart;
  const std::string stringsPart = "xl/sharedStrings.xml";
  const struct {
    const char* name;
    std::map<std::string, RepeatedPart> bombs;
    std::optional<std::uint32_t> declared;
    std::string problem;
  } cases[] = {
      {"sheet.xlsx", {{sheetPart, sized(sheet, beyond)}}, std::nullopt, tooLarge(sheetPart)},
      // stopped while unpacking
      {"sheet-lying.xlsx", {{sheetPart, sized(sheet, beyond)}}, 4096, tooLarge(sheetPart)},
      {"strings.xlsx",
       {{stringsPart, sized(strings, beyond)}},
       std::nullopt,
       tooLarge(stringsPart)},
      {"strings-lying.xlsx", {{stringsPart, sized(strings, beyond)}}, 4096, tooLarge(stringsPart)},
      // A small part that declares a huge size is refused on its word.
      {"declared.xlsx", {{sheetPart, sized(sheet, 1000)}}, 0xFFFFFF00u, tooLarge(sheetPart)},
      // Parts each within the bound, together beyond what is read at most.
      {"together.xlsx",
       {{sheetPart, sized(sheet, kMaxReadBytes / 2 + (std::size_t{8} << 20))},
        {stringsPart, sized(strings, kMaxReadBytes / 2 + (std::size_t{8} << 20))}},
       std::nullopt,
       "its parts unpack to more than " + std::to_string(kMaxReadBytes >> 20) + " MiB"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.File(c.name);
    WriteBomb(path, MinimalWorkbook("", "<si><t>x</t></si>"), c.bombs, c.declared);
    EXPECT_LT(ReadFile(path).size(), std::size_t{1} << 20) << "a small file";
    const ChildResult result = OpenInChild(path);
    EXPECT_NE(result.message.find(" (Cannot open workbook \"" + path + "\": "), std::string::npos)
        << result.message;
    EXPECT_NE(result.message.find(c.problem), std::string::npos) << result.message;
    EXPECT_LT(result.peakMiB, kPeakBoundMiB);
  }
}

}  // namespace
}  // namespace zelvor::workbook
