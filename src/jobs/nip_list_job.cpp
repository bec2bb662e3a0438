#include "jobs/nip_list_job.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <stdexcept>

#include "jobs/look_ahead.h"
#include "jobs/output_paths.h"
#include "jobs/run_summary.h"
#include "jobs/text_utils.h"
#include "register/register_transport.h"
#include "report/details_columns.h"
#include "workbook/atomic_save.h"
#include "workbook/errors.h"

namespace zelvor::jobs {
namespace {

using report::AddHdrValue;

constexpr int kSaveEveryRows = 30;

const char* const kRepeated = "POWIELONY NUMER NIP";
const char* const kInvalid = "BŁĘDNY NUMER NIP - błąd sumy kontrolnej";
const char* const kSearchFailed = "WYSZUKIWANIE W GITD ZAKOŃCZYŁO SIĘ BŁĘDEM: ";
const char* const kDetailsFailed = "POBIERANIE SZCZEGÓŁÓW Z GITD ZAKOŃCZYŁO SIĘ BŁĘDEM: ";
const char* const kNotFound = "BRAK w GITD";
const char* const kNone = "BRAK";

// What the register said of one record: the search's hits or its failure, and the first hit's
// details or why they could not be had. Only register calls make it, so it may be made ahead.
struct RecordLookup {
  reg::ListaPrzedsiebiorcowDaneWyszukaneTyp hits;
  std::optional<std::string> searchFailure;
  std::unique_ptr<reg::PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp> details;
  std::string detailsFailure;
  bool stopped = false;  // a stop ended one of its calls in flight
};

RecordLookup LookUpRecord(const std::string& number, const RegisterSource& source,
                          const Retries& retries) {
  RecordLookup lookup;
  reg::ParametryWyszukiwaniaPrzedsiebiorcowTyp search;
  search.SetNIP(number);
  try {
    lookup.hits = CallWithRetries(
        source, retries, [&](reg::CitizenApi& api) { return api.WyszukajPrzedsiebiorce(search); });
  } catch (const std::exception& e) {
    lookup.hits.clear();
    lookup.searchFailure = e.what();
    lookup.stopped = StoppedInFlight(e);
    return lookup;
  }
  if (lookup.hits.empty()) return lookup;
  try {
    const std::string reference = lookup.hits.front()->NumerReferencyjny();
    lookup.details = CallWithRetries(source, retries, [&](reg::CitizenApi& api) {
      return api.PobierzPrzedsiebiorce(reference);
    });
    if (!lookup.details) throw std::runtime_error("rejestr nie zwrócił szczegółów");
  } catch (const std::exception& e) {
    lookup.details.reset();
    lookup.detailsFailure = e.what();
    lookup.stopped = StoppedInFlight(e);
  }
  return lookup;
}

// The key under which a run meets a number, to find it repeated.
std::string ListKey(std::string_view number) {
  return "NIP" + std::string(report::TrimBlanks(number)) + "NIP";
}

// A result workbook that holds no record is not left behind: the reserved file goes, and
// the run names no result.
void DiscardResult(RunState& s) {
  workbook::DiscardReserved(s.resultPath);
  s.result.Clear();
  s.resultPath.clear();
}

std::string MessageOf(const std::exception_ptr& failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return {};
  }
}

template <class T>
const T* FirstOf(const std::vector<std::unique_ptr<T>>& list) {
  return list.empty() ? nullptr : list.front().get();
}

// One run's state besides the shared run state.
class ListRun {
 public:
  explicit ListRun(JobContext& ctx) : ctx_(ctx), s_(ctx.state), host_(ctx.host) {}

  void Run() {
    if (!Start()) return;
    while (inputRow_ - 1 < rowCount_ && !Stopped()) ProcessRecord();
    Finish();
  }

  // True once a record's row was written: a run that ends earlier leaves no result behind.
  bool AnyRecordWritten() const { return summaryRow_ > 1; }

  // After a stop, the records whose look-up began before it still finish; no other starts.
  bool Stopped() {
    if (!stopping_) stopping_ = host_.StopRequested(StopBox::NipList);
    return stopping_ && inputRow_ > askedUpTo_;
  }

