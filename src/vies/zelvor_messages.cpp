#include "vies/zelvor_messages.h"

#include "soap/envelope_reader.h"
#include "soap/envelope_writer.h"
#include "vies/zelvor_port_type.h"

namespace zelvor::vies {
namespace {

// Holders of each operation's return value.
class ZelvorReturn : public soap::Remotable {
  ZELVOR_RECORD(ZelvorReturn)
  std::unique_ptr<zelvorResponse> value;
};

class ZelvorApproxReturn : public soap::Remotable {
  ZELVOR_RECORD(ZelvorApproxReturn)
  std::unique_ptr<zelvorApproxResponse> value;
};

const soap::InterfaceInfo& Service() {
  RegisterZelvorPortType();
  return soap::InvokeRegistry::Instance().Interface("zelvorPortType");
}

std::string Write(std::string_view operation, const soap::Remotable& parameters) {
  const soap::InterfaceInfo& service = Service();
  const soap::Argument argument{&parameters, {}};
  return soap::WriteRequest(service, service.Operation(operation), {&argument, 1});
}

template <class Return>
decltype(Return::value) Read(std::string_view operation, std::string_view body) {
  const soap::InterfaceInfo& service = Service();
  Return result;
  soap::ReadAnswer(body, service, service.Operation(operation), result);
  return std::move(result.value);
}

}  // namespace

const soap::RecordType& ZelvorReturn::StaticType() {
  static const soap::RecordType type = soap::RecordTypeBuilder<ZelvorReturn>("ZelvorReturn")
                                           .Required("return", &ZelvorReturn::value)
                                           .Build();
  return type;
}

const soap::RecordType& ZelvorApproxReturn::StaticType() {
  static const soap::RecordType type =
      soap::RecordTypeBuilder<ZelvorApproxReturn>("ZelvorApproxReturn")
          .Required("return", &ZelvorApproxReturn::value)
          .Build();
  return type;
}

std::string WriteZelvor(const vies::zelvor& parameters) {
  return Write("zelvor", parameters);
}

std::string WriteZelvorApprox(const vies::zelvorApprox& parameters) {
  return Write("zelvorApprox", parameters);
}

std::unique_ptr<zelvorResponse> ReadZelvor(std::string_view body) {
  return Read<ZelvorReturn>("zelvor", body);
}

std::unique_ptr<zelvorApproxResponse> ReadZelvorApprox(std::string_view body) {
  return Read<ZelvorApproxReturn>("zelvorApprox", body);
}

}  // namespace zelvor::vies
