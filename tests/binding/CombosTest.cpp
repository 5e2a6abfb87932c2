// Lookup combos: their items and keys, conditions, refills and picking.

#include "binding/ComboSql.h"
#include "support/FormFixtures.h"

namespace tessaro::test {
namespace {

// How a Tag reads on each kind of control, and the item list a combo builds.
TEST(ComboSql, BindingsAndStatements) {
    const QString s = kSep;
    const auto combo = [](const QString& tag) { return LeggiLegame(tag, "#", true); };
    EXPECT_FALSE(combo("IdCategoria").Legato()) << "a Tag without the prefix binds nothing";
    EXPECT_TRUE(combo("#IdCategoria" + s + "Descrizione").nonValido);
    EXPECT_FALSE(combo("#IdCategoria" + s).nonValido);
    const Legame collegata = LeggiLegame("x#IdCliente" + s + "Clienti.Nome", "#", false);
    EXPECT_EQ(collegata.tipo, TipoLegame::ColonnaCollegata);
    EXPECT_EQ(collegata.ColonnaMostrata(), "Clienti.Nome");
    EXPECT_EQ(LeggiLegame("IdCliente", "", false).ColonnaMostrata(), "IdCliente");

    EXPECT_EQ(StatementElencoCombo(combo("#IdCategoria" + s), "Categorie", "Attiva = 1").Sql,
              "select * from Categorie where Attiva = 1");
    const Legame voce = combo("#IdCliente" + s + s + "Cognome" + s + " - " + s + "Nome");
    EXPECT_EQ(voce.separatori, QStringList({" - "}));
    const ElencoCombo e = StatementElencoCombo(voce, "Clienti", "");
    EXPECT_TRUE(e.MultiColonna);
    EXPECT_EQ(e.Sql, "SELECT Cognome , Nome  FROM Clienti Order By  Cognome,  Nome");
    EXPECT_EQ(StatementElencoCombo(combo("#Id" + s + "T" + s + "C"), "T", "A <> 0").Sql,
              "SELECT C  FROM T where A <> 0 Order By  C");
    QString lungo = "#Id" + s;
    for (int i = 0; i < 12; ++i)
        lungo += s + QStringLiteral("C%1").arg(i) + s + "-";
    lungo.chop(2);
    EXPECT_EQ(combo(lungo).separatori.size(), 11);
    EXPECT_EQ(
        RaisedBy([&] { StatementElencoCombo(combo(lungo + s + "-" + s + "C12"), "T", ""); }).number,
        Err::SubscriptOutOfRange)
        << "eleven separators are the most";
    EXPECT_EQ(StatementChiaviCombo("Clienti", " Cognome,  Nome", "A = 1"),
              "select * from Clienti where A = 1 Order By  Cognome,  Nome");
    EXPECT_EQ(StatementRigaCombo("Clienti", "IdCliente", "O''Brien"),
              "SELECT * FROM Clienti WHERE ((Clienti.IdCliente) = 'O''Brien')");
}

// Orders with a customer (text key) and a category (integer key).
class Combo : public FormaTest {
protected:
    void Ordini(const QStringList& extra = {}) {
        Schema(QStringList{
                   "CREATE TABLE Categorie (IdCategoria INTEGER PRIMARY KEY, Descrizione TEXT,"
                   " Attiva INTEGER)",
                   "INSERT INTO Categorie VALUES (1, 'Bulloni', 1), (2, 'Chiodi', 0), "
                   "(3, 'Viti', 1)",
                   "CREATE TABLE Clienti (IdCliente TEXT PRIMARY KEY, Cognome TEXT, Nome TEXT,"
                   " Citta TEXT, Telefono TEXT, Email TEXT)",
                   "INSERT INTO Clienti VALUES ('R1', 'Rossi', 'Mario', 'Torino', '011', 'm@x.it'),"
                   "('B2', 'Bianchi', 'Luca', 'Milano', '02', 'l@x.it'),"
                   "('R3', 'Rossi', 'Anna', 'Roma', '06', NULL),"
                   "('O''B', 'O''Brien', 'Sean', 'Dublino', '353', NULL)",
                   "CREATE TABLE Ordini (IdOrdine INTEGER PRIMARY KEY, Numero TEXT,"
                   " IdCliente TEXT REFERENCES Clienti(IdCliente),"
                   " IdCategoria INTEGER REFERENCES Categorie(IdCategoria))",
                   "INSERT INTO Ordini VALUES (1, 'A-1', 'R1', 2), (2, 'A-2', 'B2', 3)"} +
               extra);
    }
    QStringList KeyList(const QString& combo) const {
        for (const auto& v : nav.ArrayChiaviPrimarieCombo())
            if (v.Name == combo)
                return QStringList(v.Chiavi.begin(), v.Chiavi.end());
        return {"<none>"};
    }
    static ComboBox& Of(QComboBox* c) { return AsComboBox(*ControlOf(c)); }
    const QString kTagCliente = Tag({"IdCliente", "", "Cognome", " - ", "Nome"});
};

TEST_F(Combo, ItemsAndKeysComeFromTheSameRowsInTheSameOrder) {
    Ordini({"INSERT INTO Clienti VALUES ('V9', 'Verdi', NULL, NULL, NULL, NULL)"});
    auto* cboCategoria = AddCombo("cboCategoria", "#IdCategoria");
    auto* cboCliente = AddCombo("cboCliente", kTagCliente);
    ASSERT_TRUE(Init("Ordini", "IdOrdine"));
    EXPECT_EQ(Items(cboCategoria), QStringList({"Bulloni", "Chiodi", "Viti"}));
    EXPECT_EQ(KeyList("cboCategoria"), QStringList({"1", "2", "3"}));
    EXPECT_EQ(Items(cboCliente), QStringList({"Bianchi - Luca", "O'Brien - Sean", "Rossi - Anna",
                                              "Rossi - Mario", "Verdi - "}));
    EXPECT_EQ(KeyList("cboCliente"), QStringList({"B2", "O'B", "R3", "R1", "V9"}));
    EXPECT_EQ(cboCliente->currentText() + "|" + cboCategoria->currentText(), "Bianchi - Luca|Viti");
    nav.MoveFirst();
    EXPECT_EQ(cboCliente->currentText() + "|" + cboCategoria->currentText(),
              "Rossi - Mario|Chiodi");

    // Refilling keeps one entry, with the order text of its first fill.
    banco->Exec({"INSERT INTO Clienti VALUES ('A0', 'Abate', 'Zeno', NULL, NULL, NULL)"});
    cboCliente->setProperty("Tag", Tag({"IdCliente", "", "Nome"}));
    nav.FillCombo(Of(cboCliente));
    EXPECT_EQ(Items(cboCliente), QStringList({"", "Anna", "Luca", "Mario", "Sean", "Zeno"}));
    EXPECT_EQ(KeyList("cboCliente"), QStringList({"V9", "R3", "B2", "R1", "O'B", "A0"}));
    nav.AggiornaChiaviPrimarieCombo(Of(cboCliente), "Clienti");
    EXPECT_EQ(KeyList("cboCliente"), QStringList({"A0", "B2", "O'B", "R3", "R1", "V9"}));
    int entries = 0;
    for (const auto& v : nav.ArrayChiaviPrimarieCombo())
        entries += v.Name == "cboCliente";
    EXPECT_EQ(entries, 1);
}

TEST_F(Combo, NullsInALookupTable) {
    const auto run = [&](const QString& rows, const QString& tag) {
        Schema({"DROP TABLE IF EXISTS Zone", "DROP TABLE IF EXISTS Luoghi",
                "CREATE TABLE Zone (Codice TEXT, Nome TEXT)", rows,
                "CREATE TABLE Luoghi (IdLuogo INTEGER PRIMARY KEY, Zona TEXT)",
                "INSERT INTO Luoghi VALUES (1, 'A')"});
        QComboBox* combo = form->findChild<QComboBox*>("cboZona");
        if (!combo)
            combo = AddCombo("cboZona", tag);
        combo->setProperty("Tag", tag);
        clsADONavigator n;
        n.TipoDatabase = 4;
        EXPECT_TRUE(n.Init_Class(conn.get(), "Luoghi", FormOf(form.get()), "IdLuogo",
                                 {"", "Zona", "Zone", "Codice"}, "#", ""));
        QStringList keys;
        for (const auto& v : n.ArrayChiaviPrimarieCombo())
            if (v.Name == "cboZona")
                keys = QStringList(v.Chiavi.begin(), v.Chiavi.end());
        return Items(combo).join(",") + "/" + keys.join(",");
    };
    const auto failure = [](const char* label) {
        return QLatin1String(label) + "94 Invalid use of Null";
    };
    boxes.Expect();
    EXPECT_EQ(run("INSERT INTO Zone VALUES ('A', 'Nord'), (NULL, 'Centro'), ('C', 'Sud')", "#Zona"),
              "Nord,Centro,Sud/A,,");
    ExpectBox(0, failure("ClsAdoNavigator_RiempiArrayChiaviPrimarieCombo "), 16, "TQ03");
    boxes.Expect();
    EXPECT_EQ(run("INSERT INTO Zone VALUES ('A', 'Nord'), ('B', NULL), ('C', 'Sud')", "#Zona"),
              "Nord/A,B,C");
    ExpectBox(1, failure("ClsAdoNavigator_FillComboWhitRecordset "), 16, "TQ03");
    EXPECT_EQ(run("INSERT INTO Zone VALUES ('C', 'Sud'), ('B', NULL), ('A', 'Nord')",
                  Tag({"Zona", "", "Codice", " - ", "Nome"})),
              "A - Nord,B - ,C - Sud/A,B,C")
        << "a Null in a multi-column item is an empty piece";
}

TEST_F(Combo, AConditionRestrictsTheListForANewRecordOnly) {
    Ordini();
    auto* cboCategoria = AddCombo("cboCategoria", "#IdCategoria");
    cboCategoria->setProperty("DataField", "Attiva = 1");
    auto* cboTutte = AddCombo("cboTutte", "#IdCategoria");
    ASSERT_TRUE(Init("Ordini", "IdOrdine"));
    EXPECT_EQ(Items(cboCategoria).size(), 3);
    nav.SetState(StatoNavigatore::NuovoRecord);
    nav.FillCombo(Of(cboCategoria));
    nav.FillCombo(Of(cboTutte));
    EXPECT_EQ(Items(cboCategoria), QStringList({"Bulloni", "Viti"}));
    EXPECT_EQ(KeyList("cboCategoria"), QStringList({"1", "3"}));
    EXPECT_EQ(Items(cboTutte).size(), 3) << "no condition, no restriction";
    nav.AggiornaChiaviPrimarieCombo(Of(cboCategoria), "Categorie");
    EXPECT_EQ(KeyList("cboCategoria"), QStringList({"1", "3"})) << "keys follow their items";
    nav.SetState(StatoNavigatore::UltimoRecord);
    cboTutte->clear();
    nav.FillComboConOfForm();
    EXPECT_EQ(KeyList("cboCategoria"), QStringList({"1", "2", "3"}));
    EXPECT_EQ(cboTutte->count(), 0) << "only combos with a condition are refilled";
    nav.FillCombo(Of(cboTutte));

    // Removing the disabled rows keeps the item shown, or shows none when it goes.
    nav.MoveLast();
    nav.VerificaComboConOfForm();
    EXPECT_EQ(Items(cboCategoria), QStringList({"Bulloni", "Viti"}));
    EXPECT_EQ(cboCategoria->currentText(), "Viti");
    nav.FillComboConOfForm();
    nav.MoveFirst();
    ASSERT_EQ(cboCategoria->currentText(), "Chiodi");
    nav.RimuoviDisabilitatiDaCombo(Of(cboCategoria));
    EXPECT_EQ(cboCategoria->currentIndex(), -1);
}

TEST_F(Combo, BadTagsAreReported) {
    Ordini();
    auto* cboA = AddCombo("cboA", "#IdCategoria");
    AddCombo("cboB", "IdCliente"); // no prefix: the walk stops there
    auto* cboC = AddCombo("cboC", kTagCliente);
    const QString nove = TessaroError::StandardDescription(Err::SubscriptOutOfRange);
    boxes.Expect();
    boxes.Expect(); // showing the record then meets cboC without a key list
    ASSERT_TRUE(Init("Ordini", "IdOrdine"));
    ExpectBox(0, "ClsAdoNavigator_FillComboOfForm 9 " + nove, 16, "TQ03");
    ExpectBox(1, "ClsAdoNavigator_Metodo_ShowCurrentRecord 9 " + nove, 16, "TQ03");
    EXPECT_EQ(cboA->count(), 3);
    EXPECT_EQ(cboC->count(), 0) << "combos after the failing one are not filled";

    auto* cboCattivo = AddCombo("cboCattivo", Tag({"IdCategoria", "Descrizione"}));
    cboCattivo->addItems({"resta"});
    ExpectOneBox([&] { nav.FillCombo(Of(cboCattivo)); }, "TQ26 cboCattivo TQ27", 48, "TQ02");
    EXPECT_EQ(Items(cboCattivo), QStringList({"resta"}));
}

TEST_F(Combo, PickingAnItemFillsTheTextBoxesOfItsTable) {
    Ordini();
    auto* cboCliente = AddCombo("cboCliente", kTagCliente);
    auto* txtCitta = AddText("txtCitta", Tag({"IdCliente", "Citta"}));
    auto* txtTelefono = AddText("txtTelefono", Tag({"IdCliente", "Clienti.Telefono"}));
    auto* txtEmail = AddText("txtEmail", Tag({"IdCliente", "Email"}));
    auto* txtNumero = AddText("txtNumero", "#Numero");
    auto* cboCategoria = AddCombo("cboCategoria", "#IdCategoria");
    auto* txtDescrizione = AddText("txtDescrizione", Tag({"IdCategoria", "Descrizione"}));
    ASSERT_TRUE(Init("Ordini", "IdOrdine"));
    ASSERT_EQ(txtCitta->text() + txtEmail->text(), "Milanol@x.it");
    Of(cboCliente).SetListIndex(static_cast<int>(KeyList("cboCliente").indexOf("O'B")));
    nav.SincronizzaTabelleComboItem(Of(cboCliente));
    EXPECT_EQ(txtCitta->text(), "Dublino");
    EXPECT_EQ(txtTelefono->text(), "353") << "the table qualifier is dropped";
    EXPECT_EQ(txtEmail->text(), "") << "Null empties";
    EXPECT_EQ(txtNumero->text(), "A-2") << "other columns are not touched";
    txtCitta->setText("digitato");
    Of(cboCliente).SetListIndex(-1);
    nav.SincronizzaTabelleComboItem(Of(cboCliente));
    EXPECT_EQ(txtCitta->text(), "digitato") << "nothing picked, nothing changes";
    Of(cboCategoria).SetListIndex(0);
    nav.SincronizzaTabelleComboItem(Of(cboCategoria));
    EXPECT_EQ(txtDescrizione->text(), "Bulloni");
    cboCategoria->setProperty("Tag", "#Sconosciuta");
    ExpectOneBox([&] { nav.SincronizzaTabelleComboItem(Of(cboCategoria)); },
                 "ClsAdoNavigator_Metodo_SincronizzaTabelleComboItem 9 " +
                     TessaroError::StandardDescription(Err::SubscriptOutOfRange),
                 16, "TQ03");
}

} // namespace
} // namespace tessaro::test
