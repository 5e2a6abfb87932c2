#include "Tour.h"

#include "ClientiOrdiniWindow.h"
#include "ui_ClientiOrdiniWindow.h"

#include "control/Tessaro14_ML.h"
#include "data/Database.h"
#include "data/Values.h"
#include "engine/clsADONavigator.h"
#include "host/QtHostForm.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QPainter>
#include <QSqlError>
#include <QSqlQuery>
#include <QToolBar>
#include <QToolTip>

namespace demo {

namespace {

// What a check found, empty when all is well.
QString Atteso(bool ok, const QString& messaggio) {
    return ok ? QString() : messaggio;
}

} // namespace

bool IconaCritica(int style) {
    return (style & 0x70) == tessaro::MsgStyle::Critical;
}

int RegistroMessaggi::Show(const QString& text, int style, const QString& title) {
    mBoxes.push_back(Box{text, style, title});
    mOut << "    box (style " << style << ") " << title << ": "
         << QString(text).replace(u'\r', u' ') << '\n';
    mOut.flush();
    return tessaro::DefaultAnswer(style);
}

int RegistroMessaggi::Errori(std::size_t from) const {
    int n = 0;
    for (std::size_t i = from; i < mBoxes.size(); ++i)
        n += IconaCritica(mBoxes[i].style) ? 1 : 0;
    return n;
}

Tour::Tour(ClientiOrdiniWindow& finestra, tessaro::Connection& connessione,
           const QString& cartellaSchermate, QTextStream& out)
    : mFinestra(finestra), mConnessione(connessione), mCartella(cartellaSchermate), mOut(out),
      mMessaggi(out), mUi(&finestra.ui()), mNav(&finestra.Navigatore()) {}

qint64 Tour::Posizione() const {
    return mNav->FonteDati()->AbsolutePosition().toLongLong();
}

qint64 Tour::Conteggio() const {
    return mNav->FonteDati()->RecordCount().toLongLong();
}

void Tour::Attendi() const {
    // Deferred work of the window (focus, combo refreshes) runs here.
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    // The figures the tour checks are the final ones: a count still on its way
    // is waited for, as a user would see it a moment later.
    if (tessaro::clsADONavigator* fonte = mNav->FonteDati())
        fonte->AttendiConteggio();
}

QString Tour::Schermata(int numero, const QString& nome) const {
    const QString file = QDir(mCartella).filePath(
        QStringLiteral("%1-%2.png").arg(numero, 2, 10, QChar(u'0')).arg(nome));
    // A tooltip is a window of its own: painted over the window where it shows.
    QImage immagine = mFinestra.grab().toImage();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->inherits("QTipLabel")) {
            QPainter pittore(&immagine);
            pittore.drawPixmap(mFinestra.mapFromGlobal(w->pos()), w->grab());
        }
    }
    QToolTip::hideText();
    return immagine.save(file) ? file : QString();
}

qint64 Tour::Conta(const QString& sql) const {
    QSqlQuery q(mConnessione.Database());
    if (!q.exec(sql) || !q.next())
        return -1;
    return q.value(0).toLongLong();
}

QString Tour::Clic(const QString& pulsante) {
    QAction* a = mFinestra.Navigatore().Button(pulsante);
    if (!a->isEnabled())
        return QStringLiteral("the button \"%1\" is disabled").arg(pulsante);
    a->trigger();
    Attendi();
    return QString();
}