 private:
  bool Start() {
    host_.SetStopBox(StopBox::NipList, false);
    s_.rows.Clear();
    s_.taxNumbersSeen.clear();
    host_.ClearOutput();
    // Every address is checked before anything is opened or written; the transports check it
    // again at each call.
    if (const std::string problem = reg::AddressProblem(s_.registerAddress); !problem.empty()) {
      throw std::runtime_error(problem);
    }
    if (s_.inputSpreadsheetOpen) CloseInputSpreadsheet(ctx_);
    OpenInputSpreadsheet(ctx_);

    const std::optional<std::string> input = host_.PickFileToOpen();
    if (!input) {
      CloseInputSpreadsheet(ctx_);
      return false;
    }
    // A file or folder that cannot be written is found now, before any look-up, not at the
    // first save; the result's name is taken at once, by the empty result workbook, so that no
    // other run can write it.
    workbook::CheckCanSave(*input);
    const std::string resultPath = ListJobOutputPath(*input, host_.Now());
    workbook::CheckCanSave(resultPath);
    host_.SetActionRunning(Action::NipListJob, true);
    report::CreateResultWorkbook(ctx_.spreadsheets, s_.result);
    s_.resultPath = ReserveUnusedPath(
        resultPath, [this](const std::string& temp) { s_.result.workbook->SaveAs(temp); });

    s_.inputSheet = &s_.inputSpreadsheet->OpenWorkbook(*input).Worksheet(1);
    rowCount_ = s_.inputSheet->UsedRangeRowCount();
    if (!s_.inputIsWorkingCopy && HoldsUserColumns()) KeepCopyOfInput(*input);
    counts_.records = std::max<std::int64_t>(rowCount_ - 1, 0);
    host_.SetStatusPanel(kProgressPanel, std::to_string(rowCount_));
    ShowProgress();
    inputRow_ = 2;
    askedUpTo_ = inputRow_ - 1;
    number_ = CleanedCellText(s_.inputSheet->GetCell(inputRow_, "A"));
    if (s_.registerConnections > 1) {
      ahead_ = std::make_unique<LookAhead<RecordLookup>>(ctx_, s_.registerConnections);
    }
    return true;
  }

  // True when column B or C of a data row holds what no run of this job wrote: the job writes
  // the cleaned number into B and its outcome into C, always together.
  bool HoldsUserColumns() {
    for (std::int32_t row = 2; row <= rowCount_; ++row) {
      const std::string b = s_.inputSheet->GetCell(row, "B");
      if (b.empty() ? !s_.inputSheet->GetCell(row, "C").empty()
                    : b != CleanedCellText(s_.inputSheet->GetCell(row, "A"))) {
        return true;
      }
    }
    return false;
  }

  // The input as it is on disk, before the run's first annotation reaches it, beside it as
  // "<name> (kopia yyyy-mm-dd hh.mm).xlsx".
  void KeepCopyOfInput(const std::string& input) {
    const std::string copy = UnusedPath(UserColumnsCopyPath(input, host_.Now()));
    std::error_code error;
    std::filesystem::copy_file(input, copy, std::filesystem::copy_options::none, error);
    if (error) {
      throw workbook::EWorkbookError("Nie można zachować kopii skoroszytu „" + input +
                                     "” przed zapisaniem wyników w kolumnach B i C (" +
                                     error.message() + "); nic nie zostało zmienione.");
    }
    host_.AddOutputLine(
        "Kolumny B i C skoroszytu zawierają dane, które zostaną zastąpione "
        "wynikami; kopia skoroszytu sprzed zmian: " +
        copy);
  }

  void ProcessRecord() {
    host_.ProcessPendingEvents();
    s_.rows.summaryRow.clear();
    host_.SetStatusPanel(kProgressPanel,
                         std::to_string(inputRow_) + "/" + std::to_string(rowCount_));
    outcome_ = kNone;
    bool done = false;

    std::int64_t* tally = nullptr;
    if (!s_.taxNumbersSeen.Insert(ListKey(number_))) {
      EndWithShortRow(kRepeated);
      tally = &counts_.repeated;
      done = true;
    }
    if (NipDigits digits{}; !IsValidNip(number_, digits)) {
      EndWithShortRow(kInvalid);
      tally = &counts_.invalid;
      done = true;
    }
    ApplyAddressOnce();

    if (!done) {
      const RecordLookup lookup = LookUp();
      if (lookup.stopped) {
        // Neither done nor failed: the record counts as not processed.
        EndWithShortRow(soap::ECallAborted::kMessage);
      } else if (lookup.searchFailure) {
        counts_.Note(*lookup.searchFailure);
        EndWithShortRow(kSearchFailed + *lookup.searchFailure);
        tally = &counts_.searchErrors;
      } else if (lookup.hits.empty()) {
        WriteShortRow(kNotFound);
        host_.AddOutputLine(report::ValueLine(s_.rows.summaryRow));
        tally = &counts_.notFound;
      } else {
        tally = AddFirstHit(*lookup.hits.front(), lookup) ? &counts_.found : &counts_.detailErrors;
      }
    }

    report::WriteSummaryRow(s_.rows, s_.result, longestHeader_, summaryRow_);
    WriteOutcomeCells();
    if (tally != nullptr) ++*tally;
    ++inputRow_;
    number_ = CleanedCellText(s_.inputSheet->GetCell(inputRow_, "A"));
    if (inputRow_ % kSaveEveryRows == 0) SaveBoth();
    ShowProgress();
  }

