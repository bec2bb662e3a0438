#pragma once
// The request documents and answer reading of CitizenApi's two operations, as a call over the
// register transport writes and reads them.

#include <memory>
#include <string>
#include <string_view>

#include "register/records.h"

namespace zelvor::reg {

std::string WriteWyszukajPrzedsiebiorce(const ParametryWyszukiwaniaPrzedsiebiorcowTyp& params);
std::string WritePobierzPrzedsiebiorce(const NumerReferencyjnyPrzedsiebiorcyTyp& numer);

// Parse an answer body and read its return value, or raise the fault or error it carries.
ListaPrzedsiebiorcowDaneWyszukaneTyp ReadWyszukajPrzedsiebiorce(std::string_view body);
std::unique_ptr<PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp> ReadPobierzPrzedsiebiorce(
    std::string_view body);

}  // namespace zelvor::reg
