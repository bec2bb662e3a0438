#include "soap/polish_messages.h"

#include "soap/remote_errors.h"
#include "soap/xml_document.h"

namespace zelvor::soap {
namespace {

constexpr std::string_view kTryLater =
    " Spróbuj ponownie później. Jeśli błąd się powtarza, przekaż opis w nawiasie pomocy "
    "technicznej.";

std::string Server(const FailureReport& report) {
  return report.hostPort.empty() ? "usługi" : report.hostPort;
}

}  // namespace

std::string PolishFirst(std::string_view sentence, std::string_view message) {
  std::string text(sentence);
  text += " (";
  text += message;
  text += ')';
  return text;
}

std::string TransportSentence(const FailureReport& report) {
  const std::string server = Server(report);
  switch (report.kind) {
    case FailureKind::UrlRefused:
      return "Adres usługi nie używa szyfrowanego połączenia https, więc zapytanie nie zostało "
             "wysłane. Podaj adres zaczynający się od https://.";
    case FailureKind::RedirectRefused:
      return "Serwer " + server +
             " przekierował zapytanie na adres bez szyfrowania, więc nie zostało ono tam "
             "wysłane. Sprawdź adres usługi.";
    case FailureKind::NoConnection:
      return "Nie można połączyć się z serwerem " + server +
             ". Sprawdź połączenie z siecią i adres usługi.";
    case FailureKind::TimedOut:
      return "Serwer " + server + " nie odpowiedział w wyznaczonym czasie." +
             std::string(kTryLater);
    case FailureKind::ServerNotVerified:
      return "Nie można potwierdzić tożsamości serwera " + server +
             ". Sprawdź adres usługi, a jeśli jest poprawny, zgłoś to administratorowi usługi.";
    case FailureKind::ClientCertificateRefused:
      return "Serwer " + server +
             " odrzucił połączenie, bo nie przyjął certyfikatu klienta. Sprawdź certyfikat w "
             "magazynie certyfikatów.";
    case FailureKind::Other:
      break;
  }
  return "Wymiana danych z serwerem " + server + " nie powiodła się." + std::string(kTryLater);
}

std::string HttpStatusSentence(long status) {
  const std::string code = "kodem HTTP " + std::to_string(status);
  if (status >= 500) {
    return "Serwer usługi odpowiedział " + code + ", czyli ma kłopoty po swojej stronie." +
           std::string(kTryLater);
  }
  if (status == 401 || status == 403) {
    return "Serwer usługi odmówił dostępu, odpowiadając " + code +
           ". Sprawdź certyfikat klienta i adres usługi w ustawieniach.";
  }
  if (status >= 400) {
    return "Serwer usługi nie przyjął zapytania i odpowiedział " + code +
           ". Sprawdź adres usługi w ustawieniach.";
  }
  return "Serwer usługi odpowiedział przekierowaniem " + code +
         ", którego nie można wykonać. Sprawdź adres usługi w ustawieniach.";
}

std::string EmptyAnswerSentence() {
  return "Serwer usługi przysłał pustą odpowiedź." + std::string(kTryLater);
}

std::string ContentTypeSentence() {
  return "Serwer usługi przysłał stronę internetową zamiast odpowiedzi usługi. Sprawdź adres "
         "usługi i spróbuj ponownie później.";
}

void RethrowAnswerErrorInPolish() {
  const std::string unreadable =
      "Odpowiedź serwera usługi ma nieoczekiwaną postać i nie można jej odczytać." +
      std::string(kTryLater);
  try {
    throw;
  } catch (ERemotableException& e) {
    // Raised again as the object caught: a service's own fault record keeps its type.
    e.SetMessage(
        PolishFirst("Serwer usługi zgłosił błąd i nie obsłużył zapytania." + std::string(kTryLater),
                    e.Message()));
    throw;
  } catch (const EXmlTooLarge& e) {
    throw EXmlTooLarge(PolishFirst(
        "Odpowiedź serwera usługi jest większa, niż program przyjmuje, więc nie została "
        "odczytana. Zgłoś to pomocy technicznej.",
        e.what()));
  } catch (const EXmlDtdRefused& e) {
    throw EXmlDtdRefused(PolishFirst(unreadable, e.what()));
  } catch (const EXmlParseError& e) {
    throw EXmlParseError(PolishFirst(
        "Odpowiedź serwera usługi nie jest poprawnym dokumentem XML." + std::string(kTryLater),
        e.what()));
  } catch (const ESOAPDomConvertError& e) {
    throw ESOAPDomConvertError(PolishFirst(unreadable, e.what()));
  } catch (const EDateError& e) {
    throw EDateError(PolishFirst(unreadable, e.what()));
  } catch (const EConvertError& e) {
    throw EConvertError(PolishFirst(unreadable, e.what()));
  }
}

}  // namespace zelvor::soap
