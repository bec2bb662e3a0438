#pragma once
// TXSDate keeps the lexical text of an XML Schema date exactly as set or received.

#include <string>
#include <string_view>

namespace zelvor::soap {

struct CalendarDate {
  int year = 1;
  int month = 1;
  int day = 1;
  bool operator==(const CalendarDate&) const = default;
};

class TXSDate {
 public:
  TXSDate() = default;
  explicit TXSDate(CalendarDate date) { SetDate(date); }

  // Parses the text and keeps it unchanged; throws EDateError naming the text.
  static TXSDate FromText(std::string_view text);

  void SetDate(CalendarDate date);
  void SetText(std::string_view text);

  CalendarDate Date() const { return date_; }
  int Year() const { return date_.year; }
  int Month() const { return date_.month; }
  int Day() const { return date_.day; }
  // The text as written on the wire; "0001-01-01" for a holder never set.
  const std::string& Text() const { return text_; }

 private:
  CalendarDate date_;
  std::string text_ = "0001-01-01";
};

}  // namespace zelvor::soap
