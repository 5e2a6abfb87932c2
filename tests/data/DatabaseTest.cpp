// The data-access objects on both engines: schema rowsets, recordsets,
// fields, searches, failures and connections; what only SQLite does; values.

#include "data/MySqlProvider.h"
#include "data/PostgreSqlProvider.h"
#include "data/SqliteDirect.h"
#include "data/SqliteProvider.h"
#include "data/Values.h"
#include "support/Fixtures.h"

#include <QFile>
#include <QRegularExpression>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

namespace tessaro::test {
namespace {

// Each row as the given columns joined by "|"; Null reads as "~".
QStringList Rows(Recordset& rs, const QStringList& columns) {
    QStringList out;
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) {
        QStringList cells;
        for (const QString& c : columns) {
            const QVariant v = rs.Fields().Item(c).Value();
            cells << (v.isNull() ? "~" : ValueToText(v));
        }
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

// Where the cursor stands: its 1-based row, "BOF" or "EOF".
QString Where(const Recordset& rs) {
    if (rs.Bof())
        return rs.Eof() ? "empty" : "BOF";
    return rs.Eof() ? "EOF" : QString::number(rs.AbsolutePosition());
}

class DataTest : public BoxesTest, public ::testing::WithParamInterface<Motore> {
protected:
    void SetUp() override {
        BoxesTest::SetUp();
        banco = Banco::Crea(GetParam());
        if (!banco)
            GTEST_SKIP() << "no MariaDB server in this run";
        banco->Exec(
            {"CREATE TABLE Categorie (IdCategoria {AUTO}, Nome VARCHAR(30) NOT NULL, Note TEXT, "
             "Quando DATETIME)",
             "CREATE TABLE Prodotti (IdProdotto INTEGER PRIMARY KEY, Nome VARCHAR(30), "
             "IdCategoria INTEGER, Prezzo DOUBLE, Giorno DATE, Attivo BOOLEAN, Qta DECIMAL(10,2), "
             "Foto BLOB, FOREIGN KEY (IdCategoria) REFERENCES Categorie (IdCategoria))",
             "CREATE TABLE Righe (Anno INTEGER, Numero INTEGER, IdProdotto INTEGER, "
             "PRIMARY KEY (Anno, Numero), "
             "FOREIGN KEY (IdProdotto) REFERENCES Prodotti (IdProdotto))",
             "INSERT INTO Categorie VALUES (10, 'Frutta', NULL, '2024-03-01 10:00:00')",
             "INSERT INTO Prodotti VALUES (1, 'Mela', 10, 0.5, '2024-03-02', TRUE, 3, NULL), "
             "(2, NULL, NULL, NULL, NULL, FALSE, NULL, NULL), "
             "(3, 'Pera', 10, 2, NULL, TRUE, 1.5, NULL)"});
        conn = banco->Open();
    }
    bool Sqlite() const { return GetParam() == Motore::Sqlite; }

    std::unique_ptr<Banco> banco;
    std::unique_ptr<Connection> conn;
};

TEST_P(DataTest, SchemaRowsetsDescribeColumnsKeysAndLinks) {
    const QString noLimit = GetParam() == Motore::MariaDb ? "65535" : "~";
    auto columns = conn->OpenSchema(adSchemaColumns, {QVariant(), QVariant(), "prodotti"});
    EXPECT_EQ(Rows(*columns, {"TABLE_NAME", "COLUMN_NAME", "ORDINAL_POSITION", "DATA_TYPE",
                              "IS_NULLABLE", "CHARACTER_MAXIMUM_LENGTH"}),
              banco->Memorizzati({"Prodotti|IdProdotto|1|3|0|~", "Prodotti|Nome|2|130|1|30",
                                  "Prodotti|IdCategoria|3|3|1|~", "Prodotti|Prezzo|4|5|1|~",
                                  "Prodotti|Giorno|5|7|1|~", "Prodotti|Attivo|6|11|1|~",
                                  "Prodotti|Qta|7|131|1|~", "Prodotti|Foto|8|128|1|" + noLimit}));
    auto all = conn->OpenSchema(adSchemaColumns);
    EXPECT_EQ(all->RecordCount(), 4 + 8 + 3) << "every table of the database, nothing else";

    auto keys = conn->OpenSchema(adSchemaPrimaryKeys, {QVariant(), QVariant(), "Righe"});
    EXPECT_EQ(Rows(*keys, {"COLUMN_NAME", "ORDINAL"}), banco->Memorizzati({"Anno|1", "Numero|2"}));
    const QStringList link = {"FK_TABLE_NAME", "FK_COLUMN_NAME", "PK_TABLE_NAME", "PK_COLUMN_NAME"};
    auto held = conn->OpenSchema(adSchemaForeignKeys, {QVariant(), QVariant(), QVariant(),
                                                       QVariant(), QVariant(), "Prodotti"});
    EXPECT_EQ(Rows(*held, link),
              banco->Memorizzati({"Prodotti|IdCategoria|Categorie|IdCategoria"}));
    auto referring = conn->OpenSchema(adSchemaForeignKeys, {QVariant(), QVariant(), "PRODOTTI"});
    EXPECT_EQ(Rows(*referring, link), banco->Memorizzati({"Righe|IdProdotto|Prodotti|IdProdotto"}));
    auto none = conn->OpenSchema(adSchemaForeignKeys, {QVariant(), QVariant(), QVariant(),
                                                       QVariant(), QVariant(), "Categorie"});
    EXPECT_EQ(std::make_tuple(none->Bof(), none->Eof()), std::make_tuple(true, true));
    EXPECT_EQ(none->Fields().Item(QStringLiteral("FK_COLUMN_NAME")).Name(), "FK_COLUMN_NAME");
    EXPECT_EQ(RaisedBy([&] { conn->OpenSchema(20); }).number, Err::InvalidCall);
    // The one catalogue has no name: a rowset restricted to a named one is empty.
    for (const auto& [kind, criteria] : std::vector<std::pair<int, QVariantList>>{
             {adSchemaColumns, {"altro"}},
             {adSchemaPrimaryKeys, {"altro"}},
             {adSchemaForeignKeys, {"altro"}},
             {adSchemaForeignKeys, {QVariant(), QVariant(), QVariant(), "altro"}}})
        EXPECT_EQ(conn->OpenSchema(kind, criteria)->RecordCount(), 0) << kind << criteria.size();
}

TEST_P(DataTest, RecordsetsMoveInMemoryWithAnExactCount) {
    Recordset rs;
    rs.Open("SELECT IdProdotto FROM Prodotti ORDER BY IdProdotto", conn.get(), adOpenKeyset,
            adLockReadOnly);
    EXPECT_EQ(rs.RecordCount(), 3);
    EXPECT_EQ(Where(rs), "1");
    // Past either end the cursor stays there without a current row. A step is
    // L(ast), N(ext), P(revious) or Move(n) from the current row, F(irst) or
    // L(ast), then where it lands.
    for (const char* text : {"L 3", "N EOF", "N EOF", "-3 1", "P BOF", "P BOF", "N 1", "1F 2",
                             "-1L 2", "5 EOF", "-9 BOF", "1L EOF"}) {
        const QString step = QLatin1String(text);
        const QString m = step.section(' ', 0, 0);
        if (m == "L" || m == "N" || m == "P")
            m == "L" ? rs.MoveLast() : m == "N" ? rs.MoveNext() : rs.MovePrevious();
        else
            rs.Move(QString(m).remove(QRegularExpression("[FL]")).toInt(),
                    m.endsWith('F')   ? adBookmarkFirst
                    : m.endsWith('L') ? adBookmarkLast
                                      : adBookmarkCurrent);
        EXPECT_EQ(Where(rs), step.section(' ', 1)) << step.toStdString();
    }
    rs.MoveLast();
    rs.MoveNext();
    EXPECT_EQ(rs.AbsolutePosition(), adPosEOF);
    EXPECT_EQ(RaisedBy([&] { rs.Fields().Item(0).Value(); }).number, Err::NoCurrentRecord);
    for (const qint64 row : {-1, 3})
        EXPECT_EQ(RaisedBy([&] { rs.ValueAt(row, 0); }).number, Err::NoCurrentRecord) << row;
    for (const int column : {-1, rs.ColumnCount()}) {
        EXPECT_EQ(RaisedBy([&] { rs.ValueAt(0, column); }).number, Err::ItemNotFound) << column;
        EXPECT_EQ(RaisedBy([&] { rs.Column(column); }).number, Err::ItemNotFound) << column;
    }
    EXPECT_EQ(RaisedBy([&] { rs.Move(1, 7); }).number, Err::WrongArguments);

    // Materialised: another connection's change is seen only when read again.
    banco->Exec({"DELETE FROM Prodotti WHERE IdProdotto = 2"});
    EXPECT_EQ(rs.RecordCount(), 3);
    rs.Open(rs.Source(), conn.get());
    EXPECT_EQ(rs.RecordCount(), 2);
    rs.Open("SELECT IdProdotto FROM Prodotti WHERE 1 = 0", conn.get());
    EXPECT_EQ(Where(rs), "empty");
    EXPECT_EQ(rs.AbsolutePosition(), adPosUnknown);
    rs.MoveNext();
    EXPECT_EQ(Where(rs), "empty");
    // A statement without rows runs and leaves the recordset closed.
    rs.Open("UPDATE Prodotti SET Nome = 'x' WHERE 1 = 0", conn.get());
    EXPECT_EQ(rs.State(), adStateClosed);
    EXPECT_EQ(std::make_tuple(rs.ColumnCount(), rs.StorageBytes()), std::make_tuple(0, 0UL))
        << "closed, it keeps no column of the last result";
    for (const auto& move : std::vector<std::function<void()>>{
             [&] { rs.MoveFirst(); }, [&] { rs.MoveLast(); }, [&] { rs.MoveNext(); },
             [&] { rs.MovePrevious(); }, [&] { rs.Move(1); }, [&] { rs.Find("a = 1"); }})
        EXPECT_EQ(RaisedBy(move).number, Err::ObjectClosed);
    EXPECT_EQ(RaisedBy([&] { rs.Open("SELECT 1", nullptr); }).number, Err::ObjectNotSet);
}

TEST_P(DataTest, FieldsGiveTypesAndValuesByNameOrTable) {
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM Prodotti INNER JOIN Categorie "
                           "ON Categorie.IdCategoria = Prodotti.IdCategoria ORDER BY IdProdotto"),
            conn.get(), adOpenStatic, adLockReadOnly, adCmdText);
    const Fields f = rs.Fields();
    EXPECT_EQ(f.Item(QStringLiteral("NOME")).Value().toString(), "Mela");
    EXPECT_EQ(f.Item(QStringLiteral("categorie.nome")).Value().toString(), "Frutta");
    EXPECT_EQ(f.Item(QStringLiteral("Prodotti.Nome")).Value().toString(), "Mela");
    EXPECT_EQ(ValueToText(f.Item(QStringLiteral("Quando")).Value()), "2024-03-01 10:00:00");
    EXPECT_EQ(ValueToText(f.Item(QStringLiteral("Giorno")).Value()), "2024-03-02");
    EXPECT_EQ(ValueToText(f.Item(QStringLiteral("Prezzo")).Value()), "0.5");
    EXPECT_TRUE(f.Item(QStringLiteral("Note")).Value().isNull());
    EXPECT_EQ(RaisedBy([&] { f.Item("Fornitori.Nome"); }).number, Err::ItemNotFound);
    EXPECT_EQ(RaisedBy([&] { f.Item(f.Count()); }).number, Err::ItemNotFound);

