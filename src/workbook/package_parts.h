#pragma once
// Finding a workbook's parts through its relationships, and reading the parts that give cells
// their values: shared strings and the number formats that make a number a date.

#include <string>
#include <vector>

#include "workbook/shared_strings.h"
#include "workbook/xlsx_package.h"
#include "workbook/xml_util.h"

namespace zelvor::workbook {

struct Relationship {
  std::string id;
  std::string type;    // the type URI
  std::string target;  // the part name, resolved to a name inside the package
  bool external = false;
};

// The relationships part of `part` ("xl/workbook.xml" -> "xl/_rels/workbook.xml.rels").
std::string RelationshipsPartOf(const std::string& part);
// Resolves a relationship target against the folder of `source` ("" for the package root).
std::string ResolveTarget(const std::string& source, const std::string& target);
std::vector<Relationship> ReadRelationships(XlsxPackage& package, const std::string& sourcePart);
// True when the type URI ends with "/" + kind, for transitional and strict URIs alike.
bool IsRelationshipType(const std::string& type, std::string_view kind);

struct WorkbookLayout {
  std::string workbookPart;
  std::string firstSheetPart;
  int sheetCount = 0;
  bool date1904 = false;
  std::string sharedStringsPart;  // "" when none
  std::string stylesPart;         // "" when none
  std::string calcChainPart;      // "" when none
};

// Throws EWorkbookError (via the package) when the package holds no workbook or no sheet.
WorkbookLayout ReadLayout(XlsxPackage& package);

SharedStrings ReadSharedStrings(XlsxPackage& package, const std::string& part);
// The same from the part's text; throws EWorkbookError with the problem.
SharedStrings ParseSharedStrings(const std::string& xml, const std::string& part);

// By cell style index: whether its number format shows a date.
std::vector<bool> ReadDateStyles(XlsxPackage& package, const std::string& part);
std::vector<bool> ParseDateStyles(const std::string& xml, const std::string& part);
bool IsDateFormatCode(std::string_view code);

}  // namespace zelvor::workbook
