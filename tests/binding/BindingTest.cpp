// Showing the record, opening and locking the controls, printing, and the
// lookup combos.

#include "binding/ComboSql.h"
#include "support/FormFixtures.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QTextBrowser>

namespace tessaro::test {
namespace {

const QStringList kArticoli = {
    "CREATE TABLE Categorie (IdCategoria INTEGER PRIMARY KEY, Descrizione TEXT, Attiva INTEGER)",
    "INSERT INTO Categorie VALUES (1, 'Bulloni', 1), (2, 'Chiodi', 0), (3, 'Viti', 1)",
    "CREATE TABLE Articoli (IdArticolo INTEGER PRIMARY KEY, Nome TEXT, Prezzo REAL, Attivo INTEGER,"
    " Sospeso INTEGER, Note TEXT, IdCategoria INTEGER REFERENCES Categorie(IdCategoria))",
    "INSERT INTO Articoli VALUES (1, 'Dado', 0.5, 0, 1, 'primo', 1), "
    "(2, 'Vite', 2.25, 5, NULL, NULL, 3)"};

using Mostra = FormaTest;

TEST_F(Mostra, BoundControlsShowLockOpenAndEmptyByTheTagRule) {
    Schema(kArticoli);
    auto* txtNome = AddText("txtNome", "#Nome");
    auto* txtPrezzo = AddText("txtPrezzo", "#Prezzo");
    auto* txtNota = AddText("txtNota", "#Note");
    auto* txtDopo = AddText("txtDopo", "ab#Nome"); // the prefix need not come first
    auto* txtSenza = AddText("txtSenza", "Nome");  // no prefix: not bound
    auto* txtVuoto = AddText("txtVuoto", "");
    auto* chkAttiva = AddCheck("chkAttiva", "#Attivo");
    auto* chkSospeso = AddCheck("chkSospeso", "#Sospeso");
    auto* chkCategoria = AddCheck("chkCategoria", Tag({"IdCategoria", "Attiva"}));
    const QString tag = Tag({"IdCategoria", "Descrizione", "Descrizione"});
    auto* txtCategoria = AddText("txtCategoria", tag);
    auto* cboCategoria = AddCombo("cboCategoria", tag);
    txtNota->setText("vecchio");
    txtSenza->setText("resta");
    txtVuoto->setText("anche");
    chkSospeso->setChecked(true);
    ASSERT_TRUE(Init("Articoli", "IdArticolo"));
    EXPECT_EQ(std::make_tuple(txtNome->text(), txtPrezzo->text(), txtNota->text(), txtDopo->text(),
                              txtSenza->text(), txtVuoto->text()),
              Expected("Vite", "2.25", "", "Vite", "resta", "anche"));
    EXPECT_EQ(std::make_tuple(chkAttiva->isChecked(), chkSospeso->isChecked()),
              std::make_tuple(true, false))
        << "5 is true, Null not";
    // A text box shows the linked column, a combo the item of its key.
    EXPECT_EQ(std::make_tuple(txtCategoria->text(), cboCategoria->currentText()),
              Expected("Viti", "Viti"));
    nav.MoveFirst();
    EXPECT_EQ(txtNota->text(), "primo");
    EXPECT_EQ(std::make_tuple(chkAttiva->isChecked(), chkSospeso->isChecked()),
              std::make_tuple(false, true))
        << "0 is false";

    // Locked or open: a linked column is always locked; a combo without the
    // prefix still counts.
    auto* cboSenza = AddCombo("cboSenza", "IdCategoria");
    const auto chiusi = [&] { // the names of the locked ones
        QStringList r;
        for (QComboBox* c : {cboCategoria, cboSenza})
            if (AsComboBox(*ControlOf(c)).Locked())
                r << c->objectName();
        for (QLineEdit* t : {txtNome, txtCategoria, txtSenza, txtVuoto})
            if (t->isReadOnly())
                r << t->objectName();
        for (QCheckBox* c : {chkAttiva, chkCategoria})
            if (!c->isEnabled())
                r << c->objectName();
        return r;
    };
    NavigatorTestAccess::Disabilita(nav, FormOf(form.get()));
    EXPECT_EQ(chiusi(), QStringList({"cboCategoria", "cboSenza", "txtNome", "txtCategoria",
                                     "chkAttiva", "chkCategoria"}));
    EXPECT_EQ(std::make_tuple(txtNome->isEnabled(), cboCategoria->isEnabled()),
              std::make_tuple(true, true));
    txtCategoria->setReadOnly(true);
    chkCategoria->setEnabled(false);
    NavigatorTestAccess::Abilita(nav, FormOf(form.get()));
    EXPECT_EQ(chiusi(), QStringList({"txtCategoria", "chkCategoria"}));

    cboSenza->addItems({"uno", "due"});
    cboSenza->setCurrentIndex(1);
    chkCategoria->setChecked(true);
    NavigatorTestAccess::Pulisci(nav, FormOf(form.get()));
    EXPECT_EQ(std::make_tuple(txtNome->text(), txtCategoria->text(), txtSenza->text(),
                              txtVuoto->text(), cboCategoria->currentIndex(),
                              cboSenza->currentIndex()),
              Expected("", "", "", "anche", -1, -1));
    EXPECT_EQ(cboCategoria->count(), 3) << "emptying keeps the list";
    EXPECT_EQ(std::make_tuple(chkAttiva->isChecked(), chkCategoria->isChecked()),
              std::make_tuple(false, false));
}

using MostraSuEntrambi = SuEntrambi<>;

TEST_P(MostraSuEntrambi, AComboFindsLookupRowsAddedLaterAndKeepsAKeyWithoutOne) {
    Clienti();
    ASSERT_TRUE(Init());
    banco->Exec({"INSERT INTO Comuni VALUES (4, 'Napoli', 'NA', 1)",
                 "UPDATE Clienti SET IdComune = 4 WHERE IdCliente = 10"});
    nav.MoveFirst();
    EXPECT_EQ(std::make_tuple(cboComune->currentText(), txtProvincia->text()),
              Expected("Napoli", "NA"));
    // A key without a lookup row, as an import with the checks off leaves it.
    const char* senzaControlli[] = {"PRAGMA foreign_keys = OFF", "SET FOREIGN_KEY_CHECKS = 0",
                                    "SET session_replication_role = replica"};
    banco->Exec({senzaControlli[static_cast<int>(Engine())],
                 "UPDATE Clienti SET IdComune = 99 WHERE IdCliente = 20"});
    EditRecord("20");
    EXPECT_EQ(std::make_tuple(cboComune->currentIndex(), cboComune->currentText()),
              std::make_tuple(-1, QString()));
    EXPECT_EQ(std::make_tuple(txtCognome->text(), txtEta->text()), Expected("Bianchi", "50"))
        << "the walk goes on past it";
    txtCognome->setText("Bianco");
    nav.Update();
    EXPECT_EQ(Riga("20"), "Bianco|n20|50|2.5|1974-03-02|0|99|C20");
    nav.Edit();
    cboComune->setCurrentIndex(cboComune->findText("Torino"));
    nav.Update();
    EXPECT_EQ(Riga("20").section('|', 6, 6), "1") << "an item picked replaces it";
}

INSTANTIATE_FOR_ENGINES(MostraSuEntrambi);

TEST_F(Mostra, AFrameWalksItsOwnControlsOnlyAndPrintsItself) {
    Schema(kArticoli);
    auto* mnuStampa = new QAction(form.get()); // no container: asking for it fails with 438
    mnuStampa->setObjectName("mnuStampa");
    mnuStampa->setProperty("Tag", "#Nome");
    auto* fraDati = AddFrame("fraDati");
    auto* txtNome = AddText("txtNome", "#Nome", fraDati);
    auto* chkAttiva = AddCheck("chkAttiva", "#Attivo", fraDati);
    auto* txtNota = AddText("txtNota", "#Nome", AddFrame("fraInterno", fraDati));
    auto* txtFuori = AddText("txtFuori", "#Nome");
    auto* txtUltimo = AddText("txtUltimo", "#Prezzo", fraDati);
    txtNota->setText("interno");
    txtFuori->setText("fuori");
    ASSERT_TRUE(Init("Articoli", "IdArticolo", ControlOf(fraDati)));
    EXPECT_EQ(
        std::make_tuple(txtNome->text(), txtUltimo->text(), txtNota->text(), txtFuori->text()),
        Expected("Vite", "2.25", "interno", "fuori"));
    EXPECT_TRUE(txtNome->isReadOnly());
    EXPECT_FALSE(chkAttiva->isEnabled());
    EXPECT_EQ(std::make_tuple(txtNota->isReadOnly(), txtFuori->isReadOnly()),
              std::make_tuple(false, false));
    nav.SvuotaControlli();
    EXPECT_EQ(std::make_tuple(txtNome->text(), txtNota->text(), txtFuori->text()),
              Expected("", "interno", "fuori"));
    EXPECT_FALSE(chkAttiva->isChecked());
    nav.MoveFirst(); // the walk goes on past the control without a container
    EXPECT_EQ(std::make_tuple(txtNome->text(), txtUltimo->text()), Expected("Dado", "0.5"));

    // Printing asks, then prints the container or the form.
    if (HasDefaultPrinter())
        GTEST_SKIP() << "a default printer is installed: printing would not write a PDF";
    QTemporaryDir stampe;
    SetPrintOutputPath(stampe.path() + "/");
    QTextBrowser visore; // shows what printing opens for the user: nothing without a display
    QDesktopServices::setUrlHandler("file", &visore, "setSource");
    const auto printed = [&] { return QDir(stampe.path()).entryList({"*.pdf"}, QDir::Files); };
    ExpectOneBox([&] { nav.PrintForm(); }, "TQ14", 36, "TQ15", MsgAnswer::No);
    EXPECT_TRUE(printed().isEmpty());
    ExpectOneBox([&] { nav.PrintForm(); }, "TQ14", 36, "TQ15", MsgAnswer::Yes);
    EXPECT_EQ(printed().filter(QRegularExpression("^fraDati_")).size(), 1);
    clsADONavigator intero;
    intero.TipoDatabase = 4;
    ASSERT_TRUE(
        intero.Init_Class(conn.get(), "Articoli", FormOf(form.get()), "IdArticolo", {}, "#", ""));
    ExpectOneBox([&] { intero.PrintForm(); }, "TQ14", 36, "TQ15", MsgAnswer::Yes);
    EXPECT_EQ(printed().filter(QRegularExpression("^frmClienti_")).size(), 1);
    const QString ultimo = LastPrintFile();
    SetPrintOutputPath(ultimo + "/sotto.pdf"); // below a plain file: nothing is printed
    ExpectOneBox([&] { intero.PrintForm(); }, "TQ14", 36, "TQ15", MsgAnswer::Yes);
    EXPECT_EQ(LastPrintFile(), ultimo);
    SetPrintOutputPath(QString());
    QDesktopServices::unsetUrlHandler("file");
    EXPECT_EQ(visore.source(), QUrl());
}

// Lookup combos: their items and keys, conditions, refills and picking.

// How a Tag reads on each kind of control, and the item list a combo builds;
// the lists themselves are checked on real combos below.
TEST(ComboSql, BindingsAndStatements) {
    const QString s = kSep;
    const auto combo = [](const QString& tag) { return LeggiLegame(tag, "#", true); };
    EXPECT_FALSE(combo("#IdCategoria" + s).nonValido);
    EXPECT_EQ(LeggiLegame("IdCliente", "", false).ColonnaMostrata(), "IdCliente");
    EXPECT_EQ(LeggiLegame("x##Nome", "##", false).colonna, "Nome") << "a prefix of two characters";
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
    EXPECT_EQ(std::make_tuple(cboCliente->currentText(), cboCategoria->currentText(),
                              txtCitta->text(), txtEmail->text()),
              Expected("Bianchi - Luca", "Viti", "Milano", "l@x.it"));

    // Picking an item fills the text boxes of its table: the table qualifier
    // dropped, Null empties, other columns untouched; nothing picked, nothing changes.
    Of(cboCliente).SetListIndex(static_cast<int>(KeyList("cboCliente").indexOf("O'B")));
    nav.SincronizzaTabelleComboItem(Of(cboCliente));
    EXPECT_EQ(
        std::make_tuple(txtCitta->text(), txtTelefono->text(), txtEmail->text(), txtNumero->text()),
        Expected("Dublino", "353", "", "A-2"));
    txtCitta->setText("digitato");
    Of(cboCliente).SetListIndex(-1);
    nav.SincronizzaTabelleComboItem(Of(cboCliente));
    Of(cboCategoria).SetListIndex(0);
    nav.SincronizzaTabelleComboItem(Of(cboCategoria));
    EXPECT_EQ(std::make_tuple(txtCitta->text(), txtDescrizione->text()),
              Expected("digitato", "Bulloni"));
    nav.MoveFirst();
    EXPECT_EQ(std::make_tuple(cboCliente->currentText(), cboCategoria->currentText()),
              Expected("Rossi - Mario", "Chiodi"));

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

    // A link to a column its table lacks is reported by that column's name.
    for (int i = 0; i < 4; ++i) // the combo, and again at each later walk of the form
        boxes.Expect();
    const std::size_t primo = boxes.Shown().size();
    clsADONavigator storto;
    storto.TipoDatabase = 4;
    storto.Init_Class(conn.get(), "Ordini", FormOf(form.get()), "IdOrdine",
                      {"", "IdCategoria", "Categorie", "Manca"}, "#", "");
    ExpectBox(primo, "ClsAdoNavigator_RiempiArrayChiaviPrimarieCombo 3265 Manca", 16, "TQ03");
}

} // namespace
} // namespace tessaro::test
