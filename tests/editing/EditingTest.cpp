// New, duplicate, edit, cancel, save and delete on a real form, on both
// engines; the statements they write; random typing.

#include "editing/Salvataggio.h"
#include "language/modLanguageSupport.h"
#include "support/FormFixtures.h"

#include <iostream>
#include <random>

namespace tessaro::test {
namespace {

using Modifica = SuEntrambi<>;

TEST_P(Modifica, ARecordCreatedDuplicatedEditedAndRenumbered) {
    Clienti();
    ASSERT_TRUE(Init());
    boxes.Expect(MsgAnswer::Yes);
    nav.Addnew(); // the key is left to the database
    EXPECT_EQ(Items(cboComune), QStringList({"Milano", "Torino"})) << "active towns only";
    txtCognome->setText("Lunghissimo");
    log.Clear();
    ExpectOneBox([&] { nav.Update(); }, "TQ16 #Cognome\rTQ17 10 TQ18", 48, "TQ02");
    EXPECT_EQ(std::make_tuple(Keys().size(), nav.State()), std::make_tuple(3, 5))
        << "nothing written, still new";
    EXPECT_TRUE(log.Steps().isEmpty());
    EXPECT_EQ(std::make_tuple(txtCognome->text(), txtCognome->isReadOnly()),
              Expected("Lunghissimo", false))
        << "the typed text stays, open for a correction";
    txtCognome->setText("Neri");
    txtNote->setPlainText("prima riga\nseconda 'riga' \\ fine");
    txtEta->setText(" 33 ");
    txtSaldo->setText("12,75");
    txtNascita->setText("1991-07-04");
    chkAttivo->setChecked(true);
    cboComune->setCurrentIndex(cboComune->findText("Milano"));
    nav.Update();
    EXPECT_EQ(Riga("31"), "Neri|prima riga\nseconda 'riga' \\ fine|33|12.75|1991-07-04|1|2|nuovo");
    EXPECT_EQ(banco->Cell("SELECT Attivo FROM Clienti WHERE IdCliente = 31"), "1") << "TRUE is 1";
    EXPECT_EQ(std::make_tuple(Id(), txtProvincia->text(), nav.State()), Expected("31", "MI", 3));
    EXPECT_EQ(Items(cboComune).size(), 3) << "every town again while browsing";

    // A duplicate is numbered by the database: its key box starts empty and read-only.
    boxes.Expect(MsgAnswer::Yes);
    nav.Clone();
    EXPECT_EQ(txtId->text(), "");
    EXPECT_TRUE(txtId->isReadOnly());
    nav.Update();
    EXPECT_EQ(Riga(Id()), Riga("31"));
    log.Clear();
    nav.Edit();
    txtCognome->setText("Neroni");
    txtNote->setPlainText("");
    txtSaldo->setText("-0,5");
    txtNascita->setText("2024-12-31");
    chkAttivo->setTristate(true);
    chkAttivo->setCheckState(Qt::PartiallyChecked); // grayed counts as true
    cboComune->setEditText("  Torino ");            // typed to match an item
    nav.Update();
    EXPECT_EQ(log.Steps(), QStringList({"BeforeUpdate", "AfterUpdate"}));
    EXPECT_EQ(Riga("32"), "Neroni|<null>|33|-0.5|2024-12-31|1|1|nuovo");
    EXPECT_EQ(cboComune->currentText(), "Torino");

    // Nor is it rewritten while editing, whatever its box says.
    EditRecord("32");
    EXPECT_TRUE(txtId->isReadOnly());
    cboComune->setEditText("");
    chkAttivo->setCheckState(Qt::Unchecked);
    txtId->setText("10");
    nav.Update();
    EXPECT_EQ(Riga("10").section('|', 0, 0), "Rossi");
    EXPECT_EQ(Riga("32"), "Neroni|<null>|33|-0.5|2024-12-31|0|<null>|nuovo");
}

TEST_P(Modifica, ModesAskSwitchAndRaiseTheirEvents) {
    Clienti();
    ASSERT_TRUE(Init());
    ExpectOneBox([&] { nav.Addnew(); }, "TQ08", 36, "TQ09", MsgAnswer::No);
    ExpectOneBox([&] { nav.Clone(); }, "TQ10", 36, "TQ11", MsgAnswer::No);
    EXPECT_EQ(std::make_tuple(log.names, txtCognome->isReadOnly()),
              std::make_tuple(QStringList(), true));

    boxes.Expect(MsgAnswer::Yes);
    log.onAddnew = [this] { nav.SetState(StatoNavigatore::PrimoRecord); };
    nav.Addnew();
    EXPECT_EQ(log.names, QStringList{"Addnew"});
    EXPECT_EQ(std::make_tuple(log.StateAt("Addnew"), nav.State()), std::make_tuple(5, 5))
        << "the mode holds whatever the handler did";
    EXPECT_EQ(std::make_tuple(txtId->text(), txtCognome->text(), txtNote->toPlainText()),
              Expected("", "", ""));
    EXPECT_EQ(
        std::make_tuple(txtCognome->isReadOnly(), chkAttivo->isChecked(), chkAttivo->isEnabled()),
        std::make_tuple(false, false, true));
    txtCognome->setText("Mai salvato");
    nav.Annulla(); // a new record given up shows the record current before it
    EXPECT_EQ(std::make_tuple(txtCognome->text(), nav.State()), Expected("Verdi", 3))
        << "back on the last record";

    log.Clear();
    nav.Edit(); // asks nothing; its event comes before the mode
    EXPECT_EQ(std::make_tuple(log.StateAt("BeforeUpdate"), nav.State()), std::make_tuple(3, 6));
    EXPECT_EQ(Items(cboComune).size(), 3);
    chkAttivo->setChecked(false);
    nav.Annulla();
    EXPECT_EQ(std::make_tuple(chkAttivo->isChecked(), chkAttivo->isEnabled()),
              std::make_tuple(true, false));
}

TEST_P(Modifica, DeletingMovesToTheRecordBeforeOrEmptiesTheForm) {
    Clienti({"INSERT INTO Clienti VALUES (40, 'Gialli', NULL, 1, 1, NULL, FALSE, 2, 'C40')"});
    ASSERT_TRUE(Init());
    ExpectOneBox([&] { nav.Delete(); }, "TQ12", 36, "TQ13", MsgAnswer::No);
    log.annullaEliminazione = true;
    boxes.Expect(MsgAnswer::Yes);
    nav.Delete();
    nav.DeleteEnabled = false;
    nav.Delete();
    EXPECT_EQ(log.names, QStringList({"Delete", "Delete", "BeforeDelConfirm", "Delete"}));
    EXPECT_EQ(Keys().size(), 4);
    nav.DeleteEnabled = true;
    log.annullaEliminazione = false;
    nav.MessaggioConfermaEliminaDisabilitato = true;
    // A middle record gives way to the one before it, the first to the new
    // first, the last to the one before it: the key, state and position shown.
    const std::tuple<const char*, const char*, int, int> deletes[] = {
        {"30", "20", 7, 2}, {"10", "20", 2, 1}, {"40", "20", 2, 1}};
    for (const auto& [key, id, state, position] : deletes) {
        nav.MoveTo(QLatin1String(key));
        nav.Delete();
        EXPECT_FALSE(Keys().contains(QLatin1String(key)));
        EXPECT_EQ(std::make_tuple(Id(), nav.State(), Position()), Expected(id, state, position))
            << key;
    }
    nav.Delete(); // the only record
    EXPECT_TRUE(Keys().isEmpty());
    EXPECT_EQ(std::make_tuple(Id(), txtCognome->text(), cboComune->currentText(), nav.State()),
              Expected("", "", "", 1));
    // A new record given up there shows nothing of the records deleted.
    nav.MessaggioConfermaNuovoDisabilitato = true;
    nav.Addnew();
    txtCognome->setText("Abbandonato");
    nav.Annulla();
    EXPECT_EQ(std::make_tuple(Id(), txtCognome->text(), nav.State()), Expected("", "", 1));
    EXPECT_TRUE(txtCognome->isReadOnly());
    nav.Addnew(); // the first record of an empty table
    txtCognome->setText("Primo");
    nav.Update();
    EXPECT_EQ(std::make_tuple(Id(), txtCognome->text(), nav.State()),
              Expected(Keys().value(0), "Primo", 3));
}

TEST_P(Modifica, ASaveWritesOnlyWhatTheUserChanged) {
    const bool sqlite = Engine() == Motore::Sqlite;
    // What other programs stored: an empty text in a NOT NULL column, CRLF, a
    // year before 1000, a tick stored as 1 and, on SQLite, a number column
    // holding text.
    Clienti({QString("UPDATE Clienti SET Cognome = '', Note = 'a\r\nb', Nascita = '0024-05-05', "
                     "Attivo = TRUE") +
             (sqlite ? ", Eta = 'abc'" : "") + " WHERE IdCliente = 20"});
    ASSERT_TRUE(Init());
    const QString riga = "SELECT * FROM Clienti WHERE IdCliente = 20";
    QStringList attesa = banco->Rows(riga).front().split('|');
    EditRecord("20");
    txtSaldo->setText("7");
    nav.Update();
    EXPECT_EQ(log.Steps(), QStringList{"AfterUpdate"});
    attesa[4] = "7";
    EXPECT_EQ(banco->Rows(riga).front(), attesa.join('|'));
    // Nothing changed: nothing is written and editing ends.
    nav.Edit();
    log.Clear();
    nav.Update();
    EXPECT_EQ(std::make_tuple(log.Steps(), nav.State(), txtCognome->isReadOnly()),
              std::make_tuple(QStringList(), 7, true));
    EXPECT_EQ(banco->Rows(riga).front(), attesa.join('|'));
    // Another user renames a column and drops one: they are named, the rest is saved.
    EditRecord("20");
    banco->Exec({"ALTER TABLE Clienti RENAME COLUMN Eta TO Anni", "ALTER TABLE Clienti DROP Note"});
    txtCognome->setText("Nuovo");
    CambiaLinguaModulo(SourceDir() + "/lang");
    boxes.Expect();
    nav.Update();
    ResetLanguageModule();
    EXPECT_EQ(
        boxes.Shown().back().text,
        QString("La colonna %1, %2 della tabella Clienti non esiste più nel database: un altro "
                "utente ha cambiato la tabella.\rNon è stato salvato nulla. Salvare di nuovo "
                "per salvare gli altri valori.")
            .arg(banco->Memorizzato("Note"), banco->Memorizzato("Eta")));
    EXPECT_TRUE(txtEta->isReadOnly());
    nav.Update();
    EXPECT_EQ(banco->Cell("SELECT Cognome FROM Clienti WHERE IdCliente = 20"), "Nuovo");
}

TEST_P(Modifica, NewRecordsOutsideTheConditionAndTheRowToDelete) {
    Clienti();
    ASSERT_TRUE(Init("Clienti", "IdCliente", nullptr, {}, "Eta > 45")); // 20 and 30
    nav.MessaggioConfermaNuovoDisabilitato = true;
    nav.Addnew();
    txtCognome->setText("Giovane");
    txtEta->setText("20");
    ExpectOneBox([&] { nav.Update(); }, "TQ51", 48, "TQ02");
    EXPECT_EQ(Riga("31").section('|', 0, 0), "Giovane");
    EXPECT_EQ(std::make_tuple(Id(), txtCognome->text(), nav.State(), Count()),
              Expected("30", "Verdi", 3, 2));
    EXPECT_TRUE(txtCognome->isReadOnly());
    // The row deleted is the one loaded, whatever the host wrote in the key box.
    nav.MoveTo("20");
    txtId->setText("30");
    nav.MessaggioConfermaEliminaDisabilitato = true;
    nav.Delete();
    EXPECT_EQ(Keys(), QStringList({"10", "30", "31"}));
}

TEST_P(Modifica, EveryKindOfColumnIsSavedAsTyped) {
    Schema(
        {"CREATE TABLE Reparti (Nome VARCHAR(20), Cod VARCHAR(5) PRIMARY KEY)",
         "INSERT INTO Reparti VALUES ('Vendite', 'V'), ('Acquisti', 'A'), ('Acquisti', 'A2')",
         "CREATE TABLE Tassi (Valore DOUBLE PRIMARY KEY, Nome VARCHAR(10))",
         "INSERT INTO Tassi VALUES (0.22, 'pieno'), (0.1, 'ridotto')",
         "CREATE TABLE Impiegati (Id INTEGER PRIMARY KEY, Cognome VARCHAR(10), CodRep VARCHAR(5), "
         "Tasso DOUBLE, Ora TIME(3), Momento DATETIME(3), "
         "FOREIGN KEY (CodRep) REFERENCES Reparti (Cod), "
         "FOREIGN KEY (Tasso) REFERENCES Tassi (Valore))",
         "INSERT INTO Impiegati VALUES (1, 'Rossi', 'A2', 0.1, '09:07:03.000', "
         "'2024-03-05 09:07:03.250')"});
    txtId = AddText("txtId", "#Id");
    auto* cognome = AddText("txtCognome", "#cognome"); // the column's name in another case
    auto* ora = AddText("txtOra", "#Ora");
    auto* momento = AddText("txtMomento", "#Momento");
    auto* reparto = AddCombo("cboReparto", Tag({"CodRep", "", "Nome"}));
    reparto->setProperty("DataField", "1 = 1");
    auto* tasso = AddCombo("cboTasso", Tag({"Tasso", "", "Nome"}));
    ASSERT_TRUE(Init("Impiegati", "Id"));
    // PostgreSQL writes a time without the zeros of its fraction.
    EXPECT_EQ(std::make_tuple(cognome->text(), reparto->currentText(), tasso->currentText(),
                              ora->text(), momento->text()),
              Expected("Rossi", "Acquisti", "ridotto",
                       Engine() == Motore::Postgres ? "09:07:03" : "09:07:03.000",
                       "2024-03-05 09:07:03.250"));
    // A duplicate keeps the record's lookup key, not the first row of that text.
    boxes.Expect(MsgAnswer::Yes);
    nav.Clone();
    txtId->setText("2");
    nav.Update();
    const QString riga = "SELECT Cognome, CodRep, Tasso, Ora, Momento FROM Impiegati WHERE Id = ";
    EXPECT_EQ(banco->Rows(riga + "2").value(0).section('|', 0, 2), "Rossi|A2|0.1");
    EditRecord("1");
    cognome->setText("Bianchi");
    reparto->setCurrentIndex(reparto->findText("Vendite"));
    tasso->setCurrentIndex(tasso->findText("pieno"));
    ora->setText("18:30:15.5");
    momento->setText("2024-03-05 10:00:00.125");
    nav.Update();
    EXPECT_EQ(banco->Rows(riga + "1"),
              QStringList{"Bianchi|V|0.22|18:30:15.500|2024-03-05 10:00:00.125"});
}

// What a text box shows in the user's locale reads back to the stored value:
// an untouched edit writes nothing, and a duplicate saved from the shown texts
// stores every column as the original holds it.
TEST_P(Modifica, ShownInTheUsersLocaleAndReadBackExactly) {
    Schema({"CREATE TABLE V (Id INTEGER PRIMARY KEY, Piccolo SMALLINT, Grande BIGINT, "
            "Reale DOUBLE, Importo DECIMAL(20,6), Testo VARCHAR(20), Giorno DATE, "
            "Momento DATETIME(3), Ora TIME(3), Vero BOOLEAN)",
            "INSERT INTO V VALUES (1, -32000, -9007199254740993, 0.30000000000000004, "
            "-12345678901234.123456, '1,5 e 2.5', '1925-01-06', '1999-12-31 23:59:58.125', "
            "'07:08:09.250', TRUE), (3, 7, 8, 1.5e-7, 0.5, 'x', '2031-11-30', "
            "'2031-11-30 00:00:01', '23:00:00', FALSE)"});
    const QStringList colonne = {"Piccolo", "Grande",  "Reale", "Importo", "Testo",
                                 "Giorno",  "Momento", "Ora",   "Vero"};
    txtId = AddText("txtId", "#Id");
    for (const QString& c : colonne)
        AddText("txt" + c, "#" + c);
    // The decimal as the database writes it, not through a double (PostgreSQL's
    // is read so; its CHAR is one character).
    const QString riga = "SELECT " +
                         colonne.join(", ").replace("Importo", Engine() == Motore::Postgres
                                                                   ? "Importo"
                                                                   : "CAST(Importo AS CHAR)") +
                         " FROM V WHERE Id = ";
    const auto mostrato = [&](const char* c) {
        return form->findChild<QLineEdit*>(QString("txt") + c)->text();
    };
    struct Caso {
        QLocale locale;
        const char* importo; // Importo of record 1 as shown
        const char* giorno;  // Giorno of record 1 as shown
    };
    // SQLite keeps a decimal of 20 digits as a double.
    const bool doppio = banco->Engine() == Motore::Sqlite;
    const Caso casi[] = {{QLocale(QLocale::Italian, QLocale::Italy),
                          doppio ? "-12345678901234,123" : "-12345678901234,123456", "06/01/1925"},
                         {QLocale(QLocale::English, QLocale::UnitedStates),
                          doppio ? "-12345678901234.123" : "-12345678901234.123456", "1/6/1925"},
                         {QLocale(QLocale::French, QLocale::France),
                          doppio ? "-12345678901234,123" : "-12345678901234,123456", "06/01/1925"}};
    int nuovo = 10;
    for (const Caso& caso : casi) {
        LocaleScope scope(caso.locale);
        SCOPED_TRACE(caso.locale.name().toStdString());
        ASSERT_TRUE(Init("V", "Id"));
        for (const char* id : {"1", "3"}) {
            EditRecord(id);
            if (QString(id) == "1") {
                EXPECT_EQ(mostrato("Importo"), caso.importo);
                EXPECT_EQ(mostrato("Giorno"), caso.giorno);
            }
            const QStringList prima = banco->Rows(riga + id);
            log.Clear();
            nav.Update(); // untouched: nothing written
            EXPECT_EQ(log.Steps(), QStringList());
            boxes.Expect(MsgAnswer::Yes);
            nav.Clone();
            // A key SQLite numbers itself stays locked; elsewhere a new one is typed.
            if (!txtId->isReadOnly())
                txtId->setText(QString::number(++nuovo));
            nav.Update();
            EXPECT_NE(Id(), QString(id));
            EXPECT_EQ(banco->Rows(riga + Id()), prima) << id;
            EXPECT_EQ(banco->Rows(riga + id), prima) << id;
        }
    }
}

// A edits customer 20 while B, on another connection, changes or deletes it.
TEST_P(Modifica, AnotherUsersWorkIsNeverOverwrittenNorTheTypingLostWithoutAChoice) {
    Clienti();
    ASSERT_TRUE(Init());
    const auto b = banco->Open();
    const auto cognomeNote = [&] { return Riga(Id()).section('|', 0, 1); };
    EditRecord("20"); // nobody else: saved with no box
    txtEta->setText("51");
    nav.Update();
    EXPECT_EQ(log.Steps(), QStringList{"AfterUpdate"});
    const QString conflitto = "TQ52\rTQ53", eliminato = "TQ55\rTQ56";
    struct Caso {
        const char* altro;  // what B does meanwhile
        int risposta;       // the answer, from the box or from the handler
        bool gestore;       // the WriteConflict handler answers
        const char* riga;   // Cognome|Note of 20 afterwards
        int stato;          // A's state afterwards, its Cognome box showing "Mio" or "Suo"
        const char* eventi; // A's events at the save
    };
    const Caso casi[] = {
        // Back to editing: nothing written, the typing stays.
        {"UPDATE Clienti SET Note = 'sua' WHERE IdCliente = 20", MsgAnswer::Cancel, false,
         "Bianchi|sua", 6, "WriteConflict"},
        // Theirs: the record as B left it, nothing of A's written.
        {"UPDATE Clienti SET Cognome = 'Suo' WHERE IdCliente = 20", MsgAnswer::No, false, "Suo|sua",
         7, "WriteConflict"},
        // Mine over theirs: only what A changed; B's note stays.
        {"UPDATE Clienti SET Cognome = 'Suo2', Note = 'sua2' WHERE IdCliente = 20", MsgAnswer::Yes,
         true, "Mio|sua2", 7, "WriteConflict,AfterUpdate"},
        // Deleted: back to editing, then saved as a new record.
        {"DELETE FROM Clienti WHERE IdCliente = 20", MsgAnswer::No, false, "", 6,
         "WriteConflict(deleted)"},
        {"", MsgAnswer::Yes, false, "Mio|sua2", 3, "WriteConflict(deleted),AfterInsert"}};
    int transazioneDelGestore = -1; // the host's own, begun while the user chooses
    log.onConflitto = [&] {
        transazioneDelGestore = RaisedBy([&] {
                                    conn->BeginTrans();
                                    conn->RollbackTrans();
                                }).number;
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.altro);
        if (nav.State() != 6)
            EditRecord("20");
        txtCognome->setText("Mio");
        if (*c.altro)
            b->Execute(c.altro);
        log.Clear();
        log.rispostaConflitto = c.gestore ? c.risposta : 0;
        const bool gone = QString(c.eventi).contains("deleted");
        if (c.gestore)
            nav.Update();
        else
            ExpectOneBox([&] { nav.Update(); }, gone ? eliminato : conflitto, gone ? 52 : 51,
                         "TQ54", c.risposta);
        EXPECT_EQ(log.Steps().join(','), c.eventi);
        EXPECT_EQ(Riga(Id()) == "<no row>" ? "" : cognomeNote(), c.riga);
        EXPECT_EQ(nav.State(), c.stato);
        EXPECT_EQ(txtCognome->text(), c.risposta == MsgAnswer::No && c.stato == 7 ? "Suo" : "Mio");
        EXPECT_EQ(txtCognome->isReadOnly(), c.stato != 6);
        EXPECT_EQ(transazioneDelGestore, 0) << "nothing is held while the user chooses";
    }

