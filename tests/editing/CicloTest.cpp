#include "EditingFixture.h"

#include <gtest/gtest.h>

namespace tessaro::test {

class CicloTest : public EditingTest {};

// New with a generated key, duplicate, edit, cancel, save and delete, on the
// embedded database, with the events in their order.
TEST_F(CicloTest, ARecordCreatedDuplicatedEditedAndDeleted) {
    CreateSchema();
    StandardForm();
    ASSERT_TRUE(Init());

    // New: the key is left to the database.
    boxes.Expect(MsgAnswer::Yes);
    nav.Addnew();
    txtCognome->setText("Neri");
    txtNote->setPlainText("prima riga\nseconda riga");
    txtEta->setText("33");
    txtSaldo->setText("12,75");
    txtNascita->setText("1991-07-04");
    chkAttivo->setChecked(true);
    cboComune->setCurrentIndex(cboComune->findText("Roma"));
    nav.Update();
    EXPECT_EQ(log.Steps(), QStringList({"Addnew", "AfterInsert"}));
    EXPECT_EQ(Rows("Clienti", "IdCliente = 31"),
              QStringList{"31|Neri|prima riga\nseconda riga|33|12.75|1991-07-04|1|3|nuovo"});
    EXPECT_EQ(txtId->text(), "31") << "the new record is shown";
    EXPECT_EQ(txtCognome->text(), "Neri");
    EXPECT_EQ(nav.State(), 3);
    EXPECT_TRUE(txtCognome->isReadOnly());
    EXPECT_EQ(nav.RecordCount().toInt(), 4);

    // Duplicate: the copy keeps the key until the user clears it, and the
    // database refuses a second row with the same key.
    log.Clear();
    boxes.Expect(MsgAnswer::Yes);
    nav.Clone();
    boxes.Expect();
    nav.Update();
    ASSERT_EQ(boxes.Shown().size(), 3u);
    EXPECT_TRUE(boxes.Shown()[2].text.startsWith("ClsAdoNavigator_Metodo_Update -2147217900 "));
    EXPECT_EQ(nav.State(), 5);
    EXPECT_EQ(Count(), 4);
    txtId->clear();
    nav.Update();
    EXPECT_EQ(log.Steps(), QStringList({"Clone", "AfterInsert"}));
    EXPECT_EQ(txtId->text(), "32");
    EXPECT_EQ(Rows("Clienti", "IdCliente = 32"),
              QStringList{"32|Neri|prima riga\nseconda riga|33|12.75|1991-07-04|1|3|nuovo"});

    // Edit, then give up: nothing written, the stored values come back.
    log.Clear();
    nav.Edit();
    txtCognome->setText("Annullato");
    nav.Annulla();
    EXPECT_EQ(txtCognome->text(), "Neri");
    EXPECT_EQ(Cell("SELECT Cognome FROM Clienti WHERE IdCliente = 32"), "Neri");
    EXPECT_EQ(nav.State(), 7);

    // Edit and save.
    nav.Edit();
    txtCognome->setText("Neroni");
    txtNote->setPlainText("");
    nav.Update();
    EXPECT_EQ(log.Steps(),
              QStringList({"BeforeUpdate", "AfterAnnulla", "BeforeUpdate", "AfterUpdate"}));
    EXPECT_EQ(Rows("Clienti", "IdCliente = 32"),
              QStringList{"32|Neroni|<null>|33|12.75|1991-07-04|1|3|nuovo"});
    EXPECT_EQ(txtCognome->text(), "Neroni");
    EXPECT_EQ(nav.State(), 3);

    // Delete the duplicate: the original is shown again.
    log.Clear();
    boxes.Expect(MsgAnswer::Yes);
    nav.Delete();
    EXPECT_EQ(log.Steps(),
              QStringList({"Delete", "BeforeDelConfirm", "AfterDelConfirm", "AfterDelete"}));
    EXPECT_EQ(Count(), 4);
    EXPECT_EQ(txtId->text(), "31");
    EXPECT_EQ(txtCognome->text(), "Neri");
}

TEST_F(CicloTest, TheFirstRecordOfAnEmptyTableIsShownAfterSaving) {
    CreateSchema("DELETE FROM Clienti;");
    StandardForm();
    ASSERT_TRUE(Init());
    ASSERT_EQ(nav.State(), 1);
    nav.MessaggioConfermaNuovoDisabilitato = true;
    nav.Addnew();
    txtCognome->setText("Primo");
    cboComune->setCurrentIndex(cboComune->findText("Torino"));
    nav.Update();
    EXPECT_EQ(Count(), 1);
    const QString key = Cell("SELECT IdCliente FROM Clienti");
    EXPECT_EQ(txtId->text(), key);
    EXPECT_EQ(txtCognome->text(), "Primo");
    EXPECT_EQ(nav.State(), 3);
    EXPECT_EQ(nav.RecordCount().toInt(), 1);
}

// A table whose key is a reference to another table, chosen with a combo.
TEST_F(CicloTest, AKeyChosenInAComboIsTheRecordShownAfterSaving) {
    CreateSchema("CREATE TABLE Schede (IdCliente INTEGER PRIMARY KEY"
                 " REFERENCES Clienti(IdCliente), Appunti TEXT);"
                 "INSERT INTO Schede VALUES (10, 'scheda dieci');");
    AddCombo("cboCliente", Tag({"IdCliente", "", "Cognome"}));
    auto* txtAppunti = AddText("txtAppunti", "#Appunti");
    ASSERT_TRUE(Init("Schede", "IdCliente"));
    ASSERT_EQ(txtAppunti->text(), "scheda dieci");
    auto* cboCliente = form->findChild<QComboBox*>("cboCliente");
    nav.MessaggioConfermaNuovoDisabilitato = true;
    nav.Addnew();
    cboCliente->setCurrentIndex(cboCliente->findText("Verdi"));
    txtAppunti->setText("scheda trenta");
    nav.Update();
    EXPECT_EQ(Rows("Schede"), QStringList({"10|scheda dieci", "30|scheda trenta"}));
    EXPECT_EQ(cboCliente->currentText(), "Verdi");
    EXPECT_EQ(txtAppunti->text(), "scheda trenta");
    EXPECT_EQ(nav.AbsolutePosition().toInt(), 2);
}

} // namespace tessaro::test
