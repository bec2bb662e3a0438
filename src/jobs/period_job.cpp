#include "jobs/period_job.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <stdexcept>

#include "jobs/look_ahead.h"
#include "jobs/output_paths.h"
#include "register/register_transport.h"
#include "report/details_columns.h"

namespace zelvor::jobs {
namespace {

using report::AddHdrValue;
using std::chrono::year_month_day;

const std::string kRule(66, '=');

template <class T>
const T* LastOf(const std::vector<std::unique_ptr<T>>& list) {
  return list.empty() ? nullptr : list.back().get();
}

template <class T>
const T* FirstOf(const std::vector<std::unique_ptr<T>>& list) {
  return list.empty() ? nullptr : list.front().get();
}

year_month_day ToYmd(const soap::TXSDate& date) {
  return std::chrono::year{date.Year()} / date.Month() / date.Day();
}

std::unique_ptr<soap::TXSDate> DateHolder(year_month_day day) {
  return std::make_unique<soap::TXSDate>(
      soap::CalendarDate{int(day.year()), int(unsigned(day.month())), int(unsigned(day.day()))});
}

// The two detail fetches a hit is written from, or why one of them failed (the second is made
// only when the first succeeded). Only register calls make it, so it may be made ahead.
struct HitLookup {
  std::unique_ptr<reg::PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp> first, second;
  std::string firstFailure, secondFailure;
  bool stopped = false;  // a stop ended one of its calls in flight
};

std::unique_ptr<reg::PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp> FetchDetails(
    const std::string& reference, const RegisterSource& source, const Retries& retries,
    std::string& failure, bool& stopped) {
  try {
    auto details = CallWithRetries(source, retries, [&](reg::CitizenApi& api) {
      return api.PobierzPrzedsiebiorce(reference);
    });
    if (!details) throw std::runtime_error("rejestr nie zwrócił szczegółów przedsiębiorcy");
    return details;
  } catch (const std::exception& e) {
    failure = e.what();
    stopped = StoppedInFlight(e);
    return nullptr;
  }
}

HitLookup LookUpHit(const std::string& reference, const RegisterSource& source,
                    const Retries& retries) {
  HitLookup lookup;
  lookup.first = FetchDetails(reference, source, retries, lookup.firstFailure, lookup.stopped);
  if (lookup.first) {
    lookup.second = FetchDetails(reference, source, retries, lookup.secondFailure, lookup.stopped);
  }
  return lookup;
}

void ShowPeriodProgress(JobHost& host, const PeriodRunCounts& counts, std::int64_t daysDone) {
  if (counts.daysInPeriod > 0) {
    host.ShowProgress(
        {Action::PeriodJob, daysDone, counts.daysInPeriod, counts.enterprisesWritten});
  }
}

class PeriodDay {
 public:
  PeriodDay(JobContext& ctx, year_month_day day, PeriodRunCounts& counts)
      : ctx_(ctx), s_(ctx.state), host_(ctx.host), day_(day), counts_(counts) {}

  void Run() {
    s_.rows.Clear();
    s_.taxNumbersSeen.clear();
    host_.ClearOutput();
    StartWorkbookOnce();
    ++counts_.days;
    SetSearch();

    reg::ListaPrzedsiebiorcowDaneWyszukaneTyp hits;
    try {
      hits = ctx_.CallRegister(
          [&](reg::CitizenApi& api) { return api.WyszukajPrzedsiebiorce(search_); });
    } catch (const std::exception& e) {
      if (!StoppedInFlight(e)) {
        ++counts_.daysFailed;
        counts_.Note(e.what());
      }
      WriteSearchFailure(e.what());
      return;
    }
    host_.Log("data1=" + search_.DataWydaniaCertyfikatuOd()->Text());
    host_.Log("data2=" + search_.DataWydaniaCertyfikatuDo()->Text());
    if (hits.empty()) {
      host_.Log("brak danych");
      return;
    }
    if (s_.registerConnections > 1) {
      ahead_ = std::make_unique<LookAhead<HitLookup>>(ctx_, s_.registerConnections);
      askedKeys_ = s_.referenceNumbersSeen;  // the keys of the days before
    }
    for (std::size_t i = 0; i < hits.size(); ++i) {
      if (!ProcessHit(hits, i)) return;
    }
  }