    // Elimina: a record changed meanwhile is asked about again; one gone is said so.
    nav.MessaggioConfermaEliminaDisabilitato = true;
    nav.MoveTo("30");
    b->Execute("UPDATE Clienti SET Cognome = 'Viola' WHERE IdCliente = 30");
    ExpectOneBox([&] { nav.Delete(); }, "TQ52\rTQ57", 52, "TQ54", MsgAnswer::No);
    EXPECT_EQ(std::make_tuple(Id(), txtCognome->text()), Expected("30", "Viola"));
    b->Execute("UPDATE Clienti SET Cognome = 'Verdi' WHERE IdCliente = 30");
    ExpectOneBox([&] { nav.Delete(); }, "TQ52\rTQ57", 52, "TQ54", MsgAnswer::Yes);
    EXPECT_EQ(Keys(), QStringList({"10", "31"}));
    nav.MoveTo("10");
    b->Execute("DELETE FROM Clienti WHERE IdCliente = 10");
    ExpectOneBox([&] { nav.Delete(); }, "TQ55", 48, "TQ02");
    EXPECT_EQ(std::make_tuple(Id(), Count()), Expected("31", 1));
    b->Execute("DELETE FROM Clienti WHERE IdCliente = 31");
    ExpectOneBox([&] { nav.Edit(); }, "TQ55", 48, "TQ02"); // nor is one edited
}

QStringList sAvvisi;

// A save writes, so the form opens: the columns of the table under any tag that
// names them, and a typed key while the record is new (or always, where the
// host allows it). Linked boxes, a column's second box and tags that name no
// column stay read-only. What the database refuses is told in the user's words.
TEST_P(Modifica, BoxesOpenWhereTheSaveWritesAndRefusalsAreToldInWords) {
    Clienti({"CREATE TABLE Codici (Codice INT PRIMARY KEY, Nome VARCHAR(10), "
             "IdComune INT REFERENCES Comuni (IdComune))",
             "INSERT INTO Codici VALUES (1, 'uno', 1), (2, 'due', 2)",
             "CREATE TABLE Usi (Id INT PRIMARY KEY, Codice INT REFERENCES Codici (Codice))",
             "INSERT INTO Usi VALUES (1, 2)"});
    if (Engine() != Motore::Postgres) // where references are checked only when asked
        conn->Execute(Engine() == Motore::Sqlite ? "PRAGMA foreign_keys=1"
                                                 : "SET foreign_key_checks=1");
    TaggedForm f("frmCodici");
    const QString tag[] = {
        "#Codice",      "#Codici.Nome", "#IdComune", "#Nome", Tag({"IdComune", "Provincia"}),
        "#Comuni.Nome", "#Nessuna"};
    QLineEdit* t[7];
    for (int i = 0; i < 7; ++i)
        t[i] = f.AddText("txt" + QString::number(i), tag[i]);
    const auto aperte = [&] { // the names of the open ones
        QStringList r;
        for (QLineEdit* c : t)
            if (!c->isReadOnly())
                r << c->objectName();
        return r;
    };
    sAvvisi.clear();
    const auto prima = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& m) { sAvvisi << m; });
    ASSERT_TRUE(Init("Codici", "Codice", FormOf(f.form.get())));
    qInstallMessageHandler(prima);
    nav.MessaggioConfermaNuovoDisabilitato = true;
    EXPECT_EQ(sAvvisi.filter(QRegularExpression("txt5|txt6")).size(), 2); // no such column
    nav.Edit();
    EXPECT_EQ(aperte(), QStringList({"txt1", "txt2"}));
    t[1]->setText("DUE");
    nav.Update();
    EXPECT_EQ(banco->Cell("SELECT Nome FROM Codici WHERE Codice = 2"), "DUE");
    nav.Addnew();
    EXPECT_EQ(aperte(), QStringList({"txt0", "txt1", "txt2"}));
    t[2]->setText("9");
    ExpectOneBox([&] { nav.Update(); }, "TQ49 #Codice", 48, "TQ02"); // a key to give
    for (const char* codice : {"1", "3"}) { // taken; free, but town 9 is not there
        t[0]->setText(codice);
        ExpectOneBox([&] { nav.Update(); }, *codice == '1' ? "TQ72" : "TQ74", 48, "TQ02");
    }
    EXPECT_EQ(nav.State(), 5);
    nav.Annulla();
    t[0]->setProperty("ChiaveModificabile", true); // the host lets the key be retyped
    nav.Edit();
    t[0]->setText("4");
    ExpectOneBox([&] { nav.Update(); }, "TQ73", 48, "TQ02"); // Usi refers to 2
}

