#include "register/citizen_api.h"
#include "register/citizen_api_messages.h"
#include "soap/soap_call.h"

namespace zelvor::reg {
namespace {

class CitizenApiProxy final : public CitizenApi {
 public:
  explicit CitizenApiProxy(soap::HttpTransport& transport)
      : transport_(transport), operations_(Operations()) {}

  ListaPrzedsiebiorcowDaneWyszukaneTyp WyszukajPrzedsiebiorce(
      const ParametryWyszukiwaniaPrzedsiebiorcowTyp& parametryWyszukiwaniaPrzedsiebiorcow)
      override {
    const soap::Argument argument = SearchArgument(parametryWyszukiwaniaPrzedsiebiorcow);
    return soap::Call<ListaPrzedsiebiorcowDaneWyszukaneTyp>(transport_, operations_.search,
                                                            {&argument, 1});
  }

  std::unique_ptr<PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp> PobierzPrzedsiebiorce(
      const NumerReferencyjnyPrzedsiebiorcyTyp& numerReferencyjny) override {
    const soap::Argument argument = DetailsArgument(numerReferencyjny);
    return soap::Call<std::unique_ptr<PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp>>(
        transport_, operations_.details, {&argument, 1});
  }

 private:
  soap::HttpTransport& transport_;
  const CitizenApiOperations& operations_;
};

}  // namespace
}  // namespace zelvor::reg

namespace zelvor::soap {
template <>
std::unique_ptr<reg::CitizenApi> BindInterface<reg::CitizenApi>(HttpTransport& transport) {
  return std::make_unique<reg::CitizenApiProxy>(transport);
}
}  // namespace zelvor::soap
