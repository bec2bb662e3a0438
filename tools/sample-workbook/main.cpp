// zelvor-sample-workbook: input workbooks of tax numbers the register simulator holds, for the
// demonstration and the end-to-end benchmark, and a summary of what a list run wrote.
#include <cstdio>
#include <exception>
#include <string_view>

#include "register-sim/synthetic_register.h"
#include "sample-workbook/input_workbook.h"
#include "sample-workbook/run_summary.h"
#include "sample-workbook/sample_numbers.h"
#include "sim-common/sim_options.h"

namespace {

using namespace zelvor;

constexpr const char* kUsage =
    "usage: zelvor-sample-workbook make OUT.xlsx [--seed N] [--size N] [--count N]\n"
    "       zelvor-sample-workbook summary ANNOTATED.xlsx RESULT.xlsx\n"
    "       zelvor-sample-workbook cells WORKBOOK.xlsx\n"
    "  make      writes tax numbers into column A from row 2; they are drawn from the register\n"
    "            that register-sim serves with the same --seed (default 1) and --size\n"
    "            (default 1000). Without --count: a demonstration list with a repeated, an\n"
    "            invalid and an unknown number; with --count N: N distinct numbers it holds.\n"
    "  summary   counts the outcomes a list run wrote into the input workbook and the rows\n"
    "            of its result workbook\n";

int Make(int argc, char** argv) {
  // The options follow the workbook's path, which takes the place of the program's name.
  const sim::Options options(argc - 2, argv + 2, {"seed", "size", "count"});
  const auto seed = static_cast<std::uint64_t>(options.Integer("seed", 1, 0, 1LL << 62));
  const auto size = static_cast<std::size_t>(options.Integer("size", 1000, 2, 2000000));
  const sim::SyntheticRegister data(seed, size);
  const auto numbers =
      options.Has("count")
          ? sample::FoundNumbers(data,
                                 static_cast<std::size_t>(options.Integer("count", 0, 1, 1000000)))
          : sample::DemoNumbers(data);
  sample::WriteInputWorkbook(argv[2], numbers);
  std::printf("wrote %zu numbers to %s\n", numbers.size(), argv[2]);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view command = argc > 1 ? argv[1] : "";
  if (command == "--help" || command == "-h") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  try {
    if (command == "make" && argc >= 3) return Make(argc, argv);
    if (command == "cells" && argc == 3) {
      std::fputs(sample::CellLines(argv[2]).c_str(), stdout);
      return 0;
    }
    if (command == "summary" && argc == 4) {
      std::fputs(sample::FormatSummary(sample::SummarizeRun(argv[2], argv[3])).c_str(), stdout);
      return 0;
    }
    throw sim::UsageError(command.empty() ? "a command is needed"
                                          : "wrong arguments for '" + std::string(command) + "'");
  } catch (const sim::UsageError& e) {
    std::fprintf(stderr, "zelvor-sample-workbook: %s\n%s", e.what(), kUsage);
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zelvor-sample-workbook: %s\n", e.what());
    return 1;
  }
}
