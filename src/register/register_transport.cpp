#include "register/register_transport.h"

#include <chrono>
#include <optional>

#include "platform/certificate_store.h"
#include "platform/settings_file.h"
#include "register/citizen_api.h"
#include "zelvor/build_settings.h"

namespace zelvor::reg {
namespace {

using soap::FailureKind;
namespace fs = std::filesystem;

std::string Quote(const std::string& text) {
  return "„" + text + "”";
}

// The configured selectors as a person can compare them with the certificate viewer.
std::string DescribeSelectors(const platform::CertificateSelectors& selectors) {
  std::string text;
  const auto add = [&](const char* name, const std::string& value) {
    if (value.empty()) return;
    text += (text.empty() ? "" : ", ") + std::string(name) + " " + Quote(value);
  };
  add("nazwa", selectors.displayName);
  add("podmiot", selectors.subject);
  add("wystawca", selectors.issuer);
  add("numer seryjny", selectors.serialNumber);
  return text.empty() ? "brak ustawień wyboru" : text;
}

// Where the transport looks for certificates and which one it wants: what the sentences name.
struct CertificateSetup {
  fs::path store;  // resolved
  platform::CertificateSelectors selectors;
};

std::string CertificateRefused(const CertificateSetup& setup,
                               const platform::TlsHandshakeNotes& handshake) {
  const fs::path& store = setup.store;
  if (!handshake.offered) {
    return "Rejestr wymaga certyfikatu klienta, a " + platform::PersonalStoreText(store) +
           " nie ma certyfikatu pasującego do ustawień (" + DescribeSelectors(setup.selectors) +
           "). Zaimportuj certyfikat przyciskiem „Importuj certyfikat…”" +
           platform::PersonalStoreHint(store) + ".";
  }
  const platform::CertificateDescription& offered = *handshake.offered;
  const std::string which =
      Quote(offered.displayName) + " (numer seryjny " + offered.serialNumber + ")";
  const std::string validity = platform::FormatValidityTime(offered.notBefore) + " do " +
                               platform::FormatValidityTime(offered.notAfter);
  const auto now = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
  if (now > offered.notAfter || now < offered.notBefore) {
    return "Certyfikat klienta " + which + " jest ważny od " + validity + ", więc " +
           (now > offered.notAfter ? "wygasł" : "nie jest jeszcze ważny") +
           " i rejestr go odrzucił. Zaimportuj aktualny certyfikat przyciskiem „Importuj "
           "certyfikat…”.";
  }
  return "Rejestr odrzucił certyfikat klienta " + which + ", wystawca " + Quote(offered.issuer) +
         ". Sprawdź, czy to certyfikat wydany do rejestru i czy nie został unieważniony; "
         "w razie potrzeby zaimportuj właściwy przyciskiem „Importuj certyfikat…”.";
}

// The host of "host:port", brackets of an IPv6 address kept.
std::string HostOf(const std::string& hostPort) {
  const std::size_t colon = hostPort.rfind(':');
  return colon == std::string::npos || hostPort.ends_with(']') ? hostPort
                                                               : hostPort.substr(0, colon);
}

std::string ServerNotVerified(const CertificateSetup& setup, const soap::FailureReport& report) {
  using Problem = platform::ServerCertificateProblem;
  const std::string server = "Nie można potwierdzić tożsamości serwera " + report.hostPort + ": ";
  const Problem problem =
      report.handshake == nullptr ? Problem::Other : report.handshake->ServerProblem();
  switch (problem) {
    case Problem::WrongHost: {
      std::string names;
      for (const std::string& name : report.handshake->serverNames)
        names += (names.empty() ? "" : ", ") + Quote(name);
      return server + "jego certyfikat wystawiono dla " + names + ", a nie dla " +
             Quote(HostOf(report.hostPort)) + ". Sprawdź adres rejestru w ustawieniach.";
    }
    case Problem::Expired:
    case Problem::NotYetValid: {
      const std::optional<platform::CertificateDescription>& at = report.handshake->serverAtFault;
      const std::string validity = at ? " (" + Quote(at->displayName) + ", ważny od " +
                                            platform::FormatValidityTime(at->notBefore) + " do " +
                                            platform::FormatValidityTime(at->notAfter) + ")"
                                      : "";
      return server + "jego certyfikat" + validity +
             (problem == Problem::Expired ? " wygasł" : " nie jest jeszcze ważny") +
             ". Sprawdź datę i godzinę komputera; jeśli są poprawne, zgłoś to administratorowi "
             "rejestru.";
    }
    case Problem::UnknownIssuer:
      return server +
             "jego certyfikat nie pochodzi od zaufanego wystawcy. Umieść certyfikat wystawcy "
             "serwera w folderze " +
             platform::Quoted(platform::IssuersFolder(setup.store)) + ".";
    case Problem::None:
    case Problem::Other:
      break;
  }
  return server +
         "jego certyfikat nie przeszedł sprawdzenia. Sprawdź adres rejestru; jeśli jest "
         "poprawny, zgłoś to administratorowi rejestru.";
}

std::string NotHttpsSentence(const std::string& url) {
  return "Adres rejestru " + Quote(url) +
         " nie używa szyfrowanego połączenia https, więc zapytanie nie zostało wysłane. "
         "Podaj adres rejestru zaczynający się od https://.";
}

// One Polish sentence per set-up failure a person can set right in the register's settings; the
// rest get the exchange's general sentence.
std::string Explain(const CertificateSetup& setup, const soap::FailureReport& report) {
  switch (report.kind) {
    case FailureKind::UrlRefused:
      return NotHttpsSentence(report.url);
    case FailureKind::RedirectRefused:
      return "Serwer " + report.hostPort +
             " przekierował zapytanie na adres bez szyfrowania, więc nie zostało ono tam wysłane. "
             "Sprawdź adres rejestru.";
    case FailureKind::NoConnection:
      return "Nie można połączyć się z serwerem " + report.hostPort +
             ". Sprawdź połączenie z siecią i adres rejestru.";
    case FailureKind::TimedOut:
      return "Serwer " + report.hostPort +
             " nie odpowiedział w wyznaczonym czasie. Spróbuj ponownie później; jeśli błąd się "
             "powtarza, sprawdź połączenie z siecią.";
    case FailureKind::ServerNotVerified:
      return ServerNotVerified(setup, report);
    case FailureKind::ClientCertificateRefused:
      return report.handshake == nullptr ? "" : CertificateRefused(setup, *report.handshake);
    case FailureKind::Other:
      break;
  }
  return "";
}

}  // namespace

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
  settings.http.clientTls =
      platform::ClientTlsSettings{settings.storeFolder, settings.selectors, settings.picker};
  // Tax numbers never cross the network in clear, nor reach a server that cannot prove itself.
  settings.http.httpsOnly = true;
  settings.http.explain =
      [setup = CertificateSetup{platform::ResolveStoreFolder(settings.storeFolder),
                                settings.selectors}](const soap::FailureReport& report) {
        return Explain(setup, report);
      };
  const std::string url = settings.url.empty() ? ProductionEndpoint() : settings.url;
  return std::make_unique<soap::HttpTransport>(url, std::move(settings.http));
}

std::string ApplyServiceUrl(soap::HttpTransport& transport, const std::string& address) {
  transport.SetURL(address);
  return address;
}

std::function<std::unique_ptr<soap::HttpTransport>()> RegisterConnectionOpener(
    RegisterTransportSettings settings) {
  settings.picker = nullptr;
  return [settings = std::move(settings)] { return MakeRegisterTransport(settings); };
}

std::string AddressProblem(const std::string& url) {
  const std::string problem = platform::RegisterUrlProblem(url);
  return problem.empty() ? "" : NotHttpsSentence(url) + " (" + problem + ")";
}

}  // namespace zelvor::reg
