// New, duplicate, edit, cancel, save and delete on a real form, on both engines.

#include "language/modLanguageSupport.h"
#include "support/FormFixtures.h"

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
    EXPECT_EQ(Keys().size() * 10 + nav.State(), 35) << "nothing written, still new";
    EXPECT_TRUE(log.Steps().isEmpty());
    EXPECT_EQ(txtCognome->text(), "Lunghissimo") << "the typed text stays, open for a correction";
    EXPECT_FALSE(txtCognome->isReadOnly());
    txtCognome->setText("Neri");
    txtNote->setPlainText("prima riga\nseconda 'riga' \\ fine");
    txtEta->setText(" 33 ");
    txtSaldo->setText("12,75");
    txtNascita->setText("1991-07-04");
    chkAttivo->setChecked(true);
    cboComune->setCurrentIndex(cboComune->findText("Milano"));
    nav.Update();
    EXPECT_EQ(Riga("31"), "Neri|prima riga\nseconda 'riga' \\ fine|33|12.75|1991-07-04|1|2|nuovo");
    EXPECT_EQ(Id() + txtProvincia->text() + QString::number(nav.State()), "31MI3");
    EXPECT_EQ(Items(cboComune).size(), 3) << "every town again while browsing";

    // A duplicate without its key is saved as a new record.
    boxes.Expect(MsgAnswer::Yes);
    nav.Clone();
    txtId->clear();
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

    // Typing another record's key never overwrites that record; a free key
    // renumbers the record and the form follows.
    EditRecord("32");
    cboComune->setEditText("");
    chkAttivo->setCheckState(Qt::Unchecked);
    txtId->setText("10");
    boxes.Expect();
    nav.Update();
    EXPECT_TRUE(boxes.Shown().back().text.startsWith("ClsAdoNavigator_Metodo_Update -2147217900 "));
    EXPECT_EQ(Riga("10").section('|', 0, 0) + QString::number(nav.State()), "Rossi6");
    txtId->setText("25");
    nav.Update();
    EXPECT_EQ(Riga("25") + Riga("32"), "Neroni|<null>|33|-0.5|2024-12-31|0|<null>|nuovo<no row>");
    EXPECT_EQ(Id() + QString::number(Position()), "253");
}

TEST_P(Modifica, ModesAskSwitchAndRaiseTheirEvents) {
    Clienti();
    ASSERT_TRUE(Init());
    ExpectOneBox([&] { nav.Addnew(); }, "TQ08", 36, "TQ09", MsgAnswer::No);
    ExpectOneBox([&] { nav.Clone(); }, "TQ10", 36, "TQ11", MsgAnswer::No);
    EXPECT_TRUE(log.names.isEmpty() && txtCognome->isReadOnly());

    boxes.Expect(MsgAnswer::Yes);
    log.onAddnew = [this] { nav.SetState(StatoNavigatore::PrimoRecord); };
    nav.Addnew();
    EXPECT_EQ(log.names, QStringList{"Addnew"});
    EXPECT_EQ(log.StateAt("Addnew") * 10 + nav.State(), 55)
        << "the mode holds whatever the handler did";
    EXPECT_EQ(txtId->text() + txtCognome->text() + txtNote->toPlainText(), "");
    EXPECT_FALSE(txtCognome->isReadOnly() || chkAttivo->isChecked() || !chkAttivo->isEnabled());
    txtCognome->setText("Mai salvato");
    nav.Annulla(); // a new record given up shows the record current before it
    EXPECT_EQ(txtCognome->text() + QString::number(nav.State()), "Verdi7")
        << "7 even on the last record";

    log.Clear();
    nav.Edit(); // asks nothing; its event comes before the mode
    EXPECT_EQ(log.StateAt("BeforeUpdate") * 10 + nav.State(), 76);
    EXPECT_EQ(Items(cboComune).size(), 3);
    chkAttivo->setChecked(false);
    nav.Annulla();
    EXPECT_TRUE(chkAttivo->isChecked() && !chkAttivo->isEnabled());
}

TEST_P(Modifica, DeletingMovesToTheRecordBeforeOrEmptiesTheForm) {
    Clienti({"INSERT INTO Clienti VALUES (40, 'Gialli', NULL, 1, 1, NULL, 0, 2, 'C40')"});
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
    // first, the last to the one before it.
    const std::tuple<const char*, const char*> deletes[] = {
        {"30", "2072"}, {"10", "2021"}, {"40", "2021"}};
    for (const auto& [key, shown] : deletes) {
        nav.MoveTo(QLatin1String(key));
        nav.Delete();
        EXPECT_FALSE(Keys().contains(QLatin1String(key)));
        EXPECT_EQ(Id() + QString::number(nav.State() * 10 + Position()), shown) << key;
    }
    nav.Delete(); // the only record
    EXPECT_TRUE(Keys().isEmpty());
    EXPECT_EQ(Id() + txtCognome->text() + cboComune->currentText() + QString::number(nav.State()),
              "1");
    // A new record given up there shows nothing of the records deleted.
    nav.MessaggioConfermaNuovoDisabilitato = true;
    nav.Addnew();
    txtCognome->setText("Abbandonato");
    nav.Annulla();
    EXPECT_EQ(Id() + txtCognome->text() + QString::number(nav.State()), "1");
    EXPECT_TRUE(txtCognome->isReadOnly());
    nav.Addnew(); // the first record of an empty table
    txtCognome->setText("Primo");
    nav.Update();
    EXPECT_EQ(Id() + txtCognome->text() + QString::number(nav.State()), Keys().value(0) + "Primo3");
}

