// Steps reuse the key list while the database reports no change; these cases
// change the data in every way a step must notice.

#include "NavigatorFixture.h"

namespace tessaro::test {

class KeyListCacheTest : public NavigatorTest {
protected:
    void SetUp() override {
        NavigatorTest::SetUp();
        CreateSchema(5); // ids 10..50 in sort order
        StandardForm();
        ASSERT_TRUE(Init());
        other = db->Open();
    }

    // A few steps with nothing changed, so that the list read last is the one reused.
    void StepsWithoutChanges() {
        nav.MoveTo("30");
        nav.MoveNext();
        nav.MovePrevious();
        ASSERT_EQ(Current(), "30");
        ASSERT_EQ(nav.AbsolutePosition().toInt(), 3);
    }

    int Position() const { return nav.AbsolutePosition().toInt(); }
    int Count() const { return nav.RecordCount().toInt(); }

    std::unique_ptr<Connection> other;
};

TEST_F(KeyListCacheTest, InsertBeforeTheCurrentRecordMovesPositionAndCount) {
    StepsWithoutChanges();
    other->Execute("INSERT INTO Clienti VALUES (5, 'Cognome0', 'x', 1, 0, NULL)");
    nav.MoveNext();
    EXPECT_EQ(Current(), "40");
    EXPECT_EQ(Position(), 5) << "one row more before it";
    EXPECT_EQ(Count(), 6);

    // Unchanged since: the reused list still has the new row.
    nav.MoveFirst();
    EXPECT_EQ(Current(), "5");
    nav.MoveNext();
    EXPECT_EQ(Current(), "10");
    EXPECT_EQ(Count(), 6);
}

TEST_F(KeyListCacheTest, DeletedNextRecordIsSkippedByTheNextStep) {
    StepsWithoutChanges();
    other->Execute("DELETE FROM Clienti WHERE IdCliente = 40");
    nav.MoveNext();
    EXPECT_EQ(Current(), "50");
    EXPECT_EQ(Position(), 4);
    EXPECT_EQ(Count(), 4);
    EXPECT_EQ(nav.State(), 3);
    nav.MovePrevious();
    EXPECT_EQ(Current(), "30");
}

TEST_F(KeyListCacheTest, ChangeOfTheSortValueMovesTheRecord) {
    StepsWithoutChanges();
    // 30 now sorts last: the step after it leaves the order it had.
    other->Execute("UPDATE Clienti SET Cognome = 'CognomeZ' WHERE IdCliente = 30");
    nav.MoveNext();
    EXPECT_EQ(nav.State(), 3) << "30 is the last now, so the step stays on it";
    EXPECT_EQ(Current(), "30");
    EXPECT_EQ(Position(), 5);
    nav.MovePrevious();
    EXPECT_EQ(Current(), "50");
}

TEST_F(KeyListCacheTest, ChangesOnTheNavigatorsOwnConnectionAreSeen) {
    StepsWithoutChanges();
    conn->Execute("INSERT INTO Clienti VALUES (35, 'CognomeC2', 'x', 1, 0, NULL)");
    nav.MoveNext();
    EXPECT_EQ(Current(), "35");
    EXPECT_EQ(Count(), 6);
    conn->Execute("DELETE FROM Clienti WHERE IdCliente = 40");
    nav.MoveNext();
    EXPECT_EQ(Current(), "50");
    EXPECT_EQ(Count(), 5);
}

TEST_F(KeyListCacheTest, ChangesWhileTheHostHadTheConnectionClosedAreSeen) {
    StepsWithoutChanges();
    // A new handle starts its own counters afresh; they must not pass for the old ones.
    conn->Close();
    other->Execute("DELETE FROM Clienti WHERE IdCliente = 40");
    conn->Open();
    nav.MoveNext();
    EXPECT_EQ(Current(), "50");
    EXPECT_EQ(Count(), 4);

    conn->Close();
    conn->Open();
    other->Execute("INSERT INTO Clienti VALUES (5, 'Cognome0', 'x', 1, 0, NULL)");
    nav.MovePrevious();
    EXPECT_EQ(Current(), "30");
    EXPECT_EQ(Position(), 4);
    EXPECT_EQ(Count(), 5);
}

TEST_F(KeyListCacheTest, MoveToFindsAKeyInsertedByAnotherConnection) {
    StepsWithoutChanges();
    other->Execute("INSERT INTO Clienti VALUES (25, 'CognomeB2', 'x', 1, 0, NULL)");
    nav.MoveTo("25");
    EXPECT_EQ(Current(), "25");
    EXPECT_EQ(Position(), 3);
    EXPECT_EQ(Count(), 6);
    EXPECT_EQ(nav.SqlElencoChiavi(), "Select IdCliente From Clienti Order by Clienti.Cognome;");

    // A key deleted meanwhile is not found, however recently it was in the list.
    nav.MoveTo("20");
    other->Execute("DELETE FROM Clienti WHERE IdCliente = 10");
    boxes.Expect();
    nav.MoveTo("10");
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_TRUE(boxes.Shown()[0].text.startsWith("ClsAdoNavigator_Metodo_MoveTo 3021 "));
    EXPECT_EQ(Current(), "20");
}

TEST_F(KeyListCacheTest, CurrentRecordDeletedThenNothingElseChanges) {
    StepsWithoutChanges();
    other->Execute("DELETE FROM Clienti WHERE IdCliente = 30");
    nav.MoveNext(); // the list is re-read: 30 is gone, the cursor ends past the last row
    EXPECT_EQ(Current(), "50");
    // No change since: the cursor is on a row again and the reused list serves the steps.
    nav.MovePrevious();
    EXPECT_EQ(Current(), "40");
    nav.MovePrevious();
    EXPECT_EQ(Current(), "20");
    EXPECT_EQ(Count(), 4);
}

TEST_F(KeyListCacheTest, ConditionChangeRereadsTheListEvenWithoutDataChanges) {
    StepsWithoutChanges();
    nav.mCondizione = "Attivo = 1"; // ids 10, 30, 50
    nav.AggiornaTheData();
    EXPECT_EQ(Count(), 3);
    nav.MovePrevious();
    EXPECT_EQ(Current(), "30");
    nav.mCondizione.clear();
    nav.MoveNext(); // the requery of a step uses the condition of the moment
    EXPECT_EQ(Count(), 5);
    EXPECT_EQ(Current(), "40");
}

TEST_F(KeyListCacheTest, ARefreshOnItsOwnStillChecksTheConnection) {
    StepsWithoutChanges();
    // Only a move that has just probed spares the refresh its own check.
    conn->Close();
    other->Execute("DELETE FROM Clienti WHERE IdCliente = 40");
    nav.AggiornaArrayID();
    EXPECT_TRUE(nav.ElencoValido());
    EXPECT_EQ(conn->State(), 1) << "reconnected by the check";
    EXPECT_EQ(Count(), 4);
    nav.MoveNext();
    EXPECT_EQ(Current(), "50");
}

} // namespace tessaro::test
