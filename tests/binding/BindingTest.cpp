// Showing the record, opening and locking the controls, printing.

#include "support/FormFixtures.h"

#include <QAction>
#include <QDir>

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

TEST_F(Mostra, BoundControlsShowTheirColumnsByTheTagRule) {
    Schema(kArticoli);
    auto* txtNome = AddText("txtNome", "#Nome");
    auto* txtPrezzo = AddText("txtPrezzo", "#Prezzo");
    auto* txtNota = AddText("txtNota", "#Note");
    auto* txtDopo = AddText("txtDopo", "ab#Nome"); // the prefix need not come first
    auto* txtSenza = AddText("txtSenza", "Nome");  // no prefix: not bound
    auto* txtVuoto = AddText("txtVuoto", "");
    auto* chkAttiva = AddCheck("chkAttiva", "#Attivo");
    auto* chkSospeso = AddCheck("chkSospeso", "#Sospeso");
    const QString tag = Tag({"IdCategoria", "Descrizione", "Descrizione"});
    auto* txtCategoria = AddText("txtCategoria", tag);
    auto* cboCategoria = AddCombo("cboCategoria", tag);
    txtNota->setText("vecchio");
    txtSenza->setText("resta");
    txtVuoto->setText("anche");
    chkSospeso->setChecked(true);
    ASSERT_TRUE(Init("Articoli", "IdArticolo"));
    EXPECT_EQ(txtNome->text() + "|" + txtPrezzo->text() + "|" + txtNota->text() + "|" +
                  txtDopo->text() + "|" + txtSenza->text() + "|" + txtVuoto->text(),
              "Vite|2.25||Vite|resta|anche");
    EXPECT_TRUE(chkAttiva->isChecked()) << "5 is true";
    EXPECT_FALSE(chkSospeso->isChecked()) << "Null is unchecked";
    EXPECT_EQ(txtCategoria->text(), "Viti") << "a text box shows part 1";
    EXPECT_EQ(cboCategoria->currentText(), "Viti") << "a combo shows part 0";
    nav.MoveFirst();
    EXPECT_EQ(txtNota->text(), "primo");
    EXPECT_FALSE(chkAttiva->isChecked()) << "0 is false";
    EXPECT_TRUE(chkSospeso->isChecked());
    EXPECT_EQ(log.names, QStringList({"OnCurrent", "AfterCurrent"}));

    // With an empty prefix the whole Tag is the column.
    TaggedForm other("frmAltro");
    auto* txtNomeSenza = other.AddText("txtNome", "Nome");
    clsADONavigator senza;
    senza.TipoDatabase = 4;
    ASSERT_TRUE(senza.Init_Class(conn.get(), "Articoli", FormOf(other.form.get()), "IdArticolo", {},
                                 "", QString()));
    EXPECT_EQ(txtNomeSenza->text(), "Vite");
}

using MostraSuEntrambi = SuEntrambi<>;

TEST_P(MostraSuEntrambi, AComboFindsLookupRowsAddedLaterAndKeepsAKeyWithoutOne) {
    Clienti();
    ASSERT_TRUE(Init());
    banco->Exec({"INSERT INTO Comuni VALUES (4, 'Napoli', 'NA', 1)",
                 "UPDATE Clienti SET IdComune = 4 WHERE IdCliente = 10"});
    nav.MoveFirst();
    EXPECT_EQ(cboComune->currentText() + txtProvincia->text(), "NapoliNA");
    // A key without a lookup row, as an import with the checks off leaves it.
    banco->Exec(
        {Engine() == Motore::Sqlite ? "PRAGMA foreign_keys = OFF" : "SET FOREIGN_KEY_CHECKS = 0",
         "UPDATE Clienti SET IdComune = 99 WHERE IdCliente = 20"});
    EditRecord("20");
    EXPECT_EQ(cboComune->currentIndex(), -1);
    EXPECT_EQ(txtCognome->text() + txtEta->text(), "Bianchi50") << "the walk goes on past it";
    txtCognome->setText("Bianco");
    nav.Update();
    EXPECT_EQ(Riga("20"), "Bianco|n20|50|2.5|1974-03-02|0|99|C20");
    nav.Edit();
    cboComune->setCurrentIndex(cboComune->findText("Torino"));
    nav.Update();
    EXPECT_EQ(Riga("20").section('|', 6, 6), "1") << "an item picked replaces it";
}

INSTANTIATE_FOR_ENGINES(MostraSuEntrambi);

TEST_F(Mostra, AFrameWalksItsOwnControlsOnly) {
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
    EXPECT_EQ(txtNome->text() + "|" + txtUltimo->text(), "Vite|2.25");
    EXPECT_EQ(txtNota->text() + "|" + txtFuori->text(), "interno|fuori");
    EXPECT_TRUE(txtNome->isReadOnly());
    EXPECT_FALSE(chkAttiva->isEnabled());
    EXPECT_FALSE(txtNota->isReadOnly() || txtFuori->isReadOnly());
    nav.SvuotaControlli();
    EXPECT_EQ(txtNome->text() + "|" + txtNota->text() + "|" + txtFuori->text(), "|interno|fuori");
    EXPECT_FALSE(chkAttiva->isChecked());
    nav.MoveFirst(); // the walk goes on past the control without a container
    EXPECT_EQ(txtNome->text() + "|" + txtUltimo->text(), "Dado|0.5");
    EXPECT_EQ(log.names, QStringList({"OnCurrent", "AfterCurrent"}));
}

