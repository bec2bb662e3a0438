// register-sim: the road-transport register's web service over HTTPS, serving a
// synthetic register, for tests, benchmarks and demonstrations.
#include <cstdio>

#include "register-sim/register_service.h"
#include "register-sim/synthetic_register.h"
#include "register-sim/tls_context.h"
#include "sim-common/sim_options.h"
#include "sim-common/sim_server.h"

namespace {

constexpr const char* kUsage =
    "usage: register-sim --cert FILE --key FILE --client-ca FILE [options]\n"
    "  --cert FILE              server certificate (PEM chain)\n"
    "  --key FILE               server private key (PEM)\n"
    "  --client-ca FILE         issuers whose client certificates are accepted (PEM)\n"
    "  --seed N                 seed of the synthetic register (default 1)\n"
    "  --size N                 number of enterprises (default 1000)\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace zelvor::sim;
  try {
    std::vector<std::string_view> names = CommonOptionNames();
    names.insert(names.end(), {"cert", "key", "client-ca", "seed", "size"});
    const Options options(argc, argv, names);
    if (options.Help()) {
      std::printf("%s%.*s  KIND is one of: %.*s\n", kUsage, static_cast<int>(CommonUsage().size()),
                  CommonUsage().data(), static_cast<int>(FaultNames().size()), FaultNames().data());
      return 0;
    }
    const ServerSettings settings = ReadServerSettings(options, "/CitizenApi.svc");
    FaultPlan faults;
    ReadFaults(options, faults);
    TlsFiles tls{options.Text("cert", ""), options.Text("key", ""), options.Text("client-ca", "")};
    if (tls.certificate.empty() || tls.key.empty() || tls.clientCa.empty()) {
      throw UsageError("--cert, --key and --client-ca are required");
    }
    const auto seed = static_cast<std::uint64_t>(options.Integer("seed", 1, 0, 1LL << 62));
    const auto size = static_cast<std::size_t>(options.Integer("size", 1000, 2, 2000000));

    const SyntheticRegister data(seed, size);
    RegisterService service(data);
    std::string tlsError;
    httplib::SSLServer http([&](SSL_CTX& ctx) { return ConfigureTls(ctx, tls, tlsError); });
    if (!http.is_valid()) {
      std::fprintf(stderr, "register-sim: %s\n", tlsError.c_str());
      return 1;
    }
    SimServer server(http, service, faults, settings, "https");
    return server.Run();
  } catch (const UsageError& e) {
    std::fprintf(stderr, "register-sim: %s\n%s", e.what(), kUsage);
    return 2;
  }
}
