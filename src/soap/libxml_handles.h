#pragma once
// Owning handles and character casts for libxml2's C interface.

#include <libxml/tree.h>

#include <memory>

namespace zelvor::soap {

inline const xmlChar* X(const char* text) {
  return reinterpret_cast<const xmlChar*>(text);
}
inline const char* C(const xmlChar* text) {
  return reinterpret_cast<const char*>(text);
}

struct XmlBufferFree {
  void operator()(xmlBuffer* buffer) const { xmlBufferFree(buffer); }
};
using XmlBufferPtr = std::unique_ptr<xmlBuffer, XmlBufferFree>;

struct XmlCharFree {
  void operator()(xmlChar* text) const { xmlFree(text); }
};

}  // namespace zelvor::soap
