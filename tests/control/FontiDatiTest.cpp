#include "ControlFixture.h"

namespace tessaro::test {
namespace {

TEST(CollezioneChiaviTest, KeysIgnoreCaseKeepTheirOrderAndRefuseDuplicates) {
    CollezioneChiavi<int> c;
    c.Add("frmClienti", 1);
    c.Add("grpOrdini", 2);
    c.Add("Terzo", 3);
    EXPECT_TESSARO_ERROR(c.Add("FRMCLIENTI", 9), Err::DuplicateKey);
    EXPECT_EQ(c.Count(), 3);
    EXPECT_EQ(c.Item("GRPORDINI"), 2);
    EXPECT_TRUE(c.Contains("terzo"));
    EXPECT_TESSARO_ERROR(c.Item("Quarto"), Err::InvalidCall);
    c.Remove("GrpOrdini");
    ASSERT_EQ(c.Count(), 2);
    EXPECT_EQ(c.At(0).Chiave, "frmClienti");
    EXPECT_EQ(c.At(1).Chiave, "Terzo");
    EXPECT_TESSARO_ERROR(c.Remove("grpOrdini"), Err::InvalidCall);
    EXPECT_TESSARO_ERROR(c.RemoveAt(2), Err::SubscriptOutOfRange);
    c.RemoveAt(0);
    EXPECT_EQ(c.At(0).Valore, 3);
}

TEST(TabellaDiRicercaTest, TheSecondOfAtLeastThreeFieldsAfterThePrefix) {
    const QString s = kSep;
    EXPECT_EQ(TabellaDiRicercaDelCombo("#IdCliente" + s + "Clienti" + s + "Nome", "#"), "Clienti");
    EXPECT_EQ(TabellaDiRicercaDelCombo("x#IdCliente" + s + "Clienti" + s + "Nome", "#"), "Clienti");
    // Two fields take no part; an empty table name is still a name.
    EXPECT_EQ(TabellaDiRicercaDelCombo("#IdCliente" + s + "Clienti", "#"), std::nullopt);
    EXPECT_EQ(TabellaDiRicercaDelCombo("#IdCliente", "#"), std::nullopt);
    EXPECT_EQ(TabellaDiRicercaDelCombo("#IdCliente" + s + s + "Nome", "#"), "");
    // Without the prefix, or without a prefix at all, the whole Tag counts.
    EXPECT_EQ(TabellaDiRicercaDelCombo("IdCliente" + s + "Clienti" + s + "Nome", "#"), "Clienti");
    EXPECT_EQ(TabellaDiRicercaDelCombo("A" + s + "T" + s + "N", ""), "T");
    // Only the first character of a longer prefix is dropped with what precedes it.
    EXPECT_EQ(TabellaDiRicercaDelCombo("##A" + s + "T" + s + "N", "##"), "T");
    EXPECT_EQ(TabellaDiRicercaDelCombo("##A" + s + "T", "##"), std::nullopt);
}

class FontiDatiTest : public ControlTest {};

TEST_F(FontiDatiTest, AddFonteDatiTwiceForOneContainerKeepsTheSecondActiveButUnregistered) {
    Clienti(3);
    ASSERT_TRUE(RegistraClienti());
    clsADONavigator* primo = ctl->FonteDati();
    ASSERT_NE(primo, nullptr);
    EXPECT_EQ(primo->EventSink() != nullptr, true);

    boxes.Expect(MsgAnswer::Ok);
    EXPECT_TRUE(ctl->AddFonteDati(conn.get(), "Clienti", form.get(), "IdCliente", {}, "", "#"));
    ASSERT_EQ(boxes.Shown().size(), 1u);
    ExpectBox(0, Failure("Tessaro_AddFonteDati ", Err::DuplicateKey), 16, "TQ03");
    clsADONavigator* secondo = ctl->FonteDati();
    ASSERT_NE(secondo, nullptr);
    EXPECT_NE(secondo, primo);
    EXPECT_EQ(ctl->FontiDati().Count(), 1);
    EXPECT_EQ(ctl->FontiDati().Item("FRMCLIENTI").get(), primo);
    // Only the active navigator is heard.
    EXPECT_EQ(primo->EventSink(), nullptr);
    EXPECT_NE(secondo->EventSink(), nullptr);
    EventRecorder eventi(*ctl);
    Click("Primo");
    EXPECT_EQ(eventi.names, QStringList({"OnCurrent", "AfterCurrent"}));
    EXPECT_EQ(secondo->State(), 2);
    EXPECT_EQ(primo->State(), 3);

    // A second part of the name makes a key of its own.
    EXPECT_TRUE(ctl->AddFonteDati(conn.get(), "Clienti", form.get(), "IdCliente", {}, "Bis", "#"));
    EXPECT_EQ(ctl->FontiDati().Count(), 2);
    EXPECT_EQ(ctl->FontiDati().At(1).Chiave, "frmClientiBis");
    EXPECT_EQ(ctl->FontiDati().Item("frmclientibis").get(), ctl->FonteDati());
}

TEST_F(FontiDatiTest, AddFonteDatiWithoutAContainerReportsAndReturnsFalse) {
    Clienti(1);
    boxes.Expect(MsgAnswer::Ok);
    EXPECT_FALSE(ctl->AddFonteDati(conn.get(), "Clienti", nullptr, "IdCliente", {}));
    ExpectBox(0, Failure("Tessaro_AddFonteDati ", Err::ObjectNotSet), 16, "TQ03");
    EXPECT_EQ(ctl->FontiDati().Count(), 0);
}

TEST_F(FontiDatiTest, AddFonteDatiNeitherNamesTheSourceNorRefreshesTheButtons) {
    Clienti(3);
    SqliteKind();
    ctl->Button("Salva")->setEnabled(false);
    ASSERT_TRUE(ctl->AddFonteDati(conn.get(), "Clienti", form.get(), "IdCliente", {}, "", "#"));
    EXPECT_EQ(ctl->ContenitoreName(), "");
    EXPECT_EQ(Box(), "");
    EXPECT_FALSE(ctl->Button("Salva")->isEnabled());
    EXPECT_TRUE(ctl->Button("Annulla")->isEnabled());
    // The navigator showed its last record while it set up.
    EXPECT_EQ(txtNome->text(), "C3");
    ctl->SetFonteDatiAttiva("frmClienti");
    EXPECT_EQ(ctl->ContenitoreName(), "frmClienti");
    EXPECT_EQ(Box(), "3 TQ30 3");
    EXPECT_FALSE(ctl->Button("Annulla")->isEnabled());
}

TEST_F(FontiDatiTest, SetFonteDatiAttivaWithAnUnknownNameKeepsTheSourceAndTakesTheName) {
    Clienti(3);
    ASSERT_TRUE(RegistraClienti());
    clsADONavigator* attivo = ctl->FonteDati();
    ctl->Button("Primo")->setEnabled(false);
    ctl->SetFonteDatiAttiva("frmNessuno");
    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_EQ(ctl->ContenitoreName(), "frmNessuno");
    EXPECT_EQ(ctl->FonteDati(), attivo);
    EXPECT_TRUE(ctl->Button("Primo")->isEnabled());
    EXPECT_EQ(Box(), "3 TQ30 3");
}

// Two containers on a second form, each with its own table.
class DueContenitoriTest : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        UseScript("CREATE TABLE Clienti (IdCliente INTEGER PRIMARY KEY, Nome TEXT, Citta TEXT);"
                  "INSERT INTO Clienti VALUES (1, 'C1', 'A');"
                  "INSERT INTO Clienti VALUES (2, 'C2', 'B');"
                  "INSERT INTO Clienti VALUES (3, 'C3', 'C');"
                  "CREATE TABLE Ordini (IdOrdine INTEGER PRIMARY KEY, Numero TEXT);"
                  "INSERT INTO Ordini VALUES (1, 'O1');"
                  "INSERT INTO Ordini VALUES (2, 'O2');"
                  "INSERT INTO Ordini VALUES (3, 'O3');"
                  "INSERT INTO Ordini VALUES (4, 'O4');");
        doppio = std::make_unique<QWidget>();
        doppio->setObjectName("frmDoppio");
        auto* grpClienti = new QGroupBox(doppio.get());
        grpClienti->setObjectName("grpClienti");
        auto* grpOrdini = new QGroupBox(doppio.get());
        grpOrdini->setObjectName("grpOrdini");
        nomeCliente = AddText("txtNomeCliente", "#Nome", grpClienti);
        numero = AddText("txtNumero", "#Numero", grpOrdini);
        SqliteKind();
        ASSERT_TRUE(ctl->AddFonteDati(conn.get(), "Clienti", grpClienti, "IdCliente", {}, "", "#"));
        ASSERT_TRUE(ctl->AddFonteDati(conn.get(), "Ordini", grpOrdini, "IdOrdine", {}, "", "#"));
    }
    void TearDown() override {
        ControlTest::TearDown();
        doppio.reset();
    }