INSTANTIATE_FOR_ENGINES(Modifica);

using ModificaSqlite = FormaTest;

TEST_F(ModificaSqlite, OnlyInputControlsServeFailuresKeepTheFormAndAComboGivesTheKey) {
    Clienti({"CREATE TABLE Schede (IdCliente INTEGER PRIMARY KEY REFERENCES Clienti(IdCliente), "
             "Appunti TEXT)"});
    ASSERT_TRUE(Init());
    // A linked box or another widget never serves a column; of two controls the
    // first serves, a combo before anything else.
    auto* txtCognome2 = AddText("txtCognome2", "#Cognome");
    auto* txtComune = AddText("txtComune", "#IdComune");
    EditRecord("20");
    txtCognome->setText("Primo");
    txtCognome2->setText("Secondo");
    txtComune->setText("3");
    nav.Update();
    EXPECT_EQ(Riga("20"), "Primo|n20|50|2.5|1974-03-02|0|2|C20");

    // A rejection is reported with the database's words.
    conn->Execute("CREATE TRIGGER NoDelete BEFORE DELETE ON Clienti "
                  "BEGIN SELECT RAISE(ABORT, 'protetto'); END");
    nav.MessaggioConfermaEliminaDisabilitato = true;
    log.Clear();
    ExpectOneBox([&] { nav.Delete(); }, "ClsAdoNavigator_Metodo_Delete -2147217900 protetto", 16,
                 "TQ03");
    EXPECT_EQ(std::make_tuple(Id(), log.Steps()),
              Expected("20", QStringList({"Delete", "BeforeDelConfirm"})));
    // The unknown-item message names the column, in the language's words.
    CambiaLinguaModulo(SourceDir() + "/lang");
    EditRecord("10");
    cboComune->setEditText("Atlantide");
    ExpectOneBox([&] { nav.Update(); },
                 QString::fromUtf8("Il valore del campo IdComune non è presente nell'elenco."), 48,
                 "Attenzione");
    ResetLanguageModule();

    // A key chosen in a combo.
    TaggedForm schede("frmSchede");
    auto* cboCliente = schede.AddCombo("cboCliente", Tag({"IdCliente", "", "Cognome"}));
    auto* txtAppunti = schede.AddText("txtAppunti", "#Appunti");
    clsADONavigator s;
    s.TipoDatabase = 4;
    s.MessaggioConfermaNuovoDisabilitato = true;
    ASSERT_TRUE(
        s.Init_Class(conn.get(), "Schede", FormOf(schede.form.get()), "IdCliente", {}, "#", ""));
    s.Addnew();
    cboCliente->setCurrentIndex(0);
    txtAppunti->setText("scheda");
    s.Update();
    EXPECT_EQ(banco->Rows("SELECT * FROM Schede"), QStringList{"20|scheda"});
    EXPECT_EQ(std::make_tuple(cboCliente->currentText(), s.State()), Expected("Primo", 3))
        << "Primo is 20 now, first by name";
}

