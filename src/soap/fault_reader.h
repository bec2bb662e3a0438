#pragma once
// Turns a SOAP Fault element into the error raised to the caller: a registered fault record
// (for example the register's SzczegolyBledu) or a plain ERemotableException.

#include <libxml/tree.h>

namespace zelvor::soap {

[[noreturn]] void RaiseFault(const xmlNode* fault);

}  // namespace zelvor::soap
