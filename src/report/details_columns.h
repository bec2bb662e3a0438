#pragma once
// The enterprise-details block of a summary row and the detail row of a certified copy of a
// Community licence, laid out the same way by both jobs.

#include <string>

#include "register/records.h"
#include "report/pending_rows.h"

namespace zelvor::report {

inline constexpr int kDetailsColumnCount = 37;

// Appends the 37 columns of the block. The caller names the manager, permit and licence shown;
// any of them may be null, and then its columns stay in place with empty values.
void AddDetailsColumns(PendingRows& rows,
                       const reg::PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp& details,
                       const reg::ZarzadzajacyTransportemDaneWyszukaneTyp* manager,
                       const reg::ZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp* permit,
                       const reg::LicencjaWspolnotowaTyp* licence);

// Starts the pending detail row of one certified copy; hitNip is the NIP of the search hit whose
// details hold it.
void AddExtractColumns(PendingRows& rows, const reg::WypisZLicencjiTyp& extract,
                       const std::string& hitNip);

}  // namespace zelvor::report
