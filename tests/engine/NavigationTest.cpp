#include "NavigatorFixture.h"

#include <QDir>
#include <QFile>

namespace tessaro::test {

class NavigationTest : public NavigatorTest {
protected:
    void SetUp() override {
        NavigatorTest::SetUp();
        CreateSchema(5); // ids 10..50 in sort order
        StandardForm();
        ASSERT_TRUE(Init());
        log = std::make_unique<EventLog>(nav);
        nav.SetEventSink(log.get());
    }
    std::unique_ptr<EventLog> log;
};

TEST_F(NavigationTest, MovesSetStatesAndNeverWrap) {
    nav.MoveFirst();
    EXPECT_EQ(Current(), "10");
    EXPECT_EQ(nav.State(), 2);
    nav.MovePrevious();
    EXPECT_EQ(Current(), "10") << "no wrap before the first";
    EXPECT_EQ(nav.State(), 2);
    nav.MoveNext();
    EXPECT_EQ(Current(), "20");
    EXPECT_EQ(nav.State(), 7);
    nav.MoveLast();
    EXPECT_EQ(Current(), "50");
    EXPECT_EQ(nav.State(), 3);
    nav.MoveNext();
    EXPECT_EQ(Current(), "50") << "no wrap after the last";
    EXPECT_EQ(nav.State(), 3);
    nav.MovePrevious();
    EXPECT_EQ(Current(), "40");
    EXPECT_EQ(nav.State(), 7);
    EXPECT_EQ(nav.AbsolutePosition().toInt(), 4);
    EXPECT_EQ(nav.RecordCount().toInt(), 5);
}

TEST_F(NavigationTest, HandlersSeeThePreviousState) {
    nav.MoveFirst();
    log->Clear();
    nav.MoveNext();
    EXPECT_EQ(log->names, QStringList({"OnCurrent", "AfterCurrent"}));
    EXPECT_EQ(log->states, std::vector<int>({2, 2}));
    EXPECT_EQ(nav.State(), 7);
}

TEST_F(NavigationTest, MoveByPositionClampsToTheEnds) {
    nav.Move(1);
    EXPECT_EQ(Current(), "10");
    EXPECT_EQ(nav.State(), 2);
    nav.Move(0);
    EXPECT_EQ(Current(), "10");
    nav.Move(-3);
    EXPECT_EQ(Current(), "10");
    nav.Move(3);
    EXPECT_EQ(Current(), "30");
    EXPECT_EQ(nav.State(), 7);
    nav.Move(99);
    EXPECT_EQ(Current(), "50");
    EXPECT_EQ(nav.State(), 3);
}

TEST_F(NavigationTest, MoveToFindsTheKeyAndReportsAMissingOne) {
    nav.MoveTo("30");
    EXPECT_EQ(Current(), "30");
    EXPECT_EQ(nav.State(), 7);
    nav.MoveTo("50");
    EXPECT_EQ(nav.State(), 3);

    boxes.Expect();
    nav.MoveTo("999");
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_TRUE(boxes.Shown()[0].text.startsWith("ClsAdoNavigator_Metodo_MoveTo 3021 "));
    EXPECT_EQ(boxes.Shown()[0].title, "TQ03");
    EXPECT_EQ(Current(), "50") << "the previous record stays shown";

    // The next move starts again from the record still shown.
    nav.MovePrevious();
    EXPECT_EQ(Current(), "40");
}

TEST_F(NavigationTest, MoveToRefusesTextThatIsNotANumberForANumericKey) {
    boxes.Expect();
    nav.MoveTo("1 OR 1=1");
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_TRUE(boxes.Shown()[0].text.startsWith("ClsAdoNavigator_Metodo_MoveTo 5 "));
    EXPECT_EQ(Current(), "50");
    nav.MovePrevious();
    EXPECT_EQ(Current(), "40");
}

TEST_F(NavigationTest, OtherConnectionsChangesAreSeenAtTheNextMove) {
    nav.MoveFirst();
    nav.MoveNext(); // on 20
    auto other = db->Open();
    other->Execute("INSERT INTO Clienti VALUES (15, 'CognomeA2', 'x', 1, 0, NULL)");
    nav.MoveNext();
    EXPECT_EQ(Current(), "30");
    EXPECT_EQ(nav.RecordCount().toInt(), 6);
    EXPECT_EQ(nav.AbsolutePosition().toInt(), 4);

    // Deleting the current record leaves the cursor past the end; the next move
    // lands on a valid record.
    other->Execute("DELETE FROM Clienti WHERE IdCliente = 30");
    nav.MovePrevious();
    EXPECT_EQ(nav.RecordCount().toInt(), 5);
    EXPECT_EQ(Current(), "50");
    nav.MovePrevious();
    EXPECT_EQ(Current(), "40");
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(NavigationTest, DeletedCurrentRecordThenMoveNextLandsOnTheLast) {
    nav.MoveTo("30");
    db->Open()->Execute("DELETE FROM Clienti WHERE IdCliente = 30");
    nav.MoveNext();
    EXPECT_EQ(Current(), "50");
    EXPECT_EQ(nav.State(), 3);
}

TEST_F(NavigationTest, HostClosingTheConnectionIsReconnectedSilently) {
    nav.MoveTo("30");
    conn->Close();
    nav.MoveNext();
    EXPECT_EQ(conn->State(), 1);
    EXPECT_EQ(Current(), "40");
    EXPECT_TRUE(boxes.Shown().empty());

    conn->Close();
    nav.MovePrevious();
    EXPECT_EQ(Current(), "30") << "back on the same record list after the reconnection";
}

TEST_F(NavigationTest, UnreachableDatabaseShowsTheNetworkMessageOnceAndNothingMoves) {
    nav.MoveTo("30");
    conn->Close();
    const QString moved = db->Path() + ".away";
    ASSERT_TRUE(QFile::rename(db->Path(), moved));
    boxes.Expect();
    nav.MoveNext();
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "Si è verificato un errore di rete nell'accesso al database");
    EXPECT_EQ(boxes.Shown()[0].title, "Attenzione!");
    EXPECT_EQ(boxes.Shown()[0].style, 48);
    EXPECT_EQ(Current(), "30");

    ASSERT_TRUE(QFile::rename(moved, db->Path()));
    nav.MoveNext();
    EXPECT_EQ(Current(), "40");
}

TEST_F(NavigationTest, KeyListStatementsPerKind) {
    EXPECT_EQ(NavigatorTestAccess::ElencoChiavi(nav, true),
              "Select IdCliente From Clienti Order by Clienti.Cognome;");
    nav.mCondizione = "Attivo = 1";
    EXPECT_EQ(NavigatorTestAccess::ElencoChiavi(nav, true),
              "Select IdCliente from Clienti WHERE (Attivo = 1) Order by Clienti.Cognome");
    nav.ScorrimentoDisabilitato = -1;
    const std::pair<int, QString> expected[] = {
        {0, "Select TOP 1 (IdCliente) from Clienti Order by Clienti.Cognome"},
        {1, "Select TOP 1 (IdCliente) from Clienti Order by Clienti.Cognome"},
        {2, "Select IdCliente from Clienti Order by Clienti.Cognome DESC LIMIT 1,1"},
        {4, "Select IdCliente from Clienti Order by Clienti.Cognome LIMIT 1"},
    };
    for (const auto& [kind, text] : expected) {
        nav.TipoDatabase = kind;
        EXPECT_EQ(NavigatorTestAccess::ElencoChiavi(nav, true), text) << "kind " << kind;
    }
    // Requeries between moves ignore the scrolling setting.
    EXPECT_EQ(NavigatorTestAccess::ElencoChiavi(nav, false),
              "Select IdCliente from Clienti WHERE (Attivo = 1) Order by Clienti.Cognome");
}

TEST_F(NavigationTest, ConditionAndScrollingReloadTheList) {
    nav.mCondizione = "Attivo = 1"; // ids 10, 30, 50
    nav.AggiornaTheData();
    EXPECT_EQ(nav.State(), 3);
    EXPECT_EQ(nav.RecordCount().toInt(), 3);
    EXPECT_EQ(Current(), "50");
    nav.MovePrevious();
    EXPECT_EQ(Current(), "30");

    nav.mCondizione = "Attivo = 7";
    txtCognome->setText("x");
    nav.AggiornaTheData();
    EXPECT_EQ(nav.State(), 1);
    EXPECT_EQ(txtCognome->text(), "") << "emptied when nothing is selected";

    nav.mCondizione.clear();
    nav.ScorrimentoDisabilitato = -1;
    nav.AggiornaTheData();
    EXPECT_EQ(nav.RecordCount().toInt(), 1);
    EXPECT_EQ(Current(), "10") << "the first row of the sort order";
    nav.MoveTo("40"); // loads that key directly
    EXPECT_EQ(Current(), "40");
}

TEST_F(NavigatorTest, WithOneRecordOtherUsersInsertsAreSeenAtTheNextMove) {
    CreateSchema(1);
    StandardForm();
    ASSERT_TRUE(Init());
    db->Open()->Execute("INSERT INTO Clienti VALUES (5, 'CognomeZ', 'x', 1, 0, NULL)");
    nav.MoveNext();
    EXPECT_EQ(nav.RecordCount().toInt(), 2);
    EXPECT_EQ(Current(), "5");
    EXPECT_EQ(nav.State(), 3);
}

TEST_F(NavigatorTest, AnEmptyTableFilledByAnotherUserIsSeenAtTheNextMove) {
    CreateSchema(0);
    StandardForm();
    ASSERT_TRUE(Init());
    db->Open()->Execute("INSERT INTO Clienti VALUES (5, 'CognomeZ', 'x', 1, 0, NULL)");
    nav.MoveLast();
    EXPECT_EQ(nav.State(), 3);
    EXPECT_EQ(Current(), "5");
}

class CharacterKeyTest : public NavigatorTest {};

TEST_F(CharacterKeyTest, KeyWithAnApostropheLoadsIsFoundAgainAndIsReachedByMoveTo) {
    UseScript("CREATE TABLE Voci (Codice VARCHAR(20) PRIMARY KEY, Descrizione TEXT);"
              "INSERT INTO Voci VALUES ('A', 'prima');"
              "INSERT INTO Voci VALUES ('B''s', 'seconda');"
              "INSERT INTO Voci VALUES ('C', 'terza')");
    auto* codice = AddText("txtCodice", "Codice");
    auto* descr = AddText("txtDescrizione", "Descrizione");
    for (int kind : {0, 1, 2, 4}) {
        clsADONavigator n;
        n.TipoDatabase = kind == 4 ? 4 : kind;
        ASSERT_TRUE(n.Init_Class(conn.get(), "Voci", FormOf(form.get()), "Codice", {}, "", ""));
        EXPECT_EQ(n.TipoChiave(), DbType::WChar);
        n.MovePrevious();
        EXPECT_EQ(codice->text(), "B's") << "kind " << kind;
        EXPECT_EQ(n.CriterioRecordCorrente(), "Codice='B''s'");
        n.MoveNext(); // requery finds "B's" again, then moves on
        EXPECT_EQ(codice->text(), "C");
        n.MoveTo("B's");
        EXPECT_EQ(descr->text(), "seconda");
        n.MoveFirst();
        n.MoveNext();
        EXPECT_EQ(codice->text(), "B's");
        n.MoveNext(); // the criterion of "B's" is escaped for every kind
        EXPECT_EQ(codice->text(), "C");
    }
    EXPECT_TRUE(boxes.Shown().empty());
}

} // namespace tessaro::test
