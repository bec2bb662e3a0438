#pragma once
// The register transport the window owns: the production endpoint, the client
// certificate chosen from the user's store, and the verified server certificate. It speaks https
// only, and a failure a person can set right (no store folder, no or a refused certificate, an
// unverified server, no connection, a time-out) carries a Polish sentence saying what to do,
// followed by the library's text in parentheses.

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "platform/certificate_picker.h"
#include "platform/certificate_selectors.h"
#include "soap/http_settings.h"
#include "soap/http_transport.h"

namespace zelvor::reg {

struct RegisterTransportSettings {
  std::string url;  // empty: the production endpoint
  platform::CertificateSelectors selectors;
  std::filesystem::path storeFolder;  // empty: the default store
  std::shared_ptr<platform::CertificatePicker> picker;
  soap::HttpSettings http;  // time-outs and answer limit; its TLS setup is filled here
};

// The build's selectors: display name "KREPTD" and the GITD issuer unless configured otherwise.
platform::CertificateSelectors DefaultCertificateSelectors();
RegisterTransportSettings DefaultRegisterTransportSettings();

std::unique_ptr<soap::HttpTransport> MakeRegisterTransport(RegisterTransportSettings settings);

// Opens further connections like the transport made from `settings`, for look-ups made on other
// threads. They never ask the picker, which belongs to the window's thread: their certificate is
// the one the selectors find, or none.
std::function<std::unique_ptr<soap::HttpTransport>()> RegisterConnectionOpener(
    RegisterTransportSettings settings);

// Points the transport at the address and returns the address.
std::string ApplyServiceUrl(soap::HttpTransport& transport, const std::string& address);

// What is wrong with a register address before anything is sent to it: one Polish sentence
// followed by the check's own text in parentheses, or "" when it may be used.
std::string AddressProblem(const std::string& url);

}  // namespace zelvor::reg
