#pragma once
// The service bindings: per interface its namespace, SOAP action, style and operations.
// Filled once at start-up by the service bindings, read-only afterwards.

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace zelvor::soap {

struct InvokeOptions {
  bool document = true;
  bool literal = false;  // bare parameters: the record is the body's child
  bool soap12 = false;
};

struct ParamInfo {
  std::string name;
  std::string externalName;  // the element name; the name itself when empty
  std::string attributes;    // e.g. [Namespace="..."]; does not change the wire form

  std::string_view WireName() const { return externalName.empty() ? name : externalName; }
};

struct OperationInfo {
  std::string name;
  std::string externalName;  // the name itself when empty
  std::string attributes;    // e.g. [ReturnName="lista"]
  std::vector<ParamInfo> params;
  ParamInfo result;

  std::string_view WireName() const { return externalName.empty() ? name : externalName; }
  // The element carrying the return value, from the attribute text; empty when none.
  std::string ReturnName() const;
};

struct InterfaceInfo {
  std::string name;
  std::string ns;
  std::string encoding = "UTF-8";
  std::string defaultSoapAction;  // may hold "%operationName%"
  InvokeOptions options;
  std::vector<OperationInfo> operations;

  // Throws std::invalid_argument for an operation the interface does not have.
  const OperationInfo& Operation(std::string_view operationName) const;
  // The default action with its first "%operationName%" replaced by the wire name.
  std::string SoapAction(const OperationInfo& operation) const;
};

// An operation of a registered interface as a binding keeps it: looked up once, with its SOAP
// action filled in, so that a call resolves nothing by name.
struct BoundOperation {
  const InterfaceInfo* service = nullptr;
  const OperationInfo* operation = nullptr;
  std::string soapAction;
};

class InvokeRegistry {
 public:
  static InvokeRegistry& Instance();

  // Registering an interface a second time changes nothing.
  void Register(InterfaceInfo info);
  // Throws std::invalid_argument for an interface never registered.
  const InterfaceInfo& Interface(std::string_view name) const;
  // Throws std::invalid_argument for an interface or operation never registered. The result
  // stays valid for the process: registered interfaces are never removed.
  BoundOperation Bind(std::string_view interfaceName, std::string_view operationName) const;

 private:
  std::map<std::string, InterfaceInfo, std::less<>> interfaces_;
};

}  // namespace zelvor::soap
