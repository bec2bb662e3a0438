#include "register/citizen_api.h"

namespace zelvor::reg {
namespace {

// Holders of each operation's return value, read by the envelope reader through their tables.
class SearchReturn : public soap::Remotable {
  ZELVOR_RECORD(SearchReturn)
  ListaPrzedsiebiorcowDaneWyszukaneTyp value;
};

class DetailsReturn : public soap::Remotable {
  ZELVOR_RECORD(DetailsReturn)
  std::unique_ptr<PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp> value;
};

const soap::RecordType& SearchReturn::StaticType() {
  static const soap::RecordType type = soap::RecordTypeBuilder<SearchReturn>("SearchReturn")
                                           .Required("return", &SearchReturn::value)
                                           .Build();
  return type;
}

const soap::RecordType& DetailsReturn::StaticType() {
  static const soap::RecordType type = soap::RecordTypeBuilder<DetailsReturn>("DetailsReturn")
                                           .Required("return", &DetailsReturn::value)
                                           .Build();
  return type;
}

class CitizenApiProxy final : public CitizenApi {
 public:
  explicit CitizenApiProxy(soap::HttpTransport& transport)
      : transport_(transport), service_(soap::InvokeRegistry::Instance().Interface("CitizenApi")) {}

  ListaPrzedsiebiorcowDaneWyszukaneTyp WyszukajPrzedsiebiorce(
      const ParametryWyszukiwaniaPrzedsiebiorcowTyp& parametryWyszukiwaniaPrzedsiebiorcow)
      override {
    const soap::Argument arguments[] = {{&parametryWyszukiwaniaPrzedsiebiorcow, {}}};
    SearchReturn result;
    transport_.Invoke(service_, service_.Operation("WyszukajPrzedsiebiorce"), arguments, result);
    return std::move(result.value);
  }

  std::unique_ptr<PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp> PobierzPrzedsiebiorce(
      const NumerReferencyjnyPrzedsiebiorcyTyp& numerReferencyjny) override {
    const soap::Argument arguments[] = {{nullptr, numerReferencyjny}};
    DetailsReturn result;
    transport_.Invoke(service_, service_.Operation("PobierzPrzedsiebiorce"), arguments, result);
    return std::move(result.value);
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
