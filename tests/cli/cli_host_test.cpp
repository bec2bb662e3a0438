// The headless host: progress of both jobs on the terminal's line, errors, and Ctrl-C.
#include "cli/cli_host.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace zelvor::cli {
namespace {

using namespace std::chrono_literals;

// A stream whose text the test reads back.
class Captured {
 public:
  Captured() : stream_(open_memstream(&buffer_, &size_)) {}
  ~Captured() {
    std::fclose(stream_);
    std::free(buffer_);
  }
  std::FILE* Stream() const { return stream_; }
  std::string Text() const {
    std::fflush(stream_);
    return std::string(buffer_, size_);
  }

 private:
  char* buffer_ = nullptr;
  std::size_t size_ = 0;
  std::FILE* stream_;
};

struct HostFixture : testing::Test {
  CliHost MakeHost(const char* unit) {
    CliHostSettings settings;
    settings.meter.emplace(unit, [this] { return now; });
    settings.stopSignalled = [this] { return signalled; };
    settings.firstDay = std::chrono::year{2024} / 2 / 27;
    settings.lastDay = std::chrono::year{2024} / 3 / 1;
    return CliHost(console, std::move(settings));
  }

  Captured out, err;
  Console console{out.Stream(), err.Stream(), true, false};
  std::chrono::steady_clock::time_point now{};
  bool signalled = false;
};

TEST_F(HostFixture, ListProgressAndAnErrorThatWipesIt) {
  CliHost host = MakeHost("rows");
  host.SetStatusPanel(jobs::kSpreadsheetPanel, "Open Excel Application");
  host.ShowProgress({jobs::Action::NipListJob, 0, 10});
  now += 1s;
  host.ShowProgress({jobs::Action::NipListJob, 5, 10});
  host.AddOutputLine("KONIEC");
  host.ShowError("Cannot open workbook");
  EXPECT_EQ(err.Text(),
            "\r0/10 rows"
            "\r5/10 rows  5.0/s  left 0:01"
            "\r                           \r"  // wiped before the error
            "zelvor-cli: Cannot open workbook\n");
  EXPECT_EQ(out.Text(), "KONIEC\n");  // a redirected output leaves the line alone
  EXPECT_TRUE(host.Failed());
}

TEST_F(HostFixture, PeriodProgressAndTheEndClearsTheLine) {
  CliHost host = MakeHost("days");
  for (int day = 0; day < 3; ++day) {
    host.ShowProgress({jobs::Action::PeriodJob, day, 4, 7 * day});
    now += 1s;
  }
  host.SetActionRunning(jobs::Action::PeriodJob, false);
  EXPECT_EQ(err.Text(),
            "\r0/4 days"
            "\r1/4 days  1.0/s  left 0:03"
            "\r2/4 days  1.0/s  left 0:02"
            "\r                          \r");
  EXPECT_FALSE(host.Failed());
}

TEST_F(HostFixture, CtrlCTicksTheStopBoxesEvenWhenAJobClearsThem) {
  CliHost host = MakeHost("rows");
  host.ProcessPendingEvents();
  EXPECT_FALSE(host.StopRequested(jobs::StopBox::NipList));
  EXPECT_FALSE(host.Stopped());

  signalled = true;
  EXPECT_TRUE(host.StopRequested(jobs::StopBox::Period));  // read between days, no events
  host.ProcessPendingEvents();
  host.SetStopBox(jobs::StopBox::NipList, false);
  EXPECT_TRUE(host.StopRequested(jobs::StopBox::NipList));
  EXPECT_TRUE(host.Stopped());
  EXPECT_FALSE(host.AskYesNo("Powstał zbiór: a.xlsx. Czy chcesz go otworzyć ?"));
}

}  // namespace
}  // namespace zelvor::cli
