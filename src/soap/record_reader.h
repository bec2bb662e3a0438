#pragma once
// Reads records and field values from answer elements by the field tables.

#include <libxml/tree.h>

#include "soap/remotable.h"

namespace zelvor::soap {

// Fills the record's fields from the element's children, matched by local name in field order.
void ReadRecord(const xmlNode* element, Remotable& record);

// Reads one field's value from its element (nil handling, conversion, nested records, arrays).
void ReadFieldValue(const xmlNode* element, const FieldInfo& field, Remotable& record);

}  // namespace zelvor::soap
