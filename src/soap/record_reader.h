#pragma once
// Reads records and field values from answer elements by the field tables.

#include <libxml/tree.h>

#include <string_view>

#include "soap/remotable.h"

namespace zelvor::soap {

// Fills the record's fields from the element's children, matched by local name in field order.
void ReadRecord(const xmlNode* element, Remotable& record);

// Reads one field's value from its element (nil handling, conversion, nested records, arrays).
void ReadFieldValue(const xmlNode* element, const FieldInfo& field, Remotable& record);

// What a nil element gives the field: a scalar its kind's empty value; a record, date or array
// stays absent.
void StoreNil(const FieldInfo& field, Remotable& record);
// A scalar or date field's text; throws the conversion error of a text that does not convert.
void StoreText(const FieldInfo& field, Remotable& record, std::string_view text);

}  // namespace zelvor::soap
