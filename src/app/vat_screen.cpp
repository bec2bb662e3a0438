#include "app/vat_screen.h"

namespace zelvor::app {

QStringList VatResultLines(
    const VatAnswer& answer, const QString& typedNumber,
    const std::function<std::string(std::chrono::year_month_day)>& shortDate) {
  if (!answer.valid)
    return {QStringLiteral("La Partita IVA %1 ricercata non è registrata come operatore "
                           "Intracomunitario")
                .arg(typedNumber)};
  const auto q = [](const std::string& text) { return QString::fromStdString(text); };
  // An answer without a request date has no date to show: the label stands alone.
  const QString date = answer.requestDate ? q(shortDate(*answer.requestDate)) : QString();
  return {QStringLiteral("Data della richiesta: ") + date,
          QStringLiteral("Nazione: ") + q(answer.countryCode),
          QStringLiteral("Identificativo fiscale: ") + q(answer.vatNumber),
          QStringLiteral("Ragione Sociale: ") + q(answer.traderName),
          QStringLiteral("Indirizzo: ") + q(answer.traderAddress),
          q(answer.traderStreet),
          q(answer.traderPostcode),
          q(answer.traderCity),
          q(answer.traderCompanyType)};
}

}  // namespace zelvor::app
