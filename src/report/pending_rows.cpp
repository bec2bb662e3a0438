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

template <class Text>
std::string Line(const RowFields& row, Text text) {
  std::string line;
  for (const Field& field : row) line += SanitizeField(text(field));
  return line;
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

std::string CellText(std::string_view text) {
  std::string field(text);
  field.erase(std::remove(field.begin(), field.end(), ';'), field.end());
  return std::string(TrimBlanks(field));
}

std::string SanitizeField(std::string_view text) {
  return CellText(text) + ';';
}

std::string FormatRegisterDate(const soap::TXSDate* date) {
  if (date == nullptr) return {};
  return DateText(date->Year(), static_cast<unsigned>(date->Month()),
                  static_cast<unsigned>(date->Day()));
}

std::string ValueLine(const RowFields& row) {
  return Line(row, [](const Field& field) { return ValueText(field.value); });
}

std::string HeaderLine(const RowFields& row) {
  return Line(row, [](const Field& field) -> const std::string& { return field.name; });
}

void AddHdrValue(PendingRows& rows, std::string_view name, const CellValue& value, bool startsRow) {
  if (startsRow) rows.summaryRow.clear();
  rows.summaryRow.push_back({std::string(name), value});
}

void AddDetValue(PendingRows& rows, std::string_view name, const CellValue& value, bool startsRow) {
  if (startsRow || rows.detailRowsBegun == 0) {
    rows.detailRow.clear();
    ++rows.detailRowsBegun;
  }
  rows.detailRow.push_back({std::string(name), value});
  if (rows.detailRowsBegun == 1) rows.detailHeader.emplace_back(name);
}

}  // namespace zelvor::report