// The texts that save a record, per database kind, without a database.

TEST(Literals, EachKindWritesItsOwnDatesAndEscapesItsTexts) {
    const QDateTime mattino(QDate(2024, 3, 5), QTime(9, 7, 3));
    const QDateTime mezzanotte(QDate(2024, 3, 5), QTime(0, 0, 0));
    const QDateTime secondo(QDate(2024, 3, 5), QTime(0, 0, 1));
    const QDateTime gennaio(QDate(2025, 1, 9), QTime(1, 2, 3));
    const std::tuple<int, QDateTime, const char*> dates[] = {
        {0, mattino, "#03/05/2024 09.07.03#"},
        {0, mezzanotte, "#03/05/2024#"},
        {0, secondo, "#03/05/2024 00.00.01#"},
        {1, gennaio, "'20250109 01:02:03:000'"},
        {2, mezzanotte, "'2024-3-5 0:0:0'"},
        {4, mezzanotte, "'2024-03-05'"},
        {4, gennaio, "'2025-01-09 01:02:03'"},
        {5, mezzanotte, "'2024-03-05'"},
        {3, mattino, ""}};
    clsADONavigator nav;
    for (const auto& [kind, date, literal] : dates) {
        nav.TipoDatabase = kind;
        EXPECT_EQ(NavigatorTestAccess::DataSql(nav, date), literal) << kind;
    }
    EXPECT_EQ(std::make_tuple(NavigatorTestAccess::DataSqlServer(nav, gennaio),
                              nav.FormatDateForMySql(gennaio)),
              Expected("'20250109 01:02:03:000'", "'2025-1-9 1:2:3'"));
    const std::tuple<int, const char*, const char*> texts[] = {
        {0, "O'Brien", "O''Brien"},    {4, "''", "''''"},           {1, "", ""},
        {2, "C:\\dati", "C:\\\\dati"}, {0, "C:\\dati", "C:\\dati"}, {4, "C:\\dati", "C:\\dati"},
        {2, "a\\'b", "a\\\\''b"},      {3, "a\\'b", "a\\''b"},      {5, "a\\'b", "a\\''b"}};
    for (const auto& [kind, text, escaped] : texts) {
        nav.TipoDatabase = kind;
        EXPECT_EQ(NavigatorTestAccess::TestoSql(nav, text), escaped) << kind << " " << text;
    }
}

