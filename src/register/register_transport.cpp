#include "register/register_transport.h"

#include "platform/tls_client.h"
#include "register/citizen_api.h"
#include "zelvor/build_settings.h"

namespace zelvor::reg {

platform::CertificateSelectors DefaultCertificateSelectors() {
  platform::CertificateSelectors selectors;
  selectors.displayName = build::kCertDisplayName;
  selectors.subject = build::kCertSubject;
  selectors.issuer = build::kCertIssuer;
  selectors.serialNumber = build::kCertSerial;
  return selectors;
}

RegisterTransportSettings DefaultRegisterTransportSettings() {
  RegisterTransportSettings settings;
  settings.url = ProductionEndpoint();
  settings.selectors = DefaultCertificateSelectors();
  return settings;
}

std::unique_ptr<soap::HttpTransport> MakeRegisterTransport(RegisterTransportSettings settings) {
  platform::ClientTlsSettings tls{settings.storeFolder, settings.selectors, settings.picker};
  settings.http.sslContextSetup = [tls = std::move(tls)](SSL_CTX* ctx) {
    platform::ConfigureSslContext(ctx, tls);
  };
  const std::string url = settings.url.empty() ? ProductionEndpoint() : settings.url;
  return std::make_unique<soap::HttpTransport>(url, std::move(settings.http));
}

std::string ApplyServiceUrl(soap::HttpTransport& transport, const std::string& sBaza) {
  transport.SetURL(sBaza);
  return sBaza;
}

}  // namespace zelvor::reg
