#pragma once
// A deterministic synthetic register of road-transport undertakings: the same seed and size
// always give the same enterprises. Tests and benchmarks ask it what exists; the simulator
// serves it.

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "register/records.h"
#include "soap/xs_date.h"

namespace zelvor::sim {

using reg::ParametryWyszukiwaniaPrzedsiebiorcowTyp;
using reg::PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp;
using soap::CalendarDate;

// Days since 1970-01-01 and back, for ranges and day steps.
int DayNumber(CalendarDate date);
CalendarDate DateOfDay(int dayNumber);

class SyntheticRegister {
 public:
  SyntheticRegister(std::uint64_t seed, std::size_t size);

  std::size_t Size() const { return enterprises_.size(); }
  const PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp& At(std::size_t index) const {
    return *enterprises_.at(index).details;
  }
  // The enterprise whose reference number the period job leaves out; 0 when the register is
  // too small to hold one.
  std::size_t ExcludedIndex() const { return excludedIndex_; }
  // The day the register last changed the enterprise's record.
  CalendarDate LastModified(std::size_t index) const { return enterprises_.at(index).lastModified; }

  const PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp* FindByReference(
      std::string_view reference) const;
  const PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp* FindByNip(std::string_view nip) const;

  // Enterprises with a transport manager certified within [from, to], once each, in
  // register order.
  std::vector<std::size_t> CertifiedBetween(CalendarDate from, CalendarDate to) const;
  // Days on which at least minEnterprises enterprises had a manager certified, in order.
  std::vector<CalendarDate> BusyDays(std::size_t minEnterprises) const;

  // Whether a search states any criterion the register can use.
  static bool HasCriteria(const ParametryWyszukiwaniaPrzedsiebiorcowTyp& params);
  // Enterprises meeting every stated criterion, in register order.
  std::vector<std::size_t> Search(const ParametryWyszukiwaniaPrzedsiebiorcowTyp& params) const;

 private:
  struct Enterprise {
    std::unique_ptr<PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp> details;
    CalendarDate lastModified;
  };
  bool Matches(const Enterprise& e, const ParametryWyszukiwaniaPrzedsiebiorcowTyp& p) const;

  std::vector<Enterprise> enterprises_;
  std::size_t excludedIndex_ = 0;
  std::map<std::string, std::size_t, std::less<>> byReference_;
  std::map<std::string, std::size_t, std::less<>> byNip_;
  std::multimap<int, std::size_t> byCertificateDay_;
};

// A valid tax number the register does not hold.
std::string UnknownValidNip(const SyntheticRegister& data);

}  // namespace zelvor::sim
