#pragma once
// The Polish sentences of the spreadsheet component's errors: a person reads what happened and
// what to do first, and the component's own text, for support to search, follows in
// parentheses.

#include <string>

namespace zelvor::workbook {

// The reason a save gives for a file that another program holds open.
inline constexpr const char* kHeldOpenReason = "the file is open in another program";

// "Cannot save workbook "<target>": <reason>" behind its sentence. A reason that is itself such
// a failure (a save made inside another) is told once, for the outer target.
std::string SaveFailure(const std::string& target, const std::string& reason);

// "Cannot open workbook "<path>": <problem>" behind its sentence.
std::string OpenFailure(const std::string& path, const std::string& problem);
// True for a message OpenFailure made.
bool IsOpenFailure(const std::string& message);

// Any other failure of an operation on a workbook, behind the general sentence.
std::string WorkbookFailure(const std::string& message);

}  // namespace zelvor::workbook
