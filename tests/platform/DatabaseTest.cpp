#include "data/SqliteProvider.h"
#include "platform/DatabaseTestSupport.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QTemporaryDir>

namespace tessaro::test {
namespace {

// ---------------------------------------------------------------------------
// Connection strings

TEST(ConnectionSettingsTest, SqliteKeysIgnoreCaseAndAcceptAliases) {
    const auto a =
        ConnectionSettings::Parse(QStringLiteral("Provider=SQLite;Data Source=/tmp/a.db"));
    EXPECT_EQ(a.provider, "SQLite");
    EXPECT_EQ(a.dataSource, "/tmp/a.db");

    const auto b = ConnectionSettings::Parse(
        QStringLiteral(" provider = QSQLITE ; DATA SOURCE= /tmp/b c.db ;"));
    EXPECT_EQ(b.provider, "SQLite");
    EXPECT_EQ(b.dataSource, "/tmp/b c.db");

    const auto c = ConnectionSettings::Parse(QStringLiteral("PROVIDER=sqlite;Database=x.db"));
    EXPECT_EQ(c.provider, "SQLite");
    EXPECT_EQ(c.dataSource, "x.db");
}

TEST(ConnectionSettingsTest, ServerKeysAndProviderNames) {
    for (const char* provider : {"MySQL", "mariadb", "QMYSQL"}) {
        const auto s = ConnectionSettings::Parse(
            QStringLiteral("Provider=%1;Server=db.local;Port=3307;Database=shop;"
                           "User ID=anna;PWD=se=cret")
                .arg(QLatin1String(provider)));
        EXPECT_EQ(s.provider, "MySQL") << provider;
        EXPECT_EQ(s.host, "db.local");
        EXPECT_EQ(s.port, 3307);
        EXPECT_EQ(s.database, "shop");
        EXPECT_EQ(s.user, "anna");
        EXPECT_EQ(s.password, "se=cret"); // only the first "=" separates key and value
    }
    const auto s = ConnectionSettings::Parse(
        QStringLiteral("Provider=MySQL;Host=h;Socket=/run/mysqld.sock;UID=u;Password=p"));
    EXPECT_EQ(s.host, "h");
    EXPECT_EQ(s.socket, "/run/mysqld.sock");
    EXPECT_EQ(s.user, "u");
    EXPECT_EQ(s.password, "p");
    EXPECT_EQ(ConnectionSettings::Parse(QStringLiteral("Provider=MySQL;User=v")).user, "v");
}

// ---------------------------------------------------------------------------
// Connection

class ConnectionTest : public SqliteTest {};

TEST_F(ConnectionTest, OpensAndClosesWithItsOwnQtConnection) {
    UseScript(QStringLiteral("CREATE TABLE T (a INT); INSERT INTO T VALUES (1)"));
    const QStringList before = QSqlDatabase::connectionNames();
    {
        auto second = db->Open();
        EXPECT_EQ(second->State(), adStateOpen);
        EXPECT_EQ(QSqlDatabase::connectionNames().size(), before.size() + 1);
        second->Close();
        EXPECT_EQ(second->State(), adStateClosed);
        second->Open();
        EXPECT_EQ(second->State(), adStateOpen);
    }
    EXPECT_EQ(QSqlDatabase::connectionNames(), before);
    EXPECT_EQ(conn->State(), adStateOpen);
}

TEST_F(ConnectionTest, ReconnectsWithTheHeldSettingsAfterTheHostClosedIt) {
    UseScript(QStringLiteral("CREATE TABLE T (a INT); INSERT INTO T VALUES (7)"));
    conn->Close();
    EXPECT_EQ(conn->State(), adStateClosed);
    conn->Open(QString(), QString(), QString(), -1);
    EXPECT_EQ(conn->State(), adStateOpen);
    Recordset rs;
    rs.Open(QStringLiteral("SELECT a FROM T"), conn.get());
    EXPECT_EQ(ColumnTexts(rs, QStringLiteral("a")), QStringList{"7"});
}

TEST_F(ConnectionTest, ReconnectRefusesToCreateAVanishedFile) {
    UseScript(QStringLiteral("CREATE TABLE T (a INT)"));
    conn->Close();
    ASSERT_TRUE(QFile::remove(db->Path()));
    const Raised r = RaisedBy([&] { conn->Open(); });
    EXPECT_EQ(r.number, Err::LostConnection);
    EXPECT_FALSE(r.description.isEmpty());
    EXPECT_FALSE(QFile::exists(db->Path()));
    EXPECT_EQ(conn->State(), adStateClosed);
}

TEST_F(ConnectionTest, ReconnectFindsAFileWhoseNameNeedsEscapingInAUri) {
    const QString path = QDir(db->Folder()).filePath(QStringLiteral("a b#c?d%20.db"));
    Connection c;
    c.Open(QStringLiteral("Provider=SQLite;Data Source=") + path); // the first open creates it
    c.Execute(QStringLiteral("CREATE TABLE T (a INT)"));
    c.Execute(QStringLiteral("INSERT INTO T VALUES (3)"));
    c.Close();
    c.Open();
    Recordset rs;
    rs.Open(QStringLiteral("SELECT a FROM T"), &c);
    EXPECT_EQ(ColumnTexts(rs, QStringLiteral("a")), QStringList{"3"});
    EXPECT_EQ(QDir(db->Folder()).entryList({QStringLiteral("*.db")}),
              (QStringList{"a b#c?d%20.db"}));
}

TEST_F(ConnectionTest, OpenFailuresAndUnknownProvidersAreLostConnections) {
    Connection c;
    const Raised noFolder = RaisedBy([&] {
        c.Open(QStringLiteral("Provider=SQLite;Data Source=") + db->Folder() +
               QStringLiteral("/no/such/folder/x.db"));
    });
    EXPECT_EQ(noFolder.number, Err::LostConnection);
    EXPECT_EQ(c.State(), adStateClosed);

    const Raised unknown = RaisedBy([&] { c.Open(QStringLiteral("Provider=Jet;Data Source=x")); });
    EXPECT_EQ(unknown.number, Err::LostConnection);
    EXPECT_TRUE(unknown.description.contains(QLatin1String("Jet")))
        << unknown.description.toStdString();

    Connection never;
    EXPECT_EQ(RaisedBy([&] { never.Open(); }).number, Err::LostConnection);
}

TEST_F(ConnectionTest, EveryOperationOnAClosedConnectionIsALostConnection) {
    UseScript(QStringLiteral("CREATE TABLE T (a INT)"));
    conn->Close();
    Recordset rs;
    EXPECT_EQ(RaisedBy([&] { conn->Execute(QStringLiteral("DELETE FROM T")); }).number,
              Err::LostConnection);
    EXPECT_EQ(RaisedBy([&] { conn->OpenSchema(adSchemaColumns); }).number, Err::LostConnection);
    EXPECT_EQ(RaisedBy([&] { rs.Open(QStringLiteral("SELECT 1"), conn.get()); }).number,
              Err::LostConnection);
    EXPECT_EQ(rs.State(), adStateClosed);
    EXPECT_EQ(RaisedBy([&] { conn->LastInsertId(); }).number, Err::LostConnection);
}

TEST_F(ConnectionTest, RejectedStatementsCarryTheDatabaseText) {
    UseScript(QStringLiteral("CREATE TABLE T (a INT PRIMARY KEY); INSERT INTO T VALUES (1)"));
    const Raised syntax = RaisedBy([&] { conn->Execute(QStringLiteral("UPDAT T SET a = 2")); });
    EXPECT_EQ(syntax.number, Err::StatementRejected);
    EXPECT_EQ(syntax.number, -2147217900);
    EXPECT_TRUE(syntax.description.contains(QLatin1String("syntax error")))
        << syntax.description.toStdString();

    const Raised duplicate =
        RaisedBy([&] { conn->Execute(QStringLiteral("INSERT INTO T VALUES (1)")); });
    EXPECT_EQ(duplicate.number, Err::StatementRejected);
    EXPECT_TRUE(duplicate.description.contains(QLatin1String("UNIQUE constraint failed: T.a")))
        << duplicate.description.toStdString();

    Recordset rs;
    const Raised missing =
        RaisedBy([&] { rs.Open(QStringLiteral("SELECT * FROM Nowhere"), conn.get()); });
    EXPECT_EQ(missing.number, Err::StatementRejected);
    EXPECT_TRUE(missing.description.contains(QLatin1String("no such table: Nowhere")))
        << missing.description.toStdString();
    EXPECT_EQ(rs.State(), adStateClosed);
    // A rejection leaves the connection usable.
    EXPECT_EQ(conn->State(), adStateOpen);
    qint64 affected = -1;
    conn->Execute(QStringLiteral("UPDATE T SET a = 5"), &affected);
    EXPECT_EQ(affected, 1);
}

TEST_F(ConnectionTest, AFileThatStoppedBeingADatabaseIsALostConnection) {
    UseScript(QStringLiteral("CREATE TABLE T (a INT); INSERT INTO T VALUES (1)"));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT a FROM T"), conn.get());
    {
        QFile f(db->Path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray(8192, 'x'));
    }
    const Raised r = RaisedBy([&] { rs.Open(QStringLiteral("SELECT a FROM T"), conn.get()); });
    EXPECT_EQ(r.number, Err::LostConnection);
    EXPECT_FALSE(r.description.isEmpty());
    EXPECT_EQ(conn->State(), adStateClosed);
    EXPECT_EQ(rs.State(), adStateClosed);
}

TEST(SqliteProviderTest, OnlyFailuresOfTheFileAreLostConnections) {
    const SqliteProvider p;
    const auto lost = [&p](const char* code, QSqlError::ErrorType type) {
        return p.IsConnectionLost(
            QSqlError(QStringLiteral("driver"), QStringLiteral("db"), type, QLatin1String(code)));
    };
    EXPECT_FALSE(lost("1", QSqlError::StatementError));     // syntax
    EXPECT_FALSE(lost("1555", QSqlError::ConnectionError)); // primary key, while stepping
    EXPECT_FALSE(lost("19", QSqlError::ConnectionError));   // constraint
    EXPECT_FALSE(lost("5", QSqlError::StatementError));     // busy: try again later
    EXPECT_TRUE(lost("10", QSqlError::StatementError));     // I/O error
    EXPECT_TRUE(lost("522", QSqlError::ConnectionError));   // I/O error, short read
    EXPECT_TRUE(lost("14", QSqlError::ConnectionError));    // cannot open
    EXPECT_TRUE(lost("26", QSqlError::StatementError));     // not a database
    EXPECT_TRUE(lost("", QSqlError::ConnectionError));      // no handle at all
    EXPECT_FALSE(lost("", QSqlError::StatementError));
}

TEST_F(ConnectionTest, LastInsertIdIsTheGeneratedKey) {
    UseScript(QStringLiteral("CREATE TABLE T (id INTEGER PRIMARY KEY AUTOINCREMENT, nome TEXT)"));
    EXPECT_TRUE(conn->LastInsertId().isNull());
    conn->Execute(QStringLiteral("INSERT INTO T (nome) VALUES ('a')"));
    EXPECT_EQ(conn->LastInsertId().toLongLong(), 1);
    conn->Execute(QStringLiteral("INSERT INTO T (nome) VALUES ('b')"));
    EXPECT_EQ(conn->LastInsertId().toLongLong(), 2);
    // AUTOINCREMENT never reuses a key, so the id tells the new row from the deleted one.
    conn->Execute(QStringLiteral("DELETE FROM T WHERE id = 2"));
    conn->Execute(QStringLiteral("INSERT INTO T (nome) VALUES ('c')"));
    EXPECT_EQ(conn->LastInsertId().toLongLong(), 3);
    // Another connection's insert does not change this connection's answer.
    db->Exec(QStringLiteral("INSERT INTO T (nome) VALUES ('d')"));
    EXPECT_EQ(conn->LastInsertId().toLongLong(), 3);
}

TEST_F(ConnectionTest, ForeignKeyEnforcementIsLeftAsTheDatabaseHasIt) {
    UseScript(QStringLiteral("CREATE TABLE P (id INTEGER PRIMARY KEY);"
                             "CREATE TABLE C (p INT REFERENCES P(id))"));
    // SQLite's default is off; the layer must not switch it on behind the host's back.
    EXPECT_EQ(RaisedBy([&] { conn->Execute(QStringLiteral("INSERT INTO C VALUES (99)")); }).number,
              0);
    conn->Execute(QStringLiteral("PRAGMA foreign_keys = ON"));
    EXPECT_EQ(RaisedBy([&] { conn->Execute(QStringLiteral("INSERT INTO C VALUES (98)")); }).number,
              Err::StatementRejected);
}

// ---------------------------------------------------------------------------
// Recordset cursor

class RecordsetTest : public SqliteTest {
protected:
    void SetUp() override {
        SqliteTest::SetUp();
        UseScript(QStringLiteral("CREATE TABLE T (id INTEGER PRIMARY KEY, nome TEXT);"
                                 "INSERT INTO T VALUES (1, 'uno');"
                                 "INSERT INTO T VALUES (2, 'due');"
                                 "INSERT INTO T VALUES (3, 'tre');"
                                 "CREATE TABLE Vuota (id INTEGER PRIMARY KEY)"));
        rs.Open(QStringLiteral("SELECT id, nome FROM T ORDER BY id"), conn.get(), adOpenKeyset,
                adLockReadOnly);
    }
    QString Current() { return ValueToText(rs.Fields().Item(QStringLiteral("nome")).Value()); }
    Recordset rs;
};

TEST_F(RecordsetTest, OpensOnTheFirstRowWithAnExactCount) {
    EXPECT_EQ(rs.State(), adStateOpen);
    EXPECT_EQ(rs.RecordCount(), 3);
    EXPECT_FALSE(rs.Bof());
    EXPECT_FALSE(rs.Eof());
    EXPECT_EQ(rs.AbsolutePosition(), 1);
    EXPECT_EQ(Current(), "uno");
    EXPECT_EQ(rs.Source(), "SELECT id, nome FROM T ORDER BY id");
}

// Past either end the recordset stays at Eof (or Bof) without a current row,
// and one step back lands on the end row again.
TEST_F(RecordsetTest, MovingPastEitherEndStaysThereWithoutACurrentRow) {
    rs.MoveLast();
    EXPECT_EQ(Current(), "tre");
    EXPECT_EQ(rs.AbsolutePosition(), 3);
    rs.MoveNext();
    EXPECT_TRUE(rs.Eof());
    EXPECT_FALSE(rs.Bof());
    EXPECT_EQ(rs.AbsolutePosition(), adPosEOF);
    rs.MoveNext();
    EXPECT_TRUE(rs.Eof());
    EXPECT_EQ(RaisedBy([&] { Current(); }).number, Err::NoCurrentRecord);
    rs.MovePrevious();
    EXPECT_EQ(Current(), "tre");

    rs.MoveFirst();
    rs.MovePrevious();
    EXPECT_TRUE(rs.Bof());
    EXPECT_FALSE(rs.Eof());
    EXPECT_EQ(rs.AbsolutePosition(), adPosBOF);
    rs.MovePrevious();
    EXPECT_TRUE(rs.Bof());
    EXPECT_EQ(RaisedBy([&] { Current(); }).number, Err::NoCurrentRecord);
    rs.MoveNext();
    EXPECT_EQ(Current(), "uno");
}

TEST_F(RecordsetTest, MoveCountsFromTheCurrentFirstOrLastRow) {
    rs.Move(2);
    EXPECT_EQ(Where(rs), "3");
    rs.Move(-1);
    EXPECT_EQ(Where(rs), "2");
    rs.Move(0, adBookmarkFirst);
    EXPECT_EQ(Where(rs), "1");
    rs.Move(-1, adBookmarkLast);
    EXPECT_EQ(Where(rs), "2");
    rs.Move(1, adBookmarkFirst);
    EXPECT_EQ(Where(rs), "2");
    rs.Move(5);
    EXPECT_EQ(Where(rs), "EOF");
    rs.Move(-1);
    EXPECT_EQ(Where(rs), "3");
    rs.Move(-7);
    EXPECT_EQ(Where(rs), "BOF");
    rs.Move(1);
    EXPECT_EQ(Where(rs), "1");
    rs.Move(-1, adBookmarkFirst);
    EXPECT_EQ(Where(rs), "BOF");
    rs.Move(1, adBookmarkLast);
    EXPECT_EQ(Where(rs), "EOF");
    EXPECT_EQ(RaisedBy([&] { rs.Move(1, 7); }).number, Err::WrongArguments);
}

TEST_F(RecordsetTest, AnEmptyResultIsBofAndEofAtOnce) {
    Recordset empty;
    empty.Open(QStringLiteral("SELECT id FROM Vuota"), conn.get());
    EXPECT_EQ(empty.State(), adStateOpen);
    EXPECT_TRUE(empty.Bof());
    EXPECT_TRUE(empty.Eof());
    EXPECT_EQ(empty.RecordCount(), 0);
    EXPECT_EQ(empty.AbsolutePosition(), adPosUnknown);
    empty.MoveFirst();
    empty.MoveLast();
    empty.MoveNext();
    empty.MovePrevious();
    empty.Move(3);
    EXPECT_TRUE(empty.Bof() && empty.Eof());
    EXPECT_EQ(empty.Fields().Count(), 1);
    EXPECT_EQ(empty.Fields().Item(QStringLiteral("id")).Name(), "id");
    EXPECT_EQ(RaisedBy([&] { empty.Fields().Item(0).Value(); }).number, Err::NoCurrentRecord);
}

TEST_F(RecordsetTest, AClosedRecordsetRefusesEverythingButClose) {
    const Field f = rs.Fields().Item(QStringLiteral("nome"));
    rs.Close();
    EXPECT_EQ(rs.State(), adStateClosed);
    rs.Close();
    for (const auto& op : std::vector<std::function<void()>>{
             [&] { rs.Bof(); }, [&] { rs.Eof(); }, [&] { rs.RecordCount(); },
             [&] { rs.AbsolutePosition(); }, [&] { rs.MoveFirst(); }, [&] { rs.MoveNext(); },
             [&] { rs.Move(1); }, [&] { rs.Find(QStringLiteral("id = 1")); }, [&] { f.Name(); },
             [&] { f.Type(); }, [&] { f.DefinedSize(); }, [&] { f.Value(); }})
        EXPECT_EQ(RaisedBy(op).number, Err::ObjectClosed);
}

TEST_F(RecordsetTest, ReopeningReadsTheDataAgain) {
    db->Exec(QStringLiteral("DELETE FROM T WHERE id = 1"));
    EXPECT_EQ(rs.RecordCount(), 3); // materialised: the change is not seen yet
    rs.Close();
    rs.Open(QStringLiteral("SELECT id, nome FROM T ORDER BY id"), conn.get());
    EXPECT_EQ(ColumnTexts(rs, QStringLiteral("nome")), (QStringList{"due", "tre"}));
    // Opening an open recordset replaces its rows as well.
    rs.Open(QStringLiteral("SELECT nome FROM T WHERE id = 3"), conn.get());
    EXPECT_EQ(ColumnTexts(rs, QStringLiteral("nome")), QStringList{"tre"});
}

TEST_F(RecordsetTest, AStatementWithoutRowsRunsAndLeavesTheRecordsetClosed) {
    Recordset r;
    r.Open(QStringLiteral("INSERT INTO T VALUES (4, 'quattro')"), conn.get());
    EXPECT_EQ(r.State(), adStateClosed);
    rs.Open(QStringLiteral("SELECT count(*) AS n FROM T"), conn.get());
    EXPECT_EQ(rs.Fields().Item(QStringLiteral("n")).Value().toInt(), 4);
    // The probe of the connection check, with its semicolon.
    r.Open(QStringLiteral("SELECT 1;"), conn.get(), adOpenKeyset, adLockReadOnly);
    EXPECT_EQ(r.State(), adStateOpen);
    EXPECT_EQ(r.RecordCount(), 1);
}

TEST_F(RecordsetTest, RequiresAConnection) {
    Recordset r;
    EXPECT_EQ(RaisedBy([&] { r.Open(QStringLiteral("SELECT 1"), nullptr); }).number,
              Err::ObjectNotSet);
}

// ---------------------------------------------------------------------------
// Fields and values

class FieldsTest : public SqliteTest {
protected:
    void SetUp() override {
        SqliteTest::SetUp();
        UseScript(QStringLiteral(
            "CREATE TABLE Categorie (Id INTEGER PRIMARY KEY, Nome VARCHAR(30), Quando DATETIME);"
            "CREATE TABLE Prodotti (Id INTEGER PRIMARY KEY, Nome TEXT, IdCategoria INT, "
            "Prezzo REAL, Giorno DATE, Attivo BOOLEAN, Foto BLOB, Qta NUMERIC(10,2), Libero);"
            "INSERT INTO Categorie VALUES (10, 'Frutta', '2024-03-01 10:00:00');"
            "INSERT INTO Prodotti VALUES (1, 'Mela', 10, 0.5, '2024-03-02', 1, x'00ff', 3, 'x')"));
    }
};

TEST_F(FieldsTest, NamesAreFoundIgnoringCaseAndTheFirstOfTwoWins) {
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM Prodotti INNER JOIN Categorie "
                           "ON Categorie.Id = Prodotti.IdCategoria"),
            conn.get());
    const Fields f = rs.Fields();
    EXPECT_EQ(f.Count(), 12);
    EXPECT_EQ(f.Item(QStringLiteral("NOME")).Value().toString(), "Mela");
    EXPECT_EQ(f[QStringLiteral("nome")].Value().toString(), "Mela");
    EXPECT_EQ(f.Item(QStringLiteral("Categorie.Nome")).Value().toString(), "Frutta");
    EXPECT_EQ(f.Item(QStringLiteral("categorie.nome")).Value().toString(), "Frutta");
    EXPECT_EQ(f.Item(QStringLiteral("Prodotti.Nome")).Value().toString(), "Mela");
    EXPECT_EQ(f.Item(QStringLiteral("Categorie.Id")).Value().toInt(), 10);
    EXPECT_EQ(f.Item(0).Name(), "Id");
    EXPECT_EQ(f.Item(11).Name(), "Quando");

