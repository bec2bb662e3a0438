#include "register/citizen_api_messages.h"

#include "register/citizen_api.h"
#include "soap/envelope_reader.h"
#include "soap/envelope_writer.h"

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

const soap::InterfaceInfo& Service() {
  RegisterCitizenApi();
  return soap::InvokeRegistry::Instance().Interface("CitizenApi");
}

std::string Write(std::string_view operation, const soap::Argument& argument) {
  const soap::InterfaceInfo& service = Service();
  return soap::WriteRequest(service, service.Operation(operation), {&argument, 1});
}

template <class Return>
decltype(Return::value) Read(std::string_view operation, std::string_view body) {
  const soap::InterfaceInfo& service = Service();
  Return result;
  soap::ReadAnswer(body, service, service.Operation(operation), result);
  return std::move(result.value);
}

}  // namespace

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

std::string WriteWyszukajPrzedsiebiorce(const ParametryWyszukiwaniaPrzedsiebiorcowTyp& params) {
  return Write("WyszukajPrzedsiebiorce", {&params, {}});
}

std::string WritePobierzPrzedsiebiorce(const NumerReferencyjnyPrzedsiebiorcyTyp& numer) {
  return Write("PobierzPrzedsiebiorce", {nullptr, numer});
}

ListaPrzedsiebiorcowDaneWyszukaneTyp ReadWyszukajPrzedsiebiorce(std::string_view body) {
  return Read<SearchReturn>("WyszukajPrzedsiebiorce", body);
}

std::unique_ptr<PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp> ReadPobierzPrzedsiebiorce(
    std::string_view body) {
  return Read<DetailsReturn>("PobierzPrzedsiebiorce", body);
}

}  // namespace zelvor::reg
