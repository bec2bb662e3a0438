#pragma once
// One call of a bound operation, the same for every service: the request written, exchanged
// over the service's transport, and the answer read into the operation's return value or
// raised as the error it carries.

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "soap/envelope_reader.h"
#include "soap/envelope_writer.h"
#include "soap/field_table.h"
#include "soap/http_transport.h"
#include "soap/invoke_registry.h"

namespace zelvor::soap {

// Holder of an operation's return value: the envelope reader fills its one field.
template <class Value>
class ReturnOf final : public Remotable {
 public:
  static const RecordType& StaticType() {
    static const RecordType type =
        RecordTypeBuilder<ReturnOf>("return").Required("return", &ReturnOf::value).Build();
    return type;
  }
  const RecordType& Type() const override { return StaticType(); }

  Value value{};
};

inline std::string WriteRequest(const BoundOperation& operation,
                                std::span<const Argument> arguments) {
  return WriteRequest(*operation.service, *operation.operation, arguments);
}

// Parses an answer body and returns its return value; a record result is null when the answer
// carries none.
template <class Value>
Value ReadReturn(const BoundOperation& operation, std::string_view body) {
  const std::unique_ptr<Remotable> result =
      ReadAnswer(body, *operation.service, *operation.operation, ReturnOf<Value>::StaticType());
  return std::move(static_cast<ReturnOf<Value>&>(*result).value);
}

template <class Value>
Value Call(HttpTransport& transport, const BoundOperation& operation,
           std::span<const Argument> arguments) {
  return ReadReturn<Value>(operation,
                           transport.Exchange(operation, WriteRequest(operation, arguments)));
}

}  // namespace zelvor::soap
