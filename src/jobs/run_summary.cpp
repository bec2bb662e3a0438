#include "jobs/run_summary.h"

namespace zelvor::jobs {
namespace {

std::string Count(const char* name, std::int64_t value) {
  return std::string(name) + ": " + std::to_string(value);
}

}  // namespace

std::string SummaryLine(const ListRunCounts& c) {
  return "PODSUMOWANIE: " + Count("rekordy", c.records) + ", " + Count("znalezione", c.found) +
         ", " + Count("nieznalezione", c.notFound) + ", " + Count("błędne", c.invalid) + ", " +
         Count("powtórzone", c.repeated) + ", " + Count("błędy wyszukiwania", c.searchErrors) +
         ", " + Count("błędy pobierania szczegółów", c.detailErrors) + ", " +
         Count("nieprzetworzone", c.NotProcessed());
}

std::string SummaryLine(const PeriodRunCounts& c) {
  return "PODSUMOWANIE: " + Count("dni", c.days) + ", " + Count("dni z błędem", c.daysFailed) +
         ", " + Count("zapisani przedsiębiorcy", c.enterprisesWritten) + ", " +
         Count("przedsiębiorcy z błędem", c.enterprisesFailed);
}

std::string ResultLine(const std::string& path) {
  return "Plik wynikowy: " + path;
}

}  // namespace zelvor::jobs
