#pragma once
// Input workbooks made and result workbooks read through the program's own .xlsx component.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace zelvor::test {

using SheetRows = std::vector<std::vector<std::string>>;

// One sheet; each cell's text typed as the component types it (ten digits become a number).
void WriteWorkbook(const std::string& path, const SheetRows& rows);
// A list job's input: the tax numbers in column A below the header "NIP".
void WriteNumbersWorkbook(const std::string& path, const std::vector<std::string>& numbers);
// The same written as "klienci.xlsx" in `folder`; its path.
std::string NumbersInput(const std::filesystem::path& folder,
                         const std::vector<std::string>& numbers);

// The cells of a sheet (index from 1) up to its used range, trailing empty cells dropped.
SheetRows ReadSheet(const std::string& path, int sheetIndex = 1, int columns = 64);
std::vector<std::string> SheetNames(const std::string& path);
// The type each stored cell of a sheet has, by reference ("A3" -> "s"), read past the component;
// a number, stored without a type, reads "n".
std::map<std::string, std::string> CellTypes(const std::string& path, int sheetIndex = 1);

// The fields of a row line ("a;b;" -> {"a", "b"}).
std::vector<std::string> Fields(const std::string& line);

}  // namespace zelvor::test