 private:
  void StartWorkbookOnce() {
    if (s_.periodResultStarted) return;
    s_.periodResultStarted = true;
    try {
      host_.Log("#001 Excel - uruchamianie");
      report::CreateResultWorkbook(ctx_.spreadsheets, s_.result);
      host_.Log("#002 Excel - uruchomiony poprawnie");
    } catch (...) {
      host_.Log("#003 Excel - błąd uruchomienia");
      throw;
    }
  }

  void SetSearch() {
    search_.SetDataWydaniaCertyfikatuOd(DateHolder(day_));
    search_.SetDataWydaniaCertyfikatuDo(DateHolder(day_));
    try {
      search_.SetListaZakresowPosiadanychZezwolen({});
    } catch (const std::exception& e) {
      host_.Log("#011 API - błąd wyszukiwania szczególy: " + FormatDay(day_) + " " + e.what());
      throw;
    }
  }

  void WriteSearchFailure(const std::string& error) {
    const std::string message =
        "#008 API - błąd wyszukiwania date: " + FormatDay(day_) + " " + error;
    host_.Log(message);
    AddHdrValue(s_.rows, "LP", s_.periodSummaryRow, true);
    AddHdrValue(s_.rows, "DataWyszukiwania", host_.ShortDate(day_), false);
    AddHdrValue(s_.rows, "FirmaNazwa", message, false);
    ++s_.periodSummaryRow;
    try {
      report::PutValueCells(s_.result.summarySheet, s_.periodSummaryRow, s_.rows.summaryRow);
    } catch (const std::exception& e) {
      host_.Log(std::string("#009 Excel - błąd zapisu") + e.what());
    }
  }

  // False when the stop box ends the day. After a stop, the hits whose details were already
  // being fetched ahead still finish.
  bool ProcessHit(const reg::ListaPrzedsiebiorcowDaneWyszukaneTyp& hits, std::size_t index) {
    const reg::PrzedsiebiorcaDaneWyszukaneTyp& hit = *hits[index];
    host_.ProcessPendingEvents();
    if (!stopping_) stopping_ = host_.StopRequested(StopBox::Period);
    if (stopping_ && index >= asked_) {
      host_.Log(kRule);
      host_.Log("Pobieranie danych przerwane");
      return false;
    }
    host_.Log(kRule);
    host_.Log(hit.FirmaNazwa);
    host_.Log(hit.NIP);
    host_.Log(hit.NumerReferencyjny());

    const std::string key(report::TrimBlanks(hit.NumerReferencyjny()));
    if (key == kExcludedReferenceNumber || !s_.referenceNumbersSeen.Insert(key)) return true;

    HitLookup lookup = LookUp(hits, index);
    if (!Fetched(lookup.first, lookup.firstFailure,
                 "Błąd pobierania szczegółów: ", lookup.stopped)) {
      return true;
    }
    LogDetails(*lookup.first);

    AddHdrValue(s_.rows, "LP", s_.periodSummaryRow, true);
    AddHdrValue(s_.rows, "DataWyszukiwania", host_.ShortDate(day_), false);
    AddHdrValue(s_.rows, "FirmaNazwa", hit.FirmaNazwa, false);
    AddHdrValue(s_.rows, "NIP", hit.NIP, false);
    AddHdrValue(s_.rows, "NumerReferencyjny", hit.NumerReferencyjny(), false);

    const auto& details = lookup.second;
    if (!Fetched(details, lookup.secondFailure,
                 "Błąd: MyPrzedsiebiorcaSzczegoloweDaneWyszukaneTyp ", lookup.stopped)) {
      return true;
    }
    report::AddDetailsColumns(
        s_.rows, *details, LastOf(details->ListaZarzadzajacyTransportemDaneWyszukane()),
        LastOf(details->ListaZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp()),
        FirstOf(details->ListaLicencjaWspolnotowaTyp()));
    report::WriteExtractRows(
        s_.rows, s_.result, *details, hit.NIP, s_.periodDetailRow,
        [this](report::DetailStep step, const std::exception& e) {
          host_.Log((step == report::DetailStep::Header ? "#004 Excel - błąd zapisu"
                                                        : "#005 Excel - błąd zapisu") +
                    std::string(e.what()));
        });
    host_.AddOutputLine(report::ValueLine(s_.rows.summaryRow));
    WriteSummary();
    return true;
  }

