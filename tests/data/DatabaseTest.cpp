// The data-access objects on both engines: schema rowsets, recordsets,
// fields, searches, failures and connections.

#include "data/Values.h"
#include "support/Fixtures.h"

#include <QRegularExpression>

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
             "INSERT INTO Prodotti VALUES (1, 'Mela', 10, 0.5, '2024-03-02', 1, 3, NULL), "
             "(2, NULL, NULL, NULL, NULL, 0, NULL, NULL), (3, 'Pera', 10, 2, NULL, 1, 1.5, NULL)"});
        conn = banco->Open();
    }
    bool Sqlite() const { return GetParam() == Motore::Sqlite; }

    std::unique_ptr<Banco> banco;
    std::unique_ptr<Connection> conn;
};

TEST_P(DataTest, SchemaRowsetsDescribeColumnsKeysAndLinks) {
    const QString noLimit = Sqlite() ? "~" : "65535";
    auto columns = conn->OpenSchema(adSchemaColumns, {QVariant(), QVariant(), "prodotti"});
    EXPECT_EQ(Rows(*columns, {"TABLE_NAME", "COLUMN_NAME", "ORDINAL_POSITION", "DATA_TYPE",
                              "IS_NULLABLE", "CHARACTER_MAXIMUM_LENGTH"}),
              QStringList({"Prodotti|IdProdotto|1|3|0|~", "Prodotti|Nome|2|130|1|30",
                           "Prodotti|IdCategoria|3|3|1|~", "Prodotti|Prezzo|4|5|1|~",
                           "Prodotti|Giorno|5|7|1|~", "Prodotti|Attivo|6|11|1|~",
                           "Prodotti|Qta|7|131|1|~", "Prodotti|Foto|8|128|1|" + noLimit}));
    auto all = conn->OpenSchema(adSchemaColumns);
    EXPECT_EQ(all->RecordCount(), 4 + 8 + 3) << "every table of the database, nothing else";

    auto keys = conn->OpenSchema(adSchemaPrimaryKeys, {QVariant(), QVariant(), "Righe"});
    EXPECT_EQ(Rows(*keys, {"COLUMN_NAME", "ORDINAL"}), QStringList({"Anno|1", "Numero|2"}));
    const QStringList link = {"FK_TABLE_NAME", "FK_COLUMN_NAME", "PK_TABLE_NAME", "PK_COLUMN_NAME"};
    auto held = conn->OpenSchema(adSchemaForeignKeys, {QVariant(), QVariant(), QVariant(),
                                                       QVariant(), QVariant(), "Prodotti"});
    EXPECT_EQ(Rows(*held, link), QStringList{"Prodotti|IdCategoria|Categorie|IdCategoria"});
    auto referring = conn->OpenSchema(adSchemaForeignKeys, {QVariant(), QVariant(), "PRODOTTI"});
    EXPECT_EQ(Rows(*referring, link), QStringList{"Righe|IdProdotto|Prodotti|IdProdotto"});
    auto none = conn->OpenSchema(adSchemaForeignKeys, {QVariant(), QVariant(), QVariant(),
                                                       QVariant(), QVariant(), "Categorie"});
    EXPECT_TRUE(none->Bof() && none->Eof());
    EXPECT_EQ(none->Fields().Item(QStringLiteral("FK_COLUMN_NAME")).Name(), "FK_COLUMN_NAME");
    EXPECT_EQ(RaisedBy([&] { conn->OpenSchema(20); }).number, Err::InvalidCall);
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
    EXPECT_EQ(RaisedBy([&] { rs.MoveFirst(); }).number, Err::ObjectClosed);
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
        if (column.startsWith(QLatin1String("Righe")))
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
    EXPECT_TRUE(
        duplicate.description.contains(Sqlite() ? "UNIQUE constraint failed" : "Duplicate entry"))
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
        {"nome  =  'rossi'", "50"}, {"Nome = 'Ross'", "EOF"},    {"Nome='O''Brien' ", "20"},
        {"Id = '40'", "40"},        {"Citta = ''", "30"},        {"Sconto = ''", "EOF"},
        {"Id = 40.0", "40"},        {"Sconto = 3,5", "10"},      {"Sconto = 1e5", "30"},
        {"Codice = 042", "10"},     {"Codice = 7.0", "EOF"},     {"Misto = '042'", "20"},
        {"Misto = '42.0'", "30"},   {"[Nome] = 'Bianchi'", "30"}};
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

} // namespace
} // namespace tessaro::test
