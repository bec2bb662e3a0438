// The controls of the main window, laid out tab by tab.
#include <QCheckBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QUrl>
#include <QVBoxLayout>

#include "app/form1.h"
#include "app/pictures.h"
#include "app/sample_numbers.h"
#include "app/upper_case_validator.h"
#include "register/citizen_api.h"

namespace zelvor::app {

namespace {

constexpr int kHeaderHeight = 41;
constexpr int kStatusBarHeight = 19;
constexpr std::array<int, 4> kStatusPanelWidths = {50, 150, 150, 50};

QFont PixelFont(const QFont& base, int pixels, bool bold = false) {
  QFont font = base;
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

template <class W>
W* Named(W* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

// A busy sign: centred, bold red, 27 pixels, hidden until its button is disabled; it keeps its
// place while hidden so that the tab does not jump when it shows.
QLabel* BusyLabel(const QString& text, const char* name) {
  auto* label = Named(new QLabel(text), name);
  label->setFont(PixelFont(label->font(), 27, true));
  label->setAlignment(Qt::AlignCenter);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, Qt::red);
  label->setPalette(palette);
  QSizePolicy policy = label->sizePolicy();
  policy.setRetainSizeWhenHidden(true);
  label->setSizePolicy(policy);
  return label;
}

// Tab moves on to the next control rather than into the text: no box of the window takes tabs.
template <class Box>
Box* TabLeaves(Box* box) {
  box->setTabChangesFocus(true);
  return box;
}

QPlainTextEdit* LogBox(const char* name) {
  auto* box = TabLeaves(Named(new QPlainTextEdit, name));
  box->setLineWrapMode(QPlainTextEdit::NoWrap);
  box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  return box;
}

QPushButton* Button(const QString& caption, const char* name) {
  auto* button = Named(new QPushButton(caption), name);
  button->setAutoDefault(false);
  return button;
}

// A test button kept for the developers: hidden, its caption struck through.
QPushButton* DeveloperButton(const QString& caption, const char* name) {
  auto* button = Button(caption, name);
  QFont font = PixelFont(button->font(), 11);
  font.setStrikeOut(true);
  button->setFont(font);
  button->setVisible(false);
  return button;
}

QLineEdit* UpperCaseField(const QString& text, const char* name) {
  auto* field = Named(new QLineEdit(text), name);
  field->setValidator(new UpperCaseValidator(field));
  return field;
}

QGroupBox* VatGroup(const QString& title, const char* name, QLineEdit* country, QLineEdit* number) {
  auto* group = Named(new QGroupBox(title), name);
  auto* form = new QFormLayout(group);
  form->addRow(QStringLiteral("Nazione"), country);
  form->addRow(QStringLiteral("Partita IVA"), number);
  return group;
}

}  // namespace

// The header says which register the window talks to: the production one by its usual words,
// another by its host.
QString TForm1::HeaderText(const std::string& registerUrl) {
  if (registerUrl == reg::ProductionEndpoint())
    return QStringLiteral("Pobieranie danych z GITD  -  BAZA PRODUKCYJNA ");
  const QUrl url(QString::fromStdString(registerUrl));
  return QStringLiteral("Pobieranie danych z GITD  -  BAZA TESTOWA: %1 ")
      .arg(url.port() > 0 ? url.host() + ':' + QString::number(url.port()) : url.host());
}

void TForm1::BuildHeaderAndStatusBar() {
  PanelHeader = Named(new QLabel(HeaderText(registerUrl_)), "PanelHeader");
  PanelHeader->setFont(PixelFont(font(), 16));
  PanelHeader->setAlignment(Qt::AlignCenter);
  PanelHeader->setFixedHeight(kHeaderHeight);
  PanelHeader->setFrameStyle(QFrame::Panel | QFrame::Raised);

  sb = Named(new QStatusBar, "sb");
  sb->setFixedHeight(kStatusBarHeight);
  for (std::size_t i = 0; i < sbPanels.size(); ++i) {
    auto* panel = new QLabel;
    panel->setObjectName(QStringLiteral("sbPanel%1").arg(i));
    panel->setFixedWidth(kStatusPanelWidths[i]);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    sb->addWidget(panel);
    sbPanels[i] = panel;
  }
  setStatusBar(sb);
}

QWidget* TForm1::BuildPeriodTab() {
  auto* page = Named(new QWidget, "tsDzienne");
  page->setFont(PixelFont(font(), 13));

  gbZakresDat = Named(new QGroupBox(QStringLiteral("Okres ")), "gbZakresDat");
  Label6 = Named(new QLabel(QStringLiteral("Od Daty")), "Label6");
  Label7 = Named(new QLabel(QStringLiteral("Do Daty")), "Label7");
  dpOdDaty = Named(new QDateEdit, "dpOdDaty");
  dpDoDaty = Named(new QDateEdit, "dpDoDaty");
  auto* dates = new QFormLayout(gbZakresDat);
  for (QDateEdit* picker : {dpOdDaty, dpDoDaty}) {
    picker->setCalendarPopup(true);
    picker->setMinimumWidth(130);
  }
  dates->addRow(Label6, dpOdDaty);
  dates->addRow(Label7, dpDoDaty);

  btnPobierzDaneDzienne =
      Button(QStringLiteral("Pobierz dane z GITD do pliku xlsx (wymagana instalacja excela)"),
             "btnPobierzDaneDzienne");
  btnPobierzDaneDzienne->setMinimumHeight(36);
  chbStop1 = Named(new QCheckBox(QStringLiteral("Zatrzymaj pobieranie ")), "chbStop1");
  auto* run = new QVBoxLayout;
  run->addWidget(btnPobierzDaneDzienne);
  run->addWidget(chbStop1);
  run->addStretch();

  auto* top = new QHBoxLayout;
  top->addWidget(gbZakresDat);
  top->addSpacing(16);
  top->addLayout(run);
  top->addStretch();

  lbPobieranie = BusyLabel(QStringLiteral("Trwa pobieranie danych"), "lbPobieranie");
  lbPobieranieData = BusyLabel(QStringLiteral("Trwa pobieranie danych"), "lbPobieranieData");

  gbLog = Named(new QGroupBox(QStringLiteral(" Log ")), "gbLog");
  mLog1 = LogBox("mLog1");
  mLog1->setFont(PixelFont(font(), 11));
  (new QVBoxLayout(gbLog))->addWidget(mLog1);

  auto* layout = new QVBoxLayout(page);
  layout->addLayout(top);
  layout->addWidget(lbPobieranie);
  layout->addWidget(lbPobieranieData);
  layout->addWidget(gbLog, 1);
  return page;
}

QWidget* TForm1::BuildListTab() {
  auto* page = Named(new QWidget, "tsPlikExela");

  GroupBox1 = Named(
      new QGroupBox(QStringLiteral("  Pobieranie danych o klientach na podstawie zbioru excela ")),
      "GroupBox1");
  Image2 = Named(new QLabel, "Image2");
  Image2->setPixmap(InputSheetPicture(devicePixelRatioF()));
  Image2->setAlignment(Qt::AlignTop | Qt::AlignLeft);

  Memo2 = TabLeaves(Named(new QTextEdit, "Memo2"));
  Memo2->setFrameStyle(QFrame::NoFrame);
  Memo2->setReadOnly(true);
  Memo2->setFont(PixelFont(font(), 16));
  Memo2->viewport()->setAutoFillBackground(false);
  Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Memo2->setPlainText(
      QStringLiteral("\nWejściowy plik excela (input) musi mieć w kolumnie A numer NIP klienta dla "
                     "\nktórego należy pobrać dane\n"));
  QTextCursor all(Memo2->document());
  all.select(QTextCursor::Document);
  QTextBlockFormat centred;
  centred.setAlignment(Qt::AlignHCenter);
  all.mergeBlockFormat(centred);
  constexpr int kInstructionLines = 4;
  Memo2->setFixedHeight(Memo2->fontMetrics().lineSpacing() * kInstructionLines +
                        2 * static_cast<int>(Memo2->document()->documentMargin()) + 4);

  btnExcel_wyprwadz = Button(QStringLiteral("Excel - wyprowadź"), "btnExcel_wyprwadz");
  btnExcel_wyprwadz->setMinimumSize(200, 36);
  chbStop = Named(new QCheckBox(QStringLiteral("Zatrzymaj pobieranie ")), "chbStop");
  btnOtworzWynik = Button(QStringLiteral("Otwórz wynik"), "btnOtworzWynik");
  btnDzialaj = DeveloperButton(QStringLiteral("Test "), "btnDzialaj");
  btnDzialaj->setIcon(ShieldIcon());
  Button1 = DeveloperButton(QStringLiteral("Utworz nowy plik excela - TEST"), "Button1");

  auto* run = new QHBoxLayout;
  run->addStretch();
  run->addWidget(btnExcel_wyprwadz);
  run->addWidget(chbStop);
  run->addWidget(btnOtworzWynik);
  run->addWidget(btnDzialaj);
  run->addWidget(Button1);
  run->addStretch();

  auto* instruction = new QVBoxLayout;
  instruction->addStretch();
  instruction->addWidget(Memo2);
  instruction->addLayout(run);
  instruction->addStretch();

  Panel1 = Named(new QFrame, "Panel1");
  Panel1->setFixedWidth(24);
  Panel1->setAutoFillBackground(true);
  QPalette white = Panel1->palette();
  white.setColor(QPalette::Window, Qt::white);
  Panel1->setPalette(white);

  auto* group = new QHBoxLayout(GroupBox1);
  group->addWidget(Image2);
  group->addLayout(instruction, 1);
  group->addWidget(Panel1);

  gbOutput = Named(new QGroupBox(QStringLiteral("Output")), "gbOutput");
  mOutput = LogBox("mOutput");
  (new QVBoxLayout(gbOutput))->addWidget(mOutput);

  gbInput = Named(new QGroupBox(QStringLiteral("Input")), "gbInput");
  mNIP = TabLeaves(Named(new QPlainTextEdit, "mNIP"));
  mNIP->setPlainText(SampleTaxNumbers().join(u'\n'));
  (new QVBoxLayout(gbInput))->addWidget(mNIP);
  gbInput->setFixedWidth(150);

  auto* lists = new QHBoxLayout;
  lists->addWidget(gbOutput, 1);
  lists->addWidget(gbInput);

  auto* layout = new QVBoxLayout(page);
  layout->addWidget(GroupBox1);
  layout->addLayout(lists, 1);
  return page;
}

QWidget* TForm1::BuildTestTab() {
  auto* page = Named(new QWidget, "tsTestPoloczenia");

  gbTest = Named(new QGroupBox(QStringLiteral(
                     " Weryfikacja czy jest zaninstalowany certyfikat GITD (ten co na poniższym "
                     "ekranie)  ")),
                 "gbTest");
  Image1 = Named(new QLabel, "Image1");
  Image1->setPixmap(CertificateViewPicture(devicePixelRatioF()));
  btnCartyfikat = Button(QStringLiteral("Wyświetl certyfikaty"), "btnCartyfikat");
  btnCartyfikat->setIcon(ShieldIcon());
  btnImportujCertyfikat = Button(QStringLiteral("Importuj certyfikat…"), "btnImportujCertyfikat");
  btnUstawienia = Button(QStringLiteral("Ustawienia…"), "btnUstawienia");
  auto* certificateButtons = new QVBoxLayout;
  certificateButtons->addWidget(btnCartyfikat);
  certificateButtons->addWidget(btnImportujCertyfikat);
  certificateButtons->addWidget(btnUstawienia);
  certificateButtons->addStretch();
  auto* group = new QHBoxLayout(gbTest);
  group->addWidget(Image1);
  group->addSpacing(12);
  group->addLayout(certificateButtons);
  group->addStretch();

  btnTestPolaczenia =
      Button(QStringLiteral("Test połączenia do bazy produkcyjnej"), "btnTestPolaczenia");
  btnTestPolaczenia->setIcon(ShieldIcon());
  btnTestPolaczenia->setMinimumHeight(36);
  lbTestPolaczenia =
      BusyLabel(QStringLiteral("Test połączenia - Proszę czekać "), "lbTestPolaczenia");
  auto* run = new QHBoxLayout;
  run->addWidget(btnTestPolaczenia);
  run->addWidget(lbTestPolaczenia, 1);

  mTest = TabLeaves(Named(new QPlainTextEdit, "mTest"));

  auto* layout = new QVBoxLayout(page);
  layout->addWidget(gbTest);
  layout->addLayout(run);
  layout->addWidget(mTest, 1);
  return page;
}

QWidget* TForm1::BuildVatTab() {
  auto* page = Named(new QWidget, "tsTmp");
  const QString number = QString::fromLatin1(kSampleVatNumber);
  edtNazRic = UpperCaseField(QStringLiteral("PL"), "edtNazRic");
  edtPIVARic = UpperCaseField(number, "edtPIVARic");
  edtNazVer = UpperCaseField(QStringLiteral("PL"), "edtNazVer");
  edtPIVAVer = UpperCaseField(number, "edtPIVAVer");
  gbRichiedente = VatGroup(QStringLiteral("Richiedente"), "gbRichiedente", edtNazRic, edtPIVARic);
  gbDaVerificare =
      VatGroup(QStringLiteral("Da Verificare"), "gbDaVerificare", edtNazVer, edtPIVAVer);

  btnVerify = Button(QStringLiteral("Verify"), "btnVerify");
  btnVerify->setIcon(ShieldIcon());
  Memo1 = TabLeaves(Named(new QPlainTextEdit, "Memo1"));

  auto* groups = new QHBoxLayout;
  groups->addWidget(gbRichiedente);
  groups->addWidget(gbDaVerificare);
  groups->addStretch();
  auto* verify = new QHBoxLayout;
  verify->addWidget(btnVerify);
  verify->addStretch();

  auto* layout = new QVBoxLayout(page);
  layout->addLayout(groups);
  layout->addLayout(verify);
  layout->addWidget(Memo1, 1);
  return page;
}

}  // namespace zelvor::app