ColonnaServita Testo(const QString& nome, short tipo, const QString& testo, bool chiave = false,
                     long lunghezza = 0) {
    ColonnaServita c;
    c.nome = nome;
    c.tipo = tipo;
    c.lunghezzaMassima = lunghezza;
    c.chiavePrimaria = chiave;
    c.fonte = FonteValore::Testo;
    c.testo = testo;
    c.tag = QLatin1Char('#') + nome;
    return c;
}

ColonnaServita Altro(const QString& nome, short tipo, FonteValore fonte,
                     const QString& testo = {}) {
    ColonnaServita c = Testo(nome, tipo, testo);
    c.fonte = fonte;
    c.spuntata = testo == QLatin1String("v");
    return c;
}

// The INSERT of a new record.
TestiSalvataggio Componi(int kind, const std::vector<ColonnaServita>& colonne) {
    return ComponiSalvataggio("T", colonne, {{"a", 3, 1}}, Dialetto::Per(kind),
                              ModoSalvataggio::Inserimento);
}

// The UPDATE of the record loaded with that key, of the columns marked changed.
TestiSalvataggio Aggiorna(int kind, std::vector<ColonnaServita> colonne,
                          const ParteChiave& chiave = {"a", 3, 1},
                          const QStringList& invariate = {}) {
    for (auto& c : colonne)
        c.cambiata = !invariate.contains(c.nome);
    return ComponiSalvataggio("T", colonne, {chiave}, Dialetto::Per(kind),
                              ModoSalvataggio::Modifica);
}

TEST(Composition, AnInsertWritesEveryColumnAnUpdateOnlyTheChangedOnes) {
    const std::vector<ColonnaServita> colonne = {Testo("a", 3, "2", true), Testo("b", 130, "x"),
                                                 Testo("c", 130, ""), Testo("d", 5, "  ")};
    for (int kind : {0, 1, 2, 4}) {
        EXPECT_EQ(Componi(kind, colonne).statement,
                  "Insert Into T (a,b,c,d) Values (2,'x',Null,Null);")
            << kind;
        // The row is the one loaded, whatever the key box says now.
        EXPECT_EQ(Aggiorna(kind, colonne, {"a", 3, 1}, {"c", "d"}).statement,
                  "UPDATE T SET a=2,b='x' WHERE (a = 1);")
            << kind;
        const auto nulla = Aggiorna(kind, colonne, {"a", 3, 1}, {"a", "b", "c", "d"});
        EXPECT_EQ(std::make_tuple(nulla.statement, nulla.testoChiave), Expected("", "2"))
            << "nothing changed, nothing written";
    }
    EXPECT_EQ(std::make_tuple(Dialetto::Per(0).TestaDelete("K"), Dialetto::Per(2).TestaDelete("K"),
                              Dialetto::Per(1).TestaDelete("K"), Dialetto::Per(4).TestaDelete("K")),
              Expected("DELETE K.* FROM K WHERE ", "DELETE K.* FROM K WHERE ",
                       "DELETE FROM K WHERE ", "DELETE FROM K WHERE "));
    // A kind not known gets the neutral forms: no bound keys, NULLs first, -1 for true.
    const Dialetto& ignoto = Dialetto::Per(3);
    EXPECT_EQ(std::make_tuple(ignoto.ChiaveLegata, ignoto.NullPrimi, QString(ignoto.ValoreVero)),
              std::make_tuple(false, true, QString("-1")));
    // An unchanged column is not checked either: a legacy value never blocks a save.
    EXPECT_FALSE(
        Aggiorna(4, {Testo("b", 130, "x"), Testo("e", 3, "legacy")}, {"a", 3, 1}, {"e"}).messaggio);
    for (short tipo : {2, 3, 16, 20, 21}) {
        const auto big =
            Aggiorna(0, {Testo("k", tipo, "9000000000", true)}, {"k", tipo, 9000000000LL});
        EXPECT_EQ(big.statement, "UPDATE T SET k=9000000000 WHERE (k = 9000000000);") << tipo;
    }
    const auto car = Aggiorna(2, {Testo("k", 130, "O'B\\", true)}, {"k", 130, "O'B\\"});
    EXPECT_EQ(car.statement, "UPDATE T SET k='O''B\\\\' WHERE (k = 'O''B\\\\');");
    // Every key type finds its row: by value for numbers, by text for the rest,
    // by the date literal where the kind has nothing else.
    const std::tuple<int, short, QVariant, const char*> chiavi[] = {
        {4, 5, 1.5, "k = 1.5"},
        {2, 131, "12.50", "k = 12.50"},
        {2, 135, QDateTime(QDate(2024, 3, 5), QTime(9, 7, 3)), "k = '2024-03-05 09:07:03'"},
        {0, 135, QDateTime(QDate(2024, 3, 5), QTime(9, 7, 3)), "k = #03/05/2024 09.07.03#"},
        {0, 7, "2024-03-05", "k = #03/05/2024#"}};
    for (const auto& [kind, tipo, valore, condizione] : chiavi)
        EXPECT_EQ(Aggiorna(kind, {Testo("b", 130, "x")}, {"k", tipo, valore}).statement,
                  "UPDATE T SET b='x' WHERE (" + QString::fromLatin1(condizione) + ");")
            << condizione;
    EXPECT_EQ(RaisedBy([] {
                  Aggiorna(0, {Testo("b", 130, "x")}, {"k", 7, "ieri"});
              }).number,
              Err::InvalidCall);
}

