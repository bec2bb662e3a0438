#pragma once
// Reads a wrapped answer's return value while the body is parsed, without building its tree.

#include <string_view>

#include "soap/invoke_registry.h"
#include "soap/remotable.h"

namespace zelvor::soap {

// Fills the result holder's first field as the tree reader would, and returns true, for an
// answer of plain records: the return element named by the operation's ReturnName, with
// values of text only, nil marks and no xsi:type. Returns false for anything else, leaving
// `result` partly filled: a fault, a header, a missing return element, markup inside a value,
// a value that does not convert, a DTD, a document that is not well-formed. The tree reader
// then reads the answer afresh and raises what it carries.
bool ReadStreamedAnswer(std::string_view body, const OperationInfo& operation, Remotable& result);

}  // namespace zelvor::soap
