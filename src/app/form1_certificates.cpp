// The certificate actions of the connection-test tab.
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>

#include "app/form1.h"
#include "app/message_boxes.h"

namespace zelvor::app {

void TForm1::btnCartyfikatClick() {
  RunLongAction(btnCartyfikat, {.disableOwnButton = false, .waitCursor = false}, [this] {
    if (!certificateSource_) NotAvailable();
    CertificateViewDialog dialog(certificateSource_(), this);
    dialog.exec();
  });
}

void TForm1::btnImportujCertyfikatClick() {
  RunLongAction(btnImportujCertyfikat, {.disableOwnButton = false, .waitCursor = false}, [this] {
    if (!certificateImport_) NotAvailable();
    const QString title = QStringLiteral("Importuj certyfikat");
    const QString path = QFileDialog::getOpenFileName(
        this, title, QString(), QStringLiteral("Certyfikat z kluczem prywatnym (*.p12 *.pfx)"));
    if (path.isEmpty()) return;
    bool entered = false;
    const QString password = QInputDialog::getText(
        this, title, QStringLiteral("Hasło pliku %1:").arg(QFileInfo(path).fileName()),
        QLineEdit::Password, QString(), &entered);
    if (!entered) return;
    const std::vector<CertificateRow> installed =
        certificateImport_(path.toStdString(), password.toStdString());
    ShowMessageBox(this, installed.empty()
                             ? QStringLiteral("Plik nie zawierał żadnego certyfikatu.")
                             : QStringLiteral("Zainstalowano w magazynie certyfikatów:\n") +
                                   DescribeCertificates(installed));
  });
}

}  // namespace zelvor::app
