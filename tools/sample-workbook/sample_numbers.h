#pragma once
// Column A of an input workbook: tax numbers the synthetic register holds, written the ways
// people keep them in their lists.

#include <cstddef>
#include <string>
#include <vector>

#include "register-sim/synthetic_register.h"

namespace zelvor::sample {

// A demonstration list: numbers the register holds in "PL" form, one as a plain number, one in
// dashed groups, one repeated, one with a wrong check digit and one valid number the register
// does not hold.
std::vector<std::string> DemoNumbers(const sim::SyntheticRegister& data);

// The first count numbers of the register, each once, as plain numbers. Throws
// std::invalid_argument when the register holds fewer.
std::vector<std::string> FoundNumbers(const sim::SyntheticRegister& data, std::size_t count);

// "1234567890" -> "123-456-78-90".
std::string DashedNip(const std::string& nip);

}  // namespace zelvor::sample