    const Raised missing = RaisedBy([&] { f.Item(QStringLiteral("Fornitori.Nome")); });
    EXPECT_EQ(missing.number, Err::ItemNotFound);
    EXPECT_TRUE(missing.description.contains(QLatin1String("Fornitori.Nome")));
    EXPECT_EQ(RaisedBy([&] { f.Item(QStringLiteral("Colore")); }).number, Err::ItemNotFound);
    EXPECT_EQ(RaisedBy([&] { f.Item(12); }).number, Err::ItemNotFound);
    EXPECT_EQ(RaisedBy([&] { f.Item(-1); }).number, Err::ItemNotFound);
}

TEST_F(FieldsTest, ADottedNameFallsBackToAColumnOfThatName) {
    Recordset rs;
    rs.Open(QStringLiteral("SELECT Nome AS [Categorie.Nome], Id FROM Prodotti"), conn.get());
    EXPECT_EQ(rs.Fields().Item(QStringLiteral("Categorie.Nome")).Value().toString(), "Mela");
    EXPECT_EQ(rs.Fields().Item(QStringLiteral("Prodotti.Id")).Value().toInt(), 1);
}

TEST_F(FieldsTest, TypesComeFromTheDeclaredTypes) {
    Recordset rs;
    rs.Open(QStringLiteral("SELECT p.*, c.Nome AS Categoria, c.Quando, count(*) AS n, "
                           "1.5 AS d, 'x' AS t FROM Prodotti p JOIN Categorie c "
                           "ON c.Id = p.IdCategoria"),
            conn.get());
    struct Expected {
        const char* name;
        int type;
        long size;
    };
    const Expected expected[] = {
        {"Id", DbType::Integer, 4},
        {"Nome", DbType::WChar, 0},
        {"IdCategoria", DbType::Integer, 4},
        {"Prezzo", DbType::Double, 8},
        {"Giorno", DbType::Date, 8},
        {"Attivo", DbType::Boolean, 2},
        {"Foto", DbType::Binary, 0},
        {"Qta", DbType::Numeric, 19},
        {"Libero", DbType::WChar, 0},
        {"Quando", DbType::DbTimeStamp, 16},
        {"n", DbType::Integer, 4},
        {"d", DbType::Double, 8},
        {"t", DbType::WChar, 0},
    };
    for (const auto& e : expected) {
        const Field f = rs.Fields().Item(QLatin1String(e.name));
        EXPECT_EQ(f.Type(), e.type) << e.name;
        EXPECT_EQ(f.DefinedSize(), e.size) << e.name;
    }
    // An alias that is no column of its table falls back to the value's type.
    EXPECT_EQ(rs.Fields().Item(QStringLiteral("Categoria")).Type(), DbType::WChar);

    Recordset c;
    c.Open(QStringLiteral("SELECT Nome FROM Categorie"), conn.get());
    EXPECT_EQ(c.Fields().Item(0).Type(), DbType::WChar);
    EXPECT_EQ(c.Fields().Item(0).DefinedSize(), 30);
}

