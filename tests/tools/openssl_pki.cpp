#include "tools/openssl_pki.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace zelvor::test {
namespace {

void Run(const std::string& command) {
  if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) {
    throw std::runtime_error("openssl failed: " + command);
  }
}

std::string NewKey(const std::string& path) {
  Run("openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -out '" + path + "'");
  return path;
}

// A certificate for key, issued by the CA (caName without extension) for two days.
void Issue(const std::string& dir, const std::string& name, const std::string& subject,
           const std::string& caName, const std::string& extensions) {
  const std::string base = dir + "/" + name;
  const std::string ext = base + ".ext";
  std::ofstream(ext) << extensions << "\n";
  Run("openssl req -new -key '" + base + ".key' -subj '" + subject + "' -out '" + base + ".csr'");
  Run("openssl x509 -req -in '" + base + ".csr' -CA '" + dir + "/" + caName + ".pem' -CAkey '" +
      dir + "/" + caName + ".key' -CAcreateserial -days 2 -extfile '" + ext + "' -out '" + base +
      ".pem'");
}

void MakeCa(const std::string& dir, const std::string& name, const std::string& subject) {
  const std::string base = dir + "/" + name;
  NewKey(base + ".key");
  Run("openssl req -x509 -new -key '" + base + ".key' -subj '" + subject + "' -days 2 -out '" +
      base + ".pem'");
}

}  // namespace

OpenSslPki::OpenSslPki() {
  std::string templ = (std::filesystem::temp_directory_path() / "zelvor-pki-XXXXXX").string();
  if (mkdtemp(templ.data()) == nullptr) throw std::runtime_error("cannot make a temporary folder");
  dir_ = templ;
  // The issuer's name follows the register's client-certificate issuer.
  MakeCa(dir_, "ca", "/L=local/O=gitd/CN=GITD SUB03 CA");
  MakeCa(dir_, "other-ca", "/O=Obcy Urząd/CN=Obce CA");
  NewKey(dir_ + "/server.key");
  Issue(dir_, "server", "/CN=127.0.0.1", "ca", "subjectAltName=IP:127.0.0.1,DNS:localhost");
  NewKey(dir_ + "/client.key");
  Issue(dir_, "client", "/C=PL/O=Zelvor/CN=KREPTD", "ca", "extendedKeyUsage=clientAuth");
  NewKey(dir_ + "/stranger.key");
  Issue(dir_, "stranger", "/C=PL/O=Zelvor/CN=KREPTD", "other-ca", "extendedKeyUsage=clientAuth");
  files_ = {dir_ + "/ca.pem",      dir_ + "/server.pem", dir_ + "/server.key",
            dir_ + "/client.pem",  dir_ + "/client.key", dir_ + "/stranger.pem",
            dir_ + "/stranger.key"};
}

OpenSslPki::~OpenSslPki() {
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

}  // namespace zelvor::test
