// The MariaDB provider on the real throwaway server: schema rowsets, reading,
// failures, reconnection and a server that dies.

#include "data/MySqlProvider.h"
#include "data/Values.h"
#include "server/ServerFixture.h"

#include <QDate>
#include <QElapsedTimer>
#include <map>

namespace tessaro::test {
namespace {

// The statement texts and type rules, without a server.
TEST(MySqlStatements, TypeCodesOfUnusualColumnTypes) {
    using namespace DbType;
    const std::map<QString, int> expected = {
        {"TINYINT(1)", Boolean},
        {"tinyint(4) unsigned", TinyInt},
        {"bool", Boolean},
        {"bit(1)", Boolean},
        {"bit(12)", BigInt},
        {"int(10) unsigned zerofill", Integer},
        {"year(4)", SmallInt},
        {"enum('a','b')", WChar},
        {"set('x','y')", WChar},
        {"longtext", WChar},
        {"json", WChar},
        {"varbinary(16)", Binary},
        {"mediumblob", Binary},
        {"decimal(18,4)", Numeric},
        {"timestamp(6)", DbTimeStamp},
        {"time(3)", DbTime},
    };
    for (const auto& [type, code] : expected)
        EXPECT_EQ(mysql::TypeCode(type), code) << type.toStdString();
}

TEST(MySqlStatements, SchemaStatementsReadTheCurrentOrTheNamedDatabase) {
    EXPECT_TRUE(mysql::ColumnsStatement(QString()).contains("TABLE_SCHEMA = DATABASE()"));
    // A schema name goes in as an escaped literal, never as statement text.
    const QString named = mysql::PrimaryKeysStatement("it's\\");
    EXPECT_TRUE(named.contains("TABLE_SCHEMA = 'it\\'s\\\\'")) << named.toStdString();
    EXPECT_TRUE(
        mysql::ForeignKeysStatement(QString()).contains("REFERENCED_TABLE_NAME IS NOT NULL"));
}

TEST(MySqlStatements, LengthsBeyondThirtyTwoBitsMeanNoLimit) {
    EXPECT_EQ(mysql::CharacterLength(QVariant(qulonglong(4294967295ULL))), QVariant(0));
    EXPECT_EQ(mysql::CharacterLength(QVariant(qlonglong(65535))), QVariant(65535));
    EXPECT_TRUE(mysql::CharacterLength(QVariant()).isNull());
    EXPECT_TRUE(mysql::DefaultValue(QVariant("NULL")).isNull());
    EXPECT_EQ(mysql::DefaultValue(QVariant("'it''s'")), QVariant("it's"));
    EXPECT_EQ(mysql::DefaultValue(QVariant("0")), QVariant("0"));
}

class MySqlProviderTest : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_SERVER();
        db = std::make_unique<ServerDatabase>();
        conn = db->Open();
    }

    // Rows of a schema rowset as "TABLE.COLUMN" (or the given columns joined by "|").
    static QStringList Rows(Recordset& rs, const QStringList& columns) {
        QStringList out;
        if (rs.Bof() && rs.Eof())
            return out;
        for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) {
            QStringList cells;
            for (const QString& c : columns)
                cells << ValueToText(rs.Fields().Item(c).Value());
            out << cells.join('|');
        }
        return out;
    }

    std::unique_ptr<ServerDatabase> db;
    std::unique_ptr<Connection> conn;
};

const QStringList kAllTypes = {
    "CREATE TABLE AllTypes (Id INT AUTO_INCREMENT PRIMARY KEY, Piccolo TINYINT, "
    "Flag TINYINT(1) NOT NULL DEFAULT 0, Bit1 BIT(1), Corto SMALLINT, Medio MEDIUMINT, "
    "Grande BIGINT, Fisso CHAR(10), Nome VARCHAR(30) NOT NULL, Note TEXT, Lungo LONGTEXT, "
    "Giorno DATE, Momento DATETIME, Stampa TIMESTAMP NULL, Ora TIME, Importo DECIMAL(10,2), "
    "Doppio DOUBLE, Singolo FLOAT, Dati BLOB, Latino VARCHAR(12) CHARACTER SET latin1)"};

