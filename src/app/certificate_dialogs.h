#pragma once
// The dialogs of the certificate store: the view of its certificates and the picker the
// register transport asks when no certificate matches its settings.

#include <QDate>
#include <QDialog>
#include <QPointer>
#include <QString>
#include <optional>
#include <vector>

#include "app/window_calls.h"
#include "platform/certificate_description.h"
#include "platform/certificate_picker.h"

class QTableWidget;

namespace zelvor::app {

// One certificate as the dialogs list it.
struct CertificateRow {
  QString displayName;
  QString subject;
  QString issuer;
  QString serialNumber;
  QDate validFrom;
  QDate validTo;
};

CertificateRow RowOf(const platform::CertificateDescription& certificate);
std::vector<CertificateRow> RowsOf(
    const std::vector<platform::CertificateDescription>& certificates);

// Lists the certificates of the store; it changes nothing.
class CertificateViewDialog : public QDialog {
  Q_OBJECT
 public:
  CertificateViewDialog(const std::vector<CertificateRow>& certificates, QWidget* parent);
  QTableWidget* Table() const { return table_; }

 private:
  QTableWidget* table_;
};

// Asks which of the candidates to present to the server; the chosen one's index, or nothing
// when the user goes on without a certificate.
class CertificatePickerDialog : public QDialog {
  Q_OBJECT
 public:
  CertificatePickerDialog(const std::vector<CertificateRow>& candidates, QWidget* parent);
  QTableWidget* Table() const { return table_; }
  std::optional<std::size_t> Chosen() const;

 private:
  QTableWidget* table_;
};

std::optional<std::size_t> PickCertificate(QWidget* parent,
                                           const std::vector<CertificateRow>& candidates);

// The register transport's picker: the picker dialog over the window, asked in the middle of a
// call; shown on the window's thread whichever thread makes the call.
class DialogCertificatePicker : public platform::CertificatePicker {
 public:
  DialogCertificatePicker(QWidget* parent, WindowCalls& calls) : parent_(parent), calls_(calls) {}
  std::optional<std::size_t> PickCertificate(
      const std::vector<platform::CertificateDescription>& candidates) override;

 private:
  QPointer<QWidget> parent_;  // read on the window's thread only
  WindowCalls& calls_;
};

// One line per certificate: its display name, issuer and validity, for reports.
QString DescribeCertificates(const std::vector<CertificateRow>& certificates);

}  // namespace zelvor::app
