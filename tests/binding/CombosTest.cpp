// Lookup combos: their items and keys, conditions, refills and picking.

#include "binding/ComboSql.h"
#include "support/FormFixtures.h"

namespace tessaro::test {
namespace {

// How a Tag reads on each kind of control, and the item list a combo builds;
// the lists themselves are checked on real combos below.
TEST(ComboSql, BindingsAndStatements) {
    const QString s = kSep;
    const auto combo = [](const QString& tag) { return LeggiLegame(tag, "#", true); };
    EXPECT_FALSE(combo("#IdCategoria" + s).nonValido);
    EXPECT_EQ(LeggiLegame("IdCliente", "", false).ColonnaMostrata(), "IdCliente");
    EXPECT_EQ(StatementElencoCombo(combo("#Id" + s + "T" + s + "C"), "T", "A <> 0").Sql,
              "SELECT C  FROM T where A <> 0 Order By  C");
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
    QStringList KeyList(const QString& combo, const clsADONavigator* n = nullptr) const {
        for (const auto& v : (n ? *n : nav).ArrayChiaviPrimarieCombo())
            if (v.Name == combo)
                return QStringList(v.Chiavi.begin(), v.Chiavi.end());
        return {"<none>"};
    }
    static ComboBox& Of(QComboBox* c) { return AsComboBox(*ControlOf(c)); }
    const QString kTagCliente = Tag({"IdCliente", "", "Cognome", " - ", "Nome"});
};

TEST_F(Combo, ItemsKeysConditionsRefillsAndPicking) {
    Ordini({"INSERT INTO Clienti VALUES ('V9', 'Verdi', NULL, NULL, NULL, NULL)"});
    auto* cboCategoria = AddCombo("cboCategoria", "#IdCategoria");
    cboCategoria->setProperty("DataField", "Attiva = 1");
    auto* cboTutte = AddCombo("cboTutte", "#IdCategoria");
    auto* cboCliente = AddCombo("cboCliente", kTagCliente);
    auto* txtCitta = AddText("txtCitta", Tag({"IdCliente", "Citta"}));
    auto* txtTelefono = AddText("txtTelefono", Tag({"IdCliente", "Clienti.Telefono"}));
    auto* txtEmail = AddText("txtEmail", Tag({"IdCliente", "Email"}));
    auto* txtNumero = AddText("txtNumero", "#Numero");
    auto* txtDescrizione = AddText("txtDescrizione", Tag({"IdCategoria", "Descrizione"}));
    ASSERT_TRUE(Init("Ordini", "IdOrdine"));
    EXPECT_EQ(Items(cboCategoria), QStringList({"Bulloni", "Chiodi", "Viti"}));
    EXPECT_EQ(KeyList("cboCategoria"), QStringList({"1", "2", "3"}));
    EXPECT_EQ(Items(cboCliente), QStringList({"Bianchi - Luca", "O'Brien - Sean", "Rossi - Anna",
                                              "Rossi - Mario", "Verdi - "}));
    EXPECT_EQ(KeyList("cboCliente"), QStringList({"B2", "O'B", "R3", "R1", "V9"}));
    EXPECT_EQ(cboCliente->currentText() + "|" + cboCategoria->currentText() + "|" +
                  txtCitta->text() + txtEmail->text(),
              "Bianchi - Luca|Viti|Milanol@x.it");

    // Picking an item fills the text boxes of its table: the table qualifier
    // dropped, Null empties, other columns untouched; nothing picked, nothing changes.
    Of(cboCliente).SetListIndex(static_cast<int>(KeyList("cboCliente").indexOf("O'B")));
    nav.SincronizzaTabelleComboItem(Of(cboCliente));
    EXPECT_EQ(txtCitta->text() + "|" + txtTelefono->text() + "|" + txtEmail->text() + "|" +
                  txtNumero->text(),
              "Dublino|353||A-2");
    txtCitta->setText("digitato");
    Of(cboCliente).SetListIndex(-1);
    nav.SincronizzaTabelleComboItem(Of(cboCliente));
    Of(cboCategoria).SetListIndex(0);
    nav.SincronizzaTabelleComboItem(Of(cboCategoria));
    EXPECT_EQ(txtCitta->text() + "|" + txtDescrizione->text(), "digitato|Bulloni");
    nav.MoveFirst();
    EXPECT_EQ(cboCliente->currentText() + "|" + cboCategoria->currentText(),
              "Rossi - Mario|Chiodi");

    // A condition restricts the list and its keys for a new record only.
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
    Of(cboCategoria).SetListIndex(0);
    cboCategoria->setProperty("Tag", "#Sconosciuta");
    ExpectOneBox([&] { nav.SincronizzaTabelleComboItem(Of(cboCategoria)); },
                 "ClsAdoNavigator_Metodo_SincronizzaTabelleComboItem 9 " +
                     TessaroError::StandardDescription(Err::SubscriptOutOfRange),
                 16, "TQ03");
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

} // namespace
} // namespace tessaro::test