  void ShowProgress() {
    host_.ShowProgress({Action::NipListJob, counts_.Processed(), counts_.records, 0});
  }

  // The outcomes written so far reach the input workbook with every save of the result, so a
  // killed run loses at most the rows since the last save.
  void SaveBoth() {
    s_.result.workbook->SaveAs(s_.resultPath);
    s_.inputSpreadsheet->Workbooks(1).Save();
  }

  // Calls go through the window's transport, pointed at the run's register address once, as
  // the first record is processed.
  void ApplyAddressOnce() {
    if (addressApplied_) return;
    reg::ApplyServiceUrl(*s_.registerTransport, s_.registerAddress);
    addressApplied_ = true;
  }

  // The register's word on the current record: made now on the window's connection, or, with
  // several connections, taken from the look-ups made ahead.
  RecordLookup LookUp() {
    if (!ahead_) {
      return LookUpRecord(
          number_, [this] { return ctx_.Register(); }, ctx_.retries);
    }
    AskAhead();
    RecordLookup lookup = ahead_->Take(inputRow_);
    AskAhead();
    return lookup;
  }

  // Asks for the look-ups of the next records that need one, in input order, while connections
  // are free. A record is looked up when it is neither repeated nor invalid, decided as the
  // record itself will decide it when its turn comes.
  void AskAhead() {
    while (!stopping_ && !ahead_->Full() && askedUpTo_ < rowCount_) {
      ++askedUpTo_;
      std::string number = askedUpTo_ == inputRow_
                               ? number_
                               : CleanedCellText(s_.inputSheet->GetCell(askedUpTo_, "A"));
      const bool fresh = askedKeys_.Insert(ListKey(number));
      if (NipDigits digits{}; !fresh || !IsValidNip(number, digits)) continue;
      ahead_->Ask(askedUpTo_, [number = std::move(number),
                               retries = ctx_.retries](const RegisterSource& source) {
        return LookUpRecord(number, source, retries);
      });
    }
  }

  // False when the details could not be had: the row then says so where the firm's name would
  // stand, instead of reading as a complete look-up with an empty details block.
  bool AddFirstHit(const reg::PrzedsiebiorcaDaneWyszukaneTyp& hit, const RecordLookup& lookup) {
    const reg::PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp* details = lookup.details.get();
    const std::string& failure = lookup.detailsFailure;
    outcome_ = details ? hit.FirmaNazwa : kDetailsFailed + failure;
    AddHdrValue(s_.rows, "LP", inputRow_ - 1, true);
    AddHdrValue(s_.rows, "FirmaNazwa", outcome_, false);
    AddHdrValue(s_.rows, "NIP", hit.NIP, false);
    AddHdrValue(s_.rows, "NumerReferencyjny", hit.NumerReferencyjny(), false);
    if (!details) {
      counts_.Note(failure);
      host_.AddOutputLine(report::ValueLine(s_.rows.summaryRow));
      return false;
    }
    report::AddDetailsColumns(
        s_.rows, *details, FirstOf(details->ListaZarzadzajacyTransportemDaneWyszukane()),
        FirstOf(details->ListaZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp()),
        FirstOf(details->ListaLicencjaWspolnotowaTyp()));
    report::WriteExtractRows(s_.rows, s_.result, *details, hit.NIP, detailRow_);
    host_.AddOutputLine(report::ValueLine(s_.rows.summaryRow));
    return true;
  }