TEST(Composition, ValuesByGroupAndNamesByDialect) {
    ColonnaServita decimale = Testo("m", 131, "-2,25");
    decimale.precisione = 5;
    decimale.scala = 2;
    const auto t = Componi(
        0, {Testo("a", 3, "1", true), Testo("s", 5, "3,5"), decimale, Testo("d", 7, " 2024-03-05 "),
            Testo("dt", 135, "2024-03-05 09:07:03"), Testo("o", 134, "9:07"),
            Altro("v", 11, FonteValore::Spunta, "v"), Altro("f", 11, FonteValore::Spunta),
            Testo("b", 11, "-1"), Altro("c", 3, FonteValore::ChiaveCombo, "42"),
            Altro("s2", 130, FonteValore::ChiaveCombo, "X'1"),
            Altro("r", 5, FonteValore::ChiaveCombo, "2.5"), Altro("n", 3, FonteValore::Nullo)});
    ASSERT_FALSE(t.messaggio);
    EXPECT_EQ(t.statement, "Insert Into T (a,s,m,d,dt,o,v,f,b,c,s2,r,n) Values (1,3.5,-2.25,"
                           "#03/05/2024#,#03/05/2024 09.07.03#,#09:07:00#,-1,0,-1,42,'X''1',2.5,"
                           "Null);");
    EXPECT_EQ(
        Componi(4, {Altro("v", 11, FonteValore::Spunta, "v"), Testo("d", 7, "2024-03-05"),
                    Testo("dt", 135, "0024-05-05 09:07:03.25"), Testo("o", 134, "23:59:59.5")})
            .statement,
        "Insert Into T (v,d,dt,o) Values (1,'2024-03-05','0024-05-05 09:07:03.250',"
        "'23:59:59.500');");
    EXPECT_EQ(Componi(2, {Testo("dt", 135, "0024-05-05 09:07:03.25")}).statement,
              "Insert Into T (dt) Values ('0024-5-5 9:7:3.250');");
    EXPECT_EQ(Componi(3, {Testo("d", 7, "2024-03-05")}).statement, "Insert Into T (d) Values ();");
    EXPECT_THROW(Componi(4, {Altro("c", 3, FonteValore::ChiaveCombo, "1;DROP")}), TessaroError);

    // Note and Password are bracketed after a comma where the dialect says so,
    // never inside a value.
    const std::vector<ColonnaServita> riservati = {
        Testo("Id", 3, "1", true), Testo("Note", 130, ",Note,"), Testo("Password", 130, "p")};
    EXPECT_EQ(std::make_tuple(Componi(1, riservati).statement, Componi(2, riservati).statement),
              Expected("Insert Into T (Id,[Note],[Password]) Values (1,',Note,','p');",
                       "Insert Into T (Id,Note,Password) Values (1,',Note,','p');"));
    EXPECT_EQ(Aggiorna(0, riservati, {"Id", 3, 1}, {"Id"}).statement,
              "UPDATE T SET Note=',Note,',[Password]='p' WHERE (Id = 1);");
}

// PostgreSQL: stored names quoted where they need it, true and false, DEFAULT
// for what the database numbers, the new key given back.
TEST(Composition, PostgreSqlQuotesStoredNamesAndGivesTheNewKeyBack) {
    ColonnaServita id = Testo("Id", 3, " ", true);
    id.autoIncremento = true;
    ColonnaServita calcolata = Testo("calcolata", 3, "");
    calcolata.sempreGenerata = true;
    const auto t = ComponiSalvataggio(
        "\"Clienti\"",
        {id, Testo("user", 130, "C:\\d'x"), Testo("Note", 130, "n"),
         Altro("v", 11, FonteValore::Spunta, "v"), Altro("f", 11, FonteValore::Spunta),
         Testo("b", 11, "-1"), Testo("z", 11, "0"), Testo("dt", 135, "2024-03-05 09:07:03"),
         calcolata},
        {{"Id", 3, QVariant()}}, Dialetto::Per(5), ModoSalvataggio::Inserimento);
    EXPECT_EQ(t.statement,
              "Insert Into \"Clienti\" (\"Id\",\"user\",\"Note\",v,f,b,z,dt,calcolata) Values "
              "(DEFAULT,'C:\\d''x','n',true,false,true,false,'2024-03-05 09:07:03',DEFAULT) "
              "RETURNING \"Id\";");
    EXPECT_EQ(Aggiorna(5, {Testo("Nome", 130, "x")}, {"Id", 3, 1}).statement,
              "UPDATE T SET \"Nome\"='x' WHERE (\"Id\" = 1);");
    calcolata.testo = "5";
    const auto rifiutata = Componi(5, {calcolata});
    ASSERT_TRUE(rifiutata.messaggio);
    EXPECT_EQ(rifiutata.messaggio->testo, "TQ78 #calcolata");
    EXPECT_EQ(LetteraleChiave(11, "1", Dialetto::Per(5)), "'1'") << "a Boolean is no number";
    const std::pair<const char*, const char*> nomi[] = {
        {"clienti", "clienti"}, {"_id$2", "_id$2"},    {"Clienti", "\"Clienti\""},
        {"order", "\"order\""}, {"a b", "\"a b\""},    {"x\"y", "\"x\"\"y\""},
        {"2a", "\"2a\""},       {"città", "\"città\""}};
    for (const auto& [memorizzato, scritto] : nomi)
        EXPECT_EQ(Dialetto::Per(5).Nome(QString::fromUtf8(memorizzato)),
                  QString::fromUtf8(scritto));
    const Dialetto& pg = Dialetto::Per(5);
    EXPECT_EQ(
        std::make_tuple(pg.NomeTabella("sales.Ordini"), Dialetto::Per(4).NomeTabella("Or der")),
        std::make_tuple(QString("sales.\"Ordini\""), QString("Or der")));
    // A host's name, not found in the catalogue: folded by PostgreSQL itself.
    EXPECT_EQ(std::make_tuple(pg.NomeDelHost("User"), pg.NomeDelHost("Track"),
                              pg.NomeDelHost("a b"), Dialetto::Per(2).NomeDelHost("User")),
              std::make_tuple(QString("\"user\""), QString("Track"), QString("\"a b\""),
                              QString("User")));
    EXPECT_EQ(Dialetto::Per(5).TestaDelete("k"), "DELETE FROM k WHERE ");
}

