#include "soap/xs_date.h"

#include <cstdio>

#include "soap/remote_errors.h"

namespace zelvor::soap {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Reads a run of digits at pos; an empty run counts as zero.
int ReadNumber(std::string_view text, size_t& pos) {
  long long value = 0;
  while (pos < text.size() && IsDigit(text[pos])) {
    if (value < 100000000) value = value * 10 + (text[pos] - '0');
    ++pos;
  }
  return static_cast<int>(value);
}

[[noreturn]] void Reject(std::string_view text) {
  throw EDateError("'" + std::string(text) + "' is not a valid date");
}

}  // namespace

TXSDate TXSDate::FromText(std::string_view text) {
  TXSDate date;
  date.SetText(text);
  return date;
}

void TXSDate::SetDate(CalendarDate date) {
  char buffer[48];
  const bool negative = date.year < 0;
  std::snprintf(buffer, sizeof buffer, "%s%.4d-%.2d-%.2d", negative ? "-" : "",
                negative ? -date.year : date.year, date.month, date.day);
  date_ = date;
  text_ = buffer;
}

void TXSDate::SetText(std::string_view text) {
  const bool negative = !text.empty() && text.front() == '-';
  const std::string_view rest = text.substr(negative ? 1 : 0);
  if (rest.size() < 4 || !IsDigit(rest.front())) Reject(text);

  size_t pos = 0;
  CalendarDate parsed{0, 0, 0};
  parsed.year = ReadNumber(rest, pos);
  if (pos < rest.size() && rest[pos] == '-') {
    ++pos;
    parsed.month = ReadNumber(rest, pos);
    if (pos < rest.size() && rest[pos] == '-') {
      ++pos;
      parsed.day = ReadNumber(rest, pos);
    }
  }
  if (negative) parsed.year = -parsed.year;
  date_ = parsed;
  text_ = std::string(text);
}

}  // namespace zelvor::soap