    std::unique_ptr<QWidget> doppio;
    QLineEdit* nomeCliente = nullptr;
    QLineEdit* numero = nullptr;
};

TEST_F(DueContenitoriTest, EachSourceKeepsItsOwnPositionAndOnlyTheActiveOneIsHeard) {
    EXPECT_EQ(ctl->FontiDati().Count(), 2);
    ctl->SetFonteDatiAttiva("grpClienti");
    Click("Primo");
    EXPECT_EQ(Box(), "1 TQ30 3");
    EXPECT_EQ(nomeCliente->text(), "C1");

    ctl->SetFonteDatiAttiva("grpOrdini");
    EXPECT_EQ(Box(), "4 TQ30 4");
    Click("Precedente");
    EXPECT_EQ(Box(), "3 TQ30 4");
    EXPECT_EQ(numero->text(), "O3");
    EXPECT_EQ(ctl->FontiDati().Item("grpClienti")->EventSink(), nullptr);

    // The inactive source moves without the host hearing it.
    EventRecorder eventi(*ctl);
    ctl->FontiDati().Item("grpClienti")->MoveNext();
    EXPECT_TRUE(eventi.names.isEmpty());
    Click("Successivo");
    EXPECT_EQ(eventi.names, QStringList({"OnCurrent", "AfterCurrent"}));

    ctl->SetFonteDatiAttiva("GRPCLIENTI");
    EXPECT_EQ(ctl->ContenitoreName(), "GRPCLIENTI");
    EXPECT_EQ(Box(), "2 TQ30 3");
    EXPECT_EQ(nomeCliente->text(), "C2");
    EXPECT_EQ(numero->text(), "O4");
    EXPECT_EQ(ctl->FontiDati().Item("grpOrdini")->EventSink(), nullptr);
    EXPECT_NE(ctl->FonteDati()->EventSink(), nullptr);
}

