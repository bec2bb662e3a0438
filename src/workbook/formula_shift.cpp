#include "workbook/formula_shift.h"

#include <cctype>

#include "workbook/cell_text.h"

namespace zelvor::workbook {
namespace {

bool IsNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '.' ||
         static_cast<unsigned char>(c) >= 0x80;
}

// Copies a quoted run ('...' or "...", doubled quotes inside) and returns the index after it.
std::size_t CopyQuoted(std::string_view f, std::size_t i, std::string& out) {
  const char quote = f[i];
  out.push_back(f[i++]);
  while (i < f.size()) {
    out.push_back(f[i]);
    if (f[i++] == quote) {
      if (i < f.size() && f[i] == quote) {
        out.push_back(f[i++]);
        continue;
      }
      break;
    }
  }
  return i;
}

}  // namespace

std::string ShiftFormula(std::string_view f, int rowOffset, int columnOffset) {
  std::string out;
  std::size_t i = 0;
  while (i < f.size()) {
    const char c = f[i];
    if (c == '"' || c == '\'') {
      i = CopyQuoted(f, i, out);
      continue;
    }
    if (c == '[') {  // structured references and external workbook numbers stay as written
      const auto close = f.find(']', i);
      const auto end = close == std::string_view::npos ? f.size() : close + 1;
      out.append(f.substr(i, end - i));
      i = end;
      continue;
    }
    const bool startsToken = i == 0 || !IsNameChar(f[i - 1]);
    if (!startsToken || !(c == '$' || std::isalpha(static_cast<unsigned char>(c)))) {
      out.push_back(c);
      ++i;
      continue;
    }
    // Try $?LETTERS$?DIGITS followed by no name character and no "(" or "!".
    std::size_t j = i;
    const bool colAbs = f[j] == '$';
    if (colAbs) ++j;
    const std::size_t lettersAt = j;
    while (j < f.size() && std::isalpha(static_cast<unsigned char>(f[j]))) ++j;
    const std::size_t lettersEnd = j;
    const bool rowAbs = j < f.size() && f[j] == '$';
    if (rowAbs) ++j;
    const std::size_t digitsAt = j;
    while (j < f.size() && std::isdigit(static_cast<unsigned char>(f[j]))) ++j;
    const int column = ColumnNumber(f.substr(lettersAt, lettersEnd - lettersAt));
    const bool followedByName = j < f.size() && (IsNameChar(f[j]) || f[j] == '(' || f[j] == '!');
    if (column == 0 || digitsAt == j || followedByName) {
      // Not a reference: copy the whole name so that its inner letters are not looked at again.
      std::size_t end = i + 1;
      while (end < f.size() && IsNameChar(f[end])) ++end;
      out.append(f.substr(i, end - i));
      i = end;
      continue;
    }
    const auto ref = ParseCellRef(std::string(f.substr(lettersAt, lettersEnd - lettersAt)) +
                                  std::string(f.substr(digitsAt, j - digitsAt)));
    if (!ref) {
      out.append(f.substr(i, j - i));
      i = j;
      continue;
    }
    const int newColumn = colAbs ? ref->column : ref->column + columnOffset;
    const int newRow = rowAbs ? ref->row : ref->row + rowOffset;
    if (newColumn < 1 || newColumn > kMaxColumn || newRow < 1 || newRow > kMaxRow) {
      out += "#REF!";
    } else {
      out += (colAbs ? "$" : "") + ColumnLetters(newColumn) + (rowAbs ? "$" : "") +
             std::to_string(newRow);
    }
    i = j;
  }
  return out;
}

}  // namespace zelvor::workbook
