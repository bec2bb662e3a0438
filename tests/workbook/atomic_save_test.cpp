// Saves: written beside the target and renamed over it, through symbolic links, keeping the
// target's permissions, refusing read-only targets, and leaving no temporary file behind, not
// even one of a process that was killed part way through its save.

#include "workbook/atomic_save.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>

#include "support/forked_child.h"
#include "support/scratch_folder.h"
#include "support/workbook_test_support.h"
#include "workbook/errors.h"

namespace zelvor::workbook {
namespace {

namespace fs = std::filesystem;
using test::FileNames;
using test::ReadFile;
using test::SaveText;
using test::WriteFile;
using zelvor::test::ScratchFolder;

// Runs `save` in a child process that stops inside its write: killed there with SIGKILL when
// `kill` is set, else held until the returned process is killed by the caller.
pid_t ChildStuckInSave(const std::string& target, bool kill) {
  const test::Child child = test::ForkChild([&](int ready) {
    SaveAtomically(target, [&](const std::string& temp) {
      WriteFile(temp, "half a workbook");
      if (kill) ::raise(SIGKILL);
      (void)!::write(ready, "x", 1);
      ::pause();
    });
  });
  char byte = 0;
  (void)!::read(child.output, &byte, 1);  // the end of the pipe: the child wrote or died
  ::close(child.output);
  if (kill) ::waitpid(child.pid, nullptr, 0);
  return child.pid;
}

TEST(AtomicSave, TemporaryFilesOfKilledSavesAreRemovedThoseOfRunningSavesKept) {
  ScratchFolder dir;
  const pid_t running = ChildStuckInSave(dir.File("other.xlsx"), false);
  std::unique_ptr<const pid_t, void (*)(const pid_t*)> reaper(&running, [](const pid_t* p) {
    ::kill(*p, SIGKILL);
    ::waitpid(*p, nullptr, 0);
  });
  ChildStuckInSave(dir.File("Wynik_Hdr_2024_05_01_10_00_00.xlsx"), true);
  ASSERT_EQ(FileNames(dir.Path()).size(), 2u) << "each child left its temporary file";
  std::set<std::string> kept;
  for (const auto& name : FileNames(dir.Path())) {
    if (name.find("~" + std::to_string(running) + "-") != std::string::npos) kept.insert(name);
  }
  ASSERT_EQ(kept.size(), 1u);
  // Look-alikes of a dead process that are not our temporary files stay too.
  const pid_t dead = [] {
    const test::Child child = test::ForkChild([](int) {});
    ::close(child.output);
    ::waitpid(child.pid, nullptr, 0);
    return child.pid;
  }();
  const std::string deadPid = std::to_string(dead);
  for (const std::string& name : {"notes.~" + deadPid + "-0.tmp", ".a.xlsx.~" + deadPid + ".tmp",
                                  ".a.xlsx.~" + deadPid + "-0.txt"}) {
    WriteFile(dir.File(name), "not ours");
    kept.insert(name);
  }
  fs::create_directory(dir / (".folder.~" + deadPid + "-0.tmp"));
  kept.insert(".folder.~" + deadPid + "-0.tmp");

  SaveText(dir.File("next.xlsx"), "saved");
  kept.insert("next.xlsx");
  EXPECT_EQ(FileNames(dir.Path()), kept);

  reaper.reset();  // now killed too
  SaveText(dir.File("next.xlsx"), "saved again");
  for (const auto& name : FileNames(dir.Path())) {
    EXPECT_EQ(name.find(std::to_string(running)), std::string::npos) << name;
  }
}

// A child process that reserves `target` (and saves over it when `save` is set), then dies.
void ReserveInKilledChild(const std::string& target, bool save) {
  const test::Child child = test::ForkChild([&](int) {
    if (!ReserveNewFile(target, [](const std::string& temp) { WriteFile(temp, "empty book"); }))
      ::_exit(3);
    if (save) SaveText(target, "rows");
    ::raise(SIGKILL);
  });
  ::close(child.output);
  int status = 0;
  ::waitpid(child.pid, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the child could not reserve " << target;
}

TEST(AtomicSave, AReservationOfADeadProcessGoesWithTheNextSaveUnlessItWasSavedOver) {
  ScratchFolder dir;
  ReserveInKilledChild(dir.File("saved.xlsx"), true);
  ReserveInKilledChild(dir.File("reserved.xlsx"), false);
  ASSERT_TRUE(fs::exists(dir / "reserved.xlsx"));
  ASSERT_EQ(FileNames(dir.Path()).size(), 3u) << "the unsaved reservation keeps its marker";

  SaveText(dir.File("next.xlsx"), "saved");
  EXPECT_EQ(FileNames(dir.Path()), (std::set<std::string>{"saved.xlsx", "next.xlsx"}));
  EXPECT_EQ(ReadFile(dir.File("saved.xlsx")), "rows");
}

TEST(AtomicSave, ASymbolicLinkIsFollowedAndStaysALink) {
  ScratchFolder dir;
  fs::create_directory(dir / "data");
  const std::string real = dir.File("data/list.xlsx");
  WriteFile(real, "old");
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  // An absolute link to a relative one, as a user's shortcuts pile up.
  fs::create_symlink("data/list.xlsx", dir / "relative.xlsx");
  fs::create_symlink(dir / "relative.xlsx", dir / "absolute.xlsx");

  SaveText(dir.File("absolute.xlsx"), "new");
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "absolute.xlsx")));
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "relative.xlsx")));
  EXPECT_EQ(ReadFile(real), "new");
  EXPECT_EQ(fs::status(real).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(FileNames(dir / "data"), std::set<std::string>{"list.xlsx"});
  EXPECT_NO_THROW(CheckCanSave(dir.File("absolute.xlsx")));

  // A dangling link gets the file it points to.
  fs::create_symlink("data/new.xlsx", dir / "dangling.xlsx");
  SaveText(dir.File("dangling.xlsx"), "created");
  EXPECT_EQ(ReadFile(dir.File("data/new.xlsx")), "created");
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "dangling.xlsx")));
}