TEST_F(DueContenitoriTest, AfterARemovalNoSourceIsActive) {
    ctl->SetFonteDatiAttiva("grpOrdini");
    EXPECT_TRUE(ctl->RemoveFonteDati("grpClienti"));
    EXPECT_EQ(ctl->FonteDati(), nullptr);
    EXPECT_EQ(ctl->FontiDati().Count(), 1);
    EXPECT_TRUE(ctl->FontiDati().Contains("grpOrdini"));
    EXPECT_TESSARO_ERROR(ctl->State(), Err::ObjectNotSet);
    // The buttons still show the last refresh.
    EXPECT_EQ(Box(), "4 TQ30 4");
}

// Removing a source whose record is being edited.
class RemoveFonteDatiTest : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        Clienti(3);
        ASSERT_TRUE(RegistraClienti());
        ctl->Edit();
        ASSERT_EQ(ctl->State(), 6);
        nav = ctl->FonteDati();
        txtNome->setText("Nuovo");
    }
    QString NomeSalvato() const { return Scalar("SELECT Nome FROM Clienti WHERE IdCliente = 3"); }
    void ExpectDomanda() { ExpectBox(0, "TQ06", 35, "frmClienti"); }

    clsADONavigator* nav = nullptr;
};

TEST_F(RemoveFonteDatiTest, CancelKeepsEverything) {
    boxes.Expect(MsgAnswer::Cancel);
    EXPECT_FALSE(ctl->RemoveFonteDati("frmClienti"));
    ExpectDomanda();
    EXPECT_EQ(ctl->FonteDati(), nav);
    EXPECT_TRUE(ctl->FontiDati().Contains("frmClienti"));
    EXPECT_EQ(ctl->State(), 6);
    EXPECT_EQ(txtNome->text(), "Nuovo");
    EXPECT_EQ(NomeSalvato(), "C3");
}

TEST_F(RemoveFonteDatiTest, NoDropsTheChanges) {
    boxes.Expect(MsgAnswer::No);
    EXPECT_TRUE(ctl->RemoveFonteDati("frmClienti"));
    ExpectDomanda();
    EXPECT_EQ(ctl->FonteDati(), nullptr);
    EXPECT_EQ(ctl->FontiDati().Count(), 0);
    EXPECT_EQ(NomeSalvato(), "C3");
}

