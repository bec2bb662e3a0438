#include "platform/certificate_description.h"

#include <array>
#include <cstdio>

namespace zelvor::platform {

std::string FormatValidityTime(std::chrono::sys_seconds time) {
  using namespace std::chrono;
  const auto day = floor<days>(time);
  const year_month_day date{day};
  const hh_mm_ss clock{time - day};
  std::array<char, 64> text{};
  std::snprintf(text.data(), text.size(), "%04d-%02u-%02u %02ld:%02ld:%02ld UTC", int(date.year()),
                unsigned(date.month()), unsigned(date.day()), long(clock.hours().count()),
                long(clock.minutes().count()), long(clock.seconds().count()));
  return text.data();
}

}  // namespace zelvor::platform
