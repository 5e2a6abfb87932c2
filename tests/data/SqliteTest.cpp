// What only the embedded database does: its type rules and catalogue, its
// file going away, the direct reader under Qt's driver and the data version.

#include "data/SqliteDirect.h"
#include "data/SqliteProvider.h"
#include "data/Values.h"
#include "support/Fixtures.h"

#include <QFile>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

namespace tessaro::test {
namespace {

TEST(Sqlite, DeclaredTypesFollowTheAffinityRules) {
    const std::tuple<const char*, int, int> cases[] = {
        {"FLOATING POINT", 3, -1}, {"nvarchar( 80 )", 130, 80},
        {"CLOB", 130, -1},         {"", 130, -1},
        {"BLOB", 128, -1},         {"DOUBLE PRECISION", 5, -1},
        {"MONEY", 131, -1},        {"bool", 11, -1},
        {"DATE", 7, -1},           {"SMALLDATETIME", 135, -1},
        {"TIME", 134, -1}};
    for (const auto& [declared, code, length] : cases) {
        EXPECT_EQ(sqlite::TypeCode(QLatin1String(declared)), code) << declared;
        EXPECT_EQ(sqlite::TextLength(QLatin1String(declared)).value_or(-1), length) << declared;
    }
    EXPECT_EQ(sqlite::TableInfoStatement("Cliente's"),
              "SELECT cid, name, type, \"notnull\", dflt_value, pk "
              "FROM pragma_table_info('Cliente''s') ORDER BY cid");
    EXPECT_EQ(sqlite::ExistingFileUri("/tmp/a b#c?.db"), "file:///tmp/a%20b%23c%3F.db?mode=rw");
    EXPECT_TRUE(
        sqlite::IsWithoutRowid("CREATE TABLE a (x INT PRIMARY KEY) strict, without  rowid"));
    EXPECT_FALSE(sqlite::IsWithoutRowid("CREATE TABLE a (x DEFAULT 'WITHOUT ROWID')"));
}

class SqliteFileTest : public BoxesTest {
protected:
    void SetUp() override {
        BoxesTest::SetUp();
        file.Exec("CREATE TABLE Voci (Id INTEGER PRIMARY KEY, Nome VARCHAR(20), Prezzo REAL, "
                  "Foto BLOB, Giorno DATE, Qta NUMERIC(8,2), Libero);"
                  "INSERT INTO Voci VALUES (1, 'Mela', 0.5, x'00ff', '2024-03-02', 3, 'x');"
                  "INSERT INTO Voci VALUES (2, NULL, NULL, x'', NULL, 2.5, 7);"
                  "INSERT INTO Voci VALUES (3, '', -1e300, NULL, '2024-13-45', NULL, 1.5);"
                  "INSERT INTO Voci VALUES (9223372036854775807, 'Perché ✓', 1, 'testo', 5, "
                  "'a', x'01')");
        conn = file.Open();
    }
    SqliteFile file;
    std::unique_ptr<Connection> conn;
};

TEST_F(SqliteFileTest, AFileThatVanishedOrStoppedBeingADatabaseIsALostConnection) {
    conn->Close();
    const QString away = file.Path() + ".away";
    ASSERT_TRUE(QFile::rename(file.Path(), away));
    EXPECT_EQ(RaisedBy([&] { conn->Open(); }).number, Err::LostConnection);
    EXPECT_FALSE(QFile::exists(file.Path())) << "a reconnection never creates the file again";
    ASSERT_TRUE(QFile::rename(away, file.Path()));
    conn->Open();
    {
        QFile f(file.Path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray(8192, 'x'));
    }
    Recordset rs;
    EXPECT_EQ(RaisedBy([&] { rs.Open("SELECT * FROM Voci", conn.get()); }).number,
              Err::LostConnection);
    EXPECT_EQ(conn->State(), adStateClosed);
}

TEST_F(SqliteFileTest, TheDirectReaderGivesWhatQtGives) {
    sqlite::Statements statements;
    statements.Use(sqlite::Handle(conn->Database()));
    for (const QString& sql :
         QStringList{"SELECT * FROM Voci ORDER BY Id",
                     QStringLiteral("SELECT Id * 2 AS d, Nome || '!' AS e, NULL AS n, "
                                    "count(*) AS c, \"Foto\" FROM Voci")}) {
        std::vector<RecordsetColumn> columns;
        ASSERT_TRUE(sqlite::ReadAll(statements, sql, 0, columns)) << sql.toStdString();
        QSqlQuery q(conn->Database());
        ASSERT_TRUE(q.exec(sql));
        for (int c = 0; c < q.record().count(); ++c) {
            EXPECT_EQ(columns[c].name, q.record().fieldName(c));
            EXPECT_EQ(columns[c].table, q.record().field(c).tableName());
        }
        for (std::size_t r = 0; q.next(); ++r) {
            for (std::size_t c = 0; c < columns.size(); ++c) {
                const QVariant qt = q.value(static_cast<int>(c));
                const QVariant direct = columns[c].At(r);
                EXPECT_EQ(direct.isNull(), qt.isNull()) << r << "/" << c;
                if (!qt.isNull()) {
                    EXPECT_EQ(direct, qt) << r << "/" << c;
                }
            }
        }
    }
    // What it cannot read is left to Qt, which runs it or reports it.
    for (const QString& sql :
         QStringList{"SELECT 1; SELECT 2", "SELECT Nome AS N FROM Voci", "SELEC Id FROM Voci",
                     "UPDATE Voci SET Nome = 'z' WHERE 0"}) {
        std::vector<RecordsetColumn> columns;
        EXPECT_FALSE(sqlite::ReadAll(statements, sql, 0, columns)) << sql.toStdString();
        EXPECT_TRUE(columns.empty());
    }
    statements.Use(nullptr);
    Recordset rs;
    rs.Open("SELECT Nome AS N FROM Voci", conn.get());
    EXPECT_EQ(rs.RecordCount(), 4);
    EXPECT_EQ(RaisedBy([&] { rs.Open("SELECT 1; SELECT 2", conn.get()); }).number,
              Err::StatementRejected);
}

} // namespace
} // namespace tessaro::test