  void WriteShortRow(const std::string& firmaNazwa) {
    AddHdrValue(s_.rows, "LP", inputRow_ - 1, true);
    AddHdrValue(s_.rows, "FirmaNazwa", firmaNazwa, false);
    AddHdrValue(s_.rows, "NIP", number_, false);
  }

  // A record handled without the register's details: short row, cells B and C, one log line.
  void EndWithShortRow(const std::string& outcome) {
    outcome_ = outcome;
    WriteShortRow(outcome);
    WriteOutcomeCells();
    host_.AddOutputLine(report::ValueLine(s_.rows.summaryRow));
  }

  void WriteOutcomeCells() {
    s_.inputSheet->SetCell(inputRow_, "B", number_);
    s_.inputSheet->SetCell(inputRow_, "C", outcome_);
  }

  void Finish() {
    const bool keepResult = AnyRecordWritten() || !stopping_;
    host_.AddOutputLine(SummaryLine(counts_));
    if (keepResult) host_.AddOutputLine(ResultLine(s_.resultPath));
    host_.AddOutputLine("KONIEC");
    s_.inputSpreadsheet->Workbooks(1).Save();
    if (s_.inputSpreadsheetOpen) CloseInputSpreadsheet(ctx_);
    if (keepResult) {
      report::FinishResultWorkbook(s_.result, s_.resultPath);
    } else {
      DiscardResult(s_);
    }
    host_.SetActionRunning(Action::NipListJob, false);
    if (counts_.Failures() > 0)
      host_.ShowRunFailures(FailureReport(counts_), counts_.NoneSucceeded());
  }

  JobContext& ctx_;
  RunState& s_;
  JobHost& host_;
  std::int32_t inputRow_ = 2;
  std::int64_t rowCount_ = 0;
  std::string number_;
  std::string outcome_;
  int longestHeader_ = 0;
  int summaryRow_ = 1;
  int detailRow_ = 1;
  ListRunCounts counts_;
  bool stopping_ = false;
  bool addressApplied_ = false;
  // With several connections: the look-ups made ahead, the last input row one was asked for
  // (or found to need none), and the keys met in asking, which mirror taxNumbersSeen's.
  std::unique_ptr<LookAhead<RecordLookup>> ahead_;
  std::int32_t askedUpTo_ = 1;
  KeySet askedKeys_;
};

// Runs one clean-up step; the first failure is kept to be reported after all steps ran.
template <class Step>
void Attempt(Step step, std::exception_ptr& firstFailure) {
  try {
    step();
  } catch (...) {
    if (!firstFailure) firstFailure = std::current_exception();
  }
}

// Keeps what was written when a run ends by an error: the result workbook as it stands and the
// input workbook with its outcomes so far; a result without a record is removed. Returns the
// first failure of these steps.
std::exception_ptr FailurePath(JobContext& ctx, bool anyRecordWritten) {
  RunState& s = ctx.state;
  std::exception_ptr failure;
  if (s.result.workbook != nullptr && anyRecordWritten) {
    Attempt([&] { report::SaveAndCloseResultWorkbook(s.result, s.resultPath); }, failure);
  } else if (!s.resultPath.empty()) {
    DiscardResult(s);
  }
  s.result.Clear();
  if (s.inputSheet != nullptr) Attempt([&] { s.inputSpreadsheet->Workbooks(1).Save(); }, failure);
  if (s.inputSpreadsheetOpen) Attempt([&] { CloseInputSpreadsheet(ctx); }, failure);
  ctx.host.SetActionRunning(Action::NipListJob, false);
  return failure;
}

}  // namespace

std::string CleanedCellText(std::string_view cell) {
  return KeepNipChars(report::TrimBlanks(FirstCharacters(cell, 20)));
}

void RunNipListJob(JobContext& ctx) {
  ListRun run(ctx);
  try {
    run.Run();
  } catch (const std::exception& e) {
    // The error that ended the run is logged and shown once what was written is saved; a
    // failure of the saving itself then reaches the window's error display, unless it is the
    // same error again (a full disk fails every save alike).
    const std::string message = e.what();
    ctx.host.AddOutputLine(message);
    const std::exception_ptr cleanupFailure = FailurePath(ctx, run.AnyRecordWritten());
    ctx.host.ShowError(message);
    if (cleanupFailure && MessageOf(cleanupFailure) != message) {
      std::rethrow_exception(cleanupFailure);
    }
  }
}

}  // namespace zelvor::jobs