std::vector<Tour::Passo> Tour::Passi() {

    std::vector<Passo> passi;
    passi.push_back({QStringLiteral("avvio"), [this] {
                         mClientiPrima = Conta(QStringLiteral("SELECT COUNT(*) FROM Clienti"));
                         if (!mFinestra.ApriFontiDati())
                             return QStringLiteral("a data source could not be set up");
                         Attendi();
                         if (QString e =
                                 Atteso(mNav->ContenitoreName() == QLatin1String("grpClienti"),
                                        QStringLiteral("Clienti is not the active source"));
                             !e.isEmpty())
                             return e;
                         return Atteso(mNav->State() == 3 && Conteggio() == mClientiPrima &&
                                           !mUi->txtCognome->text().isEmpty(),
                                       QStringLiteral("expected the last of %1 customers, state %2")
                                           .arg(mClientiPrima)
                                           .arg(mNav->State()));
                     }});
    passi.push_back(
        {QStringLiteral("primo"), [this] {
             if (QString e = Clic(QStringLiteral("Primo")); !e.isEmpty())
                 return e;
             return Atteso(
                 mNav->State() == 2 && Posizione() == 1,
                 QStringLiteral("state %1 at %2 after Primo").arg(mNav->State()).arg(Posizione()));
         }});
    passi.push_back({QStringLiteral("successivo"), [this] {
                         if (QString e = Clic(QStringLiteral("Successivo")); !e.isEmpty())
                             return e;
                         return Atteso(Posizione() == 2 &&
                                           mNav->txtNumRec()->text().startsWith(u'2'),
                                       QStringLiteral("at %1, box \"%2\" after Successivo")
                                           .arg(Posizione())
                                           .arg(mNav->txtNumRec()->text()));
                     }});
    passi.push_back({QStringLiteral("ultimo"), [this] {
                         if (QString e = Clic(QStringLiteral("Ultimo")); !e.isEmpty())
                             return e;
                         return Atteso(mNav->State() == 3 && Posizione() == Conteggio(),
                                       QStringLiteral("state %1 at %2 of %3 after Ultimo")
                                           .arg(mNav->State())
                                           .arg(Posizione())
                                           .arg(Conteggio()));
                     }});
    passi.push_back(
        {QStringLiteral("nuovo-cliente"), [this] {
             if (QString e = Clic(QStringLiteral("Nuovo")); !e.isEmpty())
                 return e;
             if (mNav->State() != 5 || !mUi->txtCognome->text().isEmpty() ||
                 !mUi->chkAttivo->isChecked())
                 return QStringLiteral("no empty new record (state %1)").arg(mNav->State());
             // Saving without a surname: the host's check stops it.
             const std::size_t prima = mMessaggi.Boxes().size();
             if (QString e = Clic(QStringLiteral("Salva")); !e.isEmpty())
                 return e;
             if (mNav->State() != 5 || mMessaggi.Boxes().size() != prima + 1)
                 return QStringLiteral("a save without surname was not stopped");
             mUi->txtCognome->setText(QStringLiteral("Tessaro"));
             mUi->txtNome->setText(QStringLiteral("Giulia"));
             mUi->txtIndirizzo->setText(QStringLiteral("Via dell'Indipendenza 12"));
             const int bologna = mUi->cmbComune->findText(QStringLiteral("Bologna - BO"));
             if (bologna < 0)
                 return QStringLiteral("no \"Bologna - BO\" among the towns");
             mUi->cmbComune->setCurrentIndex(bologna);
             emit mUi->cmbComune->activated(bologna);
             mUi->txtTelefono->setText(QStringLiteral("051 123 4567"));
             Attendi();
             return Atteso(mUi->txtProvincia->text() == QLatin1String("BO"),
                           QStringLiteral("the province shows \"%1\" after picking Bologna")
                               .arg(mUi->txtProvincia->text()));
         }});
    passi.push_back({QStringLiteral("cliente-salvato"), [this] {
                         if (QString e = Clic(QStringLiteral("Salva")); !e.isEmpty())
                             return e;
                         const qint64 dopo = Conta(QStringLiteral("SELECT COUNT(*) FROM Clienti"));
                         if (dopo != mClientiPrima + 1 || Conteggio() != dopo)
                             return QStringLiteral("%1 customers after the save, %2 before")
                                 .arg(dopo)
                                 .arg(mClientiPrima);
                         mTelefonoSalvato = mUi->txtTelefono->text();
                         return Atteso(
                             mNav->State() != 5 &&
                                 mUi->txtCognome->text() == QLatin1String("Tessaro") &&
                                 mUi->txtProvincia->text() == QLatin1String("BO") &&
                                 !mUi->txtIdCliente->text().isEmpty(),
                             QStringLiteral("the saved customer is not shown (state %1, \"%2\")")
                                 .arg(mNav->State())
                                 .arg(mUi->txtCognome->text()));
                     }});
    passi.push_back({QStringLiteral("modifica"), [this] {
                         if (QString e = Clic(QStringLiteral("Modifica")); !e.isEmpty())
                             return e;
                         if (mNav->State() != 6 || mUi->txtTelefono->isReadOnly())
                             return QStringLiteral("not editing (state %1)").arg(mNav->State());
                         mUi->txtTelefono->setText(QStringLiteral("051 999 0000"));
                         return QString();
                     }});
    passi.push_back({QStringLiteral("annulla"), [this] {
                         if (QString e = Clic(QStringLiteral("Annulla")); !e.isEmpty())
                             return e;
                         return Atteso(mNav->State() != 6 &&
                                           mUi->txtTelefono->text() == mTelefonoSalvato,
                                       QStringLiteral("after Annulla the phone reads \"%1\"")
                                           .arg(mUi->txtTelefono->text()));
                     }});
    passi.push_back(
        {QStringLiteral("conflitto"), [this] {
             // Another user saves the same customer while it is being edited.
             if (QString e = Clic(QStringLiteral("Modifica")); !e.isEmpty())
                 return e;
             mUi->txtTelefono->setText(QStringLiteral("051 222 3333"));
             tessaro::Connection altro;
             altro.Open(mConnessione.ConnectionString());
             altro.Execute(QStringLiteral("UPDATE Clienti SET Telefono = '051 000 0000', "
                                          "Indirizzo = 'Via Zamboni 1' WHERE IdCliente = ") +
                           mUi->txtIdCliente->text());
             const std::size_t prima = mMessaggi.Boxes().size();
             if (QString e = Clic(QStringLiteral("Salva")); !e.isEmpty())
                 return e;
             // The box is answered "Yes": this user's phone over the other's,
             // whose new address stays.
             const bool chiesto =
                 mMessaggi.Boxes().size() == prima + 1 &&
                 mMessaggi.Boxes().back().style ==
                     tessaro::MsgStyle::YesNoCancel + tessaro::MsgStyle::Exclamation;
             return Atteso(chiesto && mNav->State() != 6 &&
                               mUi->txtTelefono->text() == QLatin1String("051 222 3333") &&
                               mUi->txtIndirizzo->text() == QLatin1String("Via Zamboni 1"),
                           QStringLiteral("no conflict box, or not both users' values kept "
                                          "(state %1, \"%2\", \"%3\")")
                               .arg(mNav->State())
                               .arg(mUi->txtTelefono->text(), mUi->txtIndirizzo->text()));
         }});
    if (!mUi->grpOrdini->isVisible())
        return passi;
    passi.push_back(
        {QStringLiteral("nuovo-ordine"), [this] {
             mFinestra.AttivaContenitore(mUi->grpOrdini);
             if (mNav->ContenitoreName() != QLatin1String("grpOrdini"))
                 return QStringLiteral("Ordini did not become the active source");
             if (QString e = Clic(QStringLiteral("Nuovo")); !e.isEmpty())
                 return e;
             // As the user's locale writes it, like every date the form shows.
             const QString oggi = tessaro::ValueToLocaleText(QDate::currentDate());
             if (mUi->txtDataOrdine->text() != oggi)
                 return QStringLiteral("the new order is dated \"%1\"")
                     .arg(mUi->txtDataOrdine->text());
             const qint64 attivi =
                 Conta(QStringLiteral("SELECT COUNT(*) FROM Agenti WHERE Attivo <> FALSE"));
             if (mUi->cmbAgente->count() != attivi)
                 return QStringLiteral("%1 agents offered, %2 active")
                     .arg(mUi->cmbAgente->count())
                     .arg(attivi);
             const int cliente = mUi->cmbCliente->findText(QStringLiteral("Tessaro - Giulia"));
             if (cliente < 0)
                 return QStringLiteral("the new customer is missing from the order's combo");
             mUi->cmbCliente->setCurrentIndex(cliente);
             mUi->cmbAgente->setCurrentIndex(0);
             mUi->txtImporto->setText(QStringLiteral("1250,50"));
             mUi->txtNote->setPlainText(QStringLiteral("Consegna entro venerdì"));
             return QString();
         }});
    passi.push_back(
        {QStringLiteral("ordine-salvato"), [this] {
             const qint64 prima = Conta(QStringLiteral("SELECT COUNT(*) FROM Ordini"));
             if (QString e = Clic(QStringLiteral("Salva")); !e.isEmpty())
                 return e;
             const qint64 agenti = Conta(QStringLiteral("SELECT COUNT(*) FROM Agenti"));
             const qint64 importi =
                 Conta(QStringLiteral("SELECT COUNT(*) FROM Ordini WHERE Importo = 1250.5"));
             return Atteso(Conta(QStringLiteral("SELECT COUNT(*) FROM Ordini")) == prima + 1 &&
                               importi >= 1 && mNav->State() != 5 &&
                               mUi->cmbCliente->currentText() ==
                                   QLatin1String("Tessaro - Giulia") &&
                               mUi->cmbAgente->count() == agenti,
                           QStringLiteral("the order was not saved and shown as typed "
                                          "(state %1, customer \"%2\", %3 agents)")
                               .arg(mNav->State())
                               .arg(mUi->cmbCliente->currentText())
                               .arg(mUi->cmbAgente->count()));
         }});
    passi.push_back(
        {QStringLiteral("filtro"), [this] {
             mUi->txtFiltro->setText(QStringLiteral("Tessaro"));
             mFinestra.ApplicaFiltro();
             Attendi();
             const qint64 attesi = Conta(
                 QStringLiteral("SELECT COUNT(*) FROM Ordini WHERE IdCliente IN "
                                "(SELECT IdCliente FROM Clienti WHERE Cognome LIKE 'Tessaro%')"));
             return Atteso(attesi >= 1 && Conteggio() == attesi &&
                               mNav->Condizione().contains(QLatin1String("LIKE 'Tessaro%'")),
                           QStringLiteral("the filter shows %1 orders, %2 expected")
                               .arg(Conteggio())
                               .arg(attesi));
         }});
    passi.push_back({QStringLiteral("english"), [this] {
                         mFinestra.AttivaContenitore(mUi->grpClienti);
                         mFinestra.CambiaLingua(QStringLiteral("English"));
                         Attendi();
                         return Atteso(
                             mUi->grpOrdini->title() == QLatin1String("Orders") &&
                                 mNav->Button(QStringLiteral("Successivo"))->toolTip() !=
                                     QLatin1String("Record Successivo"),
                             QStringLiteral("the window did not switch to English (\"%1\", \"%2\")")
                                 .arg(mUi->grpOrdini->title())
                                 .arg(mNav->Button(QStringLiteral("Successivo"))->toolTip()));
                     }});
    passi.push_back({QStringLiteral("scorciatoia"), [this] {
                         // What a mouse user sees on the way to the keyboard.
                         QAction* a = mNav->Button(QStringLiteral("Nuovo"));
                         QWidget* w = mNav->ToolbarMoveRecord()->widgetForAction(a);
                         QToolTip::showText(w->mapToGlobal(QPoint(w->width() / 2, w->height())),
                                            a->toolTip(), w);
                         return Atteso(
                             a->toolTip().endsWith(QLatin1String("(Ctrl+N)")) &&
                                 QToolTip::isVisible(),
                             QStringLiteral("the tooltip reads \"%1\"").arg(a->toolTip()));
                     }});
    passi.push_back({QStringLiteral("stampa"), [this] {
                         const QString pdf =
                             QDir(mCartella).filePath(QStringLiteral("stampa-clienti.pdf"));
                         QFile::remove(pdf);
                         tessaro::SetPrintOutputPath(pdf);
                         if (QString e = Clic(QStringLiteral("Stampa")); !e.isEmpty())
                             return e;
                         mFinestra.CambiaLingua(QStringLiteral("Italiano"));
                         return Atteso(QFileInfo(pdf).size() > 0,
                                       QStringLiteral("no PDF written at %1").arg(pdf));
                     }});
    passi.push_back({QStringLiteral("chiusura"), [this] {
                         // Closing while editing asks the control's question; the
                         // default answer saves, and the window closes.
                         if (QString e = Clic(QStringLiteral("Modifica")); !e.isEmpty())
                             return e;
                         const QString id = mUi->txtIdCliente->text();
                         mUi->txtTelefono->setText(QStringLiteral("051 777 0000"));
                         const std::size_t prima = mMessaggi.Boxes().size();
                         mFinestra.close();
                         return Atteso(
                             mMessaggi.Boxes().size() == prima + 1 && !mFinestra.isVisible() &&
                                 Conta(QStringLiteral("SELECT COUNT(*) FROM Clienti "
                                                      "WHERE Telefono = '051 777 0000' "
                                                      "AND IdCliente = ") +
                                       id) == 1,
                             QStringLiteral("closing while editing did not ask and save"));
                     }});
    return passi;
}