  // The hit's detail fetches: made now on the window's connection, or, with several
  // connections, taken from those made ahead.
  HitLookup LookUp(const reg::ListaPrzedsiebiorcowDaneWyszukaneTyp& hits, std::size_t index) {
    if (!ahead_) {
      return LookUpHit(
          hits[index]->NumerReferencyjny(), [this] { return ctx_.Register(); }, ctx_.retries);
    }
    AskAhead(hits);
    HitLookup lookup = ahead_->Take(static_cast<std::int64_t>(index));
    AskAhead(hits);
    return lookup;
  }

  // Asks for the fetches of the next hits that will need them, in the order of the hits, while
  // connections are free; a hit needs them as it will decide when its turn comes.
  void AskAhead(const reg::ListaPrzedsiebiorcowDaneWyszukaneTyp& hits) {
    while (!stopping_ && !ahead_->Full() && asked_ < hits.size()) {
      const std::size_t index = asked_++;
      std::string reference = hits[index]->NumerReferencyjny();
      const std::string key(report::TrimBlanks(reference));
      if (key == kExcludedReferenceNumber || !askedKeys_.Insert(key)) continue;
      ahead_->Ask(
          static_cast<std::int64_t>(index),
          [reference = std::move(reference), retries = ctx_.retries](const RegisterSource& source) {
            return LookUpHit(reference, source, retries);
          });
    }
  }

  // False, with the failure logged after the prefix, when the details were not had; counted as
  // a failure unless a stop ended the fetch.
  bool Fetched(const std::unique_ptr<reg::PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp>& details,
               const std::string& failure, const std::string& failurePrefix, bool stopped) {
    if (details) return true;
    host_.Log(failurePrefix + failure);
    if (!stopped) {
      ++counts_.enterprisesFailed;
      counts_.Note(failure);
    }
    return false;
  }

  void LogDetails(const reg::PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp& details) {
    host_.Log(details.FormaPrawna());
    if (const auto* manager = LastOf(details.ListaZarzadzajacyTransportemDaneWyszukane())) {
      host_.Log(manager->Nazwisko);
      host_.Log(manager->Imiona());
    }
    if (const auto* permit =
            LastOf(details.ListaZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp())) {
      host_.Log(permit->DataWydania ? host_.ShortDate(ToYmd(*permit->DataWydania)) : "");
      host_.Log(permit->OrganWydajacy);
    }
  }

  void WriteSummary() {
    try {
      report::WriteSummaryHeader(s_.rows, s_.result, longestHeader_);
    } catch (const std::exception& e) {
      host_.Log(std::string("#006 Excel - błąd zapisu") + e.what());
      return;
    }
    try {
      report::WriteSummaryValues(s_.rows, s_.result, s_.periodSummaryRow);
      ++counts_.enterprisesWritten;
      ShowPeriodProgress(host_, counts_, counts_.days - 1);
    } catch (const std::exception& e) {
      host_.Log(std::string("#007 Excel - błąd zapisu") + e.what());
    }
  }

