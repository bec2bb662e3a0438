#include "register/citizen_api_factory.h"

#include "zelvor/build_settings.h"

namespace zelvor::reg {
namespace {

// A created transport and the interface on it, released together, interface first.
struct OwnedClient {
  std::unique_ptr<soap::HttpTransport> transport;
  std::unique_ptr<CitizenApi> api;
};

}  // namespace

std::string DefaultServiceDescription() {
  return build::kRegisterWsdl;
}
std::string DefaultServiceUrl() {
  return build::kRegisterServiceUrl;
}

CitizenApiClient GetCitizenApi(bool useWSDL, std::string addr, soap::HttpTransport* HTTPRIO) {
  if (addr.empty()) addr = useWSDL ? DefaultServiceDescription() : DefaultServiceUrl();

  auto owned = std::make_shared<OwnedClient>();
  soap::HttpTransport* transport = HTTPRIO;
  if (transport == nullptr) {
    owned->transport = std::make_unique<soap::HttpTransport>();
    transport = owned->transport.get();
  }
  owned->api = transport->As<CitizenApi>();
  if (useWSDL) {
    transport->SetDescription({addr, "CitizenApi", "CitizenApiSOAP"});
  } else {
    transport->SetURL(addr);
  }
  return {std::shared_ptr<CitizenApi>(owned, owned->api.get()), transport};
}

}  // namespace zelvor::reg
