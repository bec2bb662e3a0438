#pragma once
// The request documents and answer reading of CitizenApi's two operations, as a call over the
// register transport writes and reads them.

#include <memory>
#include <string>
#include <string_view>

#include "register/records.h"
#include "soap/envelope_writer.h"
#include "soap/invoke_registry.h"

namespace zelvor::reg {

// CitizenApi's operations, looked up once per process (the interface is registered first).
struct CitizenApiOperations {
  soap::BoundOperation search;   // WyszukajPrzedsiebiorce
  soap::BoundOperation details;  // PobierzPrzedsiebiorce
};
const CitizenApiOperations& Operations();

// Each operation's one in-parameter as the writer takes it.
inline soap::Argument SearchArgument(const ParametryWyszukiwaniaPrzedsiebiorcowTyp& params) {
  return {&params, {}};
}
inline soap::Argument DetailsArgument(const NumerReferencyjnyPrzedsiebiorcyTyp& numer) {
  return {nullptr, numer};
}

std::string WriteWyszukajPrzedsiebiorce(const ParametryWyszukiwaniaPrzedsiebiorcowTyp& params);
std::string WritePobierzPrzedsiebiorce(const NumerReferencyjnyPrzedsiebiorcyTyp& numer);

// Parse an answer body and read its return value, or raise the fault or error it carries.
ListaPrzedsiebiorcowDaneWyszukaneTyp ReadWyszukajPrzedsiebiorce(std::string_view body);
std::unique_ptr<PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp> ReadPobierzPrzedsiebiorce(
    std::string_view body);

}  // namespace zelvor::reg
