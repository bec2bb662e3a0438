#pragma once
// Word lists for realistic Polish enterprises: people, firm names, places and streets.

#include <string>
#include <string_view>

#include "sim-common/rng.h"

namespace zelvor::sim {

struct Person {
  std::string imiona;
  std::string nazwisko;
};

struct Place {
  std::string_view miejscowosc;
  std::string_view powiat;
  std::string_view gmina;
  std::string_view wojewodztwo;  // the voivodeship's literal
  std::string_view kodPrefix;    // first two digits of its postcodes
};

struct Firm {
  std::string name;
  std::string legalForm;
  bool soleTrader = false;  // run by one person, without legal representatives
};

Person RandomPerson(Rng& rng);
const Place& RandomPlace(Rng& rng);
std::string_view RandomStreet(Rng& rng);
Firm RandomFirm(Rng& rng, const Person& owner);
// A reason for a suspension or withdrawal.
std::string_view RandomReason(Rng& rng);
std::string RandomAuthority(Rng& rng, const Place& place);

}  // namespace zelvor::sim
