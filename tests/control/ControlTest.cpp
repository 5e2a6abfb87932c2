// The control itself: its toolbar, texts, properties, layout, the buttons it
// offers in each situation, the record-number box and the commands.

#include "ControlFixture.h"

namespace tessaro::test {
namespace {

using Controllo = ControlTest;

TEST_F(Controllo, AFreshControlHasItsButtonsShortcutsTextsAndSize) {
    const QStringList keys = {"Primo", "Precedente", "",        "Successivo", "Ultimo",
                              "",      "",           "",        "Nuovo",      "Modifica",
                              "Salva", "Elimina",    "Annulla", "Duplica",    "Stampa"};
    for (int i = 1; i <= 15; ++i) {
        EXPECT_EQ(ctl->Button(i)->objectName(), keys[i - 1]) << i;
        EXPECT_FALSE(ctl->Button(i)->isEnabled()) << "no source, nothing to press: " << i;
    }
    EXPECT_EQ(std::make_tuple(ctl->Button("Salva"), Posto(3)),
              std::make_tuple(ctl->Button(11), static_cast<QWidget*>(ctl->txtNumRec())));
    EXPECT_EQ(std::make_tuple(ctl->ToolbarMoveRecord()->isMovable(),
                              ctl->ToolbarMoveRecord()->isFloatable()),
              std::make_tuple(false, false));
    for (const auto& fuori : std::vector<std::function<void()>>{
             [&] { ctl->Button(16); }, [&] { ctl->Button(QString("primo")); }})
        EXPECT_EQ(RaisedBy(fuori).number, Err::SubscriptOutOfRange);
    EXPECT_EQ(std::make_tuple(ctl->TipoDatabase(), ctl->ScorrimentoDisabilitato()),
              std::make_tuple(0, short(0)));

    // Tooltips and screen readers name each button in the current language; a
    // host may change or clear a shortcut and the texts follow.
    const auto nome = [&](QWidget* w, QAccessible::Text t = QAccessible::Name) {
        return QAccessible::queryAccessibleInterface(w)->text(t);
    };
    EXPECT_EQ(std::make_tuple(ctl->Button("Salva")->toolTip(), nome(Posto(1))),
              std::make_tuple(QString("Salva (Ctrl+S)"), QString("Primo Record")));
    ctl->Scorciatoia("Salva", QKeySequence("F9"));
    EXPECT_EQ(ctl->Button("Salva")->toolTip(), "Salva (F9)");
    ctl->Scorciatoia("Salva", QKeySequence());
    EXPECT_EQ(
        std::make_tuple(ctl->Button("Salva")->toolTip(), nome(Posto(11), QAccessible::Description)),
        std::make_tuple(QString("Salva"), QString("Salva")));
    QTemporaryDir dir; // (the English texts are checked with the demo)
    EXPECT_EQ(RaisedBy([&] { ctl->CambiaLingua(dir.path()); }).number, Err::FileNotFound);
    ctl->CambiaLingua(SourceDir() + "/lang");
    QStringList nomi;
    for (int i : {1, 2, 4, 5, 9, 10, 11, 12, 13, 14, 15, 3})
        nomi << nome(Posto(i));
    nomi << nome(Posto(9), QAccessible::Description);
    EXPECT_EQ(std::make_tuple(nomi.mid(0, 2), nomi.value(11), nomi.value(12)),
              std::make_tuple(QStringList({"Primo record", "Record precedente"}),
                              QString("Numero del record"),
                              QString("Tasto di scelta rapida: Ctrl+N")));
    EXPECT_EQ(ctl->Button("Nuovo")->toolTip(), nomi[4] + " (Ctrl+N)");
    nomi.removeDuplicates();
    EXPECT_EQ(nomi.size(), 13);

    // The three spacers are one blank gap.
    form->show();
    ctl->resize(900, 80);
    ctl->ToolbarMoveRecord()->setStyleSheet("QToolButton { color: black; }");
    QCoreApplication::processEvents();
    EXPECT_EQ(ctl->size(), QSize(473, 27));
    EXPECT_EQ(ctl->txtNumRec()->mapTo(ctl, QPoint(0, 0)).x(), 49);
    EXPECT_LE(Posto(15)->geometry().right(), 472);
    const int gap = Posto(5)->geometry().right() + 1;
    EXPECT_EQ(Posto(9)->x() - gap, 18);
    const QImage barra = ctl->ToolbarMoveRecord()->grab().toImage();
    for (int y = 0; y < barra.height(); ++y)
        for (int x = gap; x < gap + 18; ++x)
            ASSERT_EQ(barra.pixel(x, y), barra.pixel(gap, y)) << "a line at " << x;
    // A bigger font makes the strip taller, never the box squeezed.
    QFont grande = ctl->font();
    grande.setPointSize(16);
    ctl->setFont(grande);
    EXPECT_GE(ctl->txtNumRec()->height(), ctl->txtNumRec()->sizeHint().height());
    EXPECT_GT(ctl->height(), std::max(27, ctl->txtNumRec()->height()));
    EXPECT_EQ(ctl->width(), 473);
    // A host without message boxes gets the Qt ones; one installed is left alone.
    {
        ScopedMessageBoxService none(nullptr);
        Tessaro14_ML altro;
        EXPECT_NE(dynamic_cast<QtMessageBoxService*>(CurrentMessageBoxService()), nullptr);
    }
    Tessaro14_ML terzo;
    EXPECT_EQ(CurrentMessageBoxService(), &boxes);
}

TEST_F(Controllo, WithoutASourceCommandsReportObjectNotSetAndPropertiesWait) {
    for (const auto& op : std::vector<std::function<void()>>{
             [&] { ctl->MessaggioConfermaNuovoDisabilitato(true); },
             [&] { ctl->MessaggioConfermaClonaDisabilitato(true); },
             [&] { ctl->MessaggioConfermaEliminaDisabilitato(true); },
             [&] { ctl->InitCharTag("#"); }, [&] { ctl->State(); }, [&] { ctl->Condizione(); },
             [&] { ctl->TipoDatabase(4); }, [&] { ctl->ScorrimentoDisabilitato(1); }})
        EXPECT_EQ(RaisedBy(op).number, Err::ObjectNotSet);
    ExpectOneBox([&] { ctl->Addnew(); }, Failure("Tessaro_Addnew ", Err::ObjectNotSet), 16, "TQ03");
    ExpectOneBox([&] { ctl->MoveTo("1"); }, Failure("Tessaro_MoveTo ", Err::ObjectNotSet), 16,
                 "TQ03");
    ctl->NuovoEnabled(true);
    ctl->TastiScorrimentoEnabled(true);
    ctl->ConsultazioneEnabled(true);
    ctl->Enabled(true);
    EXPECT_EQ(std::make_tuple(Accesi(), Box(), BoxLocked()),
              std::make_tuple(QStringList(), QString(), true));
    EXPECT_EQ(std::make_tuple(ctl->TipoDatabase(), ctl->ScorrimentoDisabilitato()),
              std::make_tuple(4, short(-1)));

    // The next source gets the stored values and the layout follows.
    Clienti(3);
    form->show();
    ASSERT_TRUE(ctl->AddFonteDati(conn.get(), "Clienti", form.get(), "IdCliente", {}, "", "#"));
    clsADONavigator* nav = ctl->FonteDati();
    EXPECT_EQ(std::make_tuple(nav->TipoDatabase, nav->ScorrimentoDisabilitato),
              std::make_tuple(4, short(-1)));
    EXPECT_EQ(ctl->size(), QSize(187, 27));
    for (int i = 1; i <= 15; ++i)
        EXPECT_EQ(ctl->Button(i)->isVisible(), i > 8) << i;
    EXPECT_EQ(
        std::make_tuple(ctl->txtNumRec()->isVisible(), nav->MessaggioConfermaNuovoDisabilitato),
        std::make_tuple(false, false))
        << "only what is set after registering reaches the source";
    ctl->ScorrimentoDisabilitato(0);
    EXPECT_EQ(ctl->size(), QSize(473, 27));
    EXPECT_EQ(std::make_tuple(ctl->Button(1)->isVisible(), ctl->txtNumRec()->isVisible()),
              std::make_tuple(true, true));
    ctl->MessaggioConfermaNuovoDisabilitato(true);
    ctl->MessaggioConfermaClonaDisabilitato(true);
    ctl->MessaggioConfermaEliminaDisabilitato(true);
    ctl->MessaggioConfermaClonaDisabilitato(false);
    EXPECT_EQ(std::make_tuple(nav->MessaggioConfermaNuovoDisabilitato,
                              nav->MessaggioConfermaClonaDisabilitato,
                              nav->MessaggioConfermaEliminaDisabilitato),
              std::make_tuple(true, false, true));
    ctl->InitCharTag("@");
    ctl->TipoDatabase(2);
    nav->mCondizione = "IdCliente > 1";
    EXPECT_EQ(std::make_tuple(nav->InitCharTagValue(), nav->TipoDatabase, ctl->Condizione()),
              std::make_tuple(QString("@"), 2, QString("IdCliente > 1")));
    // No record left: only a new one or a print; an edit or a delete shows nothing.
    ctl->InitCharTag("#");
    ctl->TipoDatabase(4);
    ctl->ImpostaCondizione("IdCliente > 9");
    EXPECT_EQ(std::make_tuple(Accesi(), Box()),
              std::make_tuple(QStringList({"Nuovo", "Stampa"}), QString("0")));
    ctl->Edit();
    ctl->Delete();
    EXPECT_EQ(ctl->State(), 1);
}

class Pulsanti : public ControlTest {
protected:
    void SetUp() override { // ten customers, standing on the third
        ControlTest::SetUp();
        Clienti(10);
        ASSERT_TRUE(RegistraClienti());
        EXPECT_EQ(Accesi(), QStringList({"Primo", "Precedente"}) + kNavigazione);
        ctl->MoveTo("3");
        EXPECT_EQ(Accesi(), kScorrimento + kNavigazione);
    }
    const QStringList kNavigazione = {"Nuovo", "Modifica", "Elimina", "Duplica", "Stampa"};
};

TEST_F(Pulsanti, TheFlagsNarrowWhatCanBePressedAndEnabledSwitchesTheWholeToolbar) {
    ctl->NuovoEnabled(false);
    ctl->ModificaEnabled(false);
    ctl->EliminaEnabled(false);
    ctl->DuplicaEnabled(false);
    EXPECT_EQ(Accesi(), kScorrimento + QStringList{"Stampa"});
    Click("Primo"); // still after a move
    EXPECT_EQ(Accesi(), QStringList({"Successivo", "Ultimo", "Stampa"}));
    ctl->TastiScorrimentoEnabled(false);
    EXPECT_EQ(std::make_tuple(Accesi(), BoxLocked()), std::make_tuple(QStringList{"Stampa"}, true));
    ctl->ConsultazioneEnabled(false);
    const QStringList spenti = Accesi();
    ctl->ConsultazioneEnabled(true); // scrolling stays forbidden
    EXPECT_EQ(std::make_tuple(spenti, Accesi(), BoxLocked()),
              std::make_tuple(QStringList(),
                              QStringList({"Modifica", "Elimina", "Duplica", "Stampa"}), true));
    ctl->TastiScorrimentoEnabled(true);
    ctl->NuovoEnabled(true);
    Click("Ultimo");
    EXPECT_EQ(std::make_tuple(Accesi(), BoxLocked()),
              std::make_tuple(QStringList({"Primo", "Precedente"}) + kNavigazione, false));
    ctl->Edit(); // a flag set meanwhile does not open a button the mode closes
    ctl->NuovoEnabled(true);
    EXPECT_EQ(
        std::make_tuple(Accesi(), Box(), BoxLocked()),
        std::make_tuple(QStringList({"Salva", "Annulla", "Stampa"}), QString("In modifica"), true));
    ctl->Annulla();

    ctl->Enabled(false);
    EXPECT_EQ(std::make_tuple(Box(), BoxLocked(), Accesi(), ctl->ToolbarMoveRecord()->isEnabled()),
              std::make_tuple(QString(), true, QStringList(), false));
    ctl->Enabled(true); // the cancel left it on the last record
    EXPECT_EQ(std::make_tuple(Accesi(), Box()),
              std::make_tuple(QStringList({"Primo", "Precedente"}) + kNavigazione,
                              QString("10 TQ30 10")));
    // With the connection closed the refresh leaves the buttons as they are.
    conn->Close();
    ctl->ToolbarMoveRecord()->setEnabled(false);
    ctl->AggiornaStatoPulsanti();
    EXPECT_EQ(std::make_tuple(ctl->ToolbarMoveRecord()->isEnabled(), Box()),
              std::make_tuple(true, QString("10 TQ30 10")));
}

TEST_F(Pulsanti, TheRecordBoxJumpsToATypedNumberAndSpeaksThePosition) {
    const std::pair<const char*, const char*> jumps[] = {
        {"2.5", "2 TQ30 10"}, {"3.5", "4 TQ30 10"},  {"6,5", "6 TQ30 10"},  {"7.5", "8 TQ30 10"},
        {" 9 ", "9 TQ30 10"}, {"1.49", "1 TQ30 10"}, {"1e12", "1 TQ30 10"}, {"10", "10 TQ30 10"}};
    for (const auto& [typed, box] : jumps) {
        Digita(QLatin1String(typed));
        EXPECT_EQ(Box(), box) << typed;
        EXPECT_EQ(txtNome->text(), "C" + Box().section(' ', 0, 0)) << typed;
        EXPECT_EQ(Annuncio(), "Record " + Box()) << typed; // the counter as shown
    }
    EXPECT_EQ(Accesi(), QStringList({"Primo", "Precedente"}) + kNavigazione);
    ctl->Edit();
    const QString modifica = Annuncio();
    ctl->Annulla();
    EXPECT_EQ(
        std::make_tuple(modifica, Annuncio()),
        std::make_tuple(QString("Modifica del record in corso"), QString("Record 10 TQ30 10")));
    // Enter on the counter as shown stays put; text that is no number warns
    // and puts the counter back.
    Digita(Box());
    for (const char* typed : {"abc", "1.000,5", "5 €", ""}) {
        ExpectOneBox([&] { Digita(QString::fromUtf8(typed)); }, "TQ07", 48, "TQ02");
        EXPECT_EQ(Box(), "10 TQ30 10") << typed;
    }
    // A click that brings the focus selects the whole counter, so typing
    // replaces it; Enter stays with the box, never pressing a dialog's default.
    Attiva();
    QTest::mouseClick(ctl->txtNumRec(), Qt::LeftButton, {},
                      QPoint(ctl->txtNumRec()->width() - 5, 5));
    QTest::keyClicks(ctl->txtNumRec(), "4");
    EXPECT_EQ(Box(), "4");
    QTest::keyClick(ctl->txtNumRec(), Qt::Key_Enter); // the keypad's Enter as well
    EXPECT_EQ(Box(), "4 TQ30 10");
    QDialog dialogo;
    auto* predefinito = new QPushButton("OK", &dialogo);
    predefinito->setDefault(true);
    bool premuto = false;
    QObject::connect(predefinito, &QPushButton::clicked, [&] { premuto = true; });
    ctl->setParent(&dialogo);
    dialogo.show();
    Digita("2");
    EXPECT_EQ(std::make_tuple(Box(), premuto), std::make_tuple(QString("2 TQ30 10"), false));
    QTest::keyClick(ctl->txtNumRec(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_FALSE(premuto) << "the keypad's Enter stays with the box too";
    ctl->setParent(form.get());
}

TEST_F(Pulsanti, ACountStillPendingIsMarkedOnTheCounterAndSpokenInWords) {
    ctl->CambiaLingua(SourceDir() + "/lang");
    file.Open()->Execute("INSERT INTO Clienti VALUES (11, 'C11')"); // another user's
    Click("Successivo");
    EXPECT_EQ(std::make_pair(ctl->txtNumRec()->text(), Annuncio()),
              std::make_pair(QString("? di ?*"), QString("Record ? di ? (conteggio in corso)")));
    ctl->FonteDati()->AttendiConteggio();
    QCoreApplication::processEvents(); // the count comes back through the event loop
    EXPECT_EQ(std::make_pair(ctl->txtNumRec()->text(), Annuncio()),
              std::make_pair(QString("4 di 11"), QString("Record 4 di 11")));
}

// The commands: each one from the toolbar, from the keyboard and through the
// public method behind it, with every event it raises.

class Comandi : public ControlTest {
protected:
    void SetUp() override { // ten customers, standing on the last
        ControlTest::SetUp();
        Clienti(10);
        ASSERT_TRUE(RegistraClienti());
    }
};

enum class Partenza { Secondo, Modifica, Nuovo, ModificaPrimo, ModificaUltimo, NuovoPrimo };
enum class Via { Pulsante, Tastiera, Metodo };

// A command, the key that gives it, where it starts, the answer to its
// question (0: it asks none), the events it raises, the state it leaves and
// the event the host vetoes.
struct Comando {
    const char* key;
    const char* tasti;
    Partenza partenza;
    int risposta;
    const char* eventi;
    short stato;
    const char* veto = nullptr;
};

TEST_F(Comandi, EachCommandRaisesItsEventsOnceWhateverStartsIt) {
    const Comando comandi[] = {
        {"Primo", "Ctrl+Home", Partenza::Secondo, 0, "OnCurrent AfterCurrent", 2},
        {"Precedente", "PgUp", Partenza::Secondo, 0, "OnCurrent AfterCurrent", 2},
        {"Successivo", "PgDown", Partenza::Secondo, 0, "OnCurrent AfterCurrent", 7},
        {"Ultimo", "Ctrl+End", Partenza::Secondo, 0, "OnCurrent AfterCurrent", 3},
        {"Nuovo", "Ctrl+N", Partenza::Secondo, MsgAnswer::Yes, "BeforeInsert Addnew", 5},
        {"Modifica", "F2", Partenza::Secondo, 0, "OnCurrent AfterCurrent BeforeUpdate", 6},
        {"Salva", "Ctrl+S", Partenza::Modifica, 0,
         "ValidateBeforeSave AfterUpdate OnCurrent AfterCurrent", 7},
        {"Salva", "Ctrl+S", Partenza::Nuovo, 0,
         "ValidateBeforeSave AfterInsert OnCurrent AfterCurrent", 3},
        {"Elimina", "Ctrl+Del", Partenza::Secondo, MsgAnswer::Yes,
         "Delete BeforeDelConfirm AfterDelConfirm OnCurrent AfterCurrent AfterDelete", 2},
        {"Annulla", "Esc", Partenza::Modifica, 0, "AfterAnnulla OnCurrent AfterCurrent", 7},
        {"Annulla", "Esc", Partenza::Nuovo, 0, "AfterAnnulla OnCurrent AfterCurrent", 7},
        {"Annulla", "Esc", Partenza::ModificaPrimo, 0, "AfterAnnulla OnCurrent AfterCurrent", 2},
        {"Annulla", "Esc", Partenza::ModificaUltimo, 0, "AfterAnnulla OnCurrent AfterCurrent", 3},
        {"Annulla", "Esc", Partenza::NuovoPrimo, 0, "AfterAnnulla OnCurrent AfterCurrent", 2},
        {"Duplica", "Ctrl+D", Partenza::Secondo, MsgAnswer::Yes,
         "BeforeInsert OnCurrent AfterCurrent Clone", 5},
        {"Stampa", "Ctrl+P", Partenza::Secondo, MsgAnswer::No, "ClickPrint", 7},
        // Vetoed by the host.
        {"Nuovo", "Ctrl+N", Partenza::Secondo, 0, "BeforeInsert", 7, "BeforeInsert"},
        {"Duplica", "Ctrl+D", Partenza::Secondo, 0, "BeforeInsert", 7, "BeforeInsert"},
        {"Salva", "Ctrl+S", Partenza::Modifica, 0, "ValidateBeforeSave", 6, "ValidateBeforeSave"},
        {"Stampa", "Ctrl+P", Partenza::Secondo, 0, "ClickPrint", 7, "ClickPrint"},
        // Out of their state: nothing happens, whatever starts them.
        {"Modifica", "F2", Partenza::Modifica, 0, "", 6},
        {"Nuovo", "Ctrl+N", Partenza::Modifica, 0, "", 6},
        {"Elimina", "Ctrl+Del", Partenza::Modifica, 0, "", 6},
        {"Salva", "Ctrl+S", Partenza::Secondo, 0, "", 7},
        {"Annulla", "Esc", Partenza::Secondo, 0, "", 7}};
    // The public methods behind the commands (calls, not member pointers: GCC's
    // vptr check of a call through one reads an uninitialised temporary).
    const std::map<QString, std::function<void()>> metodi = {{"Nuovo", [&] { ctl->Addnew(); }},
                                                             {"Modifica", [&] { ctl->Edit(); }},
                                                             {"Salva", [&] { ctl->Update(); }},
                                                             {"Elimina", [&] { ctl->Delete(); }},
                                                             {"Annulla", [&] { ctl->Annulla(); }}};
    for (const char* chiave : {"1", "10", "5"}) { // so does MoveTo, at either end
        ctl->MoveTo(chiave);
        EXPECT_EQ(Accesi(kScorrimento), Scorrimento()) << chiave;
    }
    QList<bool> barraDurante;
    QObject::connect(ctl->Events(), &Tessaro14_MLEvents::OnCurrent, ctl->Events(),
                     [&] { barraDurante << ctl->ToolbarMoveRecord()->isEnabled(); });
    Attiva();
    for (const Comando& c : comandi) {
        for (Via via : {Via::Pulsante, Via::Tastiera, Via::Metodo}) {
            if (via == Via::Metodo && !metodi.count(c.key))
                continue;
            SCOPED_TRACE(std::string(c.key) + " by way " + std::to_string(static_cast<int>(via)) +
                         " from " + std::to_string(static_cast<int>(c.partenza)));
            const bool nuovo = c.partenza == Partenza::Nuovo || c.partenza == Partenza::NuovoPrimo;
            Digita(c.partenza == Partenza::ModificaPrimo || c.partenza == Partenza::NuovoPrimo ? "1"
                   : c.partenza == Partenza::ModificaUltimo ? "10"
                                                            : "2");
            if (nuovo)
                boxes.Expect(MsgAnswer::Yes);
            if (c.partenza != Partenza::Secondo) {
                Click(nuovo ? "Nuovo" : "Modifica");
                txtNome->setText("Scritto" + QString::number(static_cast<int>(via)));
            }
            if (c.risposta)
                boxes.Expect(c.risposta);
            const auto box = boxes.Shown().size();
            EventRecorder eventi(*ctl);
            eventi.veto << (c.veto ? c.veto : "");
            barraDurante.clear();
            txtNome->setFocus();
            QWidget* pulsante = ctl->ToolbarMoveRecord()->widgetForAction(ctl->Button(c.key));
            const bool premuto = via == Via::Pulsante && pulsante->isEnabled();
            if (via == Via::Pulsante) { // as a keyboard user: Tab to it, Space
                pulsante->setFocus(Qt::TabFocusReason);
                QTest::keyClick(pulsante, Qt::Key_Space);
            } else if (via == Via::Tastiera)
                QTest::keySequence(txtNome, QKeySequence(c.tasti));
            else
                metodi.at(c.key)();
            EXPECT_EQ(eventi.names, QString(c.eventi).split(' ', Qt::SkipEmptyParts));
            EXPECT_EQ(ctl->State(), c.stato);
            EXPECT_EQ(std::make_tuple(boxes.Shown().size() - box, boxes.PendingAnswers()),
                      std::make_tuple(std::size_t(c.risposta ? 1 : 0), std::size_t(0)));
            EXPECT_EQ(std::make_tuple(barraDurante.count(via != Via::Metodo),
                                      ctl->ToolbarMoveRecord()->isEnabled()),
                      std::make_tuple(qsizetype(0), true))
                << "the toolbar is off during a command only";
            EXPECT_EQ(eventi.containers, QList<QWidget*>(c.stato == 5, form.get()));
            const QStringList accesi = Accesi(); // the buttons follow the command at once
            ctl->AggiornaStatoPulsanti();
            EXPECT_EQ(accesi, Accesi());
            const QStringList inModifica = {"Salva", "Annulla", "Stampa"};
            if (c.stato == 5 || c.stato == 6) {
                EXPECT_EQ(Accesi(), inModifica);
            } else {
                EXPECT_NE(Accesi(), inModifica);
            }
            // A command from a field leaves the focus there; one from a button
            // on it, or on the first field once the button is disabled.
            EXPECT_EQ(QApplication::focusWidget(), !premuto                ? txtNome
                                                   : pulsante->isEnabled() ? pulsante
                                                                           : txtIdCliente);
            if (c.stato != 5 && c.stato != 6) { // the scrolling buttons tell where it stands
                EXPECT_EQ(Accesi(kScorrimento), Scorrimento());
            }
            ctl->Annulla();
        }
    }
    // Three new records saved; the second record edited three times, then it
    // and the two that took its place deleted.
    EXPECT_EQ(RowsAsText(conn.get(), "SELECT IdCliente FROM Clienti WHERE Nome LIKE 'Scritto%'"),
              QStringList({"11", "12", "13"}));
    EXPECT_EQ(RowsAsText(conn.get(), "SELECT COUNT(*) FROM Clienti"), QStringList{"10"});
}

// The boxes of the commands speak the control's language, their buttons too:
// from the language file, or else Qt's own translation.
TEST_F(Comandi, EveryBoxSpeaksTheControlsLanguageButtonsIncluded) {
    QTemporaryDir dir;
    for (const char* lng : {"Italiano.lng", "English.lng"})
        QFile::copy(SourceDir() + "/lang/" + lng, dir.filePath(lng));
    QFile inglese(dir.filePath("English.lng")), senza(dir.filePath("Senza.lng"));
    ASSERT_TRUE(inglese.open(QIODevice::ReadOnly));
    ASSERT_TRUE(senza.open(QIODevice::WriteOnly));
    for (const QByteArray& riga : inglese.readAll().split('\n'))
        if (!QRegularExpression("^TQ(6[7-9]|70)=").match(QString::fromUtf8(riga)).hasMatch())
            senza.write(riga + '\n');
    senza.close();
    QTranslator qtItaliano; // what a host loads for Qt's own texts
    ASSERT_TRUE(qtItaliano.load("qtbase_it", QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    QCoreApplication::installTranslator(&qtItaliano);
    // The language, the title of the question to add a record, and the
    // buttons of the boxes of Nuovo, Elimina, a number that is none, and
    // removing a source during an edit.
    const std::tuple<const char*, const char*, QStringList> lingue[] = {
        {"Italiano", "Nuovo record", {"&Sì/&No", "&Sì/&No", "OK", "&Sì/&No/&Annulla"}},
        {"English", "New record", {"&Yes/&No", "&Yes/&No", "OK", "&Yes/&No/&Cancel"}},
        {"Senza", "New record", {"&Sì/&No", "&Sì/&No", "OK", "&Sì/&No/Annulla"}}};
    ScopedMessageBoxService nessuno(nullptr);
    const Tessaro14_ML proprio; // installs the control's own boxes
    QStringList titoli, pulsanti;
    QTimer risponde;
    QObject::connect(&risponde, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        QStringList testi;
        for (auto b : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel, QMessageBox::Ok})
            if (QAbstractButton* p = box->button(b))
                testi << p->text();
        titoli << box->windowTitle();
        pulsanti << testi.join('/');
        QTest::keyClick(box, Qt::Key_Escape); // No, Cancel or OK: nothing changes
    });
    risponde.start(5);
    Attiva();
    for (const auto& [lingua, titolo, attesi] : lingue) {
        QSettings(dir.filePath("LangSetting.ini"), QSettings::IniFormat)
            .setValue("Language/CurrentLanguage", lingua);
        ctl->CambiaLingua(dir.path());
        titoli.clear();
        pulsanti.clear();
        Click("Nuovo");
        Click("Elimina");
        Digita("abc");
        ctl->Edit();
        EXPECT_FALSE(ctl->RemoveFonteDati("frmClienti"));
        ctl->Annulla();
        EXPECT_EQ(pulsanti, attesi) << lingua;
        EXPECT_EQ(titoli.value(0), titolo) << lingua;
    }
    QCoreApplication::removeTranslator(&qtItaliano);
}

TEST_F(Comandi, AVetoSkipsTheRefreshAndADuplicateStartsFromTheCurrentRecord) {
    EventRecorder eventi(*ctl);
    eventi.veto << "BeforeInsert"
                << "ValidateBeforeSave"
                << "ClickPrint";
    ctl->Button("Modifica")->setEnabled(false); // out of step: a refresh would turn it on
    Click("Nuovo"); // the navigator would ask TQ08 first: an unexpected box fails the test
    Click("Stampa");
    EXPECT_FALSE(ctl->Button("Modifica")->isEnabled());
    ctl->Edit();
    ctl->Button("Annulla")->setEnabled(false);
    Click("Salva");
    EXPECT_FALSE(ctl->Button("Annulla")->isEnabled());
    ctl->Annulla();
    ctl->ImpostaCondizione("IdCliente >= 8");
    const QString condizione = ctl->Condizione(), filtrato = Box();
    ctl->MoveTo("8");
    // A multi-line box keeps its paging keys, read-only or not.
    Attiva();
    auto* memo = new QPlainTextEdit(form.get());
    memo->show();
    memo->setFocus();
    QTest::keyClick(memo, Qt::Key_PageDown);
    QTest::keyClick(memo, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(std::make_tuple(condizione, filtrato, Box()),
              std::make_tuple(QString("IdCliente >= 8"), QString("3 TQ30 3"), QString("1 TQ30 3")));
    eventi.veto.clear();
    boxes.Expect(MsgAnswer::Yes);
    Click("Duplica");
    EXPECT_EQ(txtNome->text(), "C8");
}

} // namespace
} // namespace tessaro::test
