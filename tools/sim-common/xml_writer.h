#pragma once
// Writes answer documents with libxml2's text writer. Names are given qualified
// ("t:NIP"); namespace declarations are written as the attributes they are.

#include <libxml/xmlwriter.h>

#include <memory>
#include <string>
#include <string_view>

namespace zelvor::sim {

class XmlWriter {
 public:
  XmlWriter();

  void Start(std::string_view qualifiedName);
  void Attribute(std::string_view qualifiedName, std::string_view value);
  void Text(std::string_view text);
  void End();
  // A whole element holding only text.
  void Element(std::string_view qualifiedName, std::string_view text);
  // Closes every open element and returns the document's UTF-8 bytes.
  std::string Finish();

 private:
  struct BufferDeleter {
    void operator()(xmlBuffer* b) const { xmlBufferFree(b); }
  };
  struct WriterDeleter {
    void operator()(xmlTextWriter* w) const { xmlFreeTextWriter(w); }
  };
  std::unique_ptr<xmlBuffer, BufferDeleter> buffer_;
  std::unique_ptr<xmlTextWriter, WriterDeleter> writer_;
};

// Joins a prefix and a local name; an empty prefix gives the plain name.
std::string Qualified(std::string_view prefix, std::string_view name);

}  // namespace zelvor::sim
