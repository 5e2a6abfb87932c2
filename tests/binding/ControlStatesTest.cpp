#include "BindingFixture.h"

#include "data/TessaroError.h"

namespace tessaro::test {
namespace {

class ControlStatesTest : public BindingTest {
protected:
    void SetUp() override {
        BindingTest::SetUp();
        UseScript(
            "CREATE TABLE Categorie (IdCategoria INTEGER PRIMARY KEY, Descrizione TEXT,"
            " Attiva INTEGER);"
            "INSERT INTO Categorie VALUES (1, 'Bulloni', 1);"
            "CREATE TABLE Articoli (IdArticolo INTEGER PRIMARY KEY, Nome TEXT, Attivo INTEGER,"
            " IdCategoria INTEGER REFERENCES Categorie(IdCategoria));"
            "INSERT INTO Articoli VALUES (1, 'Dado', 1, 1);");
        txtNome = AddText("txtNome", "#Nome");
        txtCategoria = AddText("txtCategoria", Tag({"IdCategoria", "Descrizione"}));
        txtSenza = AddText("txtSenza", "Nome");
        txtVuoto = AddText("txtVuoto", "");
        cboCategoria = AddCombo("cboCategoria", "#IdCategoria");
        chkAttivo = AddCheck("chkAttivo", "#Attivo");
        chkCategoria = AddCheck("chkCategoria", Tag({"IdCategoria", "Attiva"}));
    }

    Form* TheForm() const { return FormOf(form.get()); }

    QLineEdit* txtNome = nullptr;
    QLineEdit* txtCategoria = nullptr;
    QLineEdit* txtSenza = nullptr;
    QLineEdit* txtVuoto = nullptr;
    QComboBox* cboCategoria = nullptr;
    QCheckBox* chkAttivo = nullptr;
    QCheckBox* chkCategoria = nullptr;
};

TEST_F(ControlStatesTest, LockingClosesOnlyOwnColumnsAndKeepsTextBoxesEnabled) {
    ASSERT_TRUE(Init("Articoli", "IdArticolo"));
    // A combo whose Tag has no prefix still counts for the lock walks.
    auto* cboSenza = AddCombo("cboSenza", "IdCategoria");

    NavigatorTestAccess::Disabilita(nav, TheForm());
    EXPECT_TRUE(txtNome->isReadOnly());
    EXPECT_TRUE(txtNome->isEnabled());
    EXPECT_FALSE(txtCategoria->isReadOnly()) << "a linked column is never locked";
    EXPECT_FALSE(txtSenza->isReadOnly()) << "no prefix, not bound";
    EXPECT_FALSE(txtVuoto->isReadOnly());
    EXPECT_TRUE(Combo(cboCategoria).Locked());
    EXPECT_TRUE(cboCategoria->isEnabled());
    EXPECT_TRUE(Combo(cboSenza).Locked());
    EXPECT_FALSE(chkAttivo->isEnabled());
    EXPECT_TRUE(chkCategoria->isEnabled());

    txtCategoria->setReadOnly(true);
    txtSenza->setReadOnly(true);
    chkCategoria->setEnabled(false);
    NavigatorTestAccess::Abilita(nav, TheForm());
    EXPECT_FALSE(txtNome->isReadOnly());
    EXPECT_TRUE(txtCategoria->isReadOnly()) << "a linked column is never opened";
    EXPECT_TRUE(txtSenza->isReadOnly());
    EXPECT_FALSE(Combo(cboCategoria).Locked());
    EXPECT_FALSE(Combo(cboSenza).Locked());
    EXPECT_TRUE(chkAttivo->isEnabled());
    EXPECT_FALSE(chkCategoria->isEnabled());
}

TEST_F(ControlStatesTest, EmptyingReachesEveryTaggedControlButNoUntagged) {
    ASSERT_TRUE(Init("Articoli", "IdArticolo"));
    auto* cboSenza = AddCombo("cboSenza", "IdCategoria");
    cboSenza->addItems({"uno", "due"});
    cboSenza->setCurrentIndex(1);
    txtCategoria->setText("linked");
    txtSenza->setText("senza");
    txtVuoto->setText("vuoto");
    chkCategoria->setChecked(true);
    ASSERT_EQ(txtNome->text(), "Dado");
    ASSERT_EQ(cboCategoria->currentText(), "Bulloni");
    ASSERT_TRUE(chkAttivo->isChecked());

    NavigatorTestAccess::Pulisci(nav, TheForm());

    EXPECT_EQ(txtNome->text(), "");
    EXPECT_EQ(txtCategoria->text(), "");
    EXPECT_EQ(txtSenza->text(), "");
    EXPECT_EQ(txtVuoto->text(), "vuoto");
    EXPECT_EQ(cboCategoria->currentIndex(), -1);
    EXPECT_EQ(cboCategoria->count(), 1) << "emptying keeps the list";
    EXPECT_EQ(cboSenza->currentIndex(), -1);
    EXPECT_FALSE(chkAttivo->isChecked());
    EXPECT_FALSE(chkCategoria->isChecked());

    nav.MoveLast();
    ASSERT_EQ(txtNome->text(), "Dado");
    nav.SvuotaControlli();
    EXPECT_EQ(txtNome->text(), "");
    EXPECT_EQ(cboCategoria->currentIndex(), -1);
}

TEST_F(ControlStatesTest, AFailingWalkReportsWithItsOwnLayoutAndEnds) {
    const QString tail =
        QStringLiteral("\rErr = 91  ") + TessaroError::StandardDescription(Err::ObjectNotSet);
    boxes.Expect();
    boxes.Expect();
    boxes.Expect();
    NavigatorTestAccess::Abilita(nav, nullptr);
    NavigatorTestAccess::Disabilita(nav, nullptr);
    NavigatorTestAccess::Pulisci(nav, nullptr);
    ASSERT_EQ(boxes.Shown().size(), 3u);
    ExpectBox(0, "ClsAdoNavigator_AbilitaInserimento " + tail, 16, Tq("TQ03"));
    ExpectBox(1, "ClsAdoNavigator_DisabilitaInserimento " + tail, 16, Tq("TQ03"));
    ExpectBox(2, "ClsAdoNavigator_PulisciControlli " + tail, 16, Tq("TQ03"));

    // The public form adds no box of its own.
    boxes.Expect();
    nav.SvuotaControlli();
    ASSERT_EQ(boxes.Shown().size(), 4u);
    ExpectBox(3, "ClsAdoNavigator_PulisciControlli " + tail, 16, Tq("TQ03"));
}

} // namespace
} // namespace tessaro::test