    // A result column's type agrees with the schema's, its size with the declared length.
    auto schema = conn->OpenSchema(adSchemaColumns);
    for (schema->MoveFirst(); !schema->Eof(); schema->MoveNext()) {
        const QString column = ValueToText(schema->Fields()["TABLE_NAME"].Value()) + "." +
                               ValueToText(schema->Fields()["COLUMN_NAME"].Value());
        if (column.startsWith(QLatin1String("Righe"), Qt::CaseInsensitive))
            continue;
        EXPECT_EQ(f.Item(column).Type(), schema->Fields()["DATA_TYPE"].Value().toInt())
            << column.toStdString();
    }
    EXPECT_EQ(f.Item(QStringLiteral("Categorie.Nome")).DefinedSize(), 30);
}

TEST_P(DataTest, FailuresTellALostConnectionFromARejectedStatement) {
    const Raised syntax = RaisedBy([&] { conn->Execute("UPDAT T SET a = 2"); });
    EXPECT_EQ(syntax.number, Err::StatementRejected);
    EXPECT_TRUE(syntax.description.contains(QLatin1String("syntax")))
        << syntax.description.toStdString();
    const Raised duplicate =
        RaisedBy([&] { conn->Execute("INSERT INTO Prodotti (IdProdotto) VALUES (1)"); });
    EXPECT_EQ(duplicate.number, Err::StatementRejected);
    const char* duplicato[] = {"UNIQUE constraint failed", "Duplicate entry", "duplicate key"};
    EXPECT_TRUE(duplicate.description.contains(duplicato[static_cast<int>(GetParam())]))
        << duplicate.description.toStdString();
    Recordset rs;
    EXPECT_EQ(RaisedBy([&] { rs.Open("SELECT * FROM Nowhere", conn.get()); }).number,
              Err::StatementRejected);
    // A rejection leaves the connection usable; rows matched are counted.
    qint64 affected = -1;
    conn->Execute("UPDATE Prodotti SET Nome = 'Mela' WHERE IdProdotto = 1", &affected);
    EXPECT_EQ(affected, 1);

    conn->Close();
    for (const auto& op : std::vector<std::function<void()>>{
             [&] { conn->Execute("DELETE FROM Prodotti"); },
             [&] { conn->OpenSchema(adSchemaColumns); }, [&] { rs.Open("SELECT 1", conn.get()); },
             [&] { conn->LastInsertId(); }})
        EXPECT_EQ(RaisedBy(op).number, Err::LostConnection);
    Connection never;
    EXPECT_EQ(RaisedBy([&] { never.Open(); }).number, Err::LostConnection);
}

INSTANTIATE_FOR_ENGINES(DataTest);

// Find on a recordset.

// Every search twice: as the first search after an open, which scans, and
// after an earlier search on the same column, which goes through the index.
class FindTest : public BoxesTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        BoxesTest::SetUp();
        file.Exec("CREATE TABLE Clienti (Id INTEGER PRIMARY KEY, Nome TEXT, Codice TEXT, "
                  "Sconto REAL, Citta TEXT, Misto);"
                  "INSERT INTO Clienti VALUES (10, 'Rossi', '042', 3.5, 'Roma', 42);"
                  "INSERT INTO Clienti VALUES (20, 'O''Brien', '42', 0.1, NULL, '042');"
                  "INSERT INTO Clienti VALUES (30, 'Bianchi', 'x', 100000, '', '42.0');"
                  "INSERT INTO Clienti VALUES (40, 'Rossi', '7', NULL, 'Roma', 42.0);"
                  "INSERT INTO Clienti VALUES (50, 'rossi', '50', 2, 'Milano', NULL)");
        conn = file.Open();
    }
    // Id of the row found, "EOF" or "BOF", searching from 0-based row `from`.
    QString Search(const QString& criteria, qint64 from = 0, int direction = adSearchForward,
                   qint64 skip = 0, int start = adBookmarkCurrent) {
        rs.Open("SELECT * FROM Clienti ORDER BY Id", conn.get());
        const QString column = criteria.section(QLatin1Char('='), 0, 0).trimmed();
        if (GetParam() && rs.ColumnIndex(column) >= 0)
            rs.Find(column + " = 'not there'");
        rs.Move(from, adBookmarkFirst);
        rs.Find(criteria, skip, direction, start);
        if (rs.Bof() || rs.Eof())
            return rs.Bof() ? "BOF" : "EOF";
        return ValueToText(rs.Fields().Item(QStringLiteral("Id")).Value());
    }
    SqliteFile file;
    std::unique_ptr<Connection> conn;
    Recordset rs;
};

