#include "sim-common/sim_options.h"

#include <algorithm>
#include <charconv>

namespace zelvor::sim {
namespace {

std::vector<std::string> SplitList(std::string_view text) {
  std::vector<std::string> items;
  while (!text.empty()) {
    const auto comma = text.find(',');
    const auto item = text.substr(0, comma);
    if (!item.empty()) items.emplace_back(item);
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return items;
}

Fault FaultOrThrow(std::string_view text) {
  const auto fault = ParseFault(text);
  if (!fault) throw UsageError("unknown fault '" + std::string(text) + "'");
  return *fault;
}

}  // namespace

Options::Options(int argc, char** argv, std::vector<std::string_view> allowed) {
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      help_ = true;
      continue;
    }
    if (!arg.starts_with("--")) throw UsageError("unexpected argument '" + std::string(arg) + "'");
    arg.remove_prefix(2);
    std::string name(arg);
    std::string value;
    if (const auto eq = arg.find('='); eq != std::string_view::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
    } else if (i + 1 < argc) {
      value = argv[++i];
    } else {
      throw UsageError("option --" + name + " needs a value");
    }
    if (std::find(allowed.begin(), allowed.end(), name) == allowed.end()) {
      throw UsageError("unknown option --" + name);
    }
    values_.emplace_back(std::move(name), std::move(value));
  }
}

bool Options::Has(std::string_view name) const {
  return Get(name).has_value();
}

std::optional<std::string> Options::Get(std::string_view name) const {
  std::optional<std::string> found;
  for (const auto& [n, v] : values_) {
    if (n == name) found = v;
  }
  return found;
}

std::vector<std::string> Options::All(std::string_view name) const {
  std::vector<std::string> found;
  for (const auto& [n, v] : values_) {
    if (n == name) found.push_back(v);
  }
  return found;
}

std::string Options::Text(std::string_view name, std::string_view fallback) const {
  return Get(name).value_or(std::string(fallback));
}

long long Options::Integer(std::string_view name, long long fallback, long long min,
                           long long max) const {
  const auto text = Get(name);
  if (!text) return fallback;
  long long value = 0;
  const auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), value);
  if (ec != std::errc() || end != text->data() + text->size() || value < min || value > max) {
    throw UsageError("--" + std::string(name) + " wants a whole number from " +
                     std::to_string(min) + " to " + std::to_string(max));
  }
  return value;
}

double Options::Real(std::string_view name, double fallback, double min, double max) const {
  const auto text = Get(name);
  if (!text) return fallback;
  double value = 0;
  const auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), value);
  if (ec != std::errc() || end != text->data() + text->size() || value < min || value > max) {
    throw UsageError("--" + std::string(name) + " wants a number from " + std::to_string(min) +
                     " to " + std::to_string(max));
  }
  return value;
}

std::vector<std::string_view> CommonOptionNames() {
  return {"host",
          "port",
          "path",
          "latency-ms",
          "stall-ms",
          "fault",
          "fault-rate",
          "fault-seed",
          "fault-kinds",
          "keep-alive-timeout",
          "keep-alive-timeout-ms",
          "threads"};
}

std::string_view CommonUsage() {
  return "  --host ADDR              loopback address to listen on (127.0.0.1, ::1, localhost)\n"
         "  --port N                 port, 0 picks a free one (default 0)\n"
         "  --path P                 endpoint path\n"
         "  --latency-ms N           delay every answer by N ms\n"
         "  --stall-ms N             how long a stalled answer is held back (default 120000)\n"
         "  --fault KEY=KIND         every request about KEY gets fault KIND (repeatable)\n"
         "  --fault-rate R           share of requests (0..1) that get a random fault\n"
         "  --fault-seed S           seed of the random faults (default 1)\n"
         "  --fault-kinds K1,K2      kinds drawn at random (default "
         "soap-fault,http-503,empty,malformed)\n"
         "  --keep-alive-timeout S   seconds an idle connection is kept (default 15)\n"
         "  --keep-alive-timeout-ms N  the same in milliseconds, rounded up to whole seconds;\n"
         "                           0 closes a connection as soon as it is idle\n"
         "  --threads N              connections served at once (default 32)\n";
}

ServerSettings ReadServerSettings(const Options& options, std::string_view defaultPath) {
  ServerSettings s;
  s.host = options.Text("host", "127.0.0.1");
  // Test servers answer on loopback only.
  if (s.host != "127.0.0.1" && s.host != "::1" && s.host != "localhost") {
    throw UsageError("--host must be a loopback address (127.0.0.1, ::1 or localhost)");
  }
  if (s.host == "localhost") s.host = "127.0.0.1";
  s.port = static_cast<int>(options.Integer("port", 0, 0, 65535));
  s.path = options.Text("path", defaultPath);
  if (!s.path.starts_with('/')) throw UsageError("--path must start with /");
  s.latencyMs = static_cast<int>(options.Integer("latency-ms", 0, 0, 600000));
  s.stallMs = static_cast<int>(options.Integer("stall-ms", 120000, 1, 3600000));
  s.keepAliveMs = static_cast<int>(options.Integer("keep-alive-timeout", 15, 1, 3600)) * 1000;
  if (options.Has("keep-alive-timeout-ms")) {
    s.keepAliveMs = static_cast<int>(options.Integer("keep-alive-timeout-ms", 0, 0, 3600000));
  }
  s.threads = static_cast<int>(options.Integer("threads", 32, 1, 1024));
  return s;
}

void ReadFaults(const Options& options, FaultPlan& plan) {
  for (const std::string& entry : options.All("fault")) {
    const auto eq = entry.rfind('=');
    if (eq == std::string::npos || eq == 0) throw UsageError("--fault wants KEY=KIND");
    plan.AddFixed(entry.substr(0, eq), FaultOrThrow(entry.substr(eq + 1)));
  }
  std::vector<Fault> kinds;
  for (const std::string& name :
       SplitList(options.Text("fault-kinds", "soap-fault,http-503,empty,malformed"))) {
    kinds.push_back(FaultOrThrow(name));
  }
  const double rate = options.Real("fault-rate", 0, 0, 1);
  const auto seed = static_cast<std::uint64_t>(options.Integer("fault-seed", 1, 0, 1LL << 62));
  plan.SetRandom(rate, seed, std::move(kinds));
}

}  // namespace zelvor::sim