TEST_F(MySqlProviderTest, ColumnsRowsetGivesTypeCodesLengthsAndNullabilityInOrder) {
    db->Exec(kAllTypes);
    auto rs = conn->OpenSchema(adSchemaColumns, {QVariant(), QVariant(), "AllTypes"});
    EXPECT_EQ(
        Rows(*rs, {"COLUMN_NAME", "DATA_TYPE", "CHARACTER_MAXIMUM_LENGTH", "IS_NULLABLE"}),
        QStringList({"Id|3||0",        "Piccolo|16||1",    "Flag|11||0",       "Bit1|11||1",
                     "Corto|2||1",     "Medio|3||1",       "Grande|20||1",     "Fisso|130|10|1",
                     "Nome|130|30|0",  "Note|130|65535|1", "Lungo|130|0|1",    "Giorno|7||1",
                     "Momento|135||1", "Stampa|135||1",    "Ora|134||1",       "Importo|131||1",
                     "Doppio|5||1",    "Singolo|4||1",     "Dati|128|65535|1", "Latino|130|12|1"}));
    rs->MoveFirst();
    EXPECT_EQ(ValueToText(rs->Fields()["TABLE_NAME"].Value()), "AllTypes");
    EXPECT_EQ(ValueToText(rs->Fields()["TABLE_SCHEMA"].Value()), db->Name());
    EXPECT_EQ(ValueToText(rs->Fields()["ORDINAL_POSITION"].Value()), "1");
}

TEST_F(MySqlProviderTest, ColumnsRowsetWithoutRestrictionsCoversOnlyTheCurrentDatabase) {
    db->Exec({"CREATE TABLE B (Y INT, Z INT)", "CREATE TABLE A (X INT)"});
    ServerDatabase other;
    other.Exec({"CREATE TABLE Elsewhere (Q INT)"});
    auto rs = conn->OpenSchema(adSchemaColumns);
    EXPECT_EQ(Rows(*rs, {"TABLE_NAME", "COLUMN_NAME"}), QStringList({"A|X", "B|Y", "B|Z"}));

    // Table and column restrictions ignore case, as the navigator's own match does.
    auto one = conn->OpenSchema(adSchemaColumns, {QVariant(), QVariant(), "b", "z"});
    EXPECT_EQ(Rows(*one, {"TABLE_NAME", "COLUMN_NAME"}), QStringList({"B|Z"}));
    // A schema restriction reads another database; a catalogue restriction finds nothing.
    auto named = conn->OpenSchema(adSchemaColumns, {QVariant(), other.Name()});
    EXPECT_EQ(Rows(*named, {"TABLE_NAME", "COLUMN_NAME"}), QStringList({"Elsewhere|Q"}));
    auto none = conn->OpenSchema(adSchemaColumns, {"somewhere"});
    EXPECT_TRUE(none->Bof() && none->Eof());
}