TEST_F(RemoveFonteDatiTest, YesSavesFirst) {
    EventRecorder eventi(*ctl);
    boxes.Expect(MsgAnswer::Yes);
    EXPECT_TRUE(ctl->RemoveFonteDati("frmClienti"));
    ExpectDomanda();
    EXPECT_EQ(NomeSalvato(), "Nuovo");
    EXPECT_TRUE(eventi.names.contains("AfterUpdate"));
    EXPECT_EQ(ctl->FonteDati(), nullptr);
    EXPECT_EQ(ctl->FontiDati().Count(), 0);
}

TEST_F(RemoveFonteDatiTest, YesWithARecordThatCannotBeSavedKeepsTheSourceAndTheTypedValues) {
    txtNome->setText("Troppo lungo per dieci");
    boxes.Expect(MsgAnswer::Yes);
    boxes.Expect(MsgAnswer::Ok); // the length message of the save
    EXPECT_FALSE(ctl->RemoveFonteDati("frmClienti"));
    ASSERT_EQ(boxes.Shown().size(), 2u);
    ExpectDomanda();
    EXPECT_EQ(boxes.Shown()[1].style, 48);
    EXPECT_TRUE(boxes.Shown()[1].text.startsWith("TQ16")) << boxes.Shown()[1].text.toStdString();
    EXPECT_EQ(ctl->FonteDati(), nav);
    EXPECT_TRUE(ctl->FontiDati().Contains("frmClienti"));
    EXPECT_EQ(ctl->State(), 6);
    EXPECT_EQ(txtNome->text(), "Troppo lungo per dieci");
    EXPECT_FALSE(txtNome->isReadOnly());
    EXPECT_EQ(NomeSalvato(), "C3");

    // Once the value fits, the same request saves and removes.
    txtNome->setText("Giusto");
    boxes.Expect(MsgAnswer::Yes);
    EXPECT_TRUE(ctl->RemoveFonteDati("frmClienti"));
    EXPECT_EQ(NomeSalvato(), "Giusto");
    EXPECT_EQ(ctl->FontiDati().Count(), 0);
}

TEST_F(RemoveFonteDatiTest, YesWithASaveTheDatabaseRejectsKeepsTheSource) {
    conn->Execute("CREATE TRIGGER NoUpdate BEFORE UPDATE ON Clienti "
                  "BEGIN SELECT RAISE(ABORT, 'read only'); END");
    boxes.Expect(MsgAnswer::Yes);
    boxes.Expect(MsgAnswer::Ok); // the failure of the save
    EXPECT_FALSE(ctl->RemoveFonteDati("frmClienti"));
    ASSERT_EQ(boxes.Shown().size(), 2u);
    EXPECT_EQ(boxes.Shown()[1].style, 16);
    EXPECT_TRUE(ctl->FontiDati().Contains("frmClienti"));
    EXPECT_EQ(ctl->FonteDati(), nav);
    EXPECT_EQ(txtNome->text(), "Nuovo");
}

TEST_F(RemoveFonteDatiTest, ABrowsingSourceGoesWithoutAQuestionAndAnUnknownOneIsReported) {
    ctl->Annulla();
    ASSERT_EQ(ctl->State(), 7);
    EXPECT_TRUE(ctl->RemoveFonteDati("FRMCLIENTI"));
    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_EQ(ctl->FonteDati(), nullptr);
    EXPECT_EQ(ctl->FontiDati().Count(), 0);

    boxes.Expect(MsgAnswer::Ok);
    EXPECT_TRUE(ctl->RemoveFonteDati("frmClienti"));
    ExpectBox(0, Failure("Tessaro_RemoveFonteDati ", Err::InvalidCall), 16, "TQ03");
}

TEST_F(FontiDatiTest, LoadedFormsAreKeyedByNameAndClearedFromTheEnd) {
    QWidget altro;
    altro.setObjectName("frmOrdini");
    QWidget omonimo;
    omonimo.setObjectName("FRMORDINI");
    ctl->AddInLoadedFormsSet(form.get());
    ctl->AddInLoadedFormsSet(&altro);
    ctl->AddInLoadedFormsSet(&omonimo);
    ctl->AddInLoadedFormsSet(nullptr);
    EXPECT_TRUE(boxes.Shown().empty());
    ASSERT_EQ(ctl->LoadedForms().Count(), 2);
    EXPECT_EQ(ctl->LoadedForms().At(0).Valore.data(), form.get());
    EXPECT_EQ(ctl->LoadedForms().Item("frmordini").data(), &altro);
    ctl->ClearLoadedFormsSet();
    EXPECT_EQ(ctl->LoadedForms().Count(), 0);
}