TEST_P(FindTest, QuotedTextsMatchExactlyAndNumbersByValue) {
    const std::pair<const char*, const char*> fromFirst[] = {
        {"nome  =  'rossi'", "50"}, {"Nome = 'Ross'", "EOF"}, {"Nome='O''Brien' ", "20"},
        {"Id = '40'", "40"},        {"Citta = ''", "30"},     {"Sconto = ''", "EOF"},
        {"Id = 40.0", "40"},        {"Sconto = 3,5", "10"},   {"Sconto = 1e5", "30"},
        {"Codice = 042", "10"},     {"Codice = 7.0", "EOF"},  {"Misto = '042'", "20"},
        {"Misto = '42.0'", "30"},   {"Misto = '42'", "10"},   {"[Nome] = 'Bianchi'", "30"}};
    for (const auto& [criteria, id] : fromFirst)
        EXPECT_EQ(Search(QLatin1String(criteria)), QLatin1String(id)) << criteria;
}

TEST_P(FindTest, MalformedCriteriaAreRefusedWithoutMoving) {
    for (const char* bad : {"Nome", "Nome = 'abc", "Nome = 'a'b'", "Nome = abc", "= 5", "Nome <> 5",
                            "Nome LIKE 'R%'", "Id = 0x1F", "Id = 5 OR 1=1"}) {
        EXPECT_EQ(RaisedBy([&] { Search(QLatin1String(bad), 2); }).number, Err::WrongArguments)
            << bad;
        EXPECT_EQ(rs.AbsolutePosition(), 3) << bad;
    }
    EXPECT_EQ(RaisedBy([&] { Search("Colore = 'x'"); }).number, Err::ItemNotFound);
    EXPECT_EQ(RaisedBy([&] { Search("Id = 1", 0, 0); }).number, Err::WrongArguments);
}

