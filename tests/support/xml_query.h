#pragma once
// XPath over an answer document, with the prefixes the tests use: s (SOAP 1.1 envelope),
// r and t (the register's interface and types namespaces), v (the VAT check records).

#include <libxml/tree.h>
#include <libxml/xpath.h>

#include <memory>
#include <string>
#include <vector>

namespace zelvor::test {

class XmlQuery {
 public:
  // An unparsable body gives a query that finds nothing; Parsed() tells.
  explicit XmlQuery(const std::string& body);

  bool Parsed() const { return doc_ != nullptr; }
  std::vector<std::string> Texts(const std::string& xpath) const;
  std::size_t Count(const std::string& xpath) const;
  // The only text the path selects; empty when it selects none or several.
  std::string Text(const std::string& xpath) const;

 private:
  struct DocFree {
    void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
  };
  struct ContextFree {
    void operator()(xmlXPathContext* c) const { xmlXPathFreeContext(c); }
  };
  std::unique_ptr<xmlDoc, DocFree> doc_;
  std::unique_ptr<xmlXPathContext, ContextFree> context_;
};

}  // namespace zelvor::test
