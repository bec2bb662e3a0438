#include "soap/xml_encodings.h"

namespace zelvor::soap {

// iconv gives libxml2 every encoding a server may declare.
void RegisterSystemEncodings() {}

}  // namespace zelvor::soap
