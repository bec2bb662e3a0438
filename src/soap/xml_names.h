#pragma once
// Namespace URIs of SOAP envelopes and XML Schema.

namespace zelvor::soap {

inline constexpr const char* kSoapEnvelope11 = "http://schemas.xmlsoap.org/soap/envelope/";
inline constexpr const char* kSoapEnvelope12 = "http://www.w3.org/2003/05/soap-envelope";
inline constexpr const char* kXmlSchema = "http://www.w3.org/2001/XMLSchema";
inline constexpr const char* kXmlSchemaInstance = "http://www.w3.org/2001/XMLSchema-instance";

}  // namespace zelvor::soap
