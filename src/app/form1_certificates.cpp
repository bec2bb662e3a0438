// The certificate actions of the connection-test tab, on the window's certificate store.
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>

#include "app/certificate_dialogs.h"
#include "app/form1.h"
#include "app/message_boxes.h"
#include "platform/certificate_import.h"
#include "platform/certificate_store.h"

namespace zelvor::app {

// A store file that cannot be used ends the action in the error box, naming the file.
void TForm1::btnCartyfikatClick() {
  RunLongAction(btnCartyfikat, {.disableOwnButton = false, .waitCursor = false}, [this] {
    CertificateViewDialog dialog(RowsOf(platform::ListPersonalCertificates(certificateStore_)),
                                 this);
    dialog.exec();
  });
}

void TForm1::btnImportujCertyfikatClick() {
  RunLongAction(btnImportujCertyfikat, {.disableOwnButton = false, .waitCursor = false}, [this] {
    const QString title = QStringLiteral("Importuj certyfikat");
    const QString path = QFileDialog::getOpenFileName(
        this, title, recentFolder_.Folder(),
        QStringLiteral("Certyfikat z kluczem prywatnym (*.p12 *.pfx)"));
    if (path.isEmpty()) return;
    recentFolder_.Remember(path);
    bool entered = false;
    const QString password = QInputDialog::getText(
        this, title, QStringLiteral("Hasło pliku %1:").arg(QFileInfo(path).fileName()),
        QLineEdit::Password, QString(), &entered);
    if (!entered) return;
    const platform::ImportedCertificate imported =
        platform::ImportPkcs12(path.toStdString(), password.toStdString(), certificateStore_);
    ShowMessageBox(this, QStringLiteral("Zainstalowano w magazynie certyfikatów:\n") +
                             DescribeCertificates({RowOf(imported.description)}));
  });
}

}  // namespace zelvor::app