TEST(AtomicSave, ReadOnlyTargetsAndFoldersAreRefusedByNameBeforeAndAtTheSave) {
  const auto readOnlyFile = [](const ScratchFolder& dir) {
    WriteFile(dir.File("book.xlsx"), "old");
    fs::permissions(dir / "book.xlsx",
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  };
  const struct {
    const char* name;
    std::function<void(const ScratchFolder&)> make;
    const char* target;
    const char* problem;  // nullptr: the save may go ahead
  } cases[] = {
      {"absent file", [](auto&) {}, "book.xlsx", nullptr},
      {"writable file", [](auto& d) { WriteFile(d.File("book.xlsx"), "old"); }, "book.xlsx",
       nullptr},
      {"read-only file", readOnlyFile, "book.xlsx", "is read-only"},
      {"link to a read-only file",
       [&](auto& d) {
         readOnlyFile(d);
         fs::create_symlink("book.xlsx", d / "link.xlsx");
       },
       "link.xlsx", "book.xlsx\" is read-only"},
      {"read-only folder",
       [](auto& d) {
         fs::permissions(d.Path(), fs::perms::owner_read | fs::perms::owner_exec |
                                       fs::perms::group_read | fs::perms::group_exec);
       },
       "book.xlsx", "is read-only"},
      {"missing folder", [](auto&) {}, "missing/book.xlsx", "cannot be used"},
      {"folder in its place", [](auto& d) { fs::create_directory(d / "book.xlsx"); }, "book.xlsx",
       "a folder of that name exists"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchFolder dir;
    c.make(dir);
    const std::string target = dir.File(c.target);
    const std::set<std::string> before = FileNames(dir.Path());
    const std::string bytes = fs::is_regular_file(target) ? ReadFile(target) : "";
    if (c.problem == nullptr) {
      EXPECT_NO_THROW(CheckCanSave(target));
      EXPECT_EQ(FileNames(dir.Path()), before) << "the check leaves nothing behind";
      SaveText(target, "new");
      EXPECT_EQ(ReadFile(target), "new");
      continue;
    }
    for (const auto& attempt : std::vector<std::function<void()>>{
             [&] { CheckCanSave(target); }, [&] { SaveText(target, "new"); }}) {
      try {
        attempt();
        ADD_FAILURE() << "not refused";
      } catch (const EWorkbookError& e) {
        const std::string message = e.what();
        EXPECT_EQ(
            message.rfind(
                "Nie można zapisać skoroszytu „" + fs::path(target).filename().string() + "”. ", 0),
            0u)
            << message;
        EXPECT_NE(message.find(" (Cannot save workbook \"" + target + "\": "), std::string::npos)
            << message;
        EXPECT_NE(message.find(c.problem), std::string::npos) << message;
      }
    }
    EXPECT_EQ(FileNames(dir.Path()), before);
    if (fs::is_regular_file(target)) {
      EXPECT_EQ(ReadFile(target), bytes);
    }
  }
}

}  // namespace
}  // namespace zelvor::workbook
