#include "ClientiOrdiniWindow.h"

#include "CartellaLingue.h"
#include "DemoTesti.h"
#include "Filtro.h"
#include "ui_ClientiOrdiniWindow.h"

#include "control/Tessaro14_ML.h"
#include "data/TessaroError.h"
#include "data/Values.h"
#include "engine/clsADONavigator.h"
#include "host/MessageBox.h"
#include "host/QtHostForm.h"
#include "language/modLanguageSupport.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLibraryInfo>
#include <QStatusBar>
#include <QTimer>

namespace demo {

using tessaro::Tessaro14_ML;

namespace {
// Marks the title of the container whose data source the toolbar drives.
const QString kMarcaAttiva = QStringLiteral("\u25B8 ");
} // namespace

ClientiOrdiniWindow::ClientiOrdiniWindow(tessaro::Connection* connessione, int tipoDatabase,
                                         bool conOrdini, QWidget* parent)
    : QMainWindow(parent), mUi(std::make_unique<Ui::ClientiOrdiniWindow>()),
      mConnessione(connessione), mTipoDatabase(tipoDatabase), mConOrdini(conOrdini) {
    mUi->setupUi(this);
    mUi->grpOrdini->setVisible(mConOrdini);
    mStato = new QLabel(this);
    statusBar()->addPermanentWidget(mStato, 1);

    auto* lingue = new QActionGroup(this);
    lingue->addAction(mUi->actionItaliano);
    lingue->addAction(mUi->actionEnglish);
    connect(mUi->actionItaliano, &QAction::triggered, this,
            [this] { CambiaLingua(QStringLiteral("Italiano")); });
    connect(mUi->actionEnglish, &QAction::triggered, this,
            [this] { CambiaLingua(QStringLiteral("English")); });
    connect(mUi->actionEsci, &QAction::triggered, this, &QWidget::close);

    connect(mUi->btnFiltra, &QPushButton::clicked, this, &ClientiOrdiniWindow::ApplicaFiltro);
    connect(mUi->txtFiltro, &QLineEdit::returnPressed, this, &ClientiOrdiniWindow::ApplicaFiltro);
    connect(mUi->btnTutti, &QPushButton::clicked, this, [this] {
        mUi->txtFiltro->clear();
        ApplicaFiltro();
    });

    // Picking a town copies its province into the box that shows it.
    connect(mUi->cmbComune, &QComboBox::activated, this, [this] {
        AttivaContenitore(mUi->grpClienti);
        Navigatore().SincronizzaTabelleCombo(mUi->cmbComune);
    });

    // The toolbar follows the container the user works in. Deferred, so that a
    // focus change caused by a running command never swaps the source under it.
    connect(qApp, &QApplication::focusChanged, this,
            [this] { QTimer::singleShot(0, this, &ClientiOrdiniWindow::SeguiFuoco); });

    CollegaEventi();
}

ClientiOrdiniWindow::~ClientiOrdiniWindow() = default;

Tessaro14_ML& ClientiOrdiniWindow::Navigatore() {
    return *mUi->navigatore;
}

QString ClientiOrdiniWindow::T(const QString& chiave) const {
    return Testo(mLingua, chiave);
}

void ClientiOrdiniWindow::CollegaEventi() {
    auto* eventi = Navigatore().Events();
    // Cancel is a bool&: the connections must be direct (same thread), which
    // the default connection is here.
    connect(eventi, &tessaro::Tessaro14_MLEvents::ValidateBeforeSave, this,
            &ClientiOrdiniWindow::ValidaPrimaDiSalvare);
    connect(eventi, &tessaro::Tessaro14_MLEvents::Addnew, this, &ClientiOrdiniWindow::NuovoRecord);
    connect(eventi, &tessaro::Tessaro14_MLEvents::Clone, this, &ClientiOrdiniWindow::NuovoRecord);
    connect(eventi, &tessaro::Tessaro14_MLEvents::AfterCurrent, this,
            &ClientiOrdiniWindow::AggiornaStato);
    connect(eventi, &tessaro::Tessaro14_MLEvents::AfterInsert, this,
            [this] { DopoSalvataggio(QStringLiteral("salvato")); });
    connect(eventi, &tessaro::Tessaro14_MLEvents::AfterUpdate, this,
            [this] { DopoSalvataggio(QStringLiteral("salvato")); });
    connect(eventi, &tessaro::Tessaro14_MLEvents::AfterDelete, this,
            [this] { DopoSalvataggio(QStringLiteral("eliminato")); });
    connect(eventi, &tessaro::Tessaro14_MLEvents::ClickPrint, this, [this](bool& Cancel) {
        if (!ScegliFileStampa()) {
            Cancel = true;
            return;
        }
        // The print runs once this handler returns; tell the file it wrote, if any.
        QTimer::singleShot(0, this, [this, prima = tessaro::LastPrintFile()] {
            const QString file = tessaro::LastPrintFile();
            if (!file.isEmpty() && file != prima)
                statusBar()->showMessage(
                    T(QStringLiteral("stampato")).arg(QFileInfo(file).absoluteFilePath()), 15000);
        });
    });
}

bool ClientiOrdiniWindow::ScegliFileStampa() {
    // A printer, or a place for printouts chosen already (the tour's): nothing to ask.
    if (tessaro::HasDefaultPrinter() || !tessaro::PrintOutputPath().isEmpty())
        return true;
    const QString cartella = mCartellaDati.isEmpty() ? QDir::homePath() : mCartellaDati;
    QGroupBox* attivo = ContenitoreAttivo();
    const QString titolo = attivo ? Testo(mLingua, attivo->objectName()) : T("titolo");
    const QString proposto = QDir(cartella).filePath(
        titolo + u' ' + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH-mm")) +
        QStringLiteral(".pdf"));
    // Offscreen (the tour, the tests) nobody can answer: the suggested name is taken.
    QString file = proposto;
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        file = QFileDialog::getSaveFileName(this, T(QStringLiteral("salvaStampa")), proposto,
                                            QStringLiteral("PDF (*.pdf)"));
    if (file.isEmpty())
        return false;
    tessaro::SetPrintOutputPath(file);
    // For this printout only: the next one asks again.
    QTimer::singleShot(0, this, [] { tessaro::SetPrintOutputPath(QString()); });
    return true;
}

void ClientiOrdiniWindow::ImpostaCartellaLingue(const QString& cartella) {
    mCartellaLingue = cartella;
    mUi->menuLingua->setEnabled(!cartella.isEmpty());
    if (cartella.isEmpty()) {
        statusBar()->showMessage(T(QStringLiteral("lingueMancanti")));
        return;
    }
    const QStringList disponibili = LingueDisponibili(cartella);
    mUi->actionItaliano->setEnabled(disponibili.contains(QStringLiteral("Italiano")));
    mUi->actionEnglish->setEnabled(disponibili.contains(QStringLiteral("English")));
    if (!CaricaLingua())
        return;
    mLingua = tessaro::CurrentLanguage();
    mUi->actionEnglish->setChecked(Testo(mLingua, QStringLiteral("titolo")) !=
                                   Testo(QStringLiteral("Italiano"), QStringLiteral("titolo")));
    mUi->actionItaliano->setChecked(!mUi->actionEnglish->isChecked());
    TraduciFinestra(this, mLingua);
    AggiornaTitoli();
}

bool ClientiOrdiniWindow::CaricaLingua() {
    try {
        Navigatore().CambiaLingua(mCartellaLingue);
        return true;
    } catch (const tessaro::TessaroError& e) {
        statusBar()->showMessage(T(QStringLiteral("lingueMancanti")) + u' ' + e.Description());
        return false;
    }
}

bool ClientiOrdiniWindow::ApriFontiDati() {
    Tessaro14_ML& nav = Navigatore();
    // The form sets the tag prefix ("#") and the embedded database's kind in its
    // .ui; every source takes them. The links to Comuni, Clienti and Agenti come
    // from the foreign keys of the schema, so no link array is given.
    // A server database has a kind of its own, for every source alike.
    nav.setTipoDatabase(static_cast<Tessaro14_ML::TipoDb>(mTipoDatabase));
    bool ok = nav.AddFonteDati(mConnessione, QStringLiteral("Clienti"), mUi->grpClienti,
                               QStringLiteral("Cognome"), {});
    if (mConOrdini) {
        ok = nav.AddFonteDati(mConnessione, QStringLiteral("Ordini"), mUi->grpOrdini,
                              QStringLiteral("DataOrdine"), {}) &&
             ok;
        // The customer combo of Ordini is refilled when Clienti changes.
        nav.AddInLoadedFormsSet(mUi->grpOrdini);
    }
    AttivaContenitore(mUi->grpClienti);
    // Start in the customers rather than in the toolbar's record-number box.
    mUi->txtCognome->setFocus();
    return ok;
}

void ClientiOrdiniWindow::CambiaLingua(const QString& lingua) {
    if (mCartellaLingue.isEmpty() || !ScriviLinguaCorrente(mCartellaLingue, lingua) ||
        !CaricaLingua())
        return;
    mLingua = lingua;
    mUi->actionItaliano->setChecked(lingua == QLatin1String("Italiano"));
    mUi->actionEnglish->setChecked(lingua == QLatin1String("English"));
    TraduciFinestra(this, mLingua);
    AggiornaTitoli();
    // The record counter carries a word of the language file.
    Navigatore().AggiornaStatoPulsanti();
    AggiornaStato();
}

QGroupBox* ClientiOrdiniWindow::ContenitoreAttivo() const {
    const QString nome = mUi->navigatore->ContenitoreName();
    if (nome == mUi->grpOrdini->objectName())
        return mUi->grpOrdini;
    if (nome == mUi->grpClienti->objectName())
        return mUi->grpClienti;
    return nullptr;
}

QString ClientiOrdiniWindow::TabellaAttiva() const {
    return ContenitoreAttivo() == mUi->grpOrdini ? QStringLiteral("Ordini")
                                                 : QStringLiteral("Clienti");
}

void ClientiOrdiniWindow::AttivaContenitore(QGroupBox* contenitore) {
    if (!contenitore || contenitore == ContenitoreAttivo())
        return;
    Navigatore().SetFonteDatiAttiva(contenitore->objectName());
    mUi->txtFiltro->setText(mFiltri.value(contenitore->objectName()));
    AggiornaTitoli();
    AggiornaStato();
}

void ClientiOrdiniWindow::SeguiFuoco() {
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        if (w == mUi->grpClienti || (w == mUi->grpOrdini && mConOrdini)) {
            AttivaContenitore(static_cast<QGroupBox*>(w));
            return;
        }
    }
}

