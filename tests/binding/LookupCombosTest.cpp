#include "BindingFixture.h"

#include "binding/ComboSql.h"
#include "data/TessaroError.h"

namespace tessaro::test {
namespace {

const QString kInvalidNull = QStringLiteral("Invalid use of Null");

TEST(ComboSqlTest, StatementsOfItemsKeysAndPickedRow) {
    EXPECT_EQ(StatementElencoCombo({"IdCategoria"}, "Categorie", "").Sql,
              "select * from Categorie");
    EXPECT_EQ(StatementElencoCombo({"IdCategoria", ""}, "Categorie", "Attiva = 1").Sql,
              "select * from Categorie where Attiva = 1");

    const ElencoCombo e =
        StatementElencoCombo({"IdCliente", "", "Cognome", " - ", "Nome"}, "Clienti", "");
    EXPECT_TRUE(e.MultiColonna);
    EXPECT_EQ(e.Sql, "SELECT Cognome , Nome  FROM Clienti Order By  Cognome,  Nome");
    EXPECT_EQ(e.Ordinamento, " Cognome,  Nome");
    EXPECT_EQ(e.Separatori, QStringList({" - "}));
    EXPECT_EQ(
        StatementElencoCombo({"IdCliente", "Clienti", "Cognome"}, "Clienti", "Attivo <> 0").Sql,
        "SELECT Cognome  FROM Clienti where Attivo <> 0 Order By  Cognome");

    // Eleven separators are the most an item can have.
    QStringList parti{"Id", ""};
    for (int i = 0; i < 12; ++i)
        parti << QStringLiteral("C%1").arg(i) << "-";
    parti.removeLast();
    EXPECT_EQ(StatementElencoCombo(parti, "T", "").Separatori.size(), 11);
    parti << "-"
          << "C12";
    try {
        StatementElencoCombo(parti, "T", "");
        ADD_FAILURE() << "a twelfth separator must fail";
    } catch (const TessaroError& err) {
        EXPECT_EQ(err.Number(), Err::SubscriptOutOfRange);
    }

    EXPECT_EQ(StatementChiaviCombo("Clienti", " Cognome,  Nome", ""),
              "select * from Clienti Order By  Cognome,  Nome");
    EXPECT_EQ(StatementChiaviCombo("Categorie", "", "Attiva = 1"),
              "select * from Categorie where Attiva = 1");
    EXPECT_EQ(StatementRigaCombo("Clienti", "IdCliente", "O''Brien"),
              "SELECT * FROM Clienti WHERE ((Clienti.IdCliente) = 'O''Brien')");

    EXPECT_TRUE(TagComboNonValido({"IdCategoria", "Descrizione"}));
    EXPECT_FALSE(TagComboNonValido({"IdCategoria", ""}));
    EXPECT_FALSE(TagComboNonValido({"IdCategoria", "Categorie", "Descrizione"}));
}

// Orders with a customer (text key) and a category (integer key).
class LookupCombosTest : public BindingTest {
protected:
    void Schema(const QString& extra = QString()) {
        UseScript("CREATE TABLE Categorie (IdCategoria INTEGER PRIMARY KEY, Descrizione TEXT,"
                  " Attiva INTEGER);"
                  "INSERT INTO Categorie VALUES (1, 'Bulloni', 1);"
                  "INSERT INTO Categorie VALUES (2, 'Chiodi', 0);"
                  "INSERT INTO Categorie VALUES (3, 'Viti', 1);"
                  "CREATE TABLE Clienti (IdCliente TEXT PRIMARY KEY, Cognome TEXT, Nome TEXT,"
                  " Citta TEXT, Telefono TEXT, Email TEXT);"
                  "INSERT INTO Clienti VALUES ('R1', 'Rossi', 'Mario', 'Torino', '011', 'm@x.it');"
                  "INSERT INTO Clienti VALUES ('B2', 'Bianchi', 'Luca', 'Milano', '02', 'l@x.it');"
                  "INSERT INTO Clienti VALUES ('R3', 'Rossi', 'Anna', 'Roma', '06', NULL);"
                  "INSERT INTO Clienti VALUES ('O''B', 'O''Brien', 'Sean', 'Dublino', '353', NULL);"
                  "CREATE TABLE Ordini (IdOrdine INTEGER PRIMARY KEY, Numero TEXT,"
                  " IdCliente TEXT REFERENCES Clienti(IdCliente),"
                  " IdCategoria INTEGER REFERENCES Categorie(IdCategoria));"
                  "INSERT INTO Ordini VALUES (1, 'A-1', 'R1', 2);"
                  "INSERT INTO Ordini VALUES (2, 'A-2', 'B2', 3);" +
                  extra);
    }
    bool InitOrdini() { return Init("Ordini", "IdOrdine"); }

