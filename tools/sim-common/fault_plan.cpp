#include "sim-common/fault_plan.h"

#include <charconv>

namespace zelvor::sim {
namespace {

struct NamedKind {
  std::string_view name;
  FaultKind kind;
};

constexpr NamedKind kNamed[] = {
    {"latency", FaultKind::Latency},
    {"soap-fault", FaultKind::ServiceFault},
    {"other-fault", FaultKind::OtherFault},
    {"empty", FaultKind::EmptyBody},
    {"html", FaultKind::Html},
    {"html-charset", FaultKind::HtmlCharset},
    {"malformed", FaultKind::Malformed},
    {"not-envelope", FaultKind::NotEnvelope},
    {"redirect", FaultKind::Redirect},
    {"redirect-loop", FaultKind::RedirectLoop},
    {"stall", FaultKind::Stall},
    {"truncated", FaultKind::Truncated},
    {"trickle", FaultKind::Trickle},
};

std::optional<int> ParseNumber(std::string_view text) {
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
  return value;
}

}  // namespace

std::optional<Fault> ParseFault(std::string_view text) {
  if (text.starts_with("http-")) {
    const auto code = ParseNumber(text.substr(5));
    if (!code || *code < 300 || *code > 599) return std::nullopt;
    return Fault{FaultKind::HttpStatus, *code};
  }
  std::string_view name = text;
  int param = 0;
  if (const auto colon = text.find(':'); colon != std::string_view::npos) {
    name = text.substr(0, colon);
    const auto number = ParseNumber(text.substr(colon + 1));
    if (!number) return std::nullopt;
    param = *number;
  }
  for (const auto& named : kNamed) {
    if (named.name != name) continue;
    const bool timed = named.kind == FaultKind::Latency || named.kind == FaultKind::Stall ||
                       named.kind == FaultKind::Trickle;
    if (param != 0 && !timed) return std::nullopt;
    return Fault{named.kind, param};
  }
  return std::nullopt;
}

std::string FaultName(const Fault& fault) {
  if (fault.kind == FaultKind::HttpStatus) return "http-" + std::to_string(fault.param);
  for (const auto& named : kNamed) {
    if (named.kind != fault.kind) continue;
    std::string name(named.name);
    if (fault.param != 0) name += ":" + std::to_string(fault.param);
    return name;
  }
  return "?";
}

std::string_view FaultNames() {
  return "latency[:ms], soap-fault, other-fault, http-<status>, empty, html, html-charset, "
         "malformed, not-envelope, redirect, redirect-loop, stall[:ms], truncated, trickle[:ms]";
}

void FaultPlan::SetRandom(double rate, std::uint64_t seed, std::vector<Fault> kinds) {
  std::lock_guard lock(mutex_);
  rate_ = rate;
  rng_ = Rng(seed);
  randomKinds_ = std::move(kinds);
}

void FaultPlan::AddFixed(std::string key, Fault fault) {
  std::lock_guard lock(mutex_);
  fixed_[std::move(key)] = fault;
}

void FaultPlan::AddKeyed(std::string key, Fault fault, int count) {
  std::lock_guard lock(mutex_);
  keyed_[std::move(key)].push_back({fault, count});
}

void FaultPlan::Queue(Fault fault, int count) {
  std::lock_guard lock(mutex_);
  queued_.push_back({fault, count});
}

void FaultPlan::Clear() {
  std::lock_guard lock(mutex_);
  keyed_.clear();
  queued_.clear();
}

std::optional<Fault> FaultPlan::Next(std::string_view key) {
  std::lock_guard lock(mutex_);
  const auto take = [](std::deque<Pending>& pending) -> std::optional<Fault> {
    if (pending.empty()) return std::nullopt;
    const Fault fault = pending.front().fault;
    if (pending.front().count != kAlways && --pending.front().count <= 0) pending.pop_front();
    return fault;
  };
  if (!key.empty()) {
    if (const auto it = keyed_.find(key); it != keyed_.end()) {
      if (auto fault = take(it->second)) return fault;
    }
    if (const auto it = fixed_.find(key); it != fixed_.end()) return it->second;
  }
  if (auto fault = take(queued_)) return fault;
  if (rate_ > 0 && !randomKinds_.empty()) {
    // Two draws per request whatever the outcome, so the sequence depends only on the seed.
    const double draw = static_cast<double>(rng_.Next() >> 11) / 9007199254740992.0;
    const Fault& candidate = randomKinds_[rng_.Below(randomKinds_.size())];
    if (draw < rate_) return candidate;
  }
  return std::nullopt;
}

}  // namespace zelvor::sim
