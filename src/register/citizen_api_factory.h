#pragma once
// The register client factory: a CitizenApi on a given transport or on one of its own.

#include <memory>
#include <string>

#include "register/citizen_api.h"
#include "soap/http_transport.h"

namespace zelvor::reg {

std::string DefaultServiceDescription();
std::string DefaultServiceUrl();

struct CitizenApiClient {
  // Holds the transport the factory created, which goes with the last reference.
  std::shared_ptr<CitizenApi> api;
  // The transport the interface calls through: the given one or the created one.
  soap::HttpTransport* transport = nullptr;
};

// With useWSDL the address is recorded as the transport's service description (service
// "CitizenApi", port "CitizenApiSOAP"), else it becomes the endpoint. An empty address takes
// the matching default. A given transport is never destroyed, whatever fails.
CitizenApiClient GetCitizenApi(bool useWSDL, std::string addr, soap::HttpTransport* HTTPRIO);

}  // namespace zelvor::reg