  JobContext& ctx_;
  RunState& s_;
  JobHost& host_;
  year_month_day day_;
  PeriodRunCounts& counts_;
  int longestHeader_ = 0;
  reg::ParametryWyszukiwaniaPrzedsiebiorcowTyp search_;
  bool stopping_ = false;
  // With several connections: the fetches made ahead, how many hits have been considered for
  // them, and the keys met in asking, which mirror referenceNumbersSeen's.
  std::unique_ptr<LookAhead<HitLookup>> ahead_;
  std::size_t asked_ = 0;
  KeySet askedKeys_;
};

// The steps every way out of the driver takes: keep an unfinished workbook, restore the signs,
// tell how the run went, and offer the file that exists unless nothing in it succeeded.
void FinalSteps(JobContext& ctx, bool waitCursorShown, const PeriodRunCounts* counts) {
  RunState& s = ctx.state;
  std::exception_ptr saveFailure;
  if (s.result.workbook != nullptr) {
    try {
      report::SaveAndCloseResultWorkbook(s.result, s.resultPath);
    } catch (...) {
      saveFailure = std::current_exception();
    }
  }
  s.result.Clear();
  if (waitCursorShown) ctx.host.SetWaitCursor(false);
  ctx.host.SetActionRunning(Action::PeriodJob, false);
  bool offerFile = true;
  if (counts != nullptr && counts->days > 0) {
    ctx.host.Log(SummaryLine(*counts));
    if (counts->Failures() > 0) {
      ctx.host.ShowRunFailures(FailureReport(*counts), counts->NoneSucceeded());
      offerFile = !counts->NoneSucceeded();
    }
  }
  std::error_code ignored;
  if (offerFile && !s.resultPath.empty() && std::filesystem::exists(s.resultPath, ignored) &&
      ctx.host.AskYesNo("Powstał zbiór: " + s.resultPath + ". Czy chcesz go otworzyć ?")) {
    ctx.host.OpenWithApplication(s.resultPath);
  }
  if (saveFailure) std::rethrow_exception(saveFailure);
}

}  // namespace

void DownloadDay(JobContext& ctx, year_month_day day, PeriodRunCounts& counts) {
  PeriodDay(ctx, day, counts).Run();
}

void RunPeriodJob(JobContext& ctx) {
  RunState& s = ctx.state;
  JobHost& host = ctx.host;
  host.SetActionRunning(Action::PeriodJob, true);
  s.periodResultStarted = false;
  const year_month_day firstDay = host.PeriodFirstDay();
  // Another run of the same period started in the same second must not take this run's name.
  s.resultPath = UnusedPath(
      PeriodJobOutputPath(host.DocumentsFolder(), firstDay, host.PeriodLastDay(), host.Now()));

  bool waitCursorShown = false;
  std::optional<PeriodRunCounts> counts;
  std::exception_ptr runFailure;
  try {
    if (const std::string problem = reg::AddressProblem(s.registerAddress); !problem.empty()) {
      throw std::runtime_error(problem);
    }
    const std::optional<std::string> confirmed = host.ConfirmFileToSave(s.resultPath);
    if (confirmed) {
      // The name the user confirmed is where everything is saved, asked about and opened.
      s.resultPath = *confirmed;
      host.SetWaitCursor(true);
      waitCursorShown = true;
      host.ClearLog();
      s.periodSummaryRow = 1;
      s.periodDetailRow = 1;
      host.SetStopBox(StopBox::Period, false);
      s.referenceNumbersSeen.clear();
      counts.emplace();
      const auto lastDay = std::chrono::sys_days{host.PeriodLastDay()};
      counts->daysInPeriod =
          std::max<std::int64_t>((lastDay - std::chrono::sys_days{firstDay}).count() + 1, 0);
      ShowPeriodProgress(host, *counts, 0);

      for (auto day = std::chrono::sys_days{firstDay};
           day <= std::chrono::sys_days{host.PeriodLastDay()}; day += std::chrono::days{1}) {
        host.Log("Data=" + FormatDay(day));
        host.SetProgressLabel("za dzień: " + host.ShortDate(day));
        DownloadDay(ctx, day, *counts);
        ShowPeriodProgress(host, *counts, counts->days);
        if (host.StopRequested(StopBox::Period)) break;
      }
      if (s.periodResultStarted) {
        report::FinishResultWorkbook(s.result, s.resultPath);
        host.Log("Powstał zbiór: " + s.resultPath);
      }
      host.SetWaitCursor(false);
      waitCursorShown = false;
      if (host.StopRequested(StopBox::Period)) {
        host.Log("Wyprowadzanie przez przerwane użytkownika");
        host.ShowMessage("Wyprowadzanie przez przrwane użytkownika");
      }
    }
  } catch (...) {
    runFailure = std::current_exception();
  }
  if (!runFailure) {
    FinalSteps(ctx, waitCursorShown, counts ? &*counts : nullptr);
    return;
  }
  // The error that ended the run is the one shown; a failed save of what was written is logged.
  try {
    FinalSteps(ctx, waitCursorShown, nullptr);
  } catch (const std::exception& e) {
    host.Log(std::string("Błąd zapisu: ") + e.what());
  }
  std::rethrow_exception(runFailure);
}

}  // namespace zelvor::jobs
