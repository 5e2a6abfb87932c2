#include "BindingFixture.h"

#include "data/TessaroError.h"

#include <QAction>

namespace tessaro::test {
namespace {

const char* const kArticoli =
    "CREATE TABLE Categorie (IdCategoria INTEGER PRIMARY KEY, Descrizione TEXT, Attiva INTEGER);"
    "INSERT INTO Categorie VALUES (1, 'Bulloni', 1);"
    "INSERT INTO Categorie VALUES (2, 'Chiodi', 0);"
    "INSERT INTO Categorie VALUES (3, 'Viti', 1);"
    "CREATE TABLE Articoli (IdArticolo INTEGER PRIMARY KEY, Nome TEXT, Prezzo REAL,"
    " Attivo INTEGER, Sospeso INTEGER, Note TEXT,"
    " IdCategoria INTEGER REFERENCES Categorie(IdCategoria));"
    "INSERT INTO Articoli VALUES (1, 'Dado', 0.5, 0, 1, 'primo', 1);"
    "INSERT INTO Articoli VALUES (2, 'Vite', 2.25, 5, NULL, NULL, 3);";

class ShowCurrentRecordTest : public BindingTest {};

TEST_F(ShowCurrentRecordTest, TextBoxesAndCheckBoxesShowTheRecordAndNullsEmptyThem) {
    UseScript(kArticoli);
    auto* txtNome = AddText("txtNome", "#Nome");
    auto* txtPrezzo = AddText("txtPrezzo", "#Prezzo");
    auto* txtNote = AddText("txtNote", "#Note");
    auto* txtDopo = AddText("txtDopo", "ab#Nome"); // the prefix need not come first
    auto* txtSenza = AddText("txtSenza", "Nome");  // no prefix: not bound
    auto* txtVuoto = AddText("txtVuoto", "");
    auto* chkAttivo = AddCheck("chkAttivo", "#Attivo");
    auto* chkSospeso = AddCheck("chkSospeso", "#Sospeso");
    txtNote->setText("vecchio");
    txtSenza->setText("resta");
    txtVuoto->setText("anche");
    chkSospeso->setChecked(true);

    ASSERT_TRUE(Init("Articoli", "IdArticolo"));

    EXPECT_EQ(txtNome->text(), "Vite");
    EXPECT_EQ(txtPrezzo->text(), "2.25");
    EXPECT_EQ(txtNote->text(), "");
    EXPECT_EQ(txtDopo->text(), "Vite");
    EXPECT_EQ(txtSenza->text(), "resta");
    EXPECT_EQ(txtVuoto->text(), "anche");
    EXPECT_EQ(chkAttivo->checkState(), Qt::Checked) << "5 is true";
    EXPECT_EQ(chkSospeso->checkState(), Qt::Unchecked) << "Null is unchecked";
    EXPECT_EQ(events.names, QStringList({"OnCurrent", "AfterCurrent"}));

    nav.MoveFirst();
    EXPECT_EQ(txtNome->text(), "Dado");
    EXPECT_EQ(txtNote->text(), "primo");
    EXPECT_EQ(chkAttivo->checkState(), Qt::Unchecked) << "0 is false";
    EXPECT_EQ(chkSospeso->checkState(), Qt::Checked);
}

TEST_F(ShowCurrentRecordTest, EmptyPrefixMakesTheWholeTagTheColumn) {
    UseScript(kArticoli);
    auto* txtNome = AddText("txtNome", "Nome");
    nav.TipoDatabase = 4;
    ASSERT_TRUE(nav.Init_Class(conn.get(), "Articoli", FormOf(form.get()), "IdArticolo", {}, "",
                               QString()));
    EXPECT_EQ(txtNome->text(), "Vite");
}

TEST_F(ShowCurrentRecordTest, EmptyCurrentRecordKeepsControlsAndStillRaisesBothEvents) {
    UseScript(kArticoli);
    auto* txtNome = AddText("txtNome", "#Nome");
    auto* chkAttivo = AddCheck("chkAttivo", "#Attivo");
    ASSERT_TRUE(Init("Articoli", "IdArticolo"));
    txtNome->setText("digitato");
    chkAttivo->setChecked(false);
    nav.TheFullData = std::make_unique<Recordset>();
    nav.TheFullData->Open("SELECT * FROM Articoli WHERE 1 = 0", conn.get(), adOpenStatic,
                          adLockReadOnly, adCmdText);
    events.names.clear();

    nav.ShowCurrentRecord();

    EXPECT_EQ(txtNome->text(), "digitato");
    EXPECT_EQ(chkAttivo->checkState(), Qt::Unchecked);
    EXPECT_EQ(events.names, QStringList({"OnCurrent", "AfterCurrent"}));
}

TEST_F(ShowCurrentRecordTest, NotInitialisedWarnsAndRaisesOnlyOnCurrent) {
    clsADONavigator fresh;
    EventLog seen;
    fresh.SetEventSink(&seen);
    boxes.Expect();
    fresh.ShowCurrentRecord();
    ASSERT_EQ(boxes.Shown().size(), 1u);
    ExpectBox(0, Tq("TQ01"), 48, Tq("TQ02"));
    EXPECT_EQ(seen.names, QStringList({"OnCurrent"}));
}

TEST_F(ShowCurrentRecordTest, ThreePartTagShowsPartOneInATextBoxAndPartZeroInACombo) {
    UseScript(kArticoli);
    const QString tag = Tag({"IdCategoria", "Descrizione", "Descrizione"});
    auto* txtCategoria = AddText("txtCategoria", tag);
    auto* cboCategoria = AddCombo("cboCategoria", tag);
    ASSERT_TRUE(Init("Articoli", "IdArticolo"));

    EXPECT_EQ(txtCategoria->text(), "Viti");
    EXPECT_EQ(Items(cboCategoria), QStringList({"Bulloni", "Chiodi", "Viti"}));
    const QStringList keys = KeyList("cboCategoria");
    ASSERT_EQ(keys, QStringList({"1", "2", "3"}));
    EXPECT_EQ(cboCategoria->currentIndex(), keys.indexOf("3"));
}

TEST_F(ShowCurrentRecordTest, FrameContainerSkipsNestedFramesOutsideControlsAndActions) {
    UseScript(kArticoli);
    // An action of the form has no container: asking for it fails with 438.
    auto* mnuStampa = new QAction(form.get());
    mnuStampa->setObjectName("mnuStampa");
    mnuStampa->setProperty("Tag", "#Nome");
    auto* fraDati = AddFrame("fraDati");
    auto* txtNome = AddText("txtNome", "#Nome", fraDati);
    auto* chkAttivo = AddCheck("chkAttivo", "#Attivo", fraDati);
    auto* fraInterno = AddFrame("fraInterno", fraDati);
    auto* txtNote = AddText("txtNote", "#Nome", fraInterno);
    auto* txtFuori = AddText("txtFuori", "#Nome");
    auto* txtUltimo = AddText("txtUltimo", "#Prezzo", fraDati);
    txtNote->setText("interno");
    txtFuori->setText("fuori");

    ASSERT_TRUE(Init("Articoli", "IdArticolo", ControlOf(fraDati)));

    EXPECT_EQ(txtNome->text(), "Vite");
    EXPECT_EQ(chkAttivo->checkState(), Qt::Checked);
    EXPECT_EQ(txtUltimo->text(), "2.25") << "the walk goes on after the skipped control";
    EXPECT_EQ(txtNote->text(), "interno");
    EXPECT_EQ(txtFuori->text(), "fuori");
    EXPECT_EQ(events.names, QStringList({"OnCurrent", "AfterCurrent"}));

    // The control states follow the same walk.
    EXPECT_TRUE(txtNome->isReadOnly());
    EXPECT_FALSE(chkAttivo->isEnabled());
    EXPECT_FALSE(txtNote->isReadOnly());
    EXPECT_FALSE(txtFuori->isReadOnly());
    nav.SvuotaControlli();
    EXPECT_EQ(txtNome->text(), "");
    EXPECT_EQ(chkAttivo->checkState(), Qt::Unchecked);
    EXPECT_EQ(txtNote->text(), "interno");
    EXPECT_EQ(txtFuori->text(), "fuori");
}

TEST_F(ShowCurrentRecordTest, RecordValueMissingFromTheKeyListStopsTheWalk) {
    UseScript(kArticoli);
    db->Exec("UPDATE Articoli SET IdCategoria = 99 WHERE IdArticolo = 2");
    auto* txtNome = AddText("txtNome", "#Nome");
    auto* cboA = AddCombo("cboA", "#IdCategoria");
    auto* cboB = AddCombo("cboB", Tag({"IdCategoria", "", "Descrizione"}));

    boxes.Expect();
    ASSERT_TRUE(Init("Articoli", "IdArticolo"));
    ASSERT_EQ(boxes.Shown().size(), 1u);
    const QString failure =
        Failure("ClsAdoNavigator_Metodo_ShowCurrentRecord ", Err::SubscriptOutOfRange,
                TessaroError::StandardDescription(Err::SubscriptOutOfRange));
    ExpectBox(0, failure, 16, Tq("TQ03"));
    EXPECT_EQ(events.names, QStringList({"OnCurrent"}));
    EXPECT_EQ(txtNome->text(), "Vite") << "text boxes come before combos";

    nav.MoveFirst();
    EXPECT_EQ(cboA->currentText(), "Bulloni");
    EXPECT_EQ(cboB->currentText(), "Bulloni");

    boxes.Expect();
    nav.MoveLast();
    ASSERT_EQ(boxes.Shown().size(), 2u);
    ExpectBox(1, failure, 16, Tq("TQ03"));
    EXPECT_EQ(txtNome->text(), "Vite");
    EXPECT_EQ(cboB->currentText(), "Bulloni") << "a combo after the failure keeps its selection";
}

TEST_F(ShowCurrentRecordTest, NullForeignKeyEmptiesTheCombo) {
    UseScript(kArticoli);
    db->Exec("UPDATE Articoli SET IdCategoria = NULL WHERE IdArticolo = 2");
    auto* cboCategoria = AddCombo("cboCategoria", "#IdCategoria");
    ASSERT_TRUE(Init("Articoli", "IdArticolo"));
    EXPECT_EQ(cboCategoria->currentIndex(), -1);
    EXPECT_EQ(cboCategoria->currentText(), "");
    nav.MoveFirst();
    EXPECT_EQ(cboCategoria->currentText(), "Bulloni");
    nav.MoveLast();
    EXPECT_EQ(cboCategoria->currentIndex(), -1);
    EXPECT_EQ(Items(cboCategoria).size(), 3) << "the list stays";
}

} // namespace
} // namespace tessaro::test
