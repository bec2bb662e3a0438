#include "cli/commands.h"

#include <filesystem>
#include <iostream>
#include <memory>
#include <stdexcept>

#include "cli/cli_host.h"
#include "cli/effective_settings.h"
#include "cli/file_stamp.h"
#include "cli/stop_signal.h"
#include "jobs/nip_list_job.h"
#include "jobs/output_paths.h"
#include "jobs/period_job.h"
#include "platform/certificate_import.h"
#include "platform/certificate_store.h"
#include "platform/settings_file.h"
#include "register/citizen_api.h"
#include "register/connection_test.h"
#include "register/register_transport.h"
#include "vies/vat_check.h"
#include "workbook/file_system.h"

namespace zelvor::cli {
namespace {

namespace fs = std::filesystem;
using workbook::files::NativePath;
using workbook::files::Utf8;

// A run that cannot start; the message names what is in the way.
class RunFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The register transport as the window makes it, on the chosen endpoint and store. There is no
// certificate picker: when no store certificate matches the settings, the call goes on without one.
// A store folder that does not exist is refused before the run starts, not at its first call.
void PrepareRegister(jobs::RunState& state, const EffectiveSettings& effective) {
  reg::RegisterTransportSettings settings = reg::DefaultRegisterTransportSettings();
  settings.url = effective.registerUrl.value;
  settings.storeFolder = effective.store.value;
  settings.selectors = effective.Selectors();
  // Ctrl-C ends the calls in flight too, not only the run at its next record.
  settings.http.aborted = &StopSignalled;
  if (const std::string problem = reg::AddressProblem(settings.url); !problem.empty()) {
    throw RunFailure(problem);
  }
  platform::CheckStoreFolder(settings.storeFolder);
  state.registerConnections = effective.Connections();
  state.openRegisterConnection = reg::RegisterConnectionOpener(settings);
  state.registerTransport = reg::MakeRegisterTransport(std::move(settings));
  state.registerAddress = state.registerTransport->URL();
}

// An absolute folder path without a trailing separator; made when it does not exist yet.
fs::path OutputFolder(const std::string& folder) {
  fs::path path = fs::absolute(NativePath(folder)).lexically_normal();
  if (path.has_relative_path() && path.filename().empty()) path = path.parent_path();
  fs::create_directories(path);
  return path;
}

CliHostSettings HostSettings(std::string meterUnit) {
  CliHostSettings settings;
  settings.meter.emplace(std::move(meterUnit));
  settings.stopSignalled = &StopSignalled;
  return settings;
}

bool FileExists(const std::string& path) {
  std::error_code ignored;
  return !path.empty() && fs::is_regular_file(NativePath(path), ignored);
}

// The job's own way of ending: an error it showed, a stop signal, failed records, or done.
int JobExitStatus(const CliHost& host) {
  if (host.Failed()) return kExitFailed;
  if (host.Stopped()) return kExitSignalBase + StopSignalNumber();
  if (host.RecordsFailed()) return kExitRecordsFailed;
  return kExitOk;
}

// Runs a job's button handler; an error that escapes it is shown as the window shows it.
// Ctrl-C becomes the job's stop box from here on; elsewhere it ends the program as usual.
template <class Handler>
void RunJob(jobs::JobContext& ctx, Handler handler) {
  CatchStopSignal();
  ctx.retries.stopped = &StopSignalled;
  try {
    handler(ctx);
  } catch (const std::exception& e) {
    ctx.host.ShowError(e.what());
  }
}

// The workbook the job annotates: the input itself, or its copy in the output folder so that
// the original stays as it was.
fs::path ListInput(const CliOptions& options) {
  const fs::path original = fs::absolute(NativePath(options.input)).lexically_normal();
  std::error_code error;
  if (!fs::exists(original, error))
    throw RunFailure("cannot open " + Utf8(original) + ": no such file");
  if (!fs::is_regular_file(original, error))
    throw RunFailure("cannot open " + Utf8(original) + ": not a file");
  if (!options.output) return original;

  const fs::path copy = OutputFolder(*options.output) / original.filename();
  if (fs::exists(copy, error))
    throw RunFailure(Utf8(copy) + " already exists; it is not overwritten");
  fs::copy_file(original, copy, fs::copy_options::none, error);
  if (error)
    throw RunFailure("cannot copy " + Utf8(original) + " to " + Utf8(copy) + ": " +
                     error.message());
  return copy;
}

int RunList(const CliOptions& options, const EffectiveSettings& settings, Console& console) {
  jobs::RunState state;
  PrepareRegister(state, settings);
  const fs::path input = ListInput(options);
  state.inputIsWorkingCopy = options.output.has_value();
  const std::unique_ptr<workbook::ApplicationFactory> spreadsheets = workbook::MakeXlsxFactory();
  CliHostSettings hostSettings = HostSettings("rows");
  hostSettings.inputFile = Utf8(input);
  CliHost host(console, std::move(hostSettings));
  jobs::JobContext ctx{state, host, *spreadsheets};

  const FileStamp before = StampOf(input);
  RunJob(ctx, jobs::RunNipListJob);
  console.EndProgress();
  const FileStamp after = StampOf(input);
  if (after.exists && !(after == before)) console.Out("annotated: " + Utf8(input));
  if (FileExists(state.resultPath)) console.Out("result: " + state.resultPath);
  return JobExitStatus(host);
}

int RunPeriod(const CliOptions& options, const EffectiveSettings& settings, Console& console) {
  jobs::RunState state;
  PrepareRegister(state, settings);
  const std::unique_ptr<workbook::ApplicationFactory> spreadsheets = workbook::MakeXlsxFactory();
  CliHostSettings hostSettings = HostSettings("days");
  hostSettings.documentsFolder =
      Utf8(options.output ? OutputFolder(*options.output) : fs::current_path());
  hostSettings.firstDay = options.firstDay;
  hostSettings.lastDay = options.lastDay;
  CliHost host(console, std::move(hostSettings));
  jobs::JobContext ctx{state, host, *spreadsheets};

  RunJob(ctx, jobs::RunPeriodJob);
  console.EndProgress();
  if (FileExists(state.resultPath)) console.Out("result: " + state.resultPath);
  return JobExitStatus(host);
}

int RunTest(const EffectiveSettings& settings, Console& console) {
  jobs::RunState state;
  PrepareRegister(state, settings);
  std::string lastLine;
  const bool passed = reg::RunConnectionTest(
      *state.registerTransport->As<reg::CitizenApi>(),
      [&](const std::string& line) {
        console.Out(line);
        lastLine = line;
      },
      &jobs::FormatDay);
  if (passed) return kExitOk;
  console.Err("zelvor-cli: " + lastLine);
  return kExitFailed;
}

int RunVat(const CliOptions& options, const EffectiveSettings& settings, Console& console) {
  soap::HttpTransport vatTransport(settings.vatUrl.value);
  const vies::VatQuery query{.countryCode = options.country,
                             .vatNumber = options.number,
                             .requesterCountryCode = options.requesterCountry,
                             .requesterVatNumber = options.requesterNumber};
  const vies::VatAnswer answer = vies::CheckVat(*vatTransport.As<vies::VatPortType>(), query);
  for (const std::string& line : vies::VatResultLines(answer, options.number, &jobs::FormatDay))
    console.Out(line);
  return kExitOk;
}

// The password comes on standard input, never on the command line, where others could read it.
int RunImport(const CliOptions& options, const EffectiveSettings& settings, Console& console) {
  std::string password;
  std::getline(std::cin, password);
  if (!password.empty() && password.back() == '\r') password.pop_back();
  const platform::ImportedCertificate imported =
      platform::ImportPkcs12(NativePath(options.input), password, NativePath(settings.store.value));
  const platform::CertificateDescription& d = imported.description;
  console.Out("imported: " + d.displayName + " (numer seryjny " + d.serialNumber + ", wystawca " +
              d.issuer + ", ważny do " + platform::FormatValidityTime(d.notAfter) + ")");
  if (!imported.certificateFile.empty()) console.Out("into: " + Utf8(imported.certificateFile));
  return kExitOk;
}

int PrintConfig(const platform::SettingsFile& file, const EffectiveSettings& settings,
                Console& console) {
  console.Out("settings file: " + Utf8(file.path) + (file.found ? "" : " (none)"));
  for (const std::string& line : settings.Lines()) console.Out(line);
  return kExitOk;
}

}  // namespace

int RunCommand(const CliOptions& options, Console& console) {
  try {
    // A settings file that cannot be used stops the command before it does anything.
    const platform::SettingsFile file = platform::ReadSettingsFile(platform::DefaultSettingsFile());
    const EffectiveSettings settings = ResolveSettings(options, file);
    switch (options.command) {
      case Command::List:
        return RunList(options, settings, console);
      case Command::Period:
        return RunPeriod(options, settings, console);
      case Command::Test:
        return RunTest(settings, console);
      case Command::Vat:
        return RunVat(options, settings, console);
      case Command::Config:
        return PrintConfig(file, settings, console);
      case Command::Import:
        return RunImport(options, settings, console);
    }
    throw std::logic_error("unknown command");
  } catch (const std::exception& e) {
    console.EndProgress();
    console.Err(std::string("zelvor-cli: ") + e.what());
    return kExitFailed;
  }
}

}  // namespace zelvor::cli