    const QString kTagCliente = Tag({"IdCliente", "", "Cognome", " - ", "Nome"});
};

TEST_F(LookupCombosTest, SingleColumnItemsAndKeysFollowTheSameRows) {
    Schema("INSERT INTO Categorie VALUES (4, 'Viti', 1)");
    auto* cboCategoria = AddCombo("cboCategoria", "#IdCategoria");
    db->Exec("UPDATE Ordini SET IdCategoria = 4 WHERE IdOrdine = 2");
    ASSERT_TRUE(InitOrdini());

    EXPECT_EQ(Items(cboCategoria), QStringList({"Bulloni", "Chiodi", "Viti", "Viti"}));
    const ChiaviCombo* k = Keys("cboCategoria");
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(k->Chiavi, std::vector<QString>({"1", "2", "3", "4"}));
    EXPECT_EQ(k->Ordinamento, "");
    EXPECT_EQ(cboCategoria->currentIndex(), 3) << "the item of the record's key, not its text";

    nav.MoveFirst();
    EXPECT_EQ(cboCategoria->currentIndex(), 1);
}

TEST_F(LookupCombosTest, MultiColumnItemsAreJoinedBySeparatorsAndOrderedByTheirColumns) {
    Schema("INSERT INTO Clienti VALUES ('V9', 'Verdi', NULL, NULL, NULL, NULL)");
    auto* cboCliente = AddCombo("cboCliente", kTagCliente);
    ASSERT_TRUE(InitOrdini());

    EXPECT_EQ(Items(cboCliente), QStringList({"Bianchi - Luca", "O'Brien - Sean", "Rossi - Anna",
                                              "Rossi - Mario", "Verdi - "}));
    EXPECT_EQ(KeyList("cboCliente"), QStringList({"B2", "O'B", "R3", "R1", "V9"}));
    EXPECT_EQ(Keys("cboCliente")->Ordinamento, " Cognome,  Nome");
    EXPECT_EQ(cboCliente->currentText(), "Bianchi - Luca");
    nav.MoveFirst();
    EXPECT_EQ(cboCliente->currentText(), "Rossi - Mario");
}

// A lookup table without a key, linked by the caller.
class NullLookupTest : public BindingTest {
protected:
    void Schema(const QString& zone) {
        UseScript("CREATE TABLE Zone (Codice TEXT, Nome TEXT);" + zone +
                  "CREATE TABLE Luoghi (IdLuogo INTEGER PRIMARY KEY, Zona TEXT);"
                  "INSERT INTO Luoghi VALUES (1, 'A');");
    }
    bool InitLuoghi() { return Init("Luoghi", "IdLuogo", nullptr, {"", "Zona", "Zone", "Codice"}); }
};

TEST_F(NullLookupTest, NullFirstColumnStopsTheKeysWithTheirFailureBox) {
    Schema("INSERT INTO Zone VALUES ('A', 'Nord');"
           "INSERT INTO Zone VALUES (NULL, 'Centro');"
           "INSERT INTO Zone VALUES ('C', 'Sud');");
    auto* cboZona = AddCombo("cboZona", "#Zona");
    boxes.Expect();
    ASSERT_TRUE(InitLuoghi());
    ASSERT_EQ(boxes.Shown().size(), 1u);
    ExpectBox(0, Failure("ClsAdoNavigator_RiempiArrayChiaviPrimarieCombo ", 94, kInvalidNull), 16,
              Tq("TQ03"));
    EXPECT_EQ(Items(cboZona), QStringList({"Nord", "Centro", "Sud"}));
    EXPECT_EQ(KeyList("cboZona"), QStringList({"A", "", ""}));
    EXPECT_EQ(cboZona->currentText(), "Nord");
}

TEST_F(NullLookupTest, NullShownColumnStopsTheItemsWithTheirFailureBox) {
    Schema("INSERT INTO Zone VALUES ('A', 'Nord');"
           "INSERT INTO Zone VALUES ('B', NULL);"
           "INSERT INTO Zone VALUES ('C', 'Sud');");
    auto* cboZona = AddCombo("cboZona", "#Zona");
    boxes.Expect();
    ASSERT_TRUE(InitLuoghi());
    ASSERT_EQ(boxes.Shown().size(), 1u);
    ExpectBox(0, Failure("ClsAdoNavigator_FillComboWhitRecordset ", 94, kInvalidNull), 16,
              Tq("TQ03"));
    EXPECT_EQ(Items(cboZona), QStringList({"Nord"}));
    EXPECT_EQ(KeyList("cboZona"), QStringList({"A", "B", "C"}));
    EXPECT_EQ(cboZona->currentText(), "Nord");
}

TEST_F(NullLookupTest, NullInAMultiColumnItemIsAnEmptyPiece) {
    Schema("INSERT INTO Zone VALUES ('C', 'Sud');"
           "INSERT INTO Zone VALUES ('B', NULL);"
           "INSERT INTO Zone VALUES ('A', 'Nord');");
    auto* cboZona = AddCombo("cboZona", Tag({"Zona", "", "Codice", " - ", "Nome"}));
    ASSERT_TRUE(InitLuoghi());
    EXPECT_EQ(Items(cboZona), QStringList({"A - Nord", "B - ", "C - Sud"}));
    EXPECT_EQ(KeyList("cboZona"), QStringList({"A", "B", "C"}));
}

TEST_F(LookupCombosTest, ConditionRestrictsTheListOnlyForANewRecord) {
    Schema();
    auto* cboCategoria = AddCombo("cboCategoria", "#IdCategoria");
    cboCategoria->setProperty("DataField", "Attiva = 1");
    auto* cboTutte = AddCombo("cboTutte", "#IdCategoria");
    ASSERT_TRUE(InitOrdini());
    EXPECT_EQ(Items(cboCategoria), QStringList({"Bulloni", "Chiodi", "Viti"}));

    nav.SetState(StatoNavigatore::NuovoRecord);
    nav.FillCombo(Combo(cboCategoria));
    EXPECT_EQ(Items(cboCategoria), QStringList({"Bulloni", "Viti"}));
    EXPECT_EQ(KeyList("cboCategoria"), QStringList({"1", "3"}));
    nav.FillCombo(Combo(cboTutte));
    EXPECT_EQ(Items(cboTutte).size(), 3) << "no condition, no restriction";

    // The key list reloaded for the same combo keeps describing its items.
    nav.AggiornaChiaviPrimarieCombo(Combo(cboCategoria), "Categorie");
    EXPECT_EQ(KeyList("cboCategoria"), QStringList({"1", "3"}));

    nav.SetState(StatoNavigatore::UltimoRecord);
    cboTutte->clear();
    nav.FillComboConOfForm();
    EXPECT_EQ(Items(cboCategoria), QStringList({"Bulloni", "Chiodi", "Viti"}));
    EXPECT_EQ(KeyList("cboCategoria"), QStringList({"1", "2", "3"}));
    EXPECT_EQ(cboTutte->count(), 0) << "only combos with a condition are refilled";
}

TEST_F(LookupCombosTest, RemovingDisabledRowsKeepsTheShownItem) {
    Schema();
    auto* cboCategoria = AddCombo("cboCategoria", "#IdCategoria");
    cboCategoria->setProperty("DataField", "Attiva = 1");
    ASSERT_TRUE(InitOrdini());
    ASSERT_EQ(cboCategoria->currentText(), "Viti");

    nav.VerificaComboConOfForm();
    EXPECT_EQ(Items(cboCategoria), QStringList({"Bulloni", "Viti"}));
    EXPECT_EQ(cboCategoria->currentText(), "Viti");
    EXPECT_EQ(KeyList("cboCategoria"), QStringList({"1", "3"}));

    // A record on a disabled row loses its selection.
    nav.FillComboConOfForm();
    nav.MoveFirst();
    ASSERT_EQ(cboCategoria->currentText(), "Chiodi");
    nav.RimuoviDisabilitatiDaCombo(Combo(cboCategoria));
    EXPECT_EQ(cboCategoria->currentIndex(), -1);
    EXPECT_EQ(Items(cboCategoria), QStringList({"Bulloni", "Viti"}));
}

TEST_F(LookupCombosTest, RefillingKeepsOneEntryWithItsFirstOrderText) {
    Schema();
    auto* cboCliente = AddCombo("cboCliente", kTagCliente);
    ASSERT_TRUE(InitOrdini());
    db->Exec("INSERT INTO Clienti VALUES ('A0', 'Abate', 'Zeno', NULL, NULL, NULL)");
    nav.FillCombo(Combo(cboCliente));

    int entries = 0;
    for (const auto& v : nav.ArrayChiaviPrimarieCombo())
        entries += v.Name == "cboCliente" ? 1 : 0;
    EXPECT_EQ(entries, 1);
    EXPECT_EQ(KeyList("cboCliente"), QStringList({"A0", "B2", "O'B", "R3", "R1"}));

    cboCliente->setProperty("Tag", Tag({"IdCliente", "", "Nome"}));
    nav.FillCombo(Combo(cboCliente));
    EXPECT_EQ(Items(cboCliente), QStringList({"Anna", "Luca", "Mario", "Sean", "Zeno"}));
    EXPECT_EQ(KeyList("cboCliente"), QStringList({"R3", "B2", "R1", "O'B", "A0"}));
    EXPECT_EQ(Keys("cboCliente")->Ordinamento, " Cognome,  Nome");

    // Reloading the keys alone follows the order text kept from the first fill.
    db->Exec("INSERT INTO Clienti VALUES ('Z9', 'Zanetti', 'Ada', NULL, NULL, NULL)");
    nav.AggiornaChiaviPrimarieCombo(Combo(cboCliente), "Clienti");
    EXPECT_EQ(KeyList("cboCliente"), QStringList({"A0", "B2", "O'B", "R3", "R1", "Z9"}));
}

TEST_F(LookupCombosTest, KeysOfAnUnknownComboCannotBeReloaded) {
    Schema();
    ASSERT_TRUE(InitOrdini());
    auto* cboNuovo = AddCombo("cboNuovo", "#IdCategoria");
    try {
        nav.AggiornaChiaviPrimarieCombo(Combo(cboNuovo), "Categorie");
        ADD_FAILURE() << "a combo never filled has no key list";
    } catch (const TessaroError& e) {
        EXPECT_EQ(e.Number(), Err::SubscriptOutOfRange);
    }
}

TEST_F(LookupCombosTest, TwoPartTagIsRefusedAndLeavesTheComboAlone) {
    Schema();
    ASSERT_TRUE(InitOrdini());
    auto* cboCattivo = AddCombo("cboCattivo", Tag({"IdCategoria", "Descrizione"}));
    cboCattivo->addItems({"resta"});
    boxes.Expect();
    nav.FillCombo(Combo(cboCattivo));
    ASSERT_EQ(boxes.Shown().size(), 1u);
    ExpectBox(0, Tq("TQ26") + " cboCattivo " + Tq("TQ27"), 48, Tq("TQ02"));
    EXPECT_EQ(Items(cboCattivo), QStringList({"resta"}));
    EXPECT_EQ(Keys("cboCattivo"), nullptr);
}

TEST_F(LookupCombosTest, ColumnByNameOrNumberButNotBoth) {
    Schema();
    ASSERT_TRUE(InitOrdini());
    auto* cbo = AddCombo("cbo", "#IdCategoria");
    Recordset rs;
    rs.Open("SELECT * FROM Categorie", conn.get(), adOpenStatic, adLockReadOnly, adCmdText);

    NavigatorTestAccess::FillWith(nav, Combo(cbo), rs, "Descrizione", 0);
    EXPECT_EQ(Items(cbo), QStringList({"Bulloni", "Chiodi", "Viti"}));
    NavigatorTestAccess::FillWith(nav, Combo(cbo), rs, "", 1);
    EXPECT_EQ(Items(cbo), QStringList({"1", "2", "3"}));
    NavigatorTestAccess::FillWith(nav, Combo(cbo), rs, "", -1);
    EXPECT_EQ(Items(cbo), QStringList({"Bulloni", "Chiodi", "Viti"}));

    boxes.Expect();
    NavigatorTestAccess::FillWith(nav, Combo(cbo), rs, "Descrizione", 2);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    ExpectBox(0, Tq("TQ25"), 0, Tq("TQ03"));
    EXPECT_EQ(cbo->count(), 0);
}

TEST_F(LookupCombosTest, PickingAnItemFillsTheTextBoxesOfItsTable) {
    Schema();
    auto* cboCliente = AddCombo("cboCliente", kTagCliente);
    auto* txtCitta = AddText("txtCitta", Tag({"IdCliente", "Citta"}));
    auto* txtTelefono = AddText("txtTelefono", Tag({"IdCliente", "Clienti.Telefono"}));
    auto* txtEmail = AddText("txtEmail", Tag({"IdCliente", "Email"}));
    auto* txtNumero = AddText("txtNumero", "#Numero");
    ASSERT_TRUE(InitOrdini());
    ASSERT_EQ(txtCitta->text(), "Milano");
    ASSERT_EQ(txtEmail->text(), "l@x.it");

    const int obrien = static_cast<int>(KeyList("cboCliente").indexOf("O'B"));
    ASSERT_GE(obrien, 0);
    Combo(cboCliente).SetListIndex(obrien);
    nav.SincronizzaTabelleComboItem(Combo(cboCliente));
    EXPECT_EQ(txtCitta->text(), "Dublino");
    EXPECT_EQ(txtTelefono->text(), "353") << "the table qualifier is dropped";
    EXPECT_EQ(txtEmail->text(), "") << "Null empties";
    EXPECT_EQ(txtNumero->text(), "A-2") << "other columns are not touched";

    // Nothing picked, nothing changes.
    txtCitta->setText("digitato");
    Combo(cboCliente).SetListIndex(-1);
    nav.SincronizzaTabelleComboItem(Combo(cboCliente));
    EXPECT_EQ(txtCitta->text(), "digitato");
}

TEST_F(LookupCombosTest, PickingAnItemWithAnIntegerKey) {
    Schema();
    auto* cboCategoria = AddCombo("cboCategoria", "#IdCategoria");
    auto* txtDescrizione = AddText("txtDescrizione", Tag({"IdCategoria", "Descrizione"}));
    ASSERT_TRUE(InitOrdini());
    Combo(cboCategoria).SetListIndex(0);
    nav.SincronizzaTabelleComboItem(Combo(cboCategoria));
    EXPECT_EQ(txtDescrizione->text(), "Bulloni");

    // A combo whose column has no link reports the failure.
    cboCategoria->setProperty("Tag", "#Sconosciuta");
    boxes.Expect();
    nav.SincronizzaTabelleComboItem(Combo(cboCategoria));
    ASSERT_EQ(boxes.Shown().size(), 1u);
    ExpectBox(0,
              Failure("ClsAdoNavigator_Metodo_SincronizzaTabelleComboItem ",
                      Err::SubscriptOutOfRange,
                      TessaroError::StandardDescription(Err::SubscriptOutOfRange)),
              16, Tq("TQ03"));
}

TEST_F(LookupCombosTest, ComboWithoutThePrefixStopsTheWalk) {
    Schema();
    auto* cboA = AddCombo("cboA", "#IdCategoria");
    AddCombo("cboB", "IdCliente");
    auto* cboC = AddCombo("cboC", kTagCliente);
    const QString nove = TessaroError::StandardDescription(Err::SubscriptOutOfRange);
    boxes.Expect();
    boxes.Expect(); // showing the record then meets cboC without a key list
    ASSERT_TRUE(InitOrdini());
    ASSERT_EQ(boxes.Shown().size(), 2u);
    ExpectBox(0, Failure("ClsAdoNavigator_FillComboOfForm ", Err::SubscriptOutOfRange, nove), 16,
              Tq("TQ03"));
    ExpectBox(1,
              Failure("ClsAdoNavigator_Metodo_ShowCurrentRecord ", Err::SubscriptOutOfRange, nove),
              16, Tq("TQ03"));
    EXPECT_EQ(cboA->count(), 3);
    EXPECT_EQ(cboC->count(), 0) << "combos after the failing one are not filled";
    EXPECT_EQ(Keys("cboC"), nullptr);
}

} // namespace
} // namespace tessaro::test
