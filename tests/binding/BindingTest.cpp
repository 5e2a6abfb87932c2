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
    EXPECT_EQ(txtNome->text() + "|" + txtPrezzo->text() + "|" + txtNota->text() + "|" +
                  txtDopo->text() + "|" + txtSenza->text() + "|" + txtVuoto->text(),
              "Vite|2.25||Vite|resta|anche");
    EXPECT_TRUE(chkAttiva->isChecked() && !chkSospeso->isChecked()) << "5 is true, Null not";
    // A text box shows part 1 of a linked binding, a combo part 0.
    EXPECT_EQ(txtCategoria->text() + cboCategoria->currentText(), "VitiViti");
    nav.MoveFirst();
    EXPECT_EQ(txtNota->text(), "primo");
    EXPECT_TRUE(!chkAttiva->isChecked() && chkSospeso->isChecked()) << "0 is false";

    // Locked or open: a linked column is never locked nor opened; a combo
    // without the prefix still counts.
    auto* cboSenza = AddCombo("cboSenza", "IdCategoria");
    const auto chiusi = [&] {
        QString r;
        for (QComboBox* c : {cboCategoria, cboSenza})
            r += AsComboBox(*ControlOf(c)).Locked() ? '1' : '0';
        for (QLineEdit* t : {txtNome, txtCategoria, txtSenza, txtVuoto})
            r += t->isReadOnly() ? '1' : '0';
        for (QCheckBox* c : {chkAttiva, chkCategoria})
            r += c->isEnabled() ? '0' : '1';
        return r;
    };
    NavigatorTestAccess::Disabilita(nav, FormOf(form.get()));
    EXPECT_EQ(chiusi(), "11100010");
    EXPECT_TRUE(txtNome->isEnabled() && cboCategoria->isEnabled());
    txtCategoria->setReadOnly(true);
    chkCategoria->setEnabled(false);
    NavigatorTestAccess::Abilita(nav, FormOf(form.get()));
    EXPECT_EQ(chiusi(), "00010001");

    cboSenza->addItems({"uno", "due"});
    cboSenza->setCurrentIndex(1);
    chkCategoria->setChecked(true);
    NavigatorTestAccess::Pulisci(nav, FormOf(form.get()));
    EXPECT_EQ(txtNome->text() + txtCategoria->text() + txtSenza->text() + txtVuoto->text(),
              "anche");
    EXPECT_EQ(cboCategoria->currentIndex() + cboSenza->currentIndex(), -2);
    EXPECT_EQ(cboCategoria->count(), 3) << "emptying keeps the list";
    EXPECT_FALSE(chkAttiva->isChecked() || chkCategoria->isChecked());
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

    // Printing asks, then prints the container or the form.
    if (HasDefaultPrinter())
        GTEST_SKIP() << "a default printer is installed: printing would not write a PDF";
    QTemporaryDir stampe;
    SetPrintOutputPath(stampe.path() + "/");
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
    SetPrintOutputPath(QString());
}

} // namespace
} // namespace tessaro::test