TEST_F(MySqlProviderTest, PrimaryAndForeignKeyRowsets) {
    db->Exec(
        {"CREATE TABLE Comuni (IdComune INT PRIMARY KEY, Nome VARCHAR(40))",
         "CREATE TABLE Categorie (Sigla CHAR(3), Anno INT, PRIMARY KEY (Anno, Sigla))",
         "CREATE TABLE Clienti (IdCliente INT AUTO_INCREMENT PRIMARY KEY, "
         "IdComune INT, Sigla CHAR(3), Anno INT, "
         "CONSTRAINT fkComune FOREIGN KEY (IdComune) REFERENCES Comuni (IdComune), "
         "CONSTRAINT fkCategoria FOREIGN KEY (Anno, Sigla) REFERENCES Categorie (Anno, Sigla))",
         "CREATE TABLE Senza (X INT)"});

    auto pk = conn->OpenSchema(adSchemaPrimaryKeys, {QVariant(), QVariant(), "Categorie"});
    EXPECT_EQ(Rows(*pk, {"TABLE_NAME", "COLUMN_NAME", "ORDINAL"}),
              QStringList({"Categorie|Anno|1", "Categorie|Sigla|2"}));
    auto clienti = conn->OpenSchema(adSchemaPrimaryKeys, {QVariant(), QVariant(), "clienti"});
    EXPECT_EQ(Rows(*clienti, {"COLUMN_NAME"}), QStringList({"IdCliente"}));
    auto senza = conn->OpenSchema(adSchemaPrimaryKeys, {QVariant(), QVariant(), "Senza"});
    EXPECT_TRUE(senza->Bof() && senza->Eof());

    // The keys the table holds: the sixth restriction names the referring table.
    auto fk = conn->OpenSchema(adSchemaForeignKeys, {QVariant(), QVariant(), QVariant(), QVariant(),
                                                     QVariant(), "Clienti"});
    EXPECT_EQ(Rows(*fk, {"PK_TABLE_NAME", "PK_COLUMN_NAME", "FK_TABLE_NAME", "FK_COLUMN_NAME",
                         "ORDINAL"}),
              QStringList({"Categorie|Anno|Clienti|Anno|1", "Categorie|Sigla|Clienti|Sigla|2",
                           "Comuni|IdComune|Clienti|IdComune|1"}));
    // The third restriction names the referenced table.
    auto toComuni = conn->OpenSchema(adSchemaForeignKeys, {QVariant(), QVariant(), "Comuni"});
    EXPECT_EQ(Rows(*toComuni, {"FK_TABLE_NAME", "FK_COLUMN_NAME"}),
              QStringList({"Clienti|IdComune"}));
    auto fromComuni = conn->OpenSchema(adSchemaForeignKeys, {QVariant(), QVariant(), QVariant(),
                                                             QVariant(), QVariant(), "Comuni"});
    EXPECT_TRUE(fromComuni->Bof() && fromComuni->Eof());
    EXPECT_EQ(FailureOf([&] { conn->OpenSchema(20); }).number, Err::InvalidCall);
}

TEST_F(MySqlProviderTest, RejectedStatementCarriesTheServersNumberAndText) {
    db->Exec({"CREATE TABLE T (Id INT PRIMARY KEY)", "INSERT INTO T VALUES (1)"});
    const Failure dup = FailureOf([&] { conn->Execute("INSERT INTO T VALUES (1)"); });
    EXPECT_EQ(dup.number, Err::StatementRejected);
    EXPECT_EQ(dup.description, "Duplicate entry '1' for key 'PRIMARY'");
    const Failure bad = FailureOf([&] {
        Recordset rs;
        rs.Open("SELECT Nessuna FROM T", conn.get(), adOpenKeyset, adLockReadOnly);
    });
    EXPECT_EQ(bad.number, Err::StatementRejected);
    EXPECT_TRUE(bad.description.contains("Unknown column 'Nessuna'"))
        << bad.description.toStdString();
    // A rejection leaves the connection usable.
    EXPECT_EQ(conn->State(), adStateOpen);
    qint64 affected = -1;
    conn->Execute("UPDATE T SET Id = 1 WHERE Id = 1", &affected);
    EXPECT_EQ(affected, 1) << "rows matched, not only rows changed";
}

