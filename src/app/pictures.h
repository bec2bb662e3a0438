#pragma once
// The window's illustrations, drawn at run time so that they stay sharp at any display scale.

#include <QIcon>
#include <QPixmap>

namespace zelvor::app {

// An input sheet: column A headed "Numer NIP" with one tax number per row below it.
QPixmap InputSheetPicture(qreal devicePixelRatio);

// The certificate view at the personal certificates, holding the certificate issued to
// "KREPTD" by "GITD SUB03 CA"; the folder and the certificate's row are framed in red.
QPixmap CertificateViewPicture(qreal devicePixelRatio);

// The administrator-shield mark shown beside some captions; a mark only.
QIcon ShieldIcon();

}  // namespace zelvor::app
