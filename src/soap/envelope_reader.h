#pragma once
// Reads the answer envelope of a call into the result, or raises the error it carries.

#include <libxml/tree.h>

#include <string_view>

#include "soap/invoke_registry.h"
#include "soap/remotable.h"

namespace zelvor::soap {

// The result holder's first field receives the return value; a record result stays absent
// when the answer has no return element.
void ReadResponse(const xmlDoc* doc, const InterfaceInfo& service, const OperationInfo& operation,
                  Remotable& result);

// Parses an answer body (see ParseAnswer) and reads it as above.
void ReadAnswer(std::string_view body, const InterfaceInfo& service, const OperationInfo& operation,
                Remotable& result);

}  // namespace zelvor::soap
