#pragma once
// Writes the SOAP 1.1 request envelope of one call as UTF-8 bytes.

#include <span>
#include <string>
#include <string_view>

#include "soap/invoke_registry.h"
#include "soap/remotable.h"

namespace zelvor::soap {

// One in-parameter of a call, in the operation's parameter order: a record, or a text.
struct Argument {
  const Remotable* record = nullptr;
  std::string_view text;
};

// Wrapped parameters go into an element named after the operation; bare (literal) record
// parameters are the body's children, named after their registered XML type.
std::string WriteRequest(const InterfaceInfo& service, const OperationInfo& operation,
                         std::span<const Argument> arguments);

}  // namespace zelvor::soap
