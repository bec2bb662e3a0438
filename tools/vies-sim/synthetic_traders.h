#pragma once
// Deterministic traders of the VAT check service: whether a number is registered, and
// the trader's name and address, follow from the seed, the country and the number alone.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelvor::sim {

struct Trader {
  std::string name;
  std::string companyType;
  std::string street;
  std::string postcode;
  std::string city;

  // Street, then postcode and city on a second line.
  std::string Address() const;
};

class SyntheticTraders {
 public:
  explicit SyntheticTraders(std::uint64_t seed) : seed_(seed) {}

  // Member-state codes the service answers for ("EL" for Greece, "XI" for Northern Ireland).
  static bool KnownCountry(std::string_view countryCode);

  // The registered trader, or nothing when the number is not valid. Polish numbers are
  // valid when their check digit is; others when their format fits and the seed says so.
  std::optional<Trader> Lookup(std::string_view countryCode, std::string_view vatNumber) const;

  // count numbers of the country that are valid (or not), for tests and demonstrations.
  std::vector<std::string> Numbers(std::string_view countryCode, std::size_t count,
                                   bool valid) const;

  // Empty unless the requester is named.
  std::string RequestIdentifier(std::string_view countryCode, std::string_view vatNumber,
                                std::string_view requesterCountry,
                                std::string_view requesterNumber) const;

 private:
  std::uint64_t seed_;
};

}  // namespace zelvor::sim
