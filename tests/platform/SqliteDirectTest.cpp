// Reading results and data versions through the sqlite3 handle under Qt's
// driver: the same values and descriptions as the Qt path, and versions that
// change with every change anybody makes.

#include "data/SqliteDirect.h"
#include "data/SqliteProvider.h"
#include "platform/DatabaseTestSupport.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <sqlite3.h>

namespace tessaro::test {
namespace {

class SqliteDirectTest : public SqliteTest {
protected:
    void SetUp() override {
        SqliteTest::SetUp();
        UseScript(QStringLiteral(
            "CREATE TABLE Voci (Id INTEGER PRIMARY KEY, Nome VARCHAR(20), Prezzo REAL, "
            "Foto BLOB, Giorno DATE, Qta NUMERIC(8,2), Libero);"
            "INSERT INTO Voci VALUES (1, 'Mela', 0.5, x'00ff', '2024-03-02', 3, 'x');"
            "INSERT INTO Voci VALUES (2, NULL, NULL, x'', NULL, 2.5, 7);"
            "INSERT INTO Voci VALUES (3, '', -1e300, NULL, '2024-13-45', NULL, 1.5);"
            "INSERT INTO Voci VALUES (9223372036854775807, 'Perché ✓', 1, 'testo', 5, 'a', "
            "x'01')"));
        handle = sqlite::Handle(conn->Database());
        ASSERT_NE(handle, nullptr);
        statements.Use(handle);
    }
    void TearDown() override {
        statements.Use(nullptr);
        SqliteTest::TearDown();
    }

    // What Qt's own driver reads for a statement: the values, row by row.
    std::vector<QVariantList> QtRows(const QString& sql) {
        QSqlQuery q(conn->Database());
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
        std::vector<QVariantList> rows;
        while (q.next()) {
            QVariantList row;
            for (int i = 0; i < q.record().count(); ++i)
                row << q.value(i);
            rows.push_back(row);
        }
        return rows;
    }

