// zelvor-cli: the jobs of the window without the window, for scheduling, scripting and the demo.
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_options.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/process.h"
#include "register/citizen_api.h"
#include "vies/vat_port_type.h"
#include "zelvor/build_settings.h"

int main(int argc, char* argv[]) {
  using namespace zelvor::cli;
  const std::vector<std::string> arguments = Utf8Arguments(argc, argv);
  const std::vector<std::string_view> args(arguments.begin(), arguments.end());
  CliOptions options;
  try {
    options = ParseCommandLine(args);
  } catch (const UsageError& e) {
    Console console = Console::Standard(false);
    console.Err(std::string("zelvor-cli: ") + e.what());
    console.Err(ShortUsage());
    return kExitUsage;
  }
  Console console = Console::Standard(options.progress);
  if (options.help) {
    console.Out(UsageText());
    return kExitOk;
  }
  if (options.version) {
    console.Out(std::string("zelvor-cli ") + zelvor::build::kVersion);
    return kExitOk;
  }

  zelvor::reg::RegisterCitizenApi();
  zelvor::vies::RegisterVatPortType();
  return RunCommand(options, console);
}