TEST_F(FontiDatiTest, SincronizzaTabelleComboLetsFailuresReachTheCaller) {
    QComboBox combo;
    EXPECT_TESSARO_ERROR(ctl->SincronizzaTabelleCombo(&combo), Err::ObjectNotSet);
    Clienti(1);
    ASSERT_TRUE(RegistraClienti());
    EXPECT_TESSARO_ERROR(ctl->SincronizzaTabelleCombo(nullptr), Err::ObjectNotSet);
}

// Customers on the control's form, orders with a customer combo on another form.
class ComboTest : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        UseScript("CREATE TABLE Clienti (IdCliente INTEGER PRIMARY KEY, Nome TEXT, Citta TEXT);"
                  "INSERT INTO Clienti VALUES (1, 'Bruno', 'A');"
                  "INSERT INTO Clienti VALUES (2, 'Carla', 'B');"
                  "INSERT INTO Clienti VALUES (3, 'Dario', 'C');"
                  "CREATE TABLE Ordini (IdOrdine INTEGER PRIMARY KEY, Numero TEXT,"
                  " IdCliente INTEGER REFERENCES Clienti(IdCliente));"
                  "INSERT INTO Ordini VALUES (1, 'O1', 3);"
                  "INSERT INTO Ordini VALUES (2, 'O2', 2);");
        ordini = std::make_unique<QWidget>();
        ordini->setObjectName("frmOrdini");
        AddText("txtNumero", "#Numero", ordini.get());
        cmbCliente =
            AddCombo("cmbCliente", "#IdCliente" + kSep + "Clienti" + kSep + "Nome", ordini.get());
        SqliteKind();
        ASSERT_TRUE(ctl->AddFonteDati(conn.get(), "Clienti", form.get(), "IdCliente", {}, "", "#"));
        ASSERT_TRUE(ctl->AddFonteDati(conn.get(), "Ordini", ordini.get(), "IdOrdine", {}, "", "#"));
        ctl->InitCharTag("#");
        ctl->AddInLoadedFormsSet(form.get());
        ctl->AddInLoadedFormsSet(ordini.get());
        ctl->SetFonteDatiAttiva("frmClienti");
    }
    void TearDown() override {
        ControlTest::TearDown();
        ordini.reset();
    }
    QStringList Voci() const {
        QStringList out;
        for (int i = 0; i < cmbCliente->count(); ++i)
            out << cmbCliente->itemText(i);
        return out;
    }

    std::unique_ptr<QWidget> ordini;
    QComboBox* cmbCliente = nullptr;
};

TEST_F(ComboTest, UpdateComboRefillsTheCombosOfTheTableOnEveryLoadedForm) {
    ASSERT_EQ(Voci(), QStringList({"Bruno", "Carla", "Dario"}));
    ASSERT_EQ(cmbCliente->currentText(), "Carla");
    conn->Execute("INSERT INTO Clienti VALUES (4, 'Anna', 'D')");
    conn->Execute("UPDATE Clienti SET Nome = 'Bruna' WHERE IdCliente = 1");
    ctl->UpdateCombo();
    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_EQ(Voci(), QStringList({"Anna", "Bruna", "Carla", "Dario"}));
    EXPECT_EQ(cmbCliente->currentText(), "Carla");
    // The source of the last combo refilled stays active.
    EXPECT_EQ(ctl->FonteDati(), ctl->FontiDati().Item("frmOrdini").get());
    EXPECT_EQ(ctl->ContenitoreName(), "frmOrdini");
    EXPECT_EQ(Box(), "2 TQ30 2");
}

TEST_F(ComboTest, UpdateComboLeavesFormsThatAreNotLoadedAndOtherTables) {
    ctl->ClearLoadedFormsSet();
    ctl->AddInLoadedFormsSet(form.get());
    conn->Execute("INSERT INTO Clienti VALUES (4, 'Anna', 'D')");
    ctl->UpdateCombo();
    EXPECT_EQ(Voci(), QStringList({"Bruno", "Carla", "Dario"}));
    EXPECT_EQ(ctl->ContenitoreName(), "frmClienti");

    // With the orders active nothing shows the orders table.
    ctl->AddInLoadedFormsSet(ordini.get());
    ctl->SetFonteDatiAttiva("frmOrdini");
    ctl->UpdateCombo();
    EXPECT_EQ(Voci(), QStringList({"Bruno", "Carla", "Dario"}));
}