TEST_F(MySqlProviderTest, RecordsetReadsEveryTypeWithItsCodeAndSize) {
    db->Exec(kAllTypes);
    conn->Execute(
        "INSERT INTO AllTypes (Piccolo, Flag, Bit1, Corto, Medio, Grande, Fisso, Nome, Note, "
        "Giorno, Momento, Stampa, Ora, Importo, Doppio, Singolo, Dati, Latino) VALUES (-5, 1, "
        "b'1', 300, 70000, 9000000000, 'ab', 'Città €😀', 'x', '2024-3-5', '2024-3-5 9:7:3', "
        "'2024-3-5 0:0:0', '9:7:3', 12.5, 1.25, 2.5, 'xyz', 'Jöß')");
    EXPECT_EQ(ValueToText(conn->LastInsertId()), "1");
    conn->Execute("INSERT INTO AllTypes (Nome) VALUES ('vuoto')");
    EXPECT_EQ(ValueToText(conn->LastInsertId()), "2");
    // A statement that generates no key reports none, not the previous one.
    conn->Execute("UPDATE AllTypes SET Corto = 1 WHERE Id = 2");
    EXPECT_TRUE(conn->LastInsertId().isNull());
    conn->Execute("UPDATE AllTypes SET Corto = NULL WHERE Id = 2");

    Recordset rs;
    rs.Open("SELECT * FROM AllTypes ORDER BY Id", conn.get(), adOpenStatic, adLockReadOnly,
            adCmdText);
    ASSERT_EQ(rs.RecordCount(), 2);
    const Fields f = rs.Fields();
    auto text = [&](const char* c) { return ValueToText(f[c].Value()); };
    EXPECT_EQ(text("Piccolo"), "-5");
    EXPECT_EQ(text("Flag"), "1");
    EXPECT_EQ(text("Bit1"), "1");
    EXPECT_TRUE(ValueToBool(f["Bit1"].Value()));
    EXPECT_EQ(text("Grande"), "9000000000");
    EXPECT_EQ(text("Nome"), QString::fromUtf8("Città €😀"));
    EXPECT_EQ(text("Latino"), QString::fromUtf8("Jöß"));
    EXPECT_EQ(text("Giorno"), "2024-03-05");
    EXPECT_EQ(text("Momento"), "2024-03-05 09:07:03");
    EXPECT_EQ(text("Stampa"), "2024-03-05");
    EXPECT_EQ(text("Ora"), "09:07:03");
    EXPECT_EQ(text("Importo"), "12.5");
    EXPECT_EQ(text("Singolo"), "2.5");
    EXPECT_EQ(f["Dati"].Value().toByteArray(), QByteArray("xyz"));
    EXPECT_EQ(f["Momento"].Value().toDateTime(), QDateTime(QDate(2024, 3, 5), QTime(9, 7, 3)));

    // A result column's code agrees with the columns rowset's DATA_TYPE.
    auto schema = conn->OpenSchema(adSchemaColumns, {QVariant(), QVariant(), "AllTypes"});
    for (schema->MoveFirst(); !schema->Eof(); schema->MoveNext()) {
        const QString name = schema->Fields()["COLUMN_NAME"].Value().toString();
        EXPECT_EQ(f[name].Type(), schema->Fields()["DATA_TYPE"].Value().toInt())
            << name.toStdString();
    }
    EXPECT_EQ(f["Nome"].DefinedSize(), 30);
    EXPECT_EQ(f["Fisso"].DefinedSize(), 10);
    EXPECT_EQ(f["Latino"].DefinedSize(), 12);

    rs.MoveNext();
    EXPECT_EQ(text("Nome"), "vuoto");
    for (const char* c : {"Piccolo", "Bit1", "Giorno", "Momento", "Ora", "Importo", "Dati"})
        EXPECT_TRUE(f[c].Value().isNull()) << c;
    EXPECT_EQ(text("Flag"), "0");
}

TEST_F(MySqlProviderTest, JoinedColumnsAreReachedByTableAndName) {
    db->Exec({"CREATE TABLE Comuni (IdComune INT PRIMARY KEY, Nome VARCHAR(40))",
              "CREATE TABLE Clienti (IdCliente INT PRIMARY KEY, Nome VARCHAR(40), IdComune INT)",
              "INSERT INTO Comuni VALUES (7, 'Torino')",
              "INSERT INTO Clienti VALUES (1, 'Rossi', 7)"});
    Recordset rs;
    rs.Open("SELECT * FROM (Comuni INNER JOIN Clienti ON (Comuni.IdComune) = "
            "(Clienti.IdComune)) Where IdCliente = 1",
            conn.get(), adOpenStatic, adLockReadOnly, adCmdText);
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(ValueToText(rs.Fields()["Clienti.Nome"].Value()), "Rossi");
    EXPECT_EQ(ValueToText(rs.Fields()["Comuni.Nome"].Value()), "Torino");
}

