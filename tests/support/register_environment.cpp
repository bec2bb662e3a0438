#include "support/register_environment.h"

#include <signal.h>

#include <regex>
#include <stdexcept>
#include <thread>

#include "register/register_transport.h"
#include "support/http_client.h"

namespace zelvor::test {
namespace fs = std::filesystem;

RegisterEnvironment::RegisterEnvironment(const std::vector<std::string>& simArgs) {
  const PkiFiles& files = pki_.Files();
  WriteCertificateWithKeyPem(store_.Path() / "personal" / "kreptd.pem", pki_.Client());
  WriteCertificatesPem(store_.Path() / "issuers" / "gitd.pem", {&pki_.Ca()});

  std::vector<std::string> args{
      "--cert",      files.serverCertificate, "--key",  files.serverKey,
      "--client-ca", files.caCertificate,     "--seed", std::to_string(kSeed),
      "--size",      std::to_string(kSize)};
  args.insert(args.end(), simArgs.begin(), simArgs.end());
  simArgs_ = args;
  sim_ = std::make_unique<SimProcess>(RegisterSimPath(), args);
}

void RegisterEnvironment::Restart(std::chrono::milliseconds downtime) {
  const int port = sim_->Port();
  sim_->Stop(SIGKILL);
  std::this_thread::sleep_for(downtime);
  std::vector<std::string> args = simArgs_;
  args.insert(args.end(), {"--port", std::to_string(port)});
  sim_ = std::make_unique<SimProcess>(RegisterSimPath(), args);
}

namespace {

HttpClient AdminClient(const fs::path& store) {
  const std::string personal = (store / "personal" / "kreptd.pem").string();
  HttpClient client;
  client.Tls({(store / "issuers" / "gitd.pem").string(), personal, personal});
  return client;
}

}  // namespace

long RegisterEnvironment::InjectFault(const std::string& kind, const std::string& key,
                                      int count) const {
  return AdminClient(StoreFolder())
      .PostForm(sim_->Origin() + "/_sim/fault",
                "kind=" + kind + "&count=" + std::to_string(count) + "&key=" + key)
      .status;
}

std::vector<std::string> RegisterEnvironment::FirstNumbers(std::size_t count) const {
  std::vector<std::string> numbers;
  for (std::size_t i = 0; i < count; ++i) numbers.push_back(data_.At(i).NIP);
  return numbers;
}

long RegisterEnvironment::Stat(const std::string& name) const {
  const std::string body = AdminClient(StoreFolder()).Get(sim_->Origin() + "/_sim/stats").body;
  std::smatch match;
  if (!std::regex_search(body, match, std::regex("\"" + name + "\":(\\d+)")))
    throw std::runtime_error("register-sim stats without " + name + ": " + body);
  return std::stol(match[1]);
}

std::shared_ptr<soap::HttpTransport> RegisterEnvironment::MakeTransport() const {
  reg::RegisterTransportSettings settings = reg::DefaultRegisterTransportSettings();
  settings.url = Url();
  settings.storeFolder = StoreFolder();
  return reg::MakeRegisterTransport(std::move(settings));
}

}  // namespace zelvor::test
