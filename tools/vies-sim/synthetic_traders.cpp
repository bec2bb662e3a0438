#include "vies-sim/synthetic_traders.h"

#include <algorithm>
#include <cctype>

#include "jobs/nip_validation.h"
#include "sim-common/rng.h"

namespace zelvor::sim {
namespace {

struct CountryStyle {
  std::string_view code;
  std::string_view companyType;
  std::vector<std::string_view> cities;
  std::vector<std::string_view> streets;
  std::string_view postcodePattern;  // '9' stands for a digit
};

const std::vector<CountryStyle>& Styles() {
  static const std::vector<CountryStyle> styles = {
      {"PL",
       "Sp. z o.o.",
       {"Warszawa", "Łódź", "Kraków", "Gdańsk", "Żyrardów"},
       {"ul. Marszałkowska", "ul. Łąkowa", "ul. Źródlana"},
       "99-999"},
      {"DE",
       "GmbH",
       {"Berlin", "München", "Köln", "Düsseldorf"},
       {"Hauptstraße", "Bahnhofstraße", "Gartenweg"},
       "99999"},
      {"AT", "GmbH", {"Wien", "Graz", "Linz"}, {"Ringstraße", "Mariahilfer Straße"}, "9999"},
      {"CZ",
       "s.r.o.",
       {"Praha", "Brno", "Ostrava", "České Budějovice"},
       {"Náměstí Míru", "Dlouhá"},
       "999 99"},
      {"SK", "s.r.o.", {"Bratislava", "Košice", "Žilina"}, {"Hlavná", "Štúrova"}, "999 99"},
      {"LT", "UAB", {"Vilnius", "Kaunas", "Klaipėda"}, {"Gedimino pr.", "Laisvės al."}, "LT-99999"},
      {"FR",
       "SARL",
       {"Paris", "Lyon", "Besançon"},
       {"rue de la Paix", "avenue Général Leclerc"},
       "99999"},
      {"IT", "S.r.l.", {"Milano", "Torino", "Forlì"}, {"Via Roma", "Corso Italia"}, "99999"},
      {"NL",
       "B.V.",
       {"Amsterdam", "Rotterdam", "Utrecht"},
       {"Kerkstraat", "Dorpsstraat"},
       "9999 AB"},
      {"ES",
       "S.L.",
       {"Madrid", "Barcelona", "A Coruña"},
       {"Calle Mayor", "Avenida de España"},
       "99999"},
  };
  return styles;
}

const CountryStyle& StyleOf(std::string_view code) {
  for (const auto& style : Styles()) {
    if (style.code == code) return style;
  }
  static const CountryStyle generic{
      "", "Ltd", {"Capital City", "Harbour Town"}, {"Main Street", "Market Square"}, "9999"};
  return generic;
}

constexpr std::string_view kStems[] = {"Nord",    "Baltic", "Euro",  "Alpen", "Delta",
                                       "Central", "Żuraw",  "Atlas", "Orbis", "Vistula"};
constexpr std::string_view kTrades[] = {"Cargo",     "Logistics", "Trans",
                                        "Spedition", "Freight",   "Handel"};

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(),
                                      [](unsigned char c) { return std::isdigit(c) != 0; });
}

bool NipChecksumOk(std::string_view number) {
  jobs::NipDigits digits{};
  return number.size() == 10 && AllDigits(number) && jobs::IsValidNip(number, digits);
}

bool FormatFits(std::string_view country, std::string_view number) {
  if (country == "PL") return NipChecksumOk(number);
  if (number.size() < 8 || number.size() > 12) return false;
  return std::all_of(number.begin(), number.end(),
                     [](unsigned char c) { return std::isalnum(c) != 0; });
}

std::string Digits(Rng& rng, std::size_t count) {
  std::string s;
  for (std::size_t i = 0; i < count; ++i) s += static_cast<char>('0' + rng.Below(10));
  return s;
}

std::string Postcode(Rng& rng, std::string_view pattern) {
  std::string s;
  for (char c : pattern) s += c == '9' ? static_cast<char>('0' + rng.Below(10)) : c;
  return s;
}

}  // namespace

std::string Trader::Address() const {
  return street + "\n" + postcode + " " + city;
}

bool SyntheticTraders::KnownCountry(std::string_view countryCode) {
  static constexpr std::string_view kCodes[] = {
      "AT", "BE", "BG", "CY", "CZ", "DE", "DK", "EE", "EL", "ES", "FI", "FR", "HR", "HU",
      "IE", "IT", "LT", "LU", "LV", "MT", "NL", "PL", "PT", "RO", "SE", "SI", "SK", "XI"};
  return std::find(std::begin(kCodes), std::end(kCodes), countryCode) != std::end(kCodes);
}

std::optional<Trader> SyntheticTraders::Lookup(std::string_view countryCode,
                                               std::string_view vatNumber) const {
  if (!KnownCountry(countryCode) || !FormatFits(countryCode, vatNumber)) return std::nullopt;
  const std::string key = std::string(countryCode) + std::string(vatNumber);
  // A quarter of the well-formed foreign numbers are not registered.
  if (countryCode != "PL" && StableHash(seed_, key) % 4 == 0) return std::nullopt;
  Rng rng(StableHash(seed_ + 1, key));
  const CountryStyle& style = StyleOf(countryCode);
  Trader t;
  t.companyType = std::string(style.companyType);
  t.name =
      std::string(rng.Pick(kStems)) + " " + std::string(rng.Pick(kTrades)) + " " + t.companyType;
  t.street = std::string(rng.Pick(style.streets)) + " " + std::to_string(rng.Between(1, 120));
  t.postcode = Postcode(rng, style.postcodePattern);
  t.city = std::string(rng.Pick(style.cities));
  return t;
}

std::vector<std::string> SyntheticTraders::Numbers(std::string_view countryCode, std::size_t count,
                                                   bool valid) const {
  std::vector<std::string> numbers;
  Rng rng(StableHash(seed_ + 2, countryCode));
  while (numbers.size() < count) {
    std::string candidate = std::string(1, static_cast<char>('1' + rng.Below(9))) +
                            Digits(rng, countryCode == "PL" ? 9 : 8);
    if (Lookup(countryCode, candidate).has_value() == valid)
      numbers.push_back(std::move(candidate));
  }
  return numbers;
}

std::string SyntheticTraders::RequestIdentifier(std::string_view countryCode,
                                                std::string_view vatNumber,
                                                std::string_view requesterCountry,
                                                std::string_view requesterNumber) const {
  if (requesterCountry.empty() || requesterNumber.empty()) return {};
  Rng rng(StableHash(seed_ + 3, std::string(countryCode) + std::string(vatNumber) + "|" +
                                    std::string(requesterCountry) + std::string(requesterNumber)));
  std::string id = "WAPI";
  static constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  for (int i = 0; i < 12; ++i) id += kAlphabet[rng.Below(kAlphabet.size())];
  return id;
}

}  // namespace zelvor::sim