TEST_F(FieldsTest, NullIsANullVariantAndValuesKeepTheirKind) {
    db->Exec(QStringLiteral("INSERT INTO Prodotti (Id, Nome) VALUES (2, NULL)"));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT Id, Nome, Prezzo, Foto FROM Prodotti ORDER BY Id"), conn.get());
    const Fields f = rs.Fields();
    EXPECT_EQ(f.Item(QStringLiteral("Prezzo")).Value().toDouble(), 0.5);
    EXPECT_EQ(f.Item(QStringLiteral("Foto")).Value().toByteArray(), QByteArray("\x00\xff", 2));
    rs.MoveNext();
    EXPECT_TRUE(f.Item(QStringLiteral("Nome")).Value().isNull());
    EXPECT_TRUE(f.Item(QStringLiteral("Prezzo")).Value().isNull());
    // Null-only expression columns still get a type.
    Recordset n;
    n.Open(QStringLiteral("SELECT NULL AS a UNION ALL SELECT 'z'"), conn.get());
    EXPECT_EQ(n.Fields().Item(0).Type(), DbType::WChar);
}

TEST(RecordsetColumnTest, PacksWholeNumbersUntilAnotherValueArrives) {
    RecordsetColumn c;
    c.Append(QVariant(qint64(5)));
    c.Append(QVariant(int(-7)));
    EXPECT_TRUE(c.packedIntegers);
    EXPECT_EQ(c.Size(), 2u);
    c.Append(QVariant());
    EXPECT_FALSE(c.packedIntegers);
    c.Append(QVariant(QStringLiteral("x")));
    c.Append(QVariant(qint64(9)));
    ASSERT_EQ(c.Size(), 5u);
    EXPECT_EQ(c.At(0).toLongLong(), 5);
    EXPECT_EQ(c.At(1).toLongLong(), -7);
    EXPECT_TRUE(c.At(2).isNull());
    EXPECT_TRUE(c.IsNull(2));
    EXPECT_EQ(c.At(3).toString(), "x");
    EXPECT_EQ(c.At(4).toLongLong(), 9);

    RecordsetColumn doubles;
    doubles.Append(QVariant(1.0)); // a double stays a double even when whole
    EXPECT_FALSE(doubles.packedIntegers);
    EXPECT_EQ(doubles.At(0).typeId(), QMetaType::Double);

    RecordsetColumn typedNull;
    typedNull.Append(QVariant(QMetaType::fromType<QString>())); // the driver's typed Null
    EXPECT_FALSE(typedNull.At(0).isValid());
}

