#pragma once
// Character encodings a server may declare that the XML library cannot read on its own on this
// system (on Windows, built without iconv: windows-1250), made known to it once.

namespace zelvor::soap {

void RegisterSystemEncodings();

}  // namespace zelvor::soap
