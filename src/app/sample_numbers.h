#pragma once
// Sample tax numbers the window starts with: valid Polish NIPs of no particular enterprise.

#include <QStringList>

namespace zelvor::app {

// The lookup test's input box starts with these, one per line.
QStringList SampleTaxNumbers();

// The VAT check screen's fields start with this one.
inline constexpr char kSampleVatNumber[] = "5754391636";

}  // namespace zelvor::app
