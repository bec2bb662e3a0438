// vies-sim: the EU VAT number check service over plain HTTP, answering for synthetic
// traders, for tests, benchmarks and demonstrations.
#include <cstdio>
#include <ctime>

#include "sim-common/sim_options.h"
#include "sim-common/sim_server.h"
#include "vies-sim/synthetic_traders.h"
#include "vies-sim/vies_service.h"
#include "zelvor/build_settings.h"

namespace {

constexpr const char* kUsage =
    "usage: vies-sim [options]\n"
    "  --seed N                 seed of the synthetic traders (default 1)\n"
    "  --request-date TEXT      requestDate of every answer (default today with its UTC offset)\n";

// Today as an XML Schema date with the local UTC offset, e.g. "2024-12-04+01:00".
std::string Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char date[16];
  char offset[8];
  std::strftime(date, sizeof date, "%Y-%m-%d", &local);
  std::strftime(offset, sizeof offset, "%z", &local);  // "+0100"
  const std::string z = offset;
  return std::string(date) + z.substr(0, 3) + ":" + z.substr(3, 2);
}

// The path part of the service's production URL.
std::string DefaultPath() {
  const std::string url = zelvor::build::kViesUrl;
  const auto scheme = url.find("://");
  const auto path = url.find('/', scheme == std::string::npos ? 0 : scheme + 3);
  return path == std::string::npos ? "/" : url.substr(path);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace zelvor::sim;
  try {
    std::vector<std::string_view> names = CommonOptionNames();
    names.insert(names.end(), {"seed", "request-date"});
    const Options options(argc, argv, names);
    if (options.Help()) {
      std::printf("%s%.*s", kUsage, static_cast<int>(CommonUsage().size()), CommonUsage().data());
      return 0;
    }
    const ServerSettings settings = ReadServerSettings(options, DefaultPath());
    FaultPlan faults;
    ReadFaults(options, faults);
    const SyntheticTraders traders(
        static_cast<std::uint64_t>(options.Integer("seed", 1, 0, 1LL << 62)));
    ViesService service(traders, options.Text("request-date", Today()));
    httplib::Server http;
    SimServer server(http, service, faults, settings, "http");
    return server.Run();
  } catch (const UsageError& e) {
    std::fprintf(stderr, "vies-sim: %s\n%s", e.what(), kUsage);
    return 2;
  }
}
