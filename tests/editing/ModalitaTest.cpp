#include "EditingFixture.h"

#include <gtest/gtest.h>

namespace tessaro::test {

class ModalitaTest : public EditingTest {
protected:
    void SetUp() override {
        EditingTest::SetUp();
        CreateSchema();
        StandardForm();
        // New records offer only the active towns.
        cboComune->setProperty("DataField", "Attivo = 1");
        ASSERT_TRUE(Init());
        ASSERT_EQ(txtCognome->text(), "Verdi");
    }
    QStringList ComboItems() const {
        QStringList out;
        for (int i = 0; i < cboComune->count(); ++i)
            out << cboComune->itemText(i);
        return out;
    }
    void ExpectBrowsingVerdi() {
        EXPECT_EQ(txtId->text(), "30");
        EXPECT_EQ(txtCognome->text(), "Verdi");
        EXPECT_TRUE(txtCognome->isReadOnly());
        EXPECT_FALSE(chkAttivo->isEnabled());
    }
};

TEST_F(ModalitaTest, AddnewRefusedChangesNothing) {
    boxes.Expect(MsgAnswer::No);
    nav.Addnew();
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "TQ08");
    EXPECT_EQ(boxes.Shown()[0].title, "TQ09");
    EXPECT_EQ(boxes.Shown()[0].style, 36);
    EXPECT_EQ(nav.State(), 3);
    EXPECT_TRUE(log.names.isEmpty());
    EXPECT_EQ(ComboItems(), QStringList({"Milano", "Roma", "Torino"}));
    ExpectBrowsingVerdi();

    nav.AddnewEnabled = false;
    nav.Addnew();
    EXPECT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(nav.State(), 3);
}

TEST_F(ModalitaTest, AddnewClearsOpensAndRaisesItsEventInTheNewState) {
    boxes.Expect(MsgAnswer::Yes);
    log.onAddnew = [this] { nav.SetState(StatoNavigatore::PrimoRecord); };
    nav.Addnew();
    EXPECT_EQ(log.names, QStringList{"Addnew"});
    EXPECT_EQ(log.StateAt("Addnew"), 5);
    EXPECT_EQ(log.contenitore, FormOf(form.get()));
    EXPECT_EQ(nav.State(), 5) << "the mode holds whatever the handler did";
    EXPECT_EQ(txtId->text(), "");
    EXPECT_EQ(txtCognome->text(), "");
    EXPECT_EQ(txtNote->toPlainText(), "");
    EXPECT_EQ(chkAttivo->checkState(), Qt::Unchecked);
    EXPECT_FALSE(txtCognome->isReadOnly());
    EXPECT_TRUE(chkAttivo->isEnabled());
    EXPECT_EQ(ComboItems(), QStringList({"Milano", "Torino"}));

    // Without the confirmation no box is shown.
    nav.MessaggioConfermaNuovoDisabilitato = true;
    nav.Annulla();
    nav.Addnew();
    EXPECT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(nav.State(), 5);
}

TEST_F(ModalitaTest, CloneKeepsTheValuesOfTheCurrentRecord) {
    boxes.Expect(MsgAnswer::No);
    nav.Clone();
    EXPECT_EQ(boxes.Shown().back().text, "TQ10");
    EXPECT_EQ(boxes.Shown().back().title, "TQ11");
    EXPECT_EQ(boxes.Shown().back().style, 36);
    EXPECT_EQ(nav.State(), 3);
    EXPECT_TRUE(log.names.isEmpty());

    boxes.Expect(MsgAnswer::Yes);
    nav.Clone();
    EXPECT_EQ(log.Steps(), QStringList{"Clone"});
    EXPECT_EQ(log.StateAt("Clone"), 5);
    EXPECT_EQ(log.contenitore, FormOf(form.get()));
    EXPECT_EQ(nav.State(), 5);
    EXPECT_EQ(txtId->text(), "30");
    EXPECT_EQ(txtCognome->text(), "Verdi");
    EXPECT_EQ(cboComune->currentText(), "Torino");
    EXPECT_FALSE(txtCognome->isReadOnly());

    nav.CloneEnabled = false;
    nav.Annulla();
    log.Clear();
    nav.Clone();
    EXPECT_EQ(boxes.Shown().size(), 2u);
    EXPECT_TRUE(log.names.isEmpty());
}

