#include "jobs/developer_actions.h"

#include <filesystem>
#include <fstream>

#include "jobs/output_paths.h"
#include "register/register_transport.h"
#include "workbook/atomic_save.h"
#include "workbook/errors.h"
#include "workbook/file_system.h"

namespace zelvor::jobs {
namespace {

// Writes the lookup's results as the file it reports: the pending row's header line, then one
// line per number looked up.
void WriteLookupReport(const std::string& path, const std::vector<std::string>& lines) {
  std::string text = "NIP;FirmaNazwa;NIP;NumerReferencyjny;\n";
  for (const std::string& line : lines) text += line + "\n";
  workbook::SaveAtomically(path, [&](const std::string& tempPath) {
    std::ofstream out(tempPath, std::ios::binary);
    out << text;
    out.close();
    if (!out) throw workbook::EWorkbookError("Nie można zapisać pliku " + tempPath);
  });
}

std::string CsvField(std::string_view text) {
  std::string field(text);
  std::erase(field, ';');
  return field + ";";
}

}  // namespace

void RunDeveloperLookup(JobContext& ctx) {
  RunState& s = ctx.state;
  s.rows.Clear();
  reg::ParametryWyszukiwaniaPrzedsiebiorcowTyp search;
  reg::ListaPrzedsiebiorcowDaneWyszukaneTyp hits;
  reg::ApplyServiceUrl(*s.registerTransport, s.registerAddress);

  std::vector<std::string> csvLines;
  for (const std::string& line : ctx.host.LookupTestLines()) {
    if (line.empty()) break;
    search.SetNIP(line);
    try {
      hits = ctx.Register()->WyszukajPrzedsiebiorce(search);
    } catch (const std::exception&) {
      hits.clear();  // a failed search counts as one without hits
    }
    if (hits.empty()) {
      ctx.host.AddOutputLine(line + " BRAK");
      csvLines.push_back(CsvField(line) + CsvField("BRAK"));
      continue;
    }
    const reg::PrzedsiebiorcaDaneWyszukaneTyp& hit = *hits.front();
    ctx.host.AddOutputLine(line + " " + hit.FirmaNazwa + " " + hit.NIP + " " +
                           hit.NumerReferencyjny());
    report::AddHdrValue(s.rows, "FirmaNazwa", hit.FirmaNazwa, true);
    report::AddHdrValue(s.rows, "NIP", hit.NIP, false);
    report::AddHdrValue(s.rows, "NumerReferencyjny", hit.NumerReferencyjny(), false);
    csvLines.push_back(CsvField(line) + report::ValueLine(s.rows.summaryRow));
  }
  const std::string path =
      workbook::files::Utf8(workbook::files::NativePath(ctx.host.ProgramFolder()) / "abc.csv");
  WriteLookupReport(path, csvLines);
  ctx.host.ShowMessage("Powstal plik: " + path);
}

void WriteSampleWorkbook(JobContext& ctx) {
  RunState& s = ctx.state;
  const std::string path = WorkbookTestPath(ctx.host.ProgramFolder(), ctx.host.Now());
  s.result.Clear();
  try {
    s.result.application = ctx.spreadsheets.Start(workbook::kXlsxComponent);
  } catch (const std::exception&) {
    return;  // without a spreadsheet component the test ends quietly
  }
  std::exception_ptr failure;
  try {
    s.result.workbook = &s.result.application->AddWorkbook();
    s.result.summarySheet = &s.result.workbook->Worksheet(1);
    s.result.summarySheet->Select();
    s.result.summarySheet->SetCell(1, 1, "We just created a new Excel file with one worksheet!");
    s.result.summarySheet->SelectCell(2, 1);
    s.result.workbook->SaveAs(path);
  } catch (...) {
    failure = std::current_exception();
  }
  try {
    s.result.application->CloseWorkbooks();
    s.result.application->Quit();
  } catch (...) {
    if (!failure) failure = std::current_exception();
  }
  s.result.Clear();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace zelvor::jobs