TEST_F(MySqlProviderTest, TextsWithApostrophesAndBackslashesRoundTripAndAreFound) {
    db->Exec({"CREATE TABLE K (Codice VARCHAR(40) PRIMARY KEY, N INT)"});
    const QStringList keys = {"O'Brien", "C:\\dati\\", "a\\'b", "\\", "''", "x\\nx", "€ \"q\""};
    int n = 0;
    for (const QString& k : keys)
        conn->Execute(
            QStringLiteral("INSERT INTO K VALUES (%1, %2)").arg(mysql::Literal(k)).arg(++n));

    Recordset rs;
    rs.Open("SELECT Codice, N FROM K ORDER BY N", conn.get(), adOpenKeyset, adLockReadOnly);
    ASSERT_EQ(rs.RecordCount(), keys.size());
    for (int i = 0; i < keys.size(); ++i) {
        QString doubled = keys[i];
        doubled.replace("'", "''");
        rs.MoveFirst();
        rs.Find("Codice='" + doubled + "'");
        ASSERT_FALSE(rs.Eof()) << keys[i].toStdString();
        EXPECT_EQ(rs.Fields()["Codice"].Value().toString(), keys[i]);
        EXPECT_EQ(rs.Fields()["N"].Value().toInt(), i + 1);
    }
    rs.MoveFirst();
    rs.Find("Codice='c:\\dati\\'");
    EXPECT_TRUE(rs.Eof()) << "a quoted value matches exactly";
    rs.MoveFirst();
    rs.Find("N = 3");
    EXPECT_EQ(rs.Fields()["Codice"].Value().toString(), "a\\'b");
}

TEST_F(MySqlProviderTest, CloseThenOpenReconnectsWithTheSameSettings) {
    db->Exec({"CREATE TABLE T (Id INT AUTO_INCREMENT PRIMARY KEY, V VARCHAR(10))"});
    conn->Execute("INSERT INTO T (V) VALUES ('a')");
    conn->Close();
    EXPECT_EQ(conn->State(), adStateClosed);
    EXPECT_EQ(FailureOf([&] { conn->Execute("INSERT INTO T (V) VALUES ('b')"); }).number,
              Err::LostConnection);
    conn->Open();
    EXPECT_EQ(conn->State(), adStateOpen);
    conn->Execute("INSERT INTO T (V) VALUES ('c')");
    EXPECT_EQ(ValueToText(conn->LastInsertId()), "2");
    EXPECT_EQ(db->Column("SELECT V FROM T ORDER BY Id"), QStringList({"a", "c"}));
}

TEST_F(MySqlProviderTest, TwoConnectionsSeeEachOthersCommittedRows) {
    db->Exec({"CREATE TABLE T (Id INT PRIMARY KEY)"});
    auto other = db->Open();
    conn->Execute("INSERT INTO T VALUES (1)");
    Recordset rs;
    rs.Open("SELECT Id FROM T", other.get(), adOpenKeyset, adLockReadOnly);
    EXPECT_EQ(rs.RecordCount(), 1);
    other->Execute("DELETE T.* FROM T WHERE Id = 1");
    rs.Open("SELECT Id FROM T", conn.get(), adOpenKeyset, adLockReadOnly);
    EXPECT_EQ(rs.RecordCount(), 0);
}