INSTANTIATE_TEST_SUITE_P(ScanAndIndex, FindTest, ::testing::Bool(),
                         [](const auto& p) { return p.param ? "Indexed" : "Scanned"; });

// What only the embedded database does: its type rules and catalogue, its
// file going away and the direct reader under Qt's driver.

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

TEST(Rowsets, ARowOfTheWrongWidthIsRefused) {
    RowsetBuilder b({{"a", 3}, {"b", 130}});
    for (const QVariantList& riga : {QVariantList{1}, QVariantList{1, "x", 2}})
        EXPECT_EQ(RaisedBy([&] { b.AddRow(riga); }).number, Err::WrongArguments) << riga.size();
}

TEST(Servers, DeclaredTypesGiveTheirCodes) {
    using Casi = std::vector<std::pair<const char*, int>>;
    const Casi my = {
        {"tinyint(1)", 11},  {"TINYINT(4)", 16},  {"boolean", 11},       {"bit", 11},
        {"bit(8)", 20},      {"year(4)", 2},      {"mediumint", 3},      {"integer", 3},
        {"bigint(20)", 20},  {"float", 4},        {"real", 5},           {"dec(8,2)", 131},
        {"fixed", 131},      {"date", 7},         {"timestamp", 135},    {"time", 134},
        {"mediumblob", 128}, {"binary(4)", 128},  {"varbinary(9)", 128}, {"geometry", 128},
        {"point", 128},      {"linestring", 128}, {"polygon", 128},      {"enum('a')", 130},
        {"json", 130}};
    const Casi pg = {{"int4[]", 130}, {"bool", 11},         {"int2", 2},      {"SMALLSERIAL", 2},
                     {"int", 3},      {"serial", 3},        {"int8", 20},     {"bigserial", 20},
                     {"float4", 4},   {"real", 4},          {"float8", 5},    {"decimal(8,2)", 131},
                     {"date", 7},     {"timestamptz", 135}, {"time", 134},    {"uuid", 72},
                     {"bytea", 128},  {"text", 130},        {"tsvector", 130}};
    const Casi pgPerEsteso = {{"character varying(30)", 130},
                              {"double precision", 5},
                              {"timestamp with time zone", 135},
                              {"time without time zone", 134}};
    for (const auto& [codice, casi] : {std::pair{&mysql::TypeCode, my},
                                       {&postgres::TypeCode, pg},
                                       {&postgres::TypeCode, pgPerEsteso}})
        for (const auto& [declared, code] : casi)
            EXPECT_EQ(codice(QLatin1String(declared)), code) << declared;
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
    conn->BeginTrans();
    conn->Execute("DELETE FROM Voci");
    conn->Close(); // gives up the transaction and its lock
    file.Exec("DELETE FROM Voci WHERE Id = 1");
    conn->Open();
    const QString away = file.Path() + ".away";
    ASSERT_TRUE(QFile::rename(file.Path(), away));
    EXPECT_EQ(RaisedBy([&] { conn->Open(); }).number, Err::LostConnection);
    Connection second;
    EXPECT_EQ(RaisedBy([&] { second.OpenExisting(conn->ConnectionString(), {}, {}); }).number,
              Err::LostConnection);
    EXPECT_EQ(std::make_tuple(conn->State(), QFile::exists(file.Path())),
              std::make_tuple(adStateClosed, false))
        << "closed, and neither a reconnection nor a second connection creates the file again";
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
    std::vector<RecordsetColumn> bound; // values in their places, Null too
    ASSERT_TRUE(sqlite::ReadAll(statements,
                                "SELECT Id FROM Voci WHERE Nome IS ? OR Id = ? ORDER BY Id",
                                {QVariant(), 3}, 0, bound));
    ASSERT_EQ(bound[0].Size(), 2u);
    EXPECT_EQ(std::make_tuple(ValueToText(bound[0].At(0)), ValueToText(bound[0].At(1))),
              Expected("2", "3"));
    // Each kind of value bound as itself.
    std::vector<RecordsetColumn> tipi;
    ASSERT_TRUE(sqlite::ReadAll(statements, "SELECT ? * 2, ? || '!', typeof(?), ? + 1",
                                {1.25, QString("è"), QVariant(), true}, 0, tipi));
    EXPECT_EQ(std::make_tuple(tipi[0].At(0), tipi[1].At(0), tipi[2].At(0), tipi[3].At(0)),
              std::make_tuple(QVariant(2.5), QVariant("è!"), QVariant("null"), QVariant(2)));
    std::vector<RecordsetColumn> calcolate; // typed by their first value
    ASSERT_TRUE(sqlite::ReadAll(statements, "SELECT 2 * 3, 0.5, 'x', x'00'", 0, calcolate));
    std::vector<int> codici;
    for (const RecordsetColumn& c : calcolate)
        codici.push_back(c.type);
    EXPECT_EQ(codici, (std::vector<int>{3, 5, 130, 128}));
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

// Values: one text for each, and the strict reading of typed numbers and dates.

TEST(Values, OneTextForEveryValue) {
    const std::pair<QVariant, const char*> cases[] = {
        {qint64(-9000000000LL), "-9000000000"},
        {quint64(18000000000000000000ULL), "18000000000000000000"},
        {-0.25, "-0.25"},
        {2.0, "2"},
        {1234567.25, "1234567.25"},
        {true, "1"},
        {QDateTime(QDate(2024, 3, 5), QTime(0, 0)), "2024-03-05"},
        {QDateTime(QDate(2024, 3, 5), QTime(0, 0, 1)), "2024-03-05 00:00:01"},
        {QTime(8, 5), "08:05:00"},
        {QVariant(QMetaType::fromType<int>()), ""},
        {QByteArray("caff\xc3\xa8"), "caffè"}};
    // Neither the locale's decimal comma nor its grouping gets in.
    LocaleScope italian(QLocale(QLocale::Italian, QLocale::Italy));
    for (const auto& [value, text] : cases)
        EXPECT_EQ(ValueToText(value), QString::fromUtf8(text)) << text;

    for (const QVariant& yes : {QVariant(-1), QVariant("True"), QVariant("-1"), QVariant(0.5)})
        EXPECT_TRUE(ValueToBool(yes)) << yes.toString().toStdString();
    for (const QVariant& no : {QVariant(0), QVariant(), QVariant("0"), QVariant("no")})
        EXPECT_FALSE(ValueToBool(no)) << no.toString().toStdString();
}

TEST(Values, NumbersAreSignDigitsOneSeparatorAndAnExponent) {
    for (const char* yes : {"3,5", "3.5", "-2", "+7", "1e5", "1.5E-3", " 42 ", ".5", "5."})
        EXPECT_TRUE(IsNumeric(QLatin1String(yes))) << yes;
    for (const char* no : {"1.000,50", "$5", "0x1F", "3,5,6", "", " ", "1 2", "e5", "--2", "1e",
                           "NaN", "inf", "1;DROP TABLE T"})
        EXPECT_FALSE(IsNumeric(QLatin1String(no))) << no;
    EXPECT_EQ(NumericValue("3,5"), 3.5);
    EXPECT_EQ(NumericValue(" -1e3 "), -1000.0);
    EXPECT_FALSE(NumericValue(QStringLiteral("1.000,50")).has_value());
}

TEST(Values, TypedNumbersAreReadAsTheLocaleWritesThemElseByTheStrictRule) {
    // it_IT, en_US, fr_FR; "-" where the text is no number there.
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"1.500", "1500", "1.500", "1.500"},
        {"1.234,56", "1234.56", "-", "-"},
        {"1,500", "1.500", "1500", "1.500"},
        {"3,75", "3.75", "3.75", "3.75"},
        {"1.2.3", "-", "-", "-"},
        {"1,50,0", "-", "-", "-"},
        {" -1.234.567,8 ", "-1234567.8", "-", "-"},
        {"1,5e3", "1.5e3", "1.5e3", "1.5e3"},
        {"1\u202f234,5", "-", "-", "1234.5"},
        {"1e309", "-", "-", "-"},
        {"nan", "-", "-", "-"}};
    const QLocale locali[] = {QLocale(QLocale::Italian, QLocale::Italy),
                              QLocale(QLocale::English, QLocale::UnitedStates),
                              QLocale(QLocale::French, QLocale::France)};
    for (int l = 0; l < 3; ++l) {
        LocaleScope scope(locali[l]);
        for (const auto& c : cases) {
            const char* atteso = l == 0 ? std::get<1>(c) : l == 1 ? std::get<2>(c) : std::get<3>(c);
            EXPECT_EQ(TypedNumber(QString::fromUtf8(std::get<0>(c))).value_or("-"),
                      QLatin1String(atteso))
                << std::get<0>(c) << " in " << locali[l].name().toStdString();
        }
    }
    const std::tuple<const char*, int, int, bool> decimali[] = {
        {"999.99", 5, 2, true},  {"1000", 5, 2, false},   {"1.005", 5, 2, false},
        {"-0.50", 5, 2, true},   {"12.5e1", 5, 2, true},  {"1e3", 5, 2, false},
        {"1e-2", 5, 2, true},    {"1e-3", 5, 2, false},   {"0001.10", 3, 1, true},
        {"0e1001", 5, 2, false}, {"0e-1001", 5, 2, false}};
    for (const auto& [numero, p, s, entra] : decimali)
        EXPECT_EQ(FitsDecimal(QLatin1String(numero), p, s), entra) << numero;
    EXPECT_TRUE(Fits64Bits("-9223372036854775808", false));
    EXPECT_FALSE(Fits64Bits("9223372036854775808", false));
    EXPECT_TRUE(Fits64Bits("18446744073709551615", true));
    EXPECT_FALSE(Fits64Bits("-1", true));
}

