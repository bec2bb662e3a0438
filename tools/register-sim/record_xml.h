#pragma once
// Register records to XML and back by walking their field tables.

#include <libxml/tree.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "sim-common/xml_writer.h"
#include "soap/remotable.h"

namespace zelvor::sim {

// The prefix to write a field with, from the record type that declares it.
using PrefixOf = std::function<std::string_view(const soap::RecordType&)>;

// Writes the record's fields into the open element: specified optional fields and every
// required one, in table order; an absent date or record as an xsi:nil element (prefix "i").
void WriteFields(XmlWriter& w, const soap::Remotable& record, const PrefixOf& prefixOf);

// A request field whose text cannot be read; path names the field.
class FieldError : public std::runtime_error {
 public:
  FieldError(std::string path, const std::string& message)
      : std::runtime_error(message), path_(std::move(path)) {}
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// Reads the element's children into the record's fields by local name; children that name
// no field are ignored. Throws FieldError.
void ReadFields(const xmlNode* element, soap::Remotable& record, const std::string& path);

}  // namespace zelvor::sim
