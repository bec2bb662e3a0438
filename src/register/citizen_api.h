#pragma once
// The register's service interface CitizenApi and its SOAP binding.

#include <memory>
#include <string>

#include "register/records.h"
#include "soap/http_transport.h"

namespace zelvor::reg {

// http URIs with the paths /v5.0 and /v5.0/types on the build's namespace host.
std::string InterfaceNamespace();
std::string TypesNamespace();
// The production endpoint: the build's register host with the path /CitizenApi.svc.
std::string ProductionEndpoint();

class CitizenApi {
 public:
  virtual ~CitizenApi() = default;
  // Searches the register; the hits, possibly none, belong to the caller.
  virtual ListaPrzedsiebiorcowDaneWyszukaneTyp WyszukajPrzedsiebiorce(
      const ParametryWyszukiwaniaPrzedsiebiorcowTyp& parametryWyszukiwaniaPrzedsiebiorcow) = 0;
  // The details of the enterprise with that reference number; null when the answer has none.
  virtual std::unique_ptr<PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp> PobierzPrzedsiebiorce(
      const NumerReferencyjnyPrzedsiebiorcyTyp& numerReferencyjny) = 0;
};

// Enters the interface, its operations and every register type into the SOAP registries.
// Runs at start-up; a second call changes nothing.
void RegisterCitizenApi();

}  // namespace zelvor::reg

namespace zelvor::soap {
template <>
std::unique_ptr<reg::CitizenApi> BindInterface<reg::CitizenApi>(HttpTransport& transport);
}  // namespace zelvor::soap