void ClientiOrdiniWindow::ApplicaFiltro() {
    QGroupBox* attivo = ContenitoreAttivo();
    if (!attivo)
        return;
    mFiltri.insert(attivo->objectName(), mUi->txtFiltro->text());
    Navigatore().ImpostaCondizione(
        CondizioneDaFiltro(mUi->txtFiltro->text(), TabellaAttiva(), mTipoDatabase));
    AggiornaStato();
}

void ClientiOrdiniWindow::AggiornaTitoli() {
    // The window's title and the one Qt adds to it (and to every box without
    // a title of its own) in the same language.
    QGuiApplication::setApplicationDisplayName(T(QStringLiteral("titolo")));
    // Qt's own texts (line edit menus, box buttons the language file leaves out).
    QCoreApplication::removeTranslator(&mTraduzioniQt);
    if (mTraduzioniQt.load(
            QLocale(mLingua == QLatin1String("English") ? QLocale::English : QLocale::Italian),
            QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&mTraduzioniQt);
    setWindowTitle(QStringLiteral("Tessaro"));
    for (QGroupBox* g : {mUi->grpClienti, mUi->grpOrdini}) {
        const QString titolo = Testo(mLingua, g->objectName());
        g->setTitle(g == ContenitoreAttivo() ? kMarcaAttiva + titolo : titolo);
    }
}

void ClientiOrdiniWindow::AggiornaStato() {
    QGroupBox* attivo = ContenitoreAttivo();
    if (!attivo) {
        mStato->clear();
        return;
    }
    QString testo = T(QStringLiteral("fonteAttiva")).arg(Testo(mLingua, attivo->objectName()));
    if (const QString filtro = FiltroInParole(); !filtro.isEmpty())
        testo += QStringLiteral("  \u00B7  ") + filtro;
    mStato->setText(testo);
}

// What the user typed, not the condition it became.
QString ClientiOrdiniWindow::FiltroInParole() const {
    QGroupBox* attivo = ContenitoreAttivo();
    const QString testo = attivo ? mFiltri.value(attivo->objectName()).trimmed() : QString();
    if (testo.isEmpty())
        return QString();
    return T(attivo == mUi->grpOrdini ? QStringLiteral("filtroOrdini")
                                      : QStringLiteral("filtroClienti"))
        .arg(testo);
}

void ClientiOrdiniWindow::ValidaPrimaDiSalvare(bool& Cancel) {
    QString messaggio;
    QWidget* campo = nullptr;
    if (ContenitoreAttivo() == mUi->grpClienti && mUi->txtCognome->text().trimmed().isEmpty()) {
        messaggio = T(QStringLiteral("cognomeObbligatorio"));
        campo = mUi->txtCognome;
    } else if (ContenitoreAttivo() == mUi->grpOrdini && mUi->cmbCliente->currentIndex() < 0) {
        messaggio = T(QStringLiteral("clienteObbligatorio"));
        campo = mUi->cmbCliente;
    } else if (ContenitoreAttivo() == mUi->grpOrdini && mUi->cmbAgente->currentIndex() < 0) {
        messaggio = T(QStringLiteral("agenteObbligatorio"));
        campo = mUi->cmbAgente;
    }
    if (!campo)
        return;
    tessaro::MsgBox(messaggio, tessaro::MsgStyle::Exclamation, T(QStringLiteral("titolo")));
    campo->setFocus();
    Cancel = true;
}

void ClientiOrdiniWindow::NuovoRecord(QWidget* contenitore) {
    if (contenitore == mUi->grpOrdini) {
        // A new order is dated today; a duplicated one too.
        mUi->txtDataOrdine->setText(tessaro::ValueToLocaleText(QDate::currentDate()));
        mUi->cmbCliente->setFocus();
    } else if (contenitore == mUi->grpClienti) {
        mUi->chkAttivo->setChecked(true);
        mUi->txtCognome->setFocus();
    }
}

void ClientiOrdiniWindow::closeEvent(QCloseEvent* event) {
    // A record being typed is never dropped unasked: the control asks to save,
    // drop or stay, for each source in turn; staying keeps the window open.
    for (const QGroupBox* g : {mUi->grpClienti, mUi->grpOrdini}) {
        const auto& fonti = Navigatore().FontiDati();
        if (!fonti.Contains(g->objectName()))
            continue;
        const short stato = fonti.Item(g->objectName())->State();
        if ((stato == 5 || stato == 6) && !Navigatore().RemoveFonteDati(g->objectName())) {
            event->ignore();
            return;
        }
    }
    QMainWindow::closeEvent(event);
}

void ClientiOrdiniWindow::DopoSalvataggio(const QString& messaggio) {
    statusBar()->showMessage(T(messaggio), 4000);
    if (!mConOrdini || ContenitoreAttivo() != mUi->grpClienti)
        return;
    // Once the save has finished: refill the customer combo of Ordini, which
    // activates that source, then give the toolbar back to Clienti.
    QTimer::singleShot(0, this, [this] {
        const QString attivo = Navigatore().ContenitoreName();
        Navigatore().UpdateCombo();
        Navigatore().SetFonteDatiAttiva(attivo);
    });
}

} // namespace demo
