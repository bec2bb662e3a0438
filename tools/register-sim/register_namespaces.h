#pragma once
// The register's XML namespaces and SOAP actions, built in this one place from the
// namespace host of the build settings.

#include <string>
#include <string_view>

#include "soap/remotable.h"

namespace zelvor::sim {

const std::string& RegisterInterfaceNamespace();
const std::string& RegisterTypesNamespace();
// The namespace a register record type is known under: the fault record and its
// structural errors in the interface namespace, every other record in the types namespace.
const std::string& RegisterNamespaceOf(const soap::RecordType& type);
// The interface namespace, "/#" and the operation.
std::string RegisterSoapAction(std::string_view operation);

}  // namespace zelvor::sim
