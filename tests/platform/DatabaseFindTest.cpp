#include "platform/DatabaseTestSupport.h"
#include "support/Fixtures.h"

namespace tessaro::test {
namespace {

class FindFixture : public SqliteTest {
protected:
    void SetUp() override {
        SqliteTest::SetUp();
        UseScript(
            QStringLiteral("CREATE TABLE Clienti (Id INTEGER PRIMARY KEY, Nome TEXT, "
                           "  Codice TEXT, Sconto REAL, Citta TEXT, Misto);"
                           "INSERT INTO Clienti VALUES (10, 'Rossi', '042', 3.5, 'Roma', 42);"
                           "INSERT INTO Clienti VALUES (20, 'O''Brien', '42', 0.1, NULL, '042');"
                           "INSERT INTO Clienti VALUES (30, 'Bianchi', 'x', 100000, '', '42.0');"
                           "INSERT INTO Clienti VALUES (40, 'Rossi', '7', NULL, 'Roma', 42.0);"
                           "INSERT INTO Clienti VALUES (50, 'rossi', '50', 2, 'Milano', NULL)"));
        Reopen();
    }
    void Reopen() {
        rs.Close();
        rs.Open(QStringLiteral("SELECT * FROM Clienti ORDER BY Id"), conn.get(), adOpenKeyset,
                adLockReadOnly);
    }
    // Id of the current row, or where the cursor stands when there is none.
    QString At() {
        if (rs.Bof() || rs.Eof())
            return Where(rs);
        return ValueToText(rs.Fields().Item(QStringLiteral("Id")).Value());
    }
    QString FindFromFirst(const QString& criteria) {
        rs.MoveFirst();
        rs.Find(criteria);
        return At();
    }
    // Puts the cursor back on a 0-based row, or on BOF (-1) or EOF (count).
    void MoveTo(qint64 row) {
        if (row < 0) {
            rs.MoveFirst();
            rs.MovePrevious();
        } else if (row >= rs.RecordCount()) {
            rs.MoveLast();
            rs.MoveNext();
        } else {
            rs.Move(row, adBookmarkFirst);
        }
    }
    Recordset rs;
};

// Every search twice: as the first search after an open, which scans, and after
// an earlier search on the same column, which goes through the index.
class FindTest : public FindFixture, public ::testing::WithParamInterface<bool> {
protected:
    void Search(const QString& criteria, qint64 skip = 0, int direction = adSearchForward,
                int start = adBookmarkCurrent) {
        const qint64 row = rs.CurrentRow();
        const QString source = rs.Source();
        rs.Open(source, conn.get());
        if (GetParam()) {
            const QString column = criteria.section(QLatin1Char('='), 0, 0).trimmed();
            if (criteria.contains(QLatin1Char('=')) && rs.ColumnIndex(column) >= 0 &&
                !column.isEmpty())
                rs.Find(column + QStringLiteral(" = 'not there'"));
        }
        MoveTo(row);
        rs.Find(criteria, skip, direction, start);
    }
    QString SearchFromFirst(const QString& criteria) {
        rs.MoveFirst();
        Search(criteria);
        return At();
    }
};

INSTANTIATE_TEST_SUITE_P(ScanAndIndex, FindTest, ::testing::Bool(),
                         [](const auto& p) { return p.param ? "Indexed" : "Scanned"; });

TEST_P(FindTest, QuotedValuesMatchTheTextExactly) {
    EXPECT_EQ(SearchFromFirst(QStringLiteral("Nome = 'Rossi'")), "10");
    EXPECT_EQ(SearchFromFirst(QStringLiteral("Nome='Bianchi'")), "30");
    EXPECT_EQ(SearchFromFirst(QStringLiteral("nome  =  'rossi'")),
              "50"); // the column name ignores case
    EXPECT_EQ(SearchFromFirst(QStringLiteral("Nome = 'Verdi'")), "EOF");
    EXPECT_EQ(SearchFromFirst(QStringLiteral("Nome = 'Ross'")), "EOF");
    EXPECT_EQ(SearchFromFirst(QStringLiteral("Nome='O''Brien'")), "20");
    EXPECT_EQ(SearchFromFirst(QStringLiteral("Nome = 'O''Brien' ")), "20");
    // A quoted number compares with the text of a numeric cell.
    EXPECT_EQ(SearchFromFirst(QStringLiteral("Id = '40'")), "40");
    EXPECT_EQ(SearchFromFirst(QStringLiteral("Sconto = '0.1'")), "20");
    // An empty text is not Null.
    EXPECT_EQ(SearchFromFirst(QStringLiteral("Citta = ''")), "30");
    EXPECT_EQ(SearchFromFirst(QStringLiteral("Sconto = ''")), "EOF");
}

TEST_P(FindTest, BareNumbersCompareByValueOrByTheTextOfATextCell) {
    EXPECT_EQ(SearchFromFirst(QStringLiteral("Id=40")), "40");
    EXPECT_EQ(SearchFromFirst(QStringLiteral("Id = 40.0")), "40");
    EXPECT_EQ(SearchFromFirst(QStringLiteral("Id = +40")), "40");
    EXPECT_EQ(SearchFromFirst(QStringLiteral("Id = 41")), "EOF");
    EXPECT_EQ(SearchFromFirst(QStringLiteral("Sconto = 3.5")), "10");
    EXPECT_EQ(SearchFromFirst(QStringLiteral("Sconto = 3,5")), "10");
    EXPECT_EQ(SearchFromFirst(QStringLiteral("Sconto = 0.1")), "20");
    EXPECT_EQ(SearchFromFirst(QStringLiteral("Sconto = 1e5")), "30");
    EXPECT_EQ(SearchFromFirst(QStringLiteral("Sconto = 2")), "50");
    EXPECT_EQ(SearchFromFirst(QStringLiteral("Codice = 042")), "10");
    EXPECT_EQ(SearchFromFirst(QStringLiteral("Codice = 42")), "20");
    EXPECT_EQ(SearchFromFirst(QStringLiteral("Codice = 7.0")), "EOF");
}

TEST_P(FindTest, NumbersAndTextsInOneColumn) {
    // Misto holds 42, '042', '42.0', 42.0 and Null.
    EXPECT_EQ(SearchFromFirst(QStringLiteral("Misto = 42")), "10");
    EXPECT_EQ(SearchFromFirst(QStringLiteral("Misto = '42'")), "10");
    EXPECT_EQ(SearchFromFirst(QStringLiteral("Misto = '042'")), "20");
    EXPECT_EQ(SearchFromFirst(QStringLiteral("Misto = '42.0'")), "30");
    rs.Move(1, adBookmarkFirst);
    Search(QStringLiteral("Misto = 42"));
    EXPECT_EQ(At(), "40");
    // A text cell that reads "042" and number cells worth 42: the nearest wins.
    rs.Move(1, adBookmarkFirst);
    Search(QStringLiteral("Misto = 042"));
    EXPECT_EQ(At(), "20");
    rs.Move(2, adBookmarkFirst);
    Search(QStringLiteral("Misto = 042"));
    EXPECT_EQ(At(), "40");
    rs.Move(2, adBookmarkFirst);
    Search(QStringLiteral("Misto = 042"), 0, adSearchBackward);
    EXPECT_EQ(At(), "20");
    rs.MoveLast();
    Search(QStringLiteral("Misto = 42.0"), 0, adSearchBackward);
    EXPECT_EQ(At(), "40");
    rs.Move(2, adBookmarkFirst);
    Search(QStringLiteral("Misto = 42.0"), 0, adSearchBackward);
    EXPECT_EQ(At(), "30");
    rs.Move(1, adBookmarkFirst);
    Search(QStringLiteral("Misto = 42.0"), 0, adSearchBackward);
    EXPECT_EQ(At(), "10");
}

TEST_P(FindTest, SearchesFromTheCurrentRowForwardOrBackward) {
    rs.Move(1, adBookmarkFirst); // on 20
    Search(QStringLiteral("Nome = 'Rossi'"));
    EXPECT_EQ(At(), "40");
    Search(QStringLiteral("Nome = 'Rossi'")); // the current row itself matches
    EXPECT_EQ(At(), "40");
    Search(QStringLiteral("Nome = 'Rossi'"), 1);
    EXPECT_EQ(At(), "EOF");
    Search(QStringLiteral("Nome = 'Rossi'"), 0, adSearchForward, adBookmarkFirst);
    EXPECT_EQ(At(), "10");

    rs.MoveLast();
    Search(QStringLiteral("Nome = 'Rossi'"), 0, adSearchBackward);
    EXPECT_EQ(At(), "40");
    Search(QStringLiteral("Nome = 'Rossi'"), 1, adSearchBackward);
    EXPECT_EQ(At(), "10");
    Search(QStringLiteral("Nome = 'Rossi'"), 1, adSearchBackward);
    EXPECT_EQ(At(), "BOF");
    Search(QStringLiteral("Nome = 'Bianchi'"), 0, adSearchBackward, adBookmarkLast);
    EXPECT_EQ(At(), "30");

    // From either end the search starts at the nearest row.
    rs.MoveLast();
    rs.MoveNext();
    Search(QStringLiteral("Id = 50"), 0, adSearchBackward);
    EXPECT_EQ(At(), "50");
    rs.MoveFirst();
    rs.MovePrevious();
    Search(QStringLiteral("Id = 10"));
    EXPECT_EQ(At(), "10");
}

TEST_P(FindTest, MalformedCriteriaAreRefusedWithoutMoving) {
    rs.Move(2, adBookmarkFirst);
    for (const char* bad :
         {"Nome", "Nome = 'abc", "Nome = 'a'b'", "Nome = abc", "= 5", "Nome <> 5", "Nome >= 5",
          "Nome = ", "Nome LIKE 'R%'", "Id = 0x1F", "Id = 5 OR 1=1"}) {
        EXPECT_EQ(RaisedBy([&] { Search(QLatin1String(bad)); }).number, Err::WrongArguments) << bad;
        EXPECT_EQ(At(), "30") << bad;
    }
    EXPECT_EQ(RaisedBy([&] { Search(QStringLiteral("Colore = 'x'")); }).number, Err::ItemNotFound);
    EXPECT_EQ(RaisedBy([&] { Search(QStringLiteral("Id = 1"), 0, 0); }).number,
              Err::WrongArguments);
    EXPECT_EQ(At(), "30");
}

TEST_F(FindFixture, ARequerySeesChangedRows) {
    EXPECT_EQ(FindFromFirst(QStringLiteral("Nome = 'Bianchi'")), "30");
    // Another connection renames a row, removes one and adds one.
    db->Exec(QStringLiteral("UPDATE Clienti SET Nome = 'Verdi' WHERE Id = 30;"
                            "DELETE FROM Clienti WHERE Id = 10;"
                            "INSERT INTO Clienti (Id, Nome) VALUES (60, 'Bianchi')"));
    // Until the requery the recordset keeps what it read.
    EXPECT_EQ(FindFromFirst(QStringLiteral("Nome = 'Bianchi'")), "30");
    Reopen();
    EXPECT_EQ(FindFromFirst(QStringLiteral("Nome = 'Bianchi'")), "60");
    EXPECT_EQ(FindFromFirst(QStringLiteral("Nome = 'Verdi'")), "30");
    EXPECT_EQ(FindFromFirst(QStringLiteral("Id = 10")), "EOF");
    EXPECT_EQ(FindFromFirst(QStringLiteral("Nome = 'Rossi'")), "40");
}

TEST_F(FindFixture, ARequeryOnThisConnectionSeesItsOwnChanges) {
    EXPECT_EQ(FindFromFirst(QStringLiteral("Id = 20")), "20");
    conn->Execute(QStringLiteral("DELETE FROM Clienti WHERE Id = 20"));
    Reopen();
    EXPECT_EQ(FindFromFirst(QStringLiteral("Id = 20")), "EOF");
    // The same object opened on another statement searches its new rows.
    rs.Open(QStringLiteral("SELECT Nome AS Id FROM Clienti ORDER BY Nome"), conn.get());
    rs.Find(QStringLiteral("Id = 'Rossi'"));
    EXPECT_EQ(rs.AbsolutePosition(), 2);
}

TEST_P(FindTest, EmptyRecordsetsStayEmpty) {
    rs.Open(QStringLiteral("SELECT * FROM Clienti WHERE 0"), conn.get());
    Search(QStringLiteral("Id = 10"));
    EXPECT_EQ(Where(rs), "empty");
    EXPECT_EQ(RaisedBy([&] { Search(QStringLiteral("Id 10")); }).number, Err::WrongArguments);
}

TEST_P(FindTest, TableQualifiedColumnsInAJoin) {
    db->Exec(QStringLiteral("CREATE TABLE Ordini (Id INTEGER PRIMARY KEY, IdCliente INT);"
                            "INSERT INTO Ordini VALUES (1, 20);"
                            "INSERT INTO Ordini VALUES (2, 40)"));
    rs.Open(QStringLiteral("SELECT * FROM Ordini JOIN Clienti ON Clienti.Id = Ordini.IdCliente "
                           "ORDER BY Ordini.Id"),
            conn.get());
    Search(QStringLiteral("Clienti.Id = 40"));
    EXPECT_EQ(rs.AbsolutePosition(), 2);
    Search(QStringLiteral("Ordini.Id = 1"), 0, adSearchForward, adBookmarkFirst);
    EXPECT_EQ(rs.AbsolutePosition(), 1);
    Search(QStringLiteral("[Nome] = 'Rossi'"));
    EXPECT_EQ(rs.AbsolutePosition(), 2);
}

TEST_F(FindFixture, RepeatedFindsOnALongListLandOnEveryKey) {
    db->Exec(QStringLiteral(
        "CREATE TABLE Tanti (k INTEGER PRIMARY KEY, t TEXT);"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20000) "
        "INSERT INTO Tanti SELECT i, 'k' || (i % 97) FROM n"));
    rs.Open(QStringLiteral("SELECT k, t FROM Tanti ORDER BY k DESC"), conn.get());
    for (int k = 1; k <= 20000; k += 997) {
        rs.MoveFirst();
        rs.Find(QStringLiteral("k = %1").arg(k));
        ASSERT_EQ(rs.AbsolutePosition(), 20001 - k) << k;
    }
    // Text keys with many rows each: the first at or after the start, forward and backward.
    rs.Move(100, adBookmarkFirst);
    rs.Find(QStringLiteral("t = 'k5'"));
    EXPECT_EQ(rs.Fields().Item(QStringLiteral("k")).Value().toInt(), 19890);
    rs.Find(QStringLiteral("t = 'k5'"), 1, adSearchBackward);
    EXPECT_EQ(rs.Fields().Item(QStringLiteral("k")).Value().toInt(), 19987);
}

} // namespace
} // namespace tessaro::test
