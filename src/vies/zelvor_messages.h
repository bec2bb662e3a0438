#pragma once
// The request documents and answer reading of zelvorPortType's two operations.

#include <memory>
#include <string>
#include <string_view>

#include "soap/invoke_registry.h"
#include "vies/records.h"

namespace zelvor::vies {

// zelvorPortType's operations, looked up once per process (the interface is registered first).
struct ZelvorOperations {
  soap::BoundOperation zelvor;
  soap::BoundOperation zelvorApprox;
};
const ZelvorOperations& Operations();

std::string WriteZelvor(const vies::zelvor& parameters);
std::string WriteZelvorApprox(const vies::zelvorApprox& parameters);

// Parse an answer body and read its record (null when it carries none), or raise its error.
std::unique_ptr<zelvorResponse> ReadZelvor(std::string_view body);
std::unique_ptr<zelvorApproxResponse> ReadZelvorApprox(std::string_view body);

}  // namespace zelvor::vies