TEST_F(ComboTest, RefreshComboRefillsOneComboThroughTheNamedSource) {
    conn->Execute("INSERT INTO Clienti VALUES (4, 'Anna', 'D')");
    ctl->RefreshCombo("frmOrdini", cmbCliente);
    EXPECT_EQ(Voci(), QStringList({"Anna", "Bruno", "Carla", "Dario"}));
    EXPECT_EQ(cmbCliente->currentText(), "Carla");
    EXPECT_EQ(ctl->ContenitoreName(), "frmOrdini");

    // A combo with two fields in its Tag takes no part.
    QComboBox due;
    due.setProperty("Tag", "#IdCliente" + kSep + "Clienti");
    due.addItem("fisso");
    ctl->SetFonteDatiAttiva("frmClienti");
    ctl->RefreshCombo("frmOrdini", &due);
    EXPECT_EQ(due.count(), 1);
    EXPECT_EQ(ctl->ContenitoreName(), "frmClienti");
    ctl->RefreshCombo("frmOrdini", nullptr);
    EXPECT_TRUE(boxes.Shown().empty());
}

// The same tables in two group boxes of one form.
class ComboContenitoriTest : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        UseScript("CREATE TABLE Clienti (IdCliente INTEGER PRIMARY KEY, Nome TEXT);"
                  "INSERT INTO Clienti VALUES (1, 'Bruno');"
                  "INSERT INTO Clienti VALUES (2, 'Carla');"
                  "CREATE TABLE Ordini (IdOrdine INTEGER PRIMARY KEY, Numero TEXT,"
                  " IdCliente INTEGER REFERENCES Clienti(IdCliente));"
                  "INSERT INTO Ordini VALUES (1, 'O1', 1);");
        doppio = std::make_unique<QWidget>();
        doppio->setObjectName("frmDoppio");
        auto* grpClienti = new QGroupBox(doppio.get());
        grpClienti->setObjectName("grpClienti");
        grpOrdini = new QGroupBox(doppio.get());
        grpOrdini->setObjectName("grpOrdini");
        AddText("txtNomeCliente", "#Nome", grpClienti);
        AddText("txtNumero", "#Numero", grpOrdini);
        const QString tag = "#IdCliente" + kSep + "Clienti" + kSep + "Nome";
        dentro = AddCombo("cmbCliente", tag, grpOrdini);
        fuori = AddCombo("cmbFuori", tag, doppio.get());
        SqliteKind();
        ASSERT_TRUE(ctl->AddFonteDati(conn.get(), "Clienti", grpClienti, "IdCliente", {}, "", "#"));
        ASSERT_TRUE(ctl->AddFonteDati(conn.get(), "Ordini", grpOrdini, "IdOrdine", {}, "", "#"));
        ctl->InitCharTag("#");
        ctl->AddInLoadedFormsSet(grpOrdini);
        ctl->AddInLoadedFormsSet(grpClienti);
        ctl->SetFonteDatiAttiva("grpClienti");
    }
    void TearDown() override {
        ControlTest::TearDown();
        doppio.reset();
    }

    std::unique_ptr<QWidget> doppio;
    QGroupBox* grpOrdini = nullptr;
    QComboBox* dentro = nullptr;
    QComboBox* fuori = nullptr;
};

TEST_F(ComboContenitoriTest, UpdateComboRefillsOnlyTheCombosInsideTheLoadedContainers) {
    ASSERT_EQ(dentro->count(), 2);
    ASSERT_EQ(dentro->currentText(), "Bruno");
    conn->Execute("INSERT INTO Clienti VALUES (3, 'Anna')");
    ctl->UpdateCombo();
    EXPECT_TRUE(boxes.Shown().empty());
    ASSERT_EQ(dentro->count(), 3);
    EXPECT_EQ(dentro->itemText(0), "Anna");
    EXPECT_EQ(dentro->currentText(), "Bruno");
    EXPECT_EQ(fuori->count(), 0);
    EXPECT_EQ(ctl->ContenitoreName(), "grpOrdini");
    EXPECT_EQ(ctl->FonteDati(), ctl->FontiDati().Item("grpOrdini").get());
}

} // namespace
} // namespace tessaro::test