TEST(Composition, WhatTheColumnCannotHoldStopsTheSaveWithItsMessage) {
    using Msg = std::tuple<QString, int, QString>; // text, style, title; empty for none
    const auto message = [](ColonnaServita c) {
        c.precisione = c.tipo == 131 ? 5 : 0;
        c.scala = c.tipo == 131 ? 2 : 0;
        c.cifreSecondi = c.nome == "f" ? 1 : -1; // DATETIME(1), TIME(1)
        const auto t = Componi(4, {Testo("a", 3, "1", true), c});
        if (!t.messaggio)
            return Msg();
        EXPECT_EQ(t.statement, "") << "a message, no statement";
        return Msg(t.messaggio->testo, t.messaggio->stile, t.messaggio->titolo);
    };
    const auto numero = [](const char* c) {
        return Msg(QString("TQ16 #%1\rTQ19").arg(c), 48, "TQ02");
    };
    const std::pair<ColonnaServita, Msg> cases[] = {
        {Testo("b", 130, "abcde", false, 5), {}},
        {Testo("b", 130, QString::fromUtf8("\xF0\x9D\x84\x9E\xF0\x9D\x84\x9E"), false, 2), {}},
        {Testo("b", 130, "abcd  ", false, 5), {"TQ16 #b\rTQ17 5 TQ18", 48, "TQ02"}},
        {Testo("a", 3, " ", true), {"TQ49 #a", 48, "TQ02"}},
        {Testo("e", 3, "-7"), {}},
        {Testo("e", 21, "18446744073709551615"), {}},
        {Testo("e", 21, "-1"), numero("e")},
        {Testo("s", 5, ".5"), {}},
        {Testo("s", 5, "1e-400"), numero("s")},
        {Testo("m", 131, "999.99"), {}},
        {Testo("m", 131, "1000"), numero("m")},
        {Testo("m", 131, "1.50000"), {}},
        {Testo("m", 131, "1e2"), {}},
        {Testo("v", 11, "1"), {}},
        {Testo("v", 11, "1,5"), numero("v")},
        {Testo("v", 11, "2"), numero("v")},
        {Testo("f", 135, "2024-03-05 10:00:00.5"), {}},
        {Testo("f", 135, "2024-03-05 10:00:00.25"), {"TQ16 #f\rTQ76", 48, "TQ02"}},
        {Testo("f", 134, "10:00:00.25"), {"TQ16 #f\rTQ76", 48, "TQ02"}},
        {Testo("d", 135, "2024-02-30"), {"TQ23 #d", 16, "TQ02"}},
        {Testo("d", 135, "2024-02-03 10:00:00.1234"), {"TQ23 #d", 16, "TQ02"}},
        {Testo("o", 134, "24:00"), {"TQ50 #o", 48, "TQ02"}},
        {Altro("IdComune", 3, FonteValore::VoceSconosciuta), {"TQ42", 48, "TQ02"}}};
    for (const auto& [c, text] : cases)
        EXPECT_EQ(message(c), text)
            << c.nome.toStdString() << " " << c.testo.left(20).toStdString();
    for (const char* bad : {"3,5", "1.0", "1e3", "12abc", "1;DROP TABLE T", "0x10", "1 000"})
        EXPECT_EQ(message(Testo("e", 3, bad)), numero("e")) << bad;
    for (const char* bad : {"3,5,1", "1.2.3", "abc", "1--", "$5", "1e309", "inf", "nan"})
        EXPECT_EQ(message(Testo("s", 5, bad)), numero("s")) << bad;
    // A key the database numbers may be left empty on an insert, never on an update.
    ColonnaServita numerata = Testo("a", 3, " ", true);
    numerata.autoIncremento = true;
    EXPECT_EQ(Componi(4, {numerata, Testo("b", 130, "x")}).statement,
              "Insert Into T (a,b) Values (Null,'x');");
    const auto svuotata = Aggiorna(4, {numerata});
    EXPECT_EQ(svuotata.messaggio ? svuotata.messaggio->testo : QString(), "TQ49 #a");
    const auto first = Componi(4, {Testo("a", 3, "x", true), Testo("b", 130, "toolong", false, 2)});
    EXPECT_EQ(first.messaggio->testo, "TQ16 #a\rTQ19");
}

// Random typing into a form, in two locales and on both engines: every save
// either shows the message of the first value its column cannot hold and
// writes nothing, or stores exactly what was typed into the fields typed in,
// leaving everything else as other programs stored it.

const QStringList kPezzi = {
    "a",   "Z",   "0",          " ",          "'",      "''",      "\\",          "\\\\",
    "\\'", "'\\", "\\n",        "\\0",        "\\%",    ";",       "--",          "\n",
    "\t",  "\"",  "%",          "_",          "/*",     "#",       "`",           "é",
    "Ж",   "中",  "\U0001D11E", "\U0001F600", ",Note,", "O'Brien", "DROP TABLE P"};

// One field's typing: the text, and what the column then holds ("<null>" for
// Null), or the message when the column cannot hold it.
struct Digitato {
    QString testo, atteso, messaggio;
};

