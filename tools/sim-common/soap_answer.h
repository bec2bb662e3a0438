#pragma once
// SOAP 1.1 answer envelopes and faults, written with a chosen envelope prefix.

#include <functional>
#include <string>
#include <string_view>

#include "sim-common/sim_server.h"
#include "sim-common/xml_writer.h"

namespace zelvor::sim {

using XmlContent = std::function<void(XmlWriter&)>;

// An envelope whose body holds what content writes.
std::string SoapEnvelope(std::string_view prefix, const XmlContent& content);

// HTTP 500 with a SOAP fault; detail, when given, writes the detail's children; lang, when
// given, is the faultstring's xml:lang.
Answer SoapFault(std::string_view prefix, std::string_view faultCode, std::string_view faultString,
                 const XmlContent& detail = nullptr, std::string_view lang = {});

}  // namespace zelvor::sim
