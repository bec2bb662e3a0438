#include "sample-workbook/sample_numbers.h"

#include <stdexcept>

namespace zelvor::sample {
namespace {

// The same number with its check digit moved on by one, which no valid number shares.
std::string WrongCheckDigit(std::string nip) {
  nip.back() = static_cast<char>('0' + (nip.back() - '0' + 1) % 10);
  return nip;
}

}  // namespace

std::vector<std::string> DemoNumbers(const sim::SyntheticRegister& data) {
  const std::vector<std::string> held = FoundNumbers(data, 5);
  return {
      "PL" + held[0],
      held[1],  // ten digits without a leading zero: the workbook keeps it as a number
      DashedNip(held[2]),
      "PL" + held[0],
      "PL" + WrongCheckDigit(held[3]),
      "PL" + sim::UnknownValidNip(data),
      "PL" + held[3],
      "PL" + held[4],
  };
}

std::vector<std::string> FoundNumbers(const sim::SyntheticRegister& data, std::size_t count) {
  if (count > data.Size()) {
    throw std::invalid_argument("the register holds " + std::to_string(data.Size()) +
                                " enterprises, fewer than " + std::to_string(count));
  }
  std::vector<std::string> numbers;
  numbers.reserve(count);
  for (std::size_t i = 0; i < count; ++i) numbers.push_back(data.At(i).NIP);
  return numbers;
}

std::string DashedNip(const std::string& nip) {
  return nip.substr(0, 3) + "-" + nip.substr(3, 3) + "-" + nip.substr(6, 2) + "-" + nip.substr(8);
}

}  // namespace zelvor::sample