TEST_P(Modifica, ASaveWritesOnlyWhatTheUserChanged) {
    const bool sqlite = Engine() == Motore::Sqlite;
    // What other programs stored: an empty text in a NOT NULL column, CRLF, a
    // year before 1000, a tick stored as 1 and, on SQLite, a number column
    // holding text.
    Clienti({QString("UPDATE Clienti SET Cognome = '', Note = 'a\r\nb', Nascita = '0024-05-05', "
                     "Attivo = 1") +
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
    EXPECT_TRUE(log.Steps().isEmpty());
    EXPECT_EQ(nav.State(), 7);
    EXPECT_TRUE(txtCognome->isReadOnly());
    EXPECT_EQ(banco->Rows(riga).front(), attesa.join('|'));
}

TEST_P(Modifica, NewRecordsOutsideTheConditionKeysToGiveAndTheRowToDelete) {
    Clienti({"CREATE TABLE Codici (Codice INT PRIMARY KEY, Nome VARCHAR(10))",
             "INSERT INTO Codici VALUES (1, 'uno')"});
    ASSERT_TRUE(Init("Clienti", "IdCliente", nullptr, {}, "Eta > 45")); // 20 and 30
    nav.MessaggioConfermaNuovoDisabilitato = true;
    nav.Addnew();
    txtCognome->setText("Giovane");
    txtEta->setText("20");
    ExpectOneBox([&] { nav.Update(); }, "TQ51", 48, "TQ02");
    EXPECT_EQ(Riga("31").section('|', 0, 0), "Giovane");
    EXPECT_EQ(Id() + txtCognome->text() + QString::number(nav.State() * 10 + Count()), "30Verdi32");
    EXPECT_TRUE(txtCognome->isReadOnly());
    // The row deleted is the one loaded, whatever the host wrote in the key box.
    nav.MoveTo("20");
    txtId->setText("30");
    nav.MessaggioConfermaEliminaDisabilitato = true;
    nav.Delete();
    EXPECT_EQ(Keys(), QStringList({"10", "30", "31"}));

    // A key the database does not number itself must be given.
    TaggedForm f("frmCodici");
    f.AddText("txtCodice", "#Codice");
    auto* txtNome = f.AddText("txtNome", "#Nome");
    clsADONavigator codici;
    codici.TipoDatabase = banco->Kind();
    codici.MessaggioConfermaNuovoDisabilitato = true;
    ASSERT_TRUE(
        codici.Init_Class(conn.get(), "Codici", FormOf(f.form.get()), "Codice", {}, "#", ""));
    codici.Addnew();
    txtNome->setText("due");
    ExpectOneBox([&] { codici.Update(); }, "TQ49 #Codice", 48, "TQ02");
    EXPECT_EQ(Keys("Codici"), QStringList{"1"});
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
    EXPECT_EQ(cognome->text() + reparto->currentText() + tasso->currentText() + ora->text() +
                  momento->text(),
              "RossiAcquistiridotto09:07:03.0002024-03-05 09:07:03.250");
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

// A edits customer 20 while B, on another connection, changes or deletes it.
TEST_P(Modifica, AnotherUsersWorkIsNeverOverwrittenNorTheTypingLostWithoutAChoice) {
    Clienti();
    ASSERT_TRUE(Init());
    const auto b = banco->Open();
    const auto cognomeNote = [&] { return Riga("20").section('|', 0, 1); };
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
        {"", MsgAnswer::Yes, false, "Mio|sua2", 7, "WriteConflict(deleted),AfterInsert"}};
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
        EXPECT_EQ(Riga("20") == "<no row>" ? "" : cognomeNote(), c.riga);
        EXPECT_EQ(nav.State(), c.stato);
        EXPECT_EQ(txtCognome->text(), c.risposta == MsgAnswer::No && c.stato == 7 ? "Suo" : "Mio");
        EXPECT_EQ(txtCognome->isReadOnly(), c.stato != 6);
    }

    // Elimina: a record changed meanwhile is asked about again; one gone is said so.
    nav.MessaggioConfermaEliminaDisabilitato = true;
    nav.MoveTo("30");
    b->Execute("UPDATE Clienti SET Cognome = 'Viola' WHERE IdCliente = 30");
    ExpectOneBox([&] { nav.Delete(); }, "TQ52\rTQ57", 52, "TQ54", MsgAnswer::No);
    EXPECT_EQ(Id() + txtCognome->text(), "30Viola");
    b->Execute("UPDATE Clienti SET Cognome = 'Verdi' WHERE IdCliente = 30");
    ExpectOneBox([&] { nav.Delete(); }, "TQ52\rTQ57", 52, "TQ54", MsgAnswer::Yes);
    EXPECT_EQ(Keys(), QStringList({"10", "20"}));
    nav.MoveTo("10");
    b->Execute("DELETE FROM Clienti WHERE IdCliente = 10");
    ExpectOneBox([&] { nav.Delete(); }, "TQ55", 48, "TQ02");
    EXPECT_EQ(Id() + QString::number(Count()), "201");
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
    EXPECT_EQ(Id() + log.Steps().join(','), "20Delete,BeforeDelConfirm");
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
    EXPECT_EQ(cboCliente->currentText() + QString::number(s.State()), "Primo3")
        << "Primo is 20 now, first by name";
}

} // namespace
} // namespace tessaro::test