    sqlite3* handle = nullptr;
    sqlite::Statements statements;
};

TEST_F(SqliteDirectTest, ValuesAreThoseQtReads) {
    const QString texts[] = {
        QStringLiteral("SELECT * FROM Voci ORDER BY Id"),
        QStringLiteral("SELECT Libero, Id, Foto FROM Voci ORDER BY Nome"),
        QStringLiteral("SELECT Id * 2 AS d, Nome || '!' AS e, NULL AS n, x'' AS b FROM Voci"),
    };
    for (const QString& sql : texts) {
        std::vector<RecordsetColumn> columns;
        ASSERT_TRUE(sqlite::ReadAll(statements, sql, 0, columns)) << sql.toStdString();
        const auto expected = QtRows(sql);
        for (std::size_t r = 0; r < expected.size(); ++r) {
            for (std::size_t c = 0; c < columns.size(); ++c) {
                const QVariant qt = expected[r][static_cast<qsizetype>(c)];
                const QVariant direct = columns[c].At(r);
                const std::string where = sql.toStdString() + " row " + std::to_string(r) +
                                          " column " + std::to_string(c);
                EXPECT_EQ(direct.isNull(), qt.isNull()) << where;
                if (qt.isNull())
                    continue;
                EXPECT_EQ(direct.typeId(), qt.typeId()) << where;
                EXPECT_EQ(direct, qt) << where;
            }
        }
    }
}

TEST_F(SqliteDirectTest, NamesTablesAndTypesAreThoseOfTheQtPath) {
    const QString sql = QStringLiteral("SELECT Id, Nome, Qta, Giorno, Libero, count(*) AS n, "
                                       "max(Prezzo) AS p, x'00' AS b, 'x' AS t, \"Foto\" "
                                       "FROM Voci");
    std::vector<RecordsetColumn> columns;
    ASSERT_TRUE(sqlite::ReadAll(statements, sql, 0, columns));
    QSqlQuery q(conn->Database());
    ASSERT_TRUE(q.exec(sql));
    const QSqlRecord record = q.record();
    ASSERT_EQ(columns.size(), static_cast<std::size_t>(record.count()));
    for (int i = 0; i < record.count(); ++i) {
        const RecordsetColumn& c = columns[static_cast<std::size_t>(i)];
        EXPECT_EQ(c.name, record.fieldName(i));
        EXPECT_EQ(c.table, record.field(i).tableName()) << c.name.toStdString();
        if (c.table.isEmpty()) { // an expression: what Qt reports for it
            EXPECT_EQ(c.type, DbProvider::TypeCodeOf(record.field(i).metaType()))
                << c.name.toStdString();
        }
    }
    const std::pair<int, long> declared[] = {{DbType::Integer, 4},
                                             {DbType::WChar, 20},
                                             {DbType::Numeric, 19},
                                             {DbType::Date, 8},
                                             {DbType::WChar, 0}};
    for (std::size_t i = 0; i < std::size(declared); ++i) {
        EXPECT_EQ(columns[i].type, declared[i].first) << i;
        EXPECT_EQ(columns[i].definedSize, declared[i].second) << i;
    }
    EXPECT_EQ(columns[7].type, DbType::Binary);
    EXPECT_EQ(columns[9].name, "Foto");
    EXPECT_EQ(columns[9].type, DbType::Binary);

    // No row: an expression has no type yet, and the recordset falls back to text.
    Recordset empty;
    empty.Open(QStringLiteral("SELECT 1 AS a, Prezzo FROM Voci WHERE 0"), conn.get());
    EXPECT_EQ(empty.Fields().Item(0).Type(), DbType::WChar);
    EXPECT_EQ(empty.Fields().Item(1).Type(), DbType::Double);
    EXPECT_EQ(empty.RecordCount(), 0);
}

TEST_F(SqliteDirectTest, WholeNumberColumnsArePacked) {
    db->Exec(QStringLiteral(
        "CREATE TABLE Tanti (k INTEGER PRIMARY KEY, t TEXT);"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5000) "
        "INSERT INTO Tanti SELECT i * 3, 'k' || i FROM n"));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT k, t FROM Tanti ORDER BY t"), conn.get());
    EXPECT_EQ(rs.RecordCount(), 5000);
    EXPECT_TRUE(rs.Column(0).packedIntegers);
    EXPECT_FALSE(rs.Column(1).packedIntegers);
    EXPECT_EQ(rs.Fields().Item(QStringLiteral("k")).Value().toLongLong(), 3); // 'k1'
    rs.MoveLast();
    EXPECT_EQ(rs.Fields().Item(QStringLiteral("t")).Value().toString(), "k999");
}

TEST_F(SqliteDirectTest, WhatItCannotReadIsLeftToQtUntouched) {
    const QString left[] = {
        QStringLiteral("SELECT 1; SELECT 2"),         // two statements: Qt refuses them
        QStringLiteral("SELECT Nome AS N FROM Voci"), // a table column read under another name
        QStringLiteral("SELEC Id FROM Voci"),         // Qt reports the syntax error
        QStringLiteral("SELECT * FROM Nessuna"),
        QStringLiteral("UPDATE Voci SET Nome = 'z' WHERE 0"),
        QStringLiteral("   "),
    };
    for (const QString& sql : left) {
        std::vector<RecordsetColumn> columns;
        EXPECT_FALSE(sqlite::ReadAll(statements, sql, 0, columns)) << sql.toStdString();
        EXPECT_TRUE(columns.empty()) << sql.toStdString();
    }
    // And through a recordset they behave as Qt has them behave.
    Recordset rs;
    const Raised twice = RaisedBy([&] { rs.Open(left[0], conn.get()); });
    EXPECT_EQ(twice.number, Err::StatementRejected);
    EXPECT_EQ(RaisedBy([&] { rs.Open(left[2], conn.get()); }).number, Err::StatementRejected);
    rs.Open(left[1], conn.get());
    EXPECT_EQ(ColumnTexts(rs, QStringLiteral("N")).size(), 4);
    std::vector<RecordsetColumn> columns;
    EXPECT_TRUE(sqlite::ReadAll(statements, QStringLiteral("SELECT 1;  \n"), 0, columns))
        << "blanks after the statement are no second statement";
}

TEST_F(SqliteDirectTest, DataVersionChangesWithEveryChangeByAnyone) {
    const auto first = conn->DataVersion();
    ASSERT_TRUE(first.has_value());
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM Voci"), conn.get());
    EXPECT_EQ(conn->DataVersion(), first) << "reading changes nothing";

    db->Exec(QStringLiteral("INSERT INTO Voci (Id) VALUES (20)"));
    const auto afterOther = conn->DataVersion();
    EXPECT_NE(afterOther, first) << "a commit by another connection";
    EXPECT_EQ(conn->DataVersion(), afterOther);

    conn->Execute(QStringLiteral("DELETE FROM Voci WHERE Id = 20"));
    const auto afterOwn = conn->DataVersion();
    EXPECT_NE(afterOwn, afterOther) << "a change on this connection";

    conn->Execute(QStringLiteral("UPDATE Voci SET Nome = Nome WHERE 0"));
    EXPECT_EQ(conn->DataVersion(), afterOwn) << "a statement that changed no row";

    // A new opening starts its counters again: its versions never pass for older ones.
    conn->Close();
    EXPECT_FALSE(conn->DataVersion().has_value());
    conn->Open();
    EXPECT_NE(conn->DataVersion(), afterOwn);
    EXPECT_NE(conn->DataVersion(), first);
}

TEST(DataVersionTest, ProvidersThatCannotTellSayNothing) {
    SqliteFile file(QStringLiteral("CREATE TABLE T (a INT)"));
    auto conn = file.Open();
    EXPECT_FALSE(DbProvider::Create(QStringLiteral("MySQL"))->DataVersion(*conn).has_value());
    std::vector<RecordsetColumn> columns;
    EXPECT_FALSE(DbProvider::Create(QStringLiteral("MySQL"))
                     ->ReadDirect(*conn, QStringLiteral("SELECT a FROM T"), 0, columns));
    EXPECT_TRUE(conn->Provider().DataVersion(*conn).has_value());
    EXPECT_FALSE(SqliteProvider().DataVersion(*conn).has_value()) << "not tied to an open handle";
}

// Descriptors of this process open on a file.
int DescriptorsOn(const QString& path) {
    const QString target = QFileInfo(path).canonicalFilePath();
    int n = 0;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString& fd :
         fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        if (QFile::symLinkTarget(fds.filePath(fd)) == target)
            ++n;
    }
    return n;
}

