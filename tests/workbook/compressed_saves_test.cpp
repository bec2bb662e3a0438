// Saves that compress only what changed: a workbook saved again and again as it grows must be,
// part for part, the workbook saved once at the end, in an archive that any zip reader accepts.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <zip.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "support/scratch_folder.h"
#include "support/workbook_test_support.h"
#include "workbook/errors.h"
#include "workbook/spreadsheet.h"
#include "workbook/zip_writer.h"

namespace zelvor::workbook {
namespace {

using zelvor::test::ScratchFolder;
using Parts = std::map<std::string, std::string>;

// Every entry read through libzip with its consistency checks: local headers against the central
// directory, and each entry's CRC at its end.
Parts CheckedParts(const std::string& path) {
  int code = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
  if (archive == nullptr) throw std::runtime_error("libzip refuses " + path);
  Parts parts;
  for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
    zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
    if (file == nullptr) throw std::runtime_error("libzip cannot open an entry of " + path);
    std::string data;
    char chunk[1 << 14];
    zip_int64_t n = 0;
    while ((n = zip_fread(file, chunk, sizeof chunk)) > 0) data.append(chunk, n);
    zip_fclose(file);
    if (n < 0) throw std::runtime_error("an entry of " + path + " is damaged");
    parts[zip_get_name(archive, static_cast<zip_uint64_t>(i), 0)] = std::move(data);
  }
  zip_discard(archive);
  return parts;
}

// The same part names with the same texts; a difference is shown where it begins.
void ExpectSameParts(const Parts& actual, const Parts& expected) {
  EXPECT_EQ(actual.size(), expected.size());
  for (const auto& [name, text] : expected) {
    const auto found = actual.find(name);
    if (found == actual.end()) {
      ADD_FAILURE() << name << " is missing";
      continue;
    }
    if (found->second == text) continue;
    const auto offset = static_cast<std::size_t>(
        std::mismatch(text.begin(), text.end(), found->second.begin(), found->second.end()).first -
        text.begin());
    const auto from = offset < 80 ? 0 : offset - 80;
    ADD_FAILURE() << name << " differs from byte " << offset << ": \"" << text.substr(from, 160)
                  << "\" expected, \"" << found->second.substr(from, 160) << "\" written";
  }
}

// A text of about 200 bytes that differs from row to row, so that a few hundred rows span
// several compressed chunks.
std::string RowText(int row, int column) {
  std::string text = "Przedsiębiorstwo " + std::to_string(row * 7919 + column) + " ";
  while (text.size() < 60) text += "żółw & <transport> ";
  return text;
}

// Fills a workbook; `checkpoint` stands where a periodic save may come.
using Fill = std::function<void(Workbook& book, const std::function<void()>& checkpoint)>;

struct FillCase {
  const char* name;
  Fill fill;
};

void AddRows(Sheet& sheet, int from, int to, const std::function<void()>& checkpoint) {
  for (int row = from; row <= to; ++row) {
    sheet.SetCell(row, 1, std::to_string(row - 1));
    sheet.SetCell(row, 2, RowText(row, 2));
    sheet.SetCell(row, 3, "2024-03-" + std::to_string(10 + row % 18));
    sheet.SetCell(row, 4, RowText(row, 4));
    if (row % 30 == 0) checkpoint();
  }
}

const FillCase kNewWorkbookCases[] = {
    {"rows added after each save",
     [](Workbook& book, const auto& checkpoint) {
       AddRows(book.Worksheet(1), 1, 1500, checkpoint);
     }},
    {"the first row rewritten longer after later rows were saved",
     [](Workbook& book, const auto& checkpoint) {
       Sheet& sheet = book.Worksheet(1);
       sheet.SetCell(1, 1, "LP");
       AddRows(sheet, 2, 700, checkpoint);
       for (int column = 1; column <= 6; ++column)
         sheet.SetCell(1, column, "Kolumna" + RowText(1, column));
       AddRows(sheet, 701, 760, checkpoint);
     }},
    {"saved rows in the middle changed, emptied and extended",
     [](Workbook& book, const auto& checkpoint) {
       Sheet& sheet = book.Worksheet(1);
       AddRows(sheet, 1, 1200, checkpoint);
       sheet.SetCell(600, 2, "zmieniony");
       for (int column = 1; column <= 4; ++column) sheet.SetCell(900, column, "");
       sheet.SetCell(300, 9, "dopisany");
       checkpoint();
       sheet.SetCell(1199, 2, RowText(5, 5) + RowText(6, 6));
     }},
    {"a second sheet, fitted columns and a selection made at the end",
     [](Workbook& book, const auto& checkpoint) {
       book.Worksheet(1).Rename("HDR");
       book.AddWorksheetAfterLast().Rename("DET");
       for (int row = 1; row <= 400; ++row) {
         book.Worksheet(1).SetCell(row, 1, RowText(row, 1));
         book.Worksheet(2).SetCell(row, 2, RowText(row, 2));
         if (row % 30 == 0) checkpoint();
       }
       for (int sheet = 2; sheet >= 1; --sheet) {
         book.Worksheet(sheet).Select();
         for (int column = 1; column <= 3; ++column) book.Worksheet(sheet).AutofitColumn(column);
         book.Worksheet(sheet).SelectCell(2, 2);
       }
     }},
};

TEST(CompressedSaves, ANewWorkbookSavedAsItGrowsIsTheWorkbookSavedOnce) {
  ScratchFolder dir;
  for (const auto& c : kNewWorkbookCases) {
    SCOPED_TRACE(c.name);
    const std::string often = dir.File("often.xlsx");
    const std::string once = dir.File("once.xlsx");
    auto app = MakeXlsxFactory()->Start(kXlsxComponent);
    Workbook& growing = app->AddWorkbook();
    growing.SaveAs(often);
    c.fill(growing, [&] { growing.Save(); });
    growing.Save();
    Workbook& whole = app->AddWorkbook();
    c.fill(whole, [] {});
    whole.SaveAs(once);
    app->CloseWorkbooks();

    ExpectSameParts(CheckedParts(often), CheckedParts(once));
    Sheet& back = app->OpenWorkbook(often).Worksheet(1);
    EXPECT_EQ(back.GetCell(300, 2), app->OpenWorkbook(once).Worksheet(1).GetCell(300, 2));
    app->Quit();
  }
}

// An input workbook of numbers in column A from row 2; every `gapEvery`th row is left out.
std::string MakeInput(ScratchFolder& dir, int rows, int gapEvery) {
  const std::string path = dir.File("input.xlsx");
  auto app = MakeXlsxFactory()->Start(kXlsxComponent);
  Sheet& sheet = app->AddWorkbook().Worksheet(1);
  sheet.SetCell(1, 1, "NIP");
  for (int row = 2; row <= rows; ++row) {
    if (gapEvery == 0 || row % gapEvery != 0)
      sheet.SetCell(row, 1, std::to_string(5260000000LL + row));
  }
  app->Workbooks(1).SaveAs(path);
  app->Quit();
  return path;
}

struct AnnotateCase {
  const char* name;
  int gapEvery;  // rows missing from the input's sheet
  std::function<void(Sheet& sheet, const std::function<void()>& checkpoint)> annotate;
};

void AnnotateRows(Sheet& sheet, int from, int to, const std::function<void()>& checkpoint) {
  for (int row = from; row <= to; ++row) {
    sheet.SetCell(row, "B", std::to_string(5260000000LL + row));
    sheet.SetCell(row, "C", RowText(row, 3));
    if (row % 30 == 0) checkpoint();
  }
}

const AnnotateCase kAnnotateCases[] = {
    {"annotated in order with saves between", 0,
     [](Sheet& sheet, const auto& checkpoint) { AnnotateRows(sheet, 2, 2000, checkpoint); }},
    {"a row in the middle rewritten after its chunk was saved", 0,
     [](Sheet& sheet, const auto& checkpoint) {
       AnnotateRows(sheet, 2, 2000, checkpoint);
       sheet.SetCell(1000, "C", "BRAK w GITD");
       sheet.SetCell(1001, "A", "");
     }},
    {"rows the sheet lacked inserted among saved rows", 7,
     [](Sheet& sheet, const auto& checkpoint) {
       AnnotateRows(sheet, 2, 1000, checkpoint);
       checkpoint();
       sheet.SetCell(350, "D", "wstawiony");  // a row that was missing, among saved ones
       AnnotateRows(sheet, 1001, 1500, checkpoint);
     }},
    {"a date that needs a new style after the first saves", 0,
     [](Sheet& sheet, const auto& checkpoint) {
       AnnotateRows(sheet, 2, 400, checkpoint);
       sheet.SetCell(401, "C", "2024-03-15");
       AnnotateRows(sheet, 402, 500, checkpoint);
     }},
};

TEST(CompressedSaves, AnInputAnnotatedWithSavesBetweenIsTheInputAnnotatedAndSavedOnce) {
  for (const auto& c : kAnnotateCases) {
    SCOPED_TRACE(c.name);
    ScratchFolder dir;
    const std::string input = MakeInput(dir, 2000, c.gapEvery);
    const std::string often = dir.File("often.xlsx");
    const std::string once = dir.File("once.xlsx");
    std::filesystem::copy_file(input, often);
    std::filesystem::copy_file(input, once);
    auto app = MakeXlsxFactory()->Start(kXlsxComponent);
    Workbook& annotated = app->OpenWorkbook(often);
    c.annotate(annotated.Worksheet(1), [&] { annotated.Save(); });
    annotated.Save();
    Workbook& whole = app->OpenWorkbook(once);
    c.annotate(whole.Worksheet(1), [] {});
    whole.Save();
    app->CloseWorkbooks();

    ExpectSameParts(CheckedParts(often), CheckedParts(once));
    Sheet& back = app->OpenWorkbook(often).Worksheet(1);
    EXPECT_EQ(back.GetCell(2, "C"), RowText(2, 3));
    app->Quit();
  }
}

// A save that cannot be completed leaves the file of the save before it as it was, whichever
// workbook it is and whether it ran in the background or not.
TEST(CompressedSaves, ASaveCutShortLeavesTheEarlierFileIntactAndIsReported) {
  ScratchFolder dir;
  const std::string input = MakeInput(dir, 200, 0);
  struct Case {
    const char* name;
    std::function<Workbook&(Application&, const std::string& path)> open;
  };
  const Case cases[] = {
      {"a new workbook",
       [](Application& app, const std::string& path) -> Workbook& {
         Workbook& book = app.AddWorkbook();
         book.SaveAs(path);
         return book;
       }},
      {"an opened workbook",
       [&](Application& app, const std::string& path) -> Workbook& {
         std::filesystem::copy_file(input, path, std::filesystem::copy_options::overwrite_existing);
         return app.OpenWorkbook(path);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.File("book.xlsx");
    auto app = MakeXlsxFactory()->Start(kXlsxComponent);
    Workbook& book = c.open(*app, path);
    book.Worksheet(1).SetCell(2, 2, "zapisany");
    book.Save();
    book.WaitForSaves();
    const std::string before = test::ReadFile(path);

    // Digits that compress to far more than a 64 KiB file size limit.
    std::uint32_t noise = 1;
    for (int row = 2; row <= 3000; ++row) {
      std::string digits;
      for (int i = 0; i < 8; ++i) digits += std::to_string(noise = noise * 1664525u + 1013904223u);
      book.Worksheet(1).SetCell(row, 3, digits);
    }
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const rlimit small{64 * 1024, old.rlim_max};
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    std::string message;
    try {
      book.Save();
      book.WaitForSaves();
    } catch (const EWorkbookError& e) {
      message = e.what();
    }
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);

    EXPECT_NE(message.find("Cannot save workbook \"" + path + "\""), std::string::npos) << message;
    EXPECT_EQ(test::ReadFile(path), before);
    app->Quit();
  }
}

TEST(ZipWriter, APartPastTheFormatsLimitsIsRefusedByName) {
  ScratchFolder dir;
  ZipEntry huge;
  huge.name = "xl/worksheets/sheet1.xml";
  huge.size = std::uint64_t{5} << 30;  // as a sheet of 5 GiB would declare
  huge.data.push_back(std::make_shared<const std::string>("x"));
  try {
    WriteZip(dir.File("huge.xlsx"), {huge});
    FAIL() << "a 5 GiB part was written";
  } catch (const EWorkbookError& e) {
    EXPECT_NE(std::string(e.what()).find("xl/worksheets/sheet1.xml"), std::string::npos)
        << e.what();
    EXPECT_NE(std::string(e.what()).find("4 GiB"), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace zelvor::workbook
