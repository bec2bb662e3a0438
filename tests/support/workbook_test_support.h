#pragma once
// Whole files and whole-archive access to .xlsx files, for the workbook tests.

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>

namespace zelvor::test {

std::string ReadFile(const std::string& path);
// The names of the entries of a folder, as UTF-8.
std::set<std::string> FileNames(const std::filesystem::path& folder);
void WriteFile(const std::string& path, const std::string& bytes);
// Saves the text as the file's whole content, as every workbook is saved (atomically).
void SaveText(const std::string& path, const std::string& text);

// Every entry of the archive by name, uncompressed.
std::map<std::string, std::string> ReadParts(const std::string& path);
// Writes an archive of the given entries (deflated).
void WriteParts(const std::string& path, const std::map<std::string, std::string>& parts);
}  // namespace zelvor::test
