#pragma once
// Writes an input workbook of the list job through the program's own .xlsx component.

#include <string>
#include <vector>

namespace zelvor::sample {

// A one-sheet workbook with the heading "NIP" in A1 and the numbers below it, each typed as the
// component types a text (ten digits without a leading zero become a number).
void WriteInputWorkbook(const std::string& path, const std::vector<std::string>& numbers);

}  // namespace zelvor::sample