TEST(MySqlConnection, SocketOrHostAndAFailedOpenIsALostConnection) {
    REQUIRE_SERVER();
    // Nothing listens on port 1 of the loopback: the refusal is immediate.
    Connection c;
    const Failure f = FailureOf(
        [&] { c.Open("Provider=MySQL;Server=127.0.0.1;Port=1;Database=x;User=root;Password="); });
    EXPECT_EQ(f.number, Err::LostConnection);
    EXPECT_TRUE(f.description.contains("Can't connect")) << f.description.toStdString();
    EXPECT_EQ(c.State(), adStateClosed);

    // The server's own socket instead of host and port.
    const QString socket = qEnvironmentVariable("TESSARO_MARIADB_SOCKET");
    if (!socket.isEmpty()) {
        Connection local;
        local.Open("Provider=MySQL;Socket=" + socket + ";Database=tessaro_test;User=root");
        Recordset rs;
        rs.Open("SELECT @@port, DATABASE()", &local, adOpenStatic, adLockReadOnly, adCmdText);
        EXPECT_EQ(ValueToText(rs.Fields().Item(0).Value()),
                  qEnvironmentVariable("TESSARO_MARIADB_PORT"));
        EXPECT_EQ(ValueToText(rs.Fields().Item(1).Value()), "tessaro_test");
    }

    const Failure denied =
        FailureOf([&] { c.Open(WithDatabase(SharedConnectionString(), "no_such_database_here")); });
    EXPECT_EQ(denied.number, Err::LostConnection);
    EXPECT_TRUE(denied.description.contains("no_such_database_here"))
        << denied.description.toStdString();
}

// The server dies under an open connection and comes back.
TEST(MySqlServerRecovery, KilledServerIsALostConnectionAndOpenReconnectsAfterRestart) {
    REQUIRE_SERVER();
    PrivateServer server;
    ASSERT_TRUE(server.Started()) << server.Error().toStdString();
    RecordFigure("private server start", server.StartMilliseconds());
    ServerDatabase db(server.ConnectionString());
    db.Exec({"CREATE TABLE T (Id INT AUTO_INCREMENT PRIMARY KEY, V VARCHAR(10))",
             "INSERT INTO T (V) VALUES ('prima')"});
    auto conn = db.Open();

    server.Kill();
    QElapsedTimer timer;
    timer.start();
    const Failure dead = FailureOf([&] { conn->Execute("INSERT INTO T (V) VALUES ('x')"); });
    RecordFigure("dead server detected", timer.elapsed());
    EXPECT_EQ(dead.number, -2147467259);
    EXPECT_EQ(conn->State(), adStateClosed);
    EXPECT_EQ(FailureOf([&] { conn->Open(); }).number, Err::LostConnection);
    EXPECT_EQ(conn->State(), adStateClosed);

    server.Restart();
    timer.restart();
    conn->Open();
    RecordFigure("reconnect after restart", timer.elapsed());
    EXPECT_EQ(conn->State(), adStateOpen);
    conn->Execute("INSERT INTO T (V) VALUES ('dopo')");
    EXPECT_EQ(db.Column("SELECT V FROM T ORDER BY Id"), QStringList({"prima", "dopo"}))
        << "committed rows survive the kill";
}

TEST(MySqlServerRecovery, ConnectionNeverReconnectsBehindTheCallersBack) {
    REQUIRE_SERVER();
    PrivateServer server;
    ASSERT_TRUE(server.Started()) << server.Error().toStdString();
    ServerDatabase db(server.ConnectionString());
    db.Exec({"CREATE TABLE T (Id INT PRIMARY KEY)"});
    auto conn = db.Open();

    // Back before the connection is used again: the client library must not
    // have quietly made a new session.
    server.Kill();
    server.Restart();
    const Failure stale = FailureOf([&] {
        Recordset rs;
        rs.Open("SELECT 1;", conn.get(), adOpenKeyset, adLockReadOnly);
    });
    EXPECT_EQ(stale.number, Err::LostConnection);
    EXPECT_EQ(conn->State(), adStateClosed);
    conn->Open();
    Recordset rs;
    rs.Open("SELECT 1;", conn.get(), adOpenKeyset, adLockReadOnly);
    EXPECT_EQ(rs.RecordCount(), 1);
}

} // namespace
} // namespace tessaro::test
