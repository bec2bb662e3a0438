#pragma once
// The request documents and answer reading of VatPortType's two operations.

#include <memory>
#include <string>
#include <string_view>

#include "soap/invoke_registry.h"
#include "vies/records.h"

namespace zelvor::vies {

// VatPortType's operations, looked up once per process (the interface is registered first).
struct VatOperations {
  soap::BoundOperation check;
  soap::BoundOperation checkApprox;
};
const VatOperations& Operations();

std::string WriteCheckRequest(const vies::CheckVatRequest& parameters);
std::string WriteCheckApproxRequest(const vies::CheckVatApproxRequest& parameters);

// Parse an answer body and read its record (null when it carries none), or raise its error.
std::unique_ptr<CheckVatResponse> ReadCheckAnswer(std::string_view body);
std::unique_ptr<CheckVatApproxResponse> ReadCheckApproxAnswer(std::string_view body);

}  // namespace zelvor::vies
