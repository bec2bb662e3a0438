#include "app/pictures.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <array>

namespace zelvor::app {

namespace {

QPixmap Canvas(QSize size, qreal dpr) {
  QPixmap pixmap(size * dpr);
  pixmap.setDevicePixelRatio(dpr);
  pixmap.fill(Qt::white);
  return pixmap;
}

QFont PixelFont(int pixels, bool bold = false) {
  QFont font;
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

const QColor kGrid(0xc8, 0xc8, 0xc8);
const QColor kHeading(0xee, 0xee, 0xee);
const QColor kFrame(0xd0, 0x10, 0x10);

}  // namespace

QPixmap InputSheetPicture(qreal dpr) {
  constexpr int kRowNumberWidth = 26, kRowHeight = 20, kRows = 8;
  constexpr std::array<int, 2> kColumnWidths = {96, 48};
  constexpr std::array<const char*, kRows - 1> kCells = {
      "Numer NIP", "8079007496", "5754391636", "4771270975", "7519576810", "8717944611", ""};
  const int width = kRowNumberWidth + kColumnWidths[0] + kColumnWidths[1];
  const QSize size(width + 1, kRowHeight * (kRows + 1) + 1);
  QPixmap pixmap = Canvas(size, dpr);
  QPainter p(&pixmap);
  p.setFont(PixelFont(12));

  // Column letters and row numbers, as a spreadsheet shows them.
  p.fillRect(0, 0, size.width(), kRowHeight, kHeading);
  p.fillRect(0, 0, kRowNumberWidth, size.height(), kHeading);
  p.setPen(kGrid);
  for (int row = 0; row <= kRows + 1; ++row)
    p.drawLine(0, row * kRowHeight, width, row * kRowHeight);
  for (const int x : {0, kRowNumberWidth, kRowNumberWidth + kColumnWidths[0], width})
    p.drawLine(x, 0, x, size.height());
  p.setPen(Qt::black);
  p.drawText(QRect(kRowNumberWidth, 0, kColumnWidths[0], kRowHeight), Qt::AlignCenter,
             QStringLiteral("A"));
  p.drawText(QRect(kRowNumberWidth + kColumnWidths[0], 0, kColumnWidths[1], kRowHeight),
             Qt::AlignCenter, QStringLiteral("B"));
  for (int row = 1; row <= kRows; ++row)
    p.drawText(QRect(0, row * kRowHeight, kRowNumberWidth, kRowHeight), Qt::AlignCenter,
               QString::number(row));

  // Column A: the heading, then one tax number per row.
  for (int row = 1; row < kRows; ++row) {
    p.setFont(PixelFont(12, row == 1));
    p.drawText(QRect(kRowNumberWidth + 5, row * kRowHeight, kColumnWidths[0] - 8, kRowHeight),
               Qt::AlignVCenter | Qt::AlignLeft, QString::fromLatin1(kCells[row - 1]));
  }
  // The heading cell is the current one, framed as the application frames it.
  p.setPen(QPen(QColor(0x21, 0x73, 0x46), 2));
  p.drawRect(kRowNumberWidth + 1, kRowHeight + 1, kColumnWidths[0] - 2, kRowHeight - 2);
  return pixmap;
}

QPixmap CertificateViewPicture(qreal dpr) {
  const QSize size(490, 178);
  QPixmap pixmap = Canvas(size, dpr);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing, false);

  // Title bar and window frame.
  p.fillRect(0, 0, size.width(), 22, QColor(0x3a, 0x5f, 0x9f));
  p.setPen(Qt::white);
  p.setFont(PixelFont(12, true));
  p.drawText(QRect(8, 0, size.width() - 16, 22), Qt::AlignVCenter,
             QStringLiteral("Certyfikaty - bieżący użytkownik"));
  p.setPen(QColor(0x80, 0x80, 0x80));
  p.drawRect(0, 0, size.width() - 1, size.height() - 1);

  // The folder tree on the left.
  constexpr int kTreeWidth = 140;
  p.drawLine(kTreeWidth, 22, kTreeWidth, size.height());
  p.setFont(PixelFont(11));
  p.setPen(Qt::black);
  const std::array<std::pair<int, QString>, 4> tree = {{
      {6, QStringLiteral("Magazyn użytkownika")},
      {16, QStringLiteral("Osobisty")},
      {26, QStringLiteral("Certyfikaty")},
      {16, QStringLiteral("Zaufane urzędy")},
  }};
  for (std::size_t i = 0; i < tree.size(); ++i)
    p.drawText(QRect(tree[i].first, 30 + static_cast<int>(i) * 18, kTreeWidth - tree[i].first, 18),
               Qt::AlignVCenter, tree[i].second);
  p.fillRect(24, 66 + 2, kTreeWidth - 30, 14, QColor(0xcc, 0xe0, 0xff));
  p.drawText(QRect(26, 66, kTreeWidth - 26, 18), Qt::AlignVCenter, tree[2].second);

  // The certificate list on the right.
  const int listX = kTreeWidth + 1;
  const std::array<int, 3> columns = {listX + 6, listX + 112, listX + 246};
  p.fillRect(listX, 23, size.width() - listX - 1, 20, QColor(0xee, 0xee, 0xee));
  p.setFont(PixelFont(11, true));
  const std::array<QString, 3> headings = {QStringLiteral("Wystawiony dla"),
                                           QStringLiteral("Wystawiony przez"),
                                           QStringLiteral("Ważny do")};
  for (std::size_t i = 0; i < headings.size(); ++i)
    p.drawText(QRect(columns[i], 23, 120, 20), Qt::AlignVCenter, headings[i]);
  p.setFont(PixelFont(11));
  const std::array<QString, 3> row = {QStringLiteral("KREPTD"), QStringLiteral("GITD SUB03 CA"),
                                      QStringLiteral("2026-03-31")};
  for (std::size_t i = 0; i < row.size(); ++i)
    p.drawText(QRect(columns[i], 46, 120, 20), Qt::AlignVCenter, row[i]);

  // Red frames round the folder and the certificate's row.
  p.setPen(QPen(kFrame, 2));
  p.drawRect(20, 64, kTreeWidth - 24, 22);
  p.drawRect(listX + 2, 45, size.width() - listX - 6, 22);
  return pixmap;
}

QIcon ShieldIcon() {
  QIcon icon;
  for (const qreal dpr : {1.0, 2.0}) {
    QPixmap pixmap(QSize(16, 16) * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath shield;
    shield.moveTo(8, 1);
    shield.lineTo(14, 3);
    shield.cubicTo(14, 10, 11, 13, 8, 15);
    shield.cubicTo(5, 13, 2, 10, 2, 3);
    shield.closeSubpath();
    p.fillPath(shield, QColor(0x1f, 0x5f, 0xbf));
    p.setClipPath(shield);
    p.fillRect(QRectF(8, 1, 7, 7), QColor(0xf2, 0xc0, 0x1e));
    p.fillRect(QRectF(1, 8, 7, 8), QColor(0xf2, 0xc0, 0x1e));
    p.setClipping(false);
    p.setPen(QPen(QColor(0x20, 0x30, 0x50), 0.8));
    p.drawPath(shield);
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace zelvor::app