TEST(Values, DatesAreIsoOrTheLocalesShortDate) {
    const auto text = [](const char* s) {
        const auto d = ParseDate(QString::fromUtf8(s));
        return d ? d->toString("yyyy-MM-dd hh:mm:ss") : "none";
    };
    const std::pair<const char*, const char*> iso[] = {
        {" 2024-3-5 ", "2024-03-05 00:00:00"},
        {"2024-03-05T10:30:15", "2024-03-05 10:30:15"},
        {"2024-02-29", "2024-02-29 00:00:00"},
        {"2023-02-29", "none"},
        {"2024-13-01", "none"},
        {"2024-03-05 25:00", "none"},
        {"2024-03-05 10", "none"},
        {"", "none"}};
    for (const auto& [typed, read] : iso)
        EXPECT_EQ(text(typed), QLatin1String(read)) << typed;
    EXPECT_FALSE(IsDate("2024-02-30"));

    LocaleScope italian(QLocale(QLocale::Italian, QLocale::Italy));
    // A two-digit year is this century's up to 29.
    const std::pair<const char*, const char*> italiano[] = {
        {"05/01/29", "2029-01-05 00:00:00"},
        {"05/01/30", "1930-01-05 00:00:00"},
        {"05/01/2024 9:05:30", "2024-01-05 09:05:30"},
        {"30/02/2024", "none"},
        {"01/05", "none"}};
    for (const auto& [typed, read] : italiano)
        EXPECT_EQ(text(typed), QLatin1String(read)) << typed;
    LocaleScope american(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(text("12/31/99"), "1999-12-31 00:00:00");
}

} // namespace
} // namespace tessaro::test
