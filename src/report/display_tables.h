#pragma once
// The texts the result sheets show for the register's enumeration values.

#include <string_view>

#include "register/enumerations.h"

namespace zelvor::report {

std::string_view DisplayText(reg::KrajTyp value);
std::string_view DisplayText(reg::StatusZezwoleniaTyp value);
std::string_view DisplayText(reg::RodzajCertyfikatuTyp value);
std::string_view DisplayText(reg::ZakresZezwoleniaTyp value);
std::string_view DisplayText(reg::ZakresLicencjiTyp value);
std::string_view DisplayText(reg::StatusLicencjiTyp value);
std::string_view DisplayText(reg::RodzajWypisuZLicencjiTyp value);
std::string_view DisplayText(reg::StatusWypisuTyp value);

}  // namespace zelvor::report
