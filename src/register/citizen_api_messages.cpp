#include "register/citizen_api_messages.h"

#include "register/citizen_api.h"
#include "soap/soap_call.h"

namespace zelvor::reg {

const CitizenApiOperations& Operations() {
  static const CitizenApiOperations operations = [] {
    RegisterCitizenApi();
    const soap::InvokeRegistry& registry = soap::InvokeRegistry::Instance();
    return CitizenApiOperations{registry.Bind("CitizenApi", "WyszukajPrzedsiebiorce"),
                                registry.Bind("CitizenApi", "PobierzPrzedsiebiorce")};
  }();
  return operations;
}

std::string WriteWyszukajPrzedsiebiorce(const ParametryWyszukiwaniaPrzedsiebiorcowTyp& params) {
  const soap::Argument argument = SearchArgument(params);
  return soap::WriteRequest(Operations().search, {&argument, 1});
}

std::string WritePobierzPrzedsiebiorce(const NumerReferencyjnyPrzedsiebiorcyTyp& numer) {
  const soap::Argument argument = DetailsArgument(numer);
  return soap::WriteRequest(Operations().details, {&argument, 1});
}

ListaPrzedsiebiorcowDaneWyszukaneTyp ReadWyszukajPrzedsiebiorce(std::string_view body) {
  return soap::ReadReturn<ListaPrzedsiebiorcowDaneWyszukaneTyp>(Operations().search, body);
}

std::unique_ptr<PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp> ReadPobierzPrzedsiebiorce(
    std::string_view body) {
  return soap::ReadReturn<std::unique_ptr<PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp>>(
      Operations().details, body);
}

}  // namespace zelvor::reg
