#include "EditingFixture.h"

#include <gtest/gtest.h>

namespace tessaro::test {

namespace {

const QStringList kEventiEliminazione = {"Delete",    "BeforeDelConfirm", "AfterDelConfirm",
                                         "OnCurrent", "AfterCurrent",     "AfterDelete"};

} // namespace

class EliminazioneTest : public EditingTest {
protected:
    // Four customers: 10, 20, 30, 40 in key order.
    void SetUp() override {
        EditingTest::SetUp();
        CreateSchema("INSERT INTO Clienti VALUES (40, 'Gialli', NULL, 1, 1, NULL, 0, 2, 'C40');");
        StandardForm();
        ASSERT_TRUE(Init());
    }
    void DeleteConfirmed(const QString& key) {
        nav.MoveTo(key);
        ASSERT_EQ(txtId->text(), key);
        log.Clear();
        boxes.Expect(MsgAnswer::Yes);
        nav.Delete();
    }
    QStringList Keys() const {
        QStringList out;
        for (const QString& r : Rows())
            out << r.section('|', 0, 0);
        return out;
    }
};

TEST_F(EliminazioneTest, StatementHeadsPerKind) {
    nav.MoveTo("30");
    for (int kind : {1, 4}) {
        nav.TipoDatabase = kind;
        EXPECT_EQ(NavigatorTestAccess::Delete(nav), "DELETE FROM Clienti WHERE IdCliente = 30");
    }
    for (int kind : {0, 2}) {
        nav.TipoDatabase = kind;
        EXPECT_EQ(NavigatorTestAccess::Delete(nav),
                  "DELETE Clienti.* FROM Clienti WHERE IdCliente = 30");
    }
}

TEST_F(EliminazioneTest, CharacterKeysAreQuotedAndEscapedPerKind) {
    UseScript("CREATE TABLE K (Codice VARCHAR(20) PRIMARY KEY, Nome TEXT);"
              "INSERT INTO K VALUES ('A1', 'uno');"
              "INSERT INTO K VALUES ('O''Br\\ien', 'due');");
    QWidget frmCodici;
    frmCodici.setObjectName("frmCodici");
    auto* txtCodice = AddText("txtCodice", "#Codice", &frmCodici);
    clsADONavigator k;
    k.TipoDatabase = 4;
    ASSERT_TRUE(k.Init_Class(conn.get(), "K", FormOf(&frmCodici), "Codice", {}, "#", QString()));
    ASSERT_EQ(txtCodice->text(), "O'Br\\ien");
    k.TipoDatabase = 2;
    EXPECT_EQ(NavigatorTestAccess::Delete(k), "DELETE K.* FROM K WHERE Codice = 'O''Br\\\\ien'");
    k.TipoDatabase = 0;
    EXPECT_EQ(NavigatorTestAccess::Delete(k), "DELETE K.* FROM K WHERE Codice = 'O''Br\\ien'");
    k.TipoDatabase = 4;
    k.MessaggioConfermaEliminaDisabilitato = true;
    k.Delete();
    EXPECT_EQ(Rows("K"), QStringList{"A1|uno"});
    EXPECT_EQ(txtCodice->text(), "A1");
}

TEST_F(EliminazioneTest, AFormWithoutTheKeyDeletesTheRecordLoaded) {
    delete txtId;
    txtId = nullptr;
    nav.Move(2);
    ASSERT_EQ(txtCognome->text(), "Bianchi");
    EXPECT_EQ(NavigatorTestAccess::Delete(nav), "DELETE FROM Clienti WHERE IdCliente = 20");
}

TEST_F(EliminazioneTest, RefusedOrVetoedDeletesOnlyTellTheHost) {
    boxes.Expect(MsgAnswer::No);
    nav.Delete();
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "TQ12");
    EXPECT_EQ(boxes.Shown()[0].title, "TQ13");
    EXPECT_EQ(boxes.Shown()[0].style, 36);
    EXPECT_EQ(log.names, QStringList{"Delete"});
    EXPECT_EQ(Count(), 4);

    log.Clear();
    log.annullaEliminazione = true;
    boxes.Expect(MsgAnswer::Yes);
    nav.Delete();
    EXPECT_EQ(log.names, QStringList({"Delete", "BeforeDelConfirm"}));
    EXPECT_EQ(Count(), 4);

    log.Clear();
    nav.DeleteEnabled = false;
    nav.Delete();
    EXPECT_EQ(log.names, QStringList{"Delete"});
    EXPECT_EQ(boxes.Shown().size(), 2u);
    EXPECT_EQ(Count(), 4);
    EXPECT_EQ(nav.State(), 3);
}

TEST_F(EliminazioneTest, AMiddleRecordGivesWayToTheOneBeforeIt) {
    DeleteConfirmed("30");
    EXPECT_EQ(log.names, kEventiEliminazione);
    EXPECT_EQ(Keys(), QStringList({"10", "20", "40"}));
    EXPECT_EQ(txtId->text(), "20");
    EXPECT_EQ(txtCognome->text(), "Bianchi");
    EXPECT_EQ(nav.State(), 7);
    EXPECT_EQ(nav.RecordCount().toInt(), 3);
    EXPECT_EQ(nav.AbsolutePosition().toInt(), 2);
}

TEST_F(EliminazioneTest, TheFirstRecordGivesWayToTheNewFirst) {
    DeleteConfirmed("10");
    EXPECT_EQ(log.names, kEventiEliminazione);
    EXPECT_EQ(Keys(), QStringList({"20", "30", "40"}));
    EXPECT_EQ(txtId->text(), "20");
    EXPECT_EQ(nav.State(), 2);
}

TEST_F(EliminazioneTest, TheLastRecordGivesWayToTheNewLast) {
    DeleteConfirmed("40");
    EXPECT_EQ(Keys(), QStringList({"10", "20", "30"}));
    EXPECT_EQ(txtId->text(), "30");
    EXPECT_EQ(nav.AbsolutePosition().toInt(), 3);
}

TEST_F(EliminazioneTest, TheOnlyRecordLeavesAnEmptyForm) {
    for (const char* key : {"40", "30", "20"})
        DeleteConfirmed(key);
    ASSERT_EQ(Keys(), QStringList{"10"});
    DeleteConfirmed("10");
    EXPECT_EQ(log.Steps(),
              QStringList({"Delete", "BeforeDelConfirm", "AfterDelConfirm", "AfterDelete"}));
    EXPECT_EQ(Count(), 0);
    EXPECT_EQ(nav.State(), 1);
    EXPECT_EQ(txtId->text(), "");
    EXPECT_EQ(txtCognome->text(), "");
    EXPECT_EQ(cboComune->currentText(), "");
}

TEST_F(EliminazioneTest, ARejectedDeleteIsReportedAndStopsTheEvents) {
    conn->Execute("CREATE TRIGGER NoDelete BEFORE DELETE ON Clienti "
                  "BEGIN SELECT RAISE(ABORT, 'protetto'); END");
    nav.MessaggioConfermaEliminaDisabilitato = true;
    boxes.Expect();
    nav.Delete();
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "ClsAdoNavigator_Metodo_Delete -2147217900 protetto");
    EXPECT_EQ(boxes.Shown()[0].style, 16);
    EXPECT_EQ(boxes.Shown()[0].title, "TQ03");
    EXPECT_EQ(log.names, QStringList({"Delete", "BeforeDelConfirm"}));
    EXPECT_EQ(Count(), 4);
    EXPECT_EQ(txtId->text(), "40");
}

} // namespace tessaro::test