TEST_F(SqliteDirectTest, KeptStatementsHoldNoLockAndGoBeforeTheHandleCloses) {
    Recordset rs;
    for (int i = 0; i < 3; ++i) {
        rs.Open(QStringLiteral("SELECT * FROM Voci"), conn.get());
        rs.Open(QStringLiteral("SELECT 1;"), conn.get());
        ASSERT_TRUE(conn->DataVersion().has_value());
    }
    // Another connection, which does not wait, takes the whole file at once.
    sqlite3* other = nullptr;
    ASSERT_EQ(
        sqlite3_open_v2(db->Path().toUtf8().constData(), &other, SQLITE_OPEN_READWRITE, nullptr),
        SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE; COMMIT", nullptr, nullptr, nullptr), SQLITE_OK)
        << "a kept statement holds a read lock";
    sqlite3_close(other);

    statements.Use(nullptr); // this test's own, on the same handle
    ASSERT_GE(DescriptorsOn(db->Path()), 1);
    conn->Close();
    EXPECT_EQ(DescriptorsOn(db->Path()), 0) << "the handle did not close";
    conn->Open();
    rs.Open(QStringLiteral("SELECT * FROM Voci"), conn.get());
    EXPECT_EQ(rs.RecordCount(), 4) << "the new handle reads with statements of its own";
}

class FindIndexTest : public SqliteTest {
protected:
    void SetUp() override {
        SqliteTest::SetUp();
        UseScript(QStringLiteral(
            "CREATE TABLE Tanti (r INTEGER PRIMARY KEY, v INT, t TEXT);"
            "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 99999) "
            "INSERT INTO Tanti SELECT i, i % 10 - 5, 'x' || (i % 7) FROM n"));
        rs.Open(QStringLiteral("SELECT r, v, t FROM Tanti ORDER BY r"), conn.get());
    }
    long FindAt(const QString& criteria, qint64 row, int direction) {
        rs.Move(row, adBookmarkFirst);
        rs.Find(criteria, 0, direction);
        return rs.Eof() || rs.Bof() ? -1 : static_cast<long>(rs.CurrentRow());
    }
    Recordset rs;
};

TEST_F(FindIndexTest, RepeatedValuesAreFoundNearestInTheSearchDirection) {
    for (int pass = 0; pass < 2; ++pass) { // a scan first, then the index
        EXPECT_EQ(FindAt(QStringLiteral("v = -2"), 500, adSearchForward), 503);
        EXPECT_EQ(FindAt(QStringLiteral("v = -2"), 500, adSearchBackward), 493);
        EXPECT_EQ(FindAt(QStringLiteral("v = -5"), 500, adSearchForward), 500);
        EXPECT_EQ(FindAt(QStringLiteral("v = '-2'"), 99990, adSearchForward), 99993);
        EXPECT_EQ(FindAt(QStringLiteral("v = '-02'"), 0, adSearchForward), -1);
        EXPECT_EQ(FindAt(QStringLiteral("v = -2.0"), 99994, adSearchForward), -1);
        EXPECT_EQ(FindAt(QStringLiteral("v = 7"), 0, adSearchForward), -1);
        EXPECT_EQ(FindAt(QStringLiteral("t = 'x3'"), 5, adSearchForward), 10);
        EXPECT_EQ(FindAt(QStringLiteral("t = 'x3'"), 5, adSearchBackward), 3);
        EXPECT_EQ(FindAt(QStringLiteral("r = 99999"), 0, adSearchForward), 99999);
        EXPECT_EQ(FindAt(QStringLiteral("r = 0"), 99999, adSearchBackward), 0);
    }
}

TEST_F(FindIndexTest, AKeyListWithItsIndexStaysWithinSixteenBytesARow) {
    rs.Open(QStringLiteral("SELECT r FROM Tanti ORDER BY t, r"), conn.get());
    for (int r = 0; r < 100000; r += 9973) {
        rs.MoveFirst();
        rs.Find(QStringLiteral("r = %1").arg(r));
        ASSERT_FALSE(rs.Eof()) << r;
        EXPECT_EQ(rs.Fields().Item(0).Value().toInt(), r);
    }
    EXPECT_LE(rs.StorageBytes(), 16u * 100000u);
    EXPECT_GE(rs.StorageBytes(), 8u * 100000u + 4u * 100000u) << "the values and the index";
    rs.Open(rs.Source(), conn.get());
    EXPECT_LE(rs.StorageBytes(), 9u * 100000u) << "a new open drops the index";
}

} // namespace
} // namespace tessaro::test
