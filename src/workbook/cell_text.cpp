#include "workbook/cell_text.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "workbook/errors.h"
#include "workbook/polish_messages.h"

namespace zelvor::workbook {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Serial 61 is 1900-03-01; below it the 1900 system counts a 29 February that never was.
constexpr std::chrono::sys_days kSerialBase =
    std::chrono::sys_days{std::chrono::year{1899} / 12 / 30};
constexpr double kFirstSerial = 61;
constexpr double kLastSerial = 2958465;  // 9999-12-31

}  // namespace

std::optional<double> IsoDateSerial(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
    if (!IsDigit(text[i])) return std::nullopt;
  }
  auto number = [&](std::size_t at, std::size_t len) {
    int v = 0;
    for (std::size_t i = at; i < at + len; ++i) v = v * 10 + (text[i] - '0');
    return v;
  };
  const std::chrono::year_month_day ymd{std::chrono::year{number(0, 4)},
                                        std::chrono::month{static_cast<unsigned>(number(5, 2))},
                                        std::chrono::day{static_cast<unsigned>(number(8, 2))}};
  if (!ymd.ok()) return std::nullopt;
  const double serial = (std::chrono::sys_days{ymd} - kSerialBase).count();
  if (serial < kFirstSerial || serial > kLastSerial) return std::nullopt;
  return serial;
}

std::string SerialDateText(double serial) {
  const auto days = static_cast<int>(std::floor(serial));
  const std::chrono::year_month_day ymd{kSerialBase + std::chrono::days{days}};
  char buf[16];
  const auto n =
      std::snprintf(buf, sizeof buf, "%04d-%02u-%02u", static_cast<int>(ymd.year()),
                    static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
  return std::string(buf, static_cast<std::size_t>(n));
}

TypedText ClassifyText(std::string_view text) {
  std::string_view digits = text;
  if (!digits.empty() && digits.front() == '-') digits.remove_prefix(1);
  if (!digits.empty() && digits.size() <= 15 && (digits.front() != '0' || text == "0")) {
    bool all = true;
    for (char c : digits) all = all && IsDigit(c);
    if (all) {
      std::int64_t v = 0;
      std::from_chars(text.data(), text.data() + text.size(), v);
      return {CellKind::Number, static_cast<double>(v)};
    }
  }
  if (auto serial = IsoDateSerial(text)) return {CellKind::Date, *serial};
  return {};
}

std::string NumberText(double value) {
  if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15) {
    return std::to_string(static_cast<std::int64_t>(value));
  }
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, end);
}

int ColumnNumber(std::string_view letters) {
  if (letters.empty() || letters.size() > 3) return 0;
  int column = 0;
  for (char c : letters) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c < 'A' || c > 'Z') return 0;
    column = column * 26 + (c - 'A' + 1);
  }
  return column <= kMaxColumn ? column : 0;
}

std::string ColumnLetters(int column) {
  std::string letters;
  while (column > 0) {
    const int rest = (column - 1) % 26;
    letters.insert(letters.begin(), static_cast<char>('A' + rest));
    column = (column - 1) / 26;
  }
  return letters;
}

std::optional<CellRef> ParseCellRef(std::string_view ref) {
  std::size_t split = 0;
  while (split < ref.size() && !IsDigit(ref[split])) ++split;
  const int column = ColumnNumber(ref.substr(0, split));
  const std::string_view digits = ref.substr(split);
  if (column == 0 || digits.empty() || digits.size() > 7 || digits.front() == '0') {
    return std::nullopt;
  }
  int row = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), row);
  if (ec != std::errc{} || end != digits.data() + digits.size() || row > kMaxRow) {
    return std::nullopt;
  }
  return CellRef{row, column};
}

std::string CellRefText(int row, int column) {
  return ColumnLetters(column) + std::to_string(row);
}

void CheckCellPosition(int row, int column) {
  if (row < 1 || row > kMaxRow || column < 1 || column > kMaxColumn) {
    throw EWorkbookError(WorkbookFailure("Cell (" + std::to_string(row) + ", " +
                                         std::to_string(column) + ") lies outside the sheet"));
  }
}

std::size_t Utf8Length(std::string_view text) {
  std::size_t n = 0;
  for (unsigned char c : text) n += (c & 0xC0) != 0x80;
  return n;
}

namespace {

// Length of the valid UTF-8 sequence at the start of s that XML 1.0 may carry, or 0.
std::size_t XmlCharLength(std::string_view s) {
  const auto b0 = static_cast<unsigned char>(s[0]);
  if (b0 < 0x80) return (b0 >= 0x20 || b0 == '\t' || b0 == '\n' || b0 == '\r') ? 1 : 0;
  std::size_t len = 0;
  std::uint32_t cp = 0;
  if ((b0 & 0xE0) == 0xC0) {
    len = 2;
    cp = b0 & 0x1F;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3;
    cp = b0 & 0x0F;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4;
    cp = b0 & 0x07;
  } else {
    return 0;
  }
  if (s.size() < len) return 0;
  for (std::size_t i = 1; i < len; ++i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  static constexpr std::uint32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF) || cp == 0xFFFE ||
      cp == 0xFFFF) {
    return 0;
  }
  return len;
}

}  // namespace

std::string CleanXmlText(std::string_view text) {
  std::string out;
  std::size_t i = 0;
  std::size_t clean = 0;  // text[clean, i) is valid and not yet copied
  while (i < text.size()) {
    const std::size_t len = XmlCharLength(text.substr(i));
    if (len > 0) {
      i += len;
      continue;
    }
    out.append(text.substr(clean, i - clean));
    out.append("\xEF\xBF\xBD");
    ++i;
    clean = i;
  }
  if (clean == 0) return std::string(text);
  out.append(text.substr(clean));
  return out;
}

}  // namespace zelvor::workbook
