#include "register/citizen_api.h"
#include "register/citizen_api_messages.h"

namespace zelvor::reg {
namespace {

class CitizenApiProxy final : public CitizenApi {
 public:
  explicit CitizenApiProxy(soap::HttpTransport& transport)
      : transport_(transport), service_(soap::InvokeRegistry::Instance().Interface("CitizenApi")) {}

  ListaPrzedsiebiorcowDaneWyszukaneTyp WyszukajPrzedsiebiorce(
      const ParametryWyszukiwaniaPrzedsiebiorcowTyp& parametryWyszukiwaniaPrzedsiebiorcow)
      override {
    return ReadWyszukajPrzedsiebiorce(
        transport_.Exchange(service_, service_.Operation("WyszukajPrzedsiebiorce"),
                            WriteWyszukajPrzedsiebiorce(parametryWyszukiwaniaPrzedsiebiorcow)));
  }

  std::unique_ptr<PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp> PobierzPrzedsiebiorce(
      const NumerReferencyjnyPrzedsiebiorcyTyp& numerReferencyjny) override {
    return ReadPobierzPrzedsiebiorce(
        transport_.Exchange(service_, service_.Operation("PobierzPrzedsiebiorce"),
                            WritePobierzPrzedsiebiorce(numerReferencyjny)));
  }

 private:
  soap::HttpTransport& transport_;
  const soap::InterfaceInfo& service_;
};

}  // namespace
}  // namespace zelvor::reg

namespace zelvor::soap {
template <>
std::unique_ptr<reg::CitizenApi> BindInterface<reg::CitizenApi>(HttpTransport& transport) {
  reg::RegisterCitizenApi();
  return std::make_unique<reg::CitizenApiProxy>(transport);
}
}  // namespace zelvor::soap
