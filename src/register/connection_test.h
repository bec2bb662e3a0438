#pragma once
// The connection test: one fixed search and one detail fetch, reported as lines.

#include <chrono>
#include <functional>
#include <string>

#include "register/citizen_api.h"

namespace zelvor::reg {

using LineSink = std::function<void(const std::string&)>;
using ShortDateFormat = std::function<std::string(std::chrono::year_month_day)>;

// Searches for managers certified from 1999-12-06 to 2024-09-24 and reports the first hit's
// details. Never throws: a failure becomes the last line of the run, after those already added,
// and the result is false; true when the test ran to its end, "brak" included.
bool RunConnectionTest(CitizenApi& api, const LineSink& addLine, const ShortDateFormat& shortDate);

}  // namespace zelvor::reg