TEST_F(FieldsTest, ColumnsFromTheDatabaseSwitchStorageOnTheFirstNonInteger) {
    db->Exec(QStringLiteral("CREATE TABLE N (a INT, b INT, c INT);"
                            "INSERT INTO N VALUES (1, 1, 1);"
                            "INSERT INTO N VALUES (2, NULL, 'due');"
                            "INSERT INTO N VALUES (3, 3, 3)"));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT a, b, c FROM N ORDER BY a"), conn.get());
    EXPECT_TRUE(rs.Column(0).packedIntegers);
    EXPECT_FALSE(rs.Column(1).packedIntegers);
    EXPECT_FALSE(rs.Column(2).packedIntegers);
    EXPECT_EQ(ColumnTexts(rs, QStringLiteral("a")), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(ColumnTexts(rs, QStringLiteral("b")), (QStringList{"1", "", "3"}));
    EXPECT_EQ(ColumnTexts(rs, QStringLiteral("c")), (QStringList{"1", "due", "3"}));
    rs.MoveFirst();
    rs.MoveNext();
    EXPECT_TRUE(rs.Fields().Item(QStringLiteral("b")).Value().isNull());
}

TEST(RowsetBuilderTest, BuildsARecordsetFromRows) {
    RowsetBuilder b({{QStringLiteral("A"), DbType::WChar}, {QStringLiteral("B"), DbType::Integer}});
    b.AddRow({QStringLiteral("x"), 1});
    b.AddRow({QVariant(), 2});
    EXPECT_EQ(RaisedBy([&] { b.AddRow({1}); }).number, Err::WrongArguments);
    auto rs = b.Build();
    EXPECT_EQ(rs->RecordCount(), 2);
    EXPECT_EQ(rs->Fields().Item(QStringLiteral("b")).Type(), DbType::Integer);
    EXPECT_EQ(ColumnTexts(*rs, QStringLiteral("A")), (QStringList{"x", ""}));
}

} // namespace
} // namespace tessaro::test
