#include "report/pending_rows.h"

#include <algorithm>
#include <cstdio>

namespace zelvor::report {
namespace {

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

std::string DateText(int year, unsigned month, unsigned day) {
  char buf[32];
  const int n = std::snprintf(buf, sizeof buf, "%04d-%02u-%02u", year, month, day);
  return std::string(buf, static_cast<std::size_t>(n));
}

// Appends the field to the last line, or makes it the first line of an empty list.
void AppendToLastLine(StringList& list, const std::string& field) {
  if (list.empty()) {
    list.push_back(field);
  } else {
    list.back() += field;
  }
}

}  // namespace

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string ValueText(const CellValue& value) {
  struct Visitor {
    std::string operator()(std::monostate) const { return {}; }
    std::string operator()(const std::string& s) const { return s; }
    std::string operator()(std::int32_t v) const { return std::to_string(v); }
    std::string operator()(std::chrono::sys_seconds t) const {
      const std::chrono::year_month_day ymd{std::chrono::floor<std::chrono::days>(t)};
      return DateText(static_cast<int>(ymd.year()), static_cast<unsigned>(ymd.month()),
                      static_cast<unsigned>(ymd.day()));
    }
  };
  return std::visit(Visitor{}, value);
}

std::string SanitizeField(std::string_view text) {
  std::string field(text);
  field.erase(std::remove(field.begin(), field.end(), ';'), field.end());
  std::string out(TrimBlanks(field));
  out.push_back(';');
  return out;
}

std::string FormatRegisterDate(const soap::TXSDate* date) {
  if (date == nullptr) return {};
  return DateText(date->Year(), static_cast<unsigned>(date->Month()),
                  static_cast<unsigned>(date->Day()));
}

void AddHdrValue(RowLines& rows, std::string_view name, const CellValue& value, bool startsRow) {
  const std::string field = SanitizeField(ValueText(value));
  if (startsRow) {
    rows.slValue.assign({field});
    rows.slHeader.clear();
  } else {
    AppendToLastLine(rows.slValue, field);
  }
  if (rows.slHeader.empty()) rows.slHeader.emplace_back();
  rows.slHeader.front() += SanitizeField(name);
}

void AddDetValue(RowLines& rows, std::string_view name, const CellValue& value, bool startsRow) {
  const std::string field = SanitizeField(ValueText(value));
  if (startsRow) {
    rows.slValueDet.push_back(field);
  } else {
    AppendToLastLine(rows.slValueDet, field);
  }
  if (rows.slValueDet.size() > 1) return;
  if (rows.slHeaderDet.empty()) rows.slHeaderDet.emplace_back();
  rows.slHeaderDet.front() += SanitizeField(name);
}

}  // namespace zelvor::report
