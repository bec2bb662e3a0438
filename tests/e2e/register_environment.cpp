#include "e2e/register_environment.h"

#include <sys/stat.h>

#include <fstream>
#include <random>
#include <stdexcept>

#include "register/register_transport.h"

namespace zelvor::test {
namespace fs = std::filesystem;

namespace {

void Concatenate(const fs::path& target, const std::vector<std::string>& parts) {
  std::ofstream out(target, std::ios::binary);
  for (const std::string& part : parts) {
    std::ifstream in(part, std::ios::binary);
    out << in.rdbuf();
  }
  if (!out) throw std::runtime_error("cannot write " + target.string());
}

}  // namespace

RegisterEnvironment::RegisterEnvironment(const std::vector<std::string>& simArgs) {
  const PkiFiles& files = pki_.Files();
  fs::create_directories(store_.Path() / "personal");
  fs::create_directories(store_.Path() / "issuers");
  const fs::path personal = store_.Path() / "personal" / "kreptd.pem";
  Concatenate(personal, {files.clientCertificate, files.clientKey});
  fs::permissions(personal, fs::perms::owner_read | fs::perms::owner_write);
  fs::copy_file(files.caCertificate, store_.Path() / "issuers" / "gitd.pem");

  std::vector<std::string> args{
      "--cert",      files.serverCertificate, "--key",  files.serverKey,
      "--client-ca", files.caCertificate,     "--seed", std::to_string(kSeed),
      "--size",      std::to_string(kSize)};
  args.insert(args.end(), simArgs.begin(), simArgs.end());
  sim_ = std::make_unique<SimProcess>(RegisterSimPath(), args);
}

std::shared_ptr<soap::HttpTransport> RegisterEnvironment::MakeTransport() const {
  reg::RegisterTransportSettings settings = reg::DefaultRegisterTransportSettings();
  settings.url = Url();
  settings.storeFolder = StoreFolder();
  return reg::MakeRegisterTransport(std::move(settings));
}

}  // namespace zelvor::test
