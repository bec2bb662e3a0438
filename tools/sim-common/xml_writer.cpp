#include "sim-common/xml_writer.h"

#include <stdexcept>

namespace zelvor::sim {
namespace {

const xmlChar* X(const std::string& s) {
  return reinterpret_cast<const xmlChar*>(s.c_str());
}

void Check(int rc, const char* what) {
  if (rc < 0) throw std::runtime_error(std::string("XML writer failed: ") + what);
}

}  // namespace

XmlWriter::XmlWriter() : buffer_(xmlBufferCreate()) {
  if (!buffer_) throw std::runtime_error("XML writer failed: buffer");
  writer_.reset(xmlNewTextWriterMemory(buffer_.get(), 0));
  if (!writer_) throw std::runtime_error("XML writer failed: writer");
  Check(xmlTextWriterStartDocument(writer_.get(), "1.0", "utf-8", nullptr), "declaration");
}

void XmlWriter::Start(std::string_view qualifiedName) {
  Check(xmlTextWriterStartElement(writer_.get(), X(std::string(qualifiedName))), "element");
}

void XmlWriter::Attribute(std::string_view qualifiedName, std::string_view value) {
  Check(xmlTextWriterWriteAttribute(writer_.get(), X(std::string(qualifiedName)),
                                    X(std::string(value))),
        "attribute");
}

void XmlWriter::Text(std::string_view text) {
  Check(xmlTextWriterWriteString(writer_.get(), X(std::string(text))), "text");
}

void XmlWriter::End() {
  Check(xmlTextWriterEndElement(writer_.get()), "end");
}

void XmlWriter::Element(std::string_view qualifiedName, std::string_view text) {
  Start(qualifiedName);
  Text(text);
  End();
}

std::string XmlWriter::Finish() {
  Check(xmlTextWriterEndDocument(writer_.get()), "document");
  writer_.reset();  // flushes into the buffer
  return std::string(reinterpret_cast<const char*>(xmlBufferContent(buffer_.get())),
                     static_cast<std::size_t>(xmlBufferLength(buffer_.get())));
}

std::string Qualified(std::string_view prefix, std::string_view name) {
  if (prefix.empty()) return std::string(name);
  std::string q(prefix);
  q += ':';
  q += name;
  return q;
}

}  // namespace zelvor::sim