class Digitazione : public SuEntrambi<> {
protected:
    int Tra(int a, int b) { return std::uniform_int_distribution<int>(a, b)(rng); }
    // Up to one character more than the column holds (max 0: no limit), at times with a NUL.
    Digitato Caratteri(const QString& campo, int max) {
        const int r = Tra(0, 11), m = max ? max : 40;
        const int n = r < 3 ? m : r < 4 ? m + 1 : Tra(0, m + 1);
        QList<uint> cp;
        while (cp.size() < n)
            cp += kPezzi[Tra(0, int(kPezzi.size()) - 1)].toUcs4();
        cp.resize(n);
        if (r == 11)
            cp.insert(Tra(0, n), 0);
        const QString t =
            QString::fromUcs4(reinterpret_cast<const char32_t*>(cp.constData()), cp.size());
        if (r == 11)
            return {t, {}, "TQ48 #" + campo};
        if (t.trimmed().isEmpty())
            return {t, "<null>", {}};
        if (max > 0 && n > max)
            return {t, {}, QString("TQ16 #%1\rTQ17 %2 TQ18").arg(campo).arg(max)};
        return {t, t, {}};
    }
    // A whole number for a BIGINT, or an amount with two decimals for a
    // DECIMAL(12,2), written as the locale writes it, grouped or not.
    Digitato Numero(const QLocale& l, bool importo) {
        // Texts neither column holds, then two that only the other one would.
        const QStringList sbagliati = (QString("1.2.3 1,50,0 abc 0x1F 1e309 inf 5) 1;DROP ") +
                                       (importo ? "1.0055 12345678901" : "3,5 9223372036854775808"))
                                          .split(' ');
        if (Tra(0, 4) == 0)
            return {
                sbagliati[Tra(0, 9)], {}, importo ? "TQ16 #Importo\rTQ19" : "TQ16 #Numero\rTQ19"};
        QLocale scritto = l;
        scritto.setNumberOptions(Tra(0, 1) ? QLocale::DefaultNumberOptions
                                           : QLocale::OmitGroupSeparator);
        const qint64 n = !importo && Tra(0, 3) == 0 ? std::numeric_limits<qint64>::min() + Tra(0, 9)
                                                    : qint64(Tra(-2000000, 2000000)) * Tra(1, 1000);
        if (!importo)
            return {scritto.toString(n), QString::number(n), {}};
        // Cents, written with one decimal when the last one is 0 (at times).
        return {scritto.toString(n / 100.0, 'f', Tra(0, 1) || n % 10 != 0 ? 2 : 1),
                QString::number(n / 100.0, 'f', 2),
                {}};
    }

    // A Boolean as a number: 0, 1 and -1 only, however long the number typed.
    Digitato Logico() {
        const QStringList cattivi = {"2",
                                     "1,5",
                                     "9223372036854775808",
                                     "-9223372036854775809",
                                     "99999999999999999999999",
                                     "18446744073709551617"};
        const QString v = Tra(0, 2) ? QString::number(Tra(-1, 1)) : cattivi[Tra(0, 5)];
        // A true Boolean column (PostgreSQL) holds any truth as true, read as 1.
        const QString tenuto = Engine() == Motore::Postgres && v == "-1" ? "1" : v;
        return cattivi.contains(v) ? Digitato{v, {}, "TQ16 #Flag\rTQ19"} : Digitato{v, tenuto, {}};
    }

    std::mt19937 rng{20240305};
};

// Every column's text as the database now holds it, amounts as numbers.
QStringList Righe(Banco& b) {
    QStringList out;
    for (const QString& r : b.Rows("SELECT * FROM P ORDER BY 1")) {
        QStringList c = r.split('|');
        if (c[4] != "<null>")
            c[4] = QString::number(c[4].toDouble(), 'f', 2);
        out << c.join('|');
    }
    return out;
}

TEST_P(Digitazione, WhatIsTypedIsStoredExactlyAndNothingElseChanges) {
    Schema({"CREATE TABLE P (Id {AUTO}, Corto VARCHAR(5), Lungo TEXT, Numero BIGINT, "
            "Importo DECIMAL(12,2), Flag BOOLEAN)",
            // What other programs stored: empty texts and CRLF.
            "INSERT INTO P VALUES (1, '', 'a\r\nb', NULL, 1.5, TRUE), (2, 'x', '', 7, NULL, NULL), "
            "(3, 'c3', 'lungo', -3, 0, FALSE)"});
    txtId = AddText("txtId", "#Id");
    QLineEdit* campi[] = {AddText("txtCorto", "#Corto"), nullptr, AddText("txtNumero", "#Numero"),
                          AddText("txtImporto", "#Importo"), AddText("txtFlag", "#Flag")};
    auto* lungo = AddTagged<QPlainTextEdit>("txtLungo", "#Lungo");
    const auto mostrato = [&](int i) { return i == 1 ? lungo->toPlainText() : campi[i]->text(); };
    ASSERT_TRUE(Init("P", "Id"));
    nav.MessaggioConfermaNuovoDisabilitato = true;
    for (const QLocale& locale : {QLocale(QLocale::Italian, QLocale::Italy),
                                  QLocale(QLocale::English, QLocale::UnitedStates)}) {
        LocaleScope scope(locale);
        int digitati = 0, esatti = 0, rifiutati = 0, diversi = 0, toccati = 0;
        for (int giro = 0; giro < 150; ++giro) {
            const QStringList prima = Righe(*banco);
            const bool nuovo = Tra(0, 4) == 0;
            QString chiave = prima[Tra(0, int(prima.size()) - 1)].section('|', 0, 0);
            if (nuovo)
                nav.Addnew();
            else
                EditRecord(chiave);
            // Each field typed into or left alone (a new record starts empty).
            std::optional<Digitato> scelte[] = {Caratteri("Corto", 5), Caratteri("Lungo", 0),
                                                Numero(locale, false), Numero(locale, true),
                                                Logico()};
            QString messaggio;
            for (int i = 0; i < 5; ++i) {
                const QString vecchio = mostrato(i);
                if (Tra(0, 2) > 0 && ++digitati)
                    i == 1 ? lungo->setPlainText(scelte[i]->testo)
                           : campi[i]->setText(scelte[i]->testo);
                if (vecchio == mostrato(i)) // left alone, or the same text again: no change
                    scelte[i].reset();
                else if (messaggio.isEmpty())
                    messaggio = scelte[i]->messaggio;
            }
            if (!messaggio.isEmpty()) {
                ExpectOneBox([&] { nav.Update(); }, messaggio, 48, "TQ02");
                toccati += Righe(*banco) != prima;
                EXPECT_EQ(nav.State(), nuovo ? 5 : 6);
                nav.Annulla();
                ++rifiutati;
                continue;
            }
            nav.Update();
            const QStringList dopo = Righe(*banco);
            EXPECT_EQ(dopo.size(), prima.size() + (nuovo ? 1 : 0));
            if (nuovo)
                chiave = Id();
            for (const QString& riga : dopo) {
                const QString id = riga.section('|', 0, 0);
                QStringList attesa = prima.filter(QRegularExpression("^" + id + "\\|"))
                                         .value(0, id + "|<null>|<null>|<null>|<null>|<null>")
                                         .split('|');
                for (int i = 0; id == chiave && i < 5; ++i)
                    if (scelte[i]) {
                        const bool esatto = riga.section('|', i + 1, i + 1) == scelte[i]->atteso;
                        esatti += esatto;
                        diversi += !esatto;
                        attesa[i + 1] = scelte[i]->atteso;
                    }
                toccati += riga != attesa.join('|');
            }
        }
        std::cout << NomeMotore({Engine(), 0}) << " " << locale.name().toStdString() << ": "
                  << digitati << " values typed, " << esatti << " stored exactly, " << rifiutati
                  << " saves refused, " << diversi << " stored differently, " << toccati
                  << " untouched values changed\n";
        EXPECT_EQ(diversi, 0);
        EXPECT_EQ(toccati, 0);
        EXPECT_GT(esatti, 100);
        EXPECT_GT(rifiutati, 20);
    }
}

INSTANTIATE_FOR_ENGINES(Digitazione);

} // namespace
} // namespace tessaro::test
