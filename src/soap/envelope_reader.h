#pragma once
// Reads the answer envelope of a call into the result, or raises the error it carries.

#include <libxml/tree.h>

#include <memory>
#include <string_view>

#include "soap/invoke_registry.h"
#include "soap/remotable.h"

namespace zelvor::soap {

// The result holder's first field receives the return value; a record result stays absent
// when the answer has no return element.
void ReadResponse(const xmlDoc* doc, const InterfaceInfo& service, const OperationInfo& operation,
                  Remotable& result);

// Reads an answer body into a new result holder of the given type, as above. A wrapped answer
// of plain records is read while it is parsed; any other is parsed into a tree (ParseAnswer)
// and read from it. Its errors carry a Polish sentence first and the reader's text in
// parentheses.
std::unique_ptr<Remotable> ReadAnswer(std::string_view body, const InterfaceInfo& service,
                                      const OperationInfo& operation, const RecordType& resultType);

}  // namespace zelvor::soap
