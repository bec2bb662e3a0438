#include "report/display_tables.h"

#include <array>

namespace zelvor::report {
namespace {

// The entry at the value's ordinal; "" for a value outside the table.
template <typename Enum, std::size_t N>
std::string_view Lookup(const std::array<std::string_view, N>& table, Enum value) {
  const auto ordinal = static_cast<std::size_t>(value);
  return ordinal < N ? table[ordinal] : std::string_view{};
}

constexpr std::array<std::string_view, 28> kKraj = {
    "AT", "BE", "BG", "CH", "CY", "DK", "EE", "FI", "FR", "GR", "ES", "NL", "IE", "LT",
    "LU", "LV", "MT", "DE", "PL", "PT", "CZ", "RO", "SK", "SI", "SE", "HU", "UK", "IT"};
constexpr std::array<std::string_view, 2> kStatusZezwolenia = {"Ważność wygasła", "Ważne"};
constexpr std::array<std::string_view, 6> kRodzajCertyfikatu = {
    "krajowy transport drogowy osób",
    "krajowy transport drogowy rzeczy",
    "międzynarodowy transport drogowy osób",
    "międzynarodowy transport drogowy rzeczy",
    "certyfikat kompetencji zawodowych w drogowym transporcie osób",
    "certyfikat kompetencji zawodowych w drogowym transporcie rzeczy"};
constexpr std::array<std::string_view, 2> kZakresZezwolenia = {"Osoby", "Rzeczy"};
constexpr std::array<std::string_view, 3> kZakresLicencji = {
    "OsobyPowyzejTrzyIPolTony", "RzeczyPonizejTrzyIPolTony", "RzeczyPowyzejTrzyIPolTony"};
constexpr std::array<std::string_view, 8> kStatusLicencji = {
    "Zawieszone",          "Wycofane", "Unieważnione", "Ważność wygasła",
    "Zgubione/ukradzione", "Odesłane", "Ważne",        "Anulowane"};
constexpr std::array<std::string_view, 2> kRodzajWypisu = {"PonizejTrzyIPolTony",
                                                           "PowyzejTrzyIPolTony"};
constexpr std::array<std::string_view, 2> kStatusWypisu = {"Aktualny", "Cofniety"};

}  // namespace

std::string_view DisplayText(reg::KrajTyp v) {
  return Lookup(kKraj, v);
}
std::string_view DisplayText(reg::StatusZezwoleniaTyp v) {
  return Lookup(kStatusZezwolenia, v);
}
std::string_view DisplayText(reg::RodzajCertyfikatuTyp v) {
  return Lookup(kRodzajCertyfikatu, v);
}
std::string_view DisplayText(reg::ZakresZezwoleniaTyp v) {
  return Lookup(kZakresZezwolenia, v);
}
std::string_view DisplayText(reg::ZakresLicencjiTyp v) {
  return Lookup(kZakresLicencji, v);
}
std::string_view DisplayText(reg::StatusLicencjiTyp v) {
  return Lookup(kStatusLicencji, v);
}
std::string_view DisplayText(reg::RodzajWypisuZLicencjiTyp v) {
  return Lookup(kRodzajWypisu, v);
}
std::string_view DisplayText(reg::StatusWypisuTyp v) {
  return Lookup(kStatusWypisu, v);
}

}  // namespace zelvor::report
