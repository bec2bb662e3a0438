// The scripted host is what every job test relies on to answer dialogs; a test that runs past
// its script must fail loudly rather than see a made-up answer.
#include "support/scripted_host.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace zelvor::test {
namespace {

using jobs::StopBox;

TEST(ScriptedHost, AnswersDialogsInScriptOrderAndFailsPastTheScript) {
  ScriptedHost host;
  host.filesToOpen = {"/data/in.xlsx", std::nullopt};
  host.answers = {true, false};
  EXPECT_EQ(host.PickFileToOpen(), "/data/in.xlsx");
  EXPECT_EQ(host.PickFileToOpen(), std::nullopt);
  EXPECT_THROW(host.PickFileToOpen(), std::logic_error);
  EXPECT_TRUE(host.AskYesNo("Otworzyć?"));
  EXPECT_FALSE(host.AskYesNo("Otworzyć?"));
  EXPECT_THROW(host.AskYesNo("Otworzyć?"), std::logic_error);
  EXPECT_THROW(host.ConfirmFileToSave("/tmp/a.xlsx"), std::logic_error);
  host.confirmProposedSave = true;
  EXPECT_EQ(host.ConfirmFileToSave("/tmp/b.xlsx"), "/tmp/b.xlsx");
  EXPECT_EQ(host.proposedSaves, (std::vector<std::string>{"/tmp/a.xlsx", "/tmp/b.xlsx"}));
}

TEST(ScriptedHost, RecordsWhatIsShownInOrderAndKeepsBoxesAsTheyStand) {
  ScriptedHost host;
  host.Log("Data=2024-01-02");
  host.AddOutputLine("1;BRAK w GITD;");
  host.SetStatusPanel(jobs::kProgressPanel, "2/7");
  host.ClearLog();
  host.Log("brak danych");
  host.ShowMessage("Powstal plik: /opt/zelvor/abc.csv");
  const std::vector<ScriptedHost::Event> expected = {
      {"log", "Data=2024-01-02"},
      {"output", "1;BRAK w GITD;"},
      {"status2", "2/7"},
      {"log", "brak danych"},
      {"message", "Powstal plik: /opt/zelvor/abc.csv"}};
  EXPECT_EQ(host.events, expected);
  EXPECT_EQ(host.log, (std::vector<std::string>{"brak danych"}));
  EXPECT_EQ(host.panels[2], "2/7");
  EXPECT_THROW(host.SetStatusPanel(4, "x"), std::out_of_range);
}

TEST(ScriptedHost, TicksTheChosenStopBoxOnTheChosenEventCall) {
  ScriptedHost host;
  host.stopOnEventCall = 3;
  host.stopBoxToTick = StopBox::NipList;
  host.ProcessPendingEvents();
  host.ProcessPendingEvents();
  EXPECT_FALSE(host.StopRequested(StopBox::NipList));
  host.ProcessPendingEvents();
  EXPECT_TRUE(host.StopRequested(StopBox::NipList));
  EXPECT_FALSE(host.StopRequested(StopBox::Period));
}

TEST(ScriptedHost, WritesShortDatesAsIsoDates) {
  using namespace std::chrono;
  EXPECT_EQ(ScriptedHost().ShortDate(year{2024} / February / 9), "2024-02-09");
}

}  // namespace
}  // namespace zelvor::test
