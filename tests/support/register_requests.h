#pragma once
// Request documents of the register's two operations, as a client sends them.

#include <string>

#include "register-sim/register_namespaces.h"

namespace zelvor::test {

// One search criterion in the types namespace; value is inserted as markup.
inline std::string Criterion(const std::string& name, const std::string& value) {
  return "<" + name + " xmlns=\"" + sim::RegisterTypesNamespace() + "\">" + value + "</" + name +
         ">";
}

// criteria: the children of the search parameters (see Criterion).
inline std::string SearchRequest(const std::string& criteria) {
  return "<?xml version=\"1.0\"?><SOAP-ENV:Envelope "
         "xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\"><SOAP-ENV:Body>"
         "<WyszukajPrzedsiebiorce xmlns=\"" +
         sim::RegisterInterfaceNamespace() + "\"><parametryWyszukiwaniaPrzedsiebiorcow>" +
         criteria +
         "</parametryWyszukiwaniaPrzedsiebiorcow></WyszukajPrzedsiebiorce>"
         "</SOAP-ENV:Body></SOAP-ENV:Envelope>";
}

inline std::string FetchRequest(const std::string& reference) {
  return "<?xml version=\"1.0\"?><SOAP-ENV:Envelope "
         "xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\"><SOAP-ENV:Body>"
         "<PobierzPrzedsiebiorce xmlns=\"" +
         sim::RegisterInterfaceNamespace() + "\"><numerReferencyjny>" + reference +
         "</numerReferencyjny></PobierzPrzedsiebiorce></SOAP-ENV:Body></SOAP-ENV:Envelope>";
}

}  // namespace zelvor::test
