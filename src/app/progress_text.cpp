#include "app/progress_text.h"

namespace zelvor::app {
namespace {

// One decimal with a decimal comma, as Polish writes numbers.
QString Decimal(double value) {
  return QString::number(value, 'f', 1).replace(u'.', u',');
}

}  // namespace

QString ProgressBarText(const jobs::JobProgress& progress,
                        const std::optional<jobs::ProgressRate>& rate) {
  const QString counted = QStringLiteral("%1 z %2").arg(progress.done).arg(progress.total);
  if (progress.action == jobs::Action::PeriodJob) {
    return QStringLiteral("Dni: %1 · zapisani przedsiębiorcy: %2")
        .arg(counted)
        .arg(progress.enterprisesWritten);
  }
  QString text = QStringLiteral("Rekordy: ") + counted;
  if (!rate) return text;
  // Below one a second a rate per minute still says something.
  text += rate->perSecond >= 1 ? QStringLiteral(" · %1 na s").arg(Decimal(rate->perSecond))
                               : QStringLiteral(" · %1 na min").arg(Decimal(rate->perSecond * 60));
  return text + QStringLiteral(" · zostało ok. ") +
         QString::fromStdString(jobs::FormatDuration(rate->left));
}

}  // namespace zelvor::app