int Tour::Esegui() {
    tessaro::ScopedMessageBoxService servizio(&mMessaggi);
    QDir().mkpath(mCartella);
    mOut << "tour: screenshots in " << QDir(mCartella).absolutePath() << '\n';
    int falliti = 0;
    int numero = 0;
    std::vector<Passo> passi = Passi();
    for (const Passo& p : passi) {
        ++numero;
        mOut << "tour: step " << numero << " " << p.nome << '\n';
        mOut.flush();
        const std::size_t primaBox = mMessaggi.Boxes().size();
        QString esito = p.azione();
        Attendi();
        if (esito.isEmpty() && mMessaggi.Errori(primaBox) > 0)
            esito = QStringLiteral("an error box was shown");
        const QString schermata = Schermata(numero, p.nome);
        if (schermata.isEmpty() && esito.isEmpty())
            esito = QStringLiteral("the screenshot could not be written");
        if (esito.isEmpty()) {
            mOut << "    ok, " << QFileInfo(schermata).fileName() << '\n';
        } else {
            ++falliti;
            mOut << "    FAILED: " << esito << '\n';
        }
        mOut.flush();
    }
    mOut << "tour: " << (numero - falliti) << " passed, " << falliti << " failed\n";
    mOut.flush();
    return falliti;
}

} // namespace demo