TEST_F(ModalitaTest, EditAsksNothingAndRaisesBeforeUpdateBeforeTheStateChanges) {
    nav.Edit();
    EXPECT_EQ(log.Steps(), QStringList{"BeforeUpdate"});
    EXPECT_EQ(log.StateAt("BeforeUpdate"), 3);
    EXPECT_EQ(nav.State(), 6);
    EXPECT_FALSE(txtCognome->isReadOnly());
    EXPECT_EQ(ComboItems(), QStringList({"Milano", "Roma", "Torino"}));

    nav.Annulla();
    nav.UpdateEnabled = false;
    log.Clear();
    nav.Edit();
    EXPECT_TRUE(log.names.isEmpty());
    EXPECT_EQ(nav.State(), 7);
    EXPECT_TRUE(txtCognome->isReadOnly());
}

TEST_F(ModalitaTest, AnnullaShowsTheStoredRecordAgainInTheMiddleState) {
    nav.Edit();
    txtCognome->setText("Scritto");
    chkAttivo->setChecked(false);
    log.Clear();
    nav.Annulla();
    EXPECT_EQ(log.Steps(), QStringList{"AfterAnnulla"});
    EXPECT_EQ(nav.State(), 7) << "7 even on the last record";
    ExpectBrowsingVerdi();
    EXPECT_EQ(chkAttivo->checkState(), Qt::Checked);
    EXPECT_EQ(Cell("SELECT Cognome FROM Clienti WHERE IdCliente = 30"), "Verdi");

    // A new record given up shows the record that was current before it.
    boxes.Expect(MsgAnswer::Yes);
    nav.Addnew();
    txtCognome->setText("Mai salvato");
    nav.Annulla();
    ExpectBrowsingVerdi();
    EXPECT_EQ(ComboItems(), QStringList({"Milano", "Roma", "Torino"}));
    EXPECT_EQ(Count(), 3);
}

TEST_F(ModalitaTest, AFailureInsideAnOperationIsReportedWithItsLabel) {
    log.onAddnew = [] { TessaroError::Raise(Err::InvalidCall, "dal gestore"); };
    nav.MessaggioConfermaNuovoDisabilitato = true;
    boxes.Expect();
    nav.Addnew();
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "ClsAdoNavigator_Metodo_AddNew 5 dal gestore");
    EXPECT_EQ(boxes.Shown()[0].style, 16);
    EXPECT_EQ(boxes.Shown()[0].title, "TQ03");
    // The steps before the failure keep their effect.
    EXPECT_EQ(nav.State(), 5);
    EXPECT_FALSE(txtCognome->isReadOnly());
}

class ModalitaTabellaVuotaTest : public EditingTest {};

TEST_F(ModalitaTabellaVuotaTest, GivingUpTheFirstRecordGoesBackToNoRecords) {
    CreateSchema("DELETE FROM Clienti;");
    StandardForm();
    ASSERT_TRUE(Init());
    ASSERT_EQ(nav.State(), 1);
    nav.MessaggioConfermaNuovoDisabilitato = true;
    nav.Addnew();
    txtCognome->setText("Abbandonato");
    chkAttivo->setChecked(true);
    nav.Annulla();
    EXPECT_EQ(nav.State(), 1);
    EXPECT_EQ(txtCognome->text(), "");
    EXPECT_EQ(chkAttivo->checkState(), Qt::Unchecked);
    EXPECT_TRUE(txtCognome->isReadOnly());
    EXPECT_EQ(Count(), 0);
}

} // namespace tessaro::test
