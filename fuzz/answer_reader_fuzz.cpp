// Arbitrary bytes as the answer of each operation of both services: the reader must raise
// its errors, never crash, leak or read out of bounds.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string_view>

#include "register/citizen_api.h"
#include "register/citizen_api_messages.h"
#include "vies/vat_messages.h"
#include "vies/vat_port_type.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  zelvor::reg::RegisterCitizenApi();
  zelvor::vies::RegisterVatPortType();
  return 0;
}

template <class Read>
void Try(Read read, std::string_view body) {
  try {
    read(body);
  } catch (const std::exception&) {
    // Every failure of a malformed answer is an error raised to the caller.
  }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view body(reinterpret_cast<const char*>(data), size);
  Try(zelvor::reg::ReadWyszukajPrzedsiebiorce, body);
  Try(zelvor::reg::ReadPobierzPrzedsiebiorce, body);
  Try(zelvor::vies::ReadCheckAnswer, body);
  Try(zelvor::vies::ReadCheckApproxAnswer, body);
  return 0;
}
