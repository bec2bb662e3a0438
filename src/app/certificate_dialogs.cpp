#include "app/certificate_dialogs.h"

#include <QApplication>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace zelvor::app {

namespace {

QTableWidget* CertificateTable(const std::vector<CertificateRow>& certificates) {
  auto* table = new QTableWidget(static_cast<int>(certificates.size()), 6);
  table->setObjectName(QStringLiteral("certificates"));
  table->setHorizontalHeaderLabels({QStringLiteral("Nazwa"), QStringLiteral("Podmiot"),
                                    QStringLiteral("Wystawca"), QStringLiteral("Numer seryjny"),
                                    QStringLiteral("Ważny od"), QStringLiteral("Ważny do")});
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->verticalHeader()->setVisible(false);
  table->horizontalHeader()->setStretchLastSection(true);
  for (int row = 0; row < table->rowCount(); ++row) {
    const CertificateRow& c = certificates[static_cast<std::size_t>(row)];
    const QStringList cells = {c.displayName,
                               c.subject,
                               c.issuer,
                               c.serialNumber,
                               c.validFrom.toString(Qt::ISODate),
                               c.validTo.toString(Qt::ISODate)};
    for (int col = 0; col < cells.size(); ++col)
      table->setItem(row, col, new QTableWidgetItem(cells[col]));
  }
  table->resizeColumnsToContents();
  // Wide enough for every column, serial numbers included, up to what a small screen holds.
  int width = 2 * table->frameWidth() + table->verticalScrollBar()->sizeHint().width() + 8;
  for (int col = 0; col < table->columnCount(); ++col) width += table->columnWidth(col);
  constexpr int kWidest = 1180;
  table->setMinimumSize(std::min(width, kWidest), 220);
  if (width <= kWidest) table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  return table;
}

QDate DayOf(std::chrono::sys_seconds time) {
  return QDateTime::fromSecsSinceEpoch(time.time_since_epoch().count(), Qt::UTC).date();
}

}  // namespace

CertificateRow RowOf(const platform::CertificateDescription& certificate) {
  const auto q = [](const std::string& text) { return QString::fromStdString(text); };
  return {q(certificate.displayName),  q(certificate.subject),       q(certificate.issuer),
          q(certificate.serialNumber), DayOf(certificate.notBefore), DayOf(certificate.notAfter)};
}

std::vector<CertificateRow> RowsOf(
    const std::vector<platform::CertificateDescription>& certificates) {
  std::vector<CertificateRow> rows;
  for (const platform::CertificateDescription& c : certificates) rows.push_back(RowOf(c));
  return rows;
}

CertificateViewDialog::CertificateViewDialog(const std::vector<CertificateRow>& certificates,
                                             QWidget* parent)
    : QDialog(parent), table_(CertificateTable(certificates)) {
  setWindowTitle(QStringLiteral("Certyfikaty - bieżący użytkownik"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
  buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Zamknij"));
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  if (certificates.empty())
    layout->addWidget(new QLabel(QStringLiteral("Magazyn nie zawiera żadnego certyfikatu.")));
  layout->addWidget(table_);
  layout->addWidget(buttons);
}

CertificatePickerDialog::CertificatePickerDialog(const std::vector<CertificateRow>& candidates,
                                                 QWidget* parent)
    : QDialog(parent), table_(CertificateTable(candidates)) {
  setWindowTitle(QStringLiteral("Wybierz certyfikat"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Bez certyfikatu"));
  QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
  ok->setEnabled(false);
  connect(table_, &QTableWidget::itemSelectionChanged, this,
          [this, ok] { ok->setEnabled(Chosen().has_value()); });
  connect(table_, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(
      QStringLiteral("Żaden certyfikat nie odpowiada ustawieniom połączenia.\n"
                     "Wybierz certyfikat, którym program ma się przedstawić serwerowi:")));
  layout->addWidget(table_);
  layout->addWidget(buttons);
}

std::optional<std::size_t> CertificatePickerDialog::Chosen() const {
  const QList<QTableWidgetItem*> selected = table_->selectedItems();
  if (selected.isEmpty()) return std::nullopt;
  return static_cast<std::size_t>(selected.first()->row());
}

std::optional<std::size_t> PickCertificate(QWidget* parent,
                                           const std::vector<CertificateRow>& candidates) {
  CertificatePickerDialog dialog(candidates, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Chosen();
}

// The call waits behind the wait cursor; the person choosing sees the ordinary one.
std::optional<std::size_t> DialogCertificatePicker::PickCertificate(
    const std::vector<platform::CertificateDescription>& candidates) {
  return calls_.Get([&] {
    struct ArrowCursor {
      ArrowCursor() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
      ~ArrowCursor() { QApplication::restoreOverrideCursor(); }
      ArrowCursor(const ArrowCursor&) = delete;
      ArrowCursor& operator=(const ArrowCursor&) = delete;
    } arrow;
    return app::PickCertificate(parent_, RowsOf(candidates));
  });
}

QString DescribeCertificates(const std::vector<CertificateRow>& certificates) {
  QStringList lines;
  for (const CertificateRow& c : certificates)
    lines << QStringLiteral("%1 (wystawca: %2, ważny do %3)")
                 .arg(c.displayName, c.issuer, c.validTo.toString(Qt::ISODate));
  return lines.join(u'\n');
}

}  // namespace zelvor::app