TEST_F(Mostra, LockingOpensOwnColumnsAndEmptyingReachesEveryTaggedControl) {
    Schema(kArticoli);
    auto* txtNome = AddText("txtNome", "#Nome");
    auto* txtCategoria = AddText("txtCategoria", Tag({"IdCategoria", "Descrizione"}));
    auto* txtSenza = AddText("txtSenza", "Nome");
    auto* txtVuoto = AddText("txtVuoto", "");
    auto* cboCategoria = AddCombo("cboCategoria", "#IdCategoria");
    auto* chkAttiva = AddCheck("chkAttiva", "#Attivo");
    auto* chkCategoria = AddCheck("chkCategoria", Tag({"IdCategoria", "Attiva"}));
    ASSERT_TRUE(Init("Articoli", "IdArticolo"));
    auto* cboSenza = AddCombo("cboSenza", "IdCategoria"); // still counts for the lock walks
    const auto combo = [](QComboBox* c) { return AsComboBox(*ControlOf(c)).Locked(); };
    Form* f = FormOf(form.get());

    NavigatorTestAccess::Disabilita(nav, f);
    EXPECT_TRUE(txtNome->isReadOnly() && txtNome->isEnabled());
    EXPECT_FALSE(txtCategoria->isReadOnly()) << "a linked column is never locked";
    EXPECT_FALSE(txtSenza->isReadOnly() || txtVuoto->isReadOnly());
    EXPECT_TRUE(combo(cboCategoria) && combo(cboSenza) && cboCategoria->isEnabled());
    EXPECT_FALSE(chkAttiva->isEnabled());
    EXPECT_TRUE(chkCategoria->isEnabled());
    txtCategoria->setReadOnly(true);
    chkCategoria->setEnabled(false);
    NavigatorTestAccess::Abilita(nav, f);
    EXPECT_FALSE(txtNome->isReadOnly());
    EXPECT_TRUE(txtCategoria->isReadOnly()) << "a linked column is never opened";
    EXPECT_FALSE(combo(cboCategoria) || combo(cboSenza));
    EXPECT_TRUE(chkAttiva->isEnabled());
    EXPECT_FALSE(chkCategoria->isEnabled());

    cboSenza->addItems({"uno", "due"});
    cboSenza->setCurrentIndex(1);
    for (QLineEdit* t : {txtCategoria, txtSenza, txtVuoto})
        t->setText("x");
    chkCategoria->setChecked(true);
    NavigatorTestAccess::Pulisci(nav, f);
    EXPECT_EQ(txtNome->text() + txtCategoria->text() + txtSenza->text() + txtVuoto->text(), "x");
    EXPECT_EQ(cboCategoria->currentIndex() + cboSenza->currentIndex(), -2);
    EXPECT_EQ(cboCategoria->count(), 3) << "emptying keeps the list";
    EXPECT_FALSE(chkAttiva->isChecked() || chkCategoria->isChecked());
}

TEST_F(Mostra, PrintAsksThenPrintsTheFormOrTheContainer) {
    if (HasDefaultPrinter())
        GTEST_SKIP() << "a default printer is installed: printing would not write a PDF";
    Schema(kArticoli);
    auto* fraDati = AddFrame("fraDati");
    AddText("txtNome", "#Nome", fraDati);
    QTemporaryDir stampe;
    SetPrintOutputPath(stampe.path() + "/");
    const auto printed = [&] { return QDir(stampe.path()).entryList({"*.pdf"}, QDir::Files); };
    ASSERT_TRUE(Init("Articoli", "IdArticolo"));
    ExpectOneBox([&] { nav.PrintForm(); }, "TQ14", 36, "TQ15", MsgAnswer::No);
    EXPECT_TRUE(printed().isEmpty());
    ExpectOneBox([&] { nav.PrintForm(); }, "TQ14", 36, "TQ15", MsgAnswer::Yes);
    ASSERT_EQ(printed().size(), 1);
    EXPECT_TRUE(printed().first().startsWith("frmClienti_"));
    clsADONavigator frame;
    frame.TipoDatabase = 4;
    ASSERT_TRUE(
        frame.Init_Class(conn.get(), "Articoli", ControlOf(fraDati), "IdArticolo", {}, "#", ""));
    ExpectOneBox([&] { frame.PrintForm(); }, "TQ14", 36, "TQ15", MsgAnswer::Yes);
    EXPECT_EQ(printed().filter("fraDati_").size(), 1);
    SetPrintOutputPath(QString());
}

} // namespace
} // namespace tessaro::test
