#include "data/SqliteProvider.h"
#include "platform/DatabaseTestSupport.h"
#include "support/Fixtures.h"

namespace tessaro::test {
namespace {

// Each row as the given columns joined by "|"; Null reads as "~".
QStringList Rows(Recordset& rs, const QStringList& columns) {
    QStringList out;
    if (rs.Bof() && rs.Eof())
        return out;
    const Fields f = rs.Fields();
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) {
        QStringList cells;
        for (const QString& c : columns) {
            const QVariant v = f.Item(c).Value();
            cells << (v.isNull() ? QStringLiteral("~") : ValueToText(v));
        }
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

QStringList Only(const QStringList& rows, const QString& prefix) {
    return rows.filter(QRegularExpression(QStringLiteral("^") + QRegularExpression::escape(prefix) +
                                          QStringLiteral("\\|")));
}

const QStringList kColumnCols = {"TABLE_NAME", "COLUMN_NAME", "ORDINAL_POSITION",
                                 "DATA_TYPE",  "IS_NULLABLE", "CHARACTER_MAXIMUM_LENGTH"};
const QStringList kKeyCols = {"TABLE_NAME", "COLUMN_NAME", "ORDINAL"};
const QStringList kForeignCols = {"FK_TABLE_NAME", "FK_COLUMN_NAME", "PK_TABLE_NAME",
                                  "PK_COLUMN_NAME", "ORDINAL"};

class SchemaTest : public SqliteTest {
protected:
    void SetUp() override {
        SqliteTest::SetUp();
        UseScript(QStringLiteral(
            "CREATE TABLE Categorie (IdCategoria INTEGER PRIMARY KEY AUTOINCREMENT, "
            "  Nome VARCHAR(30) NOT NULL, Note TEXT, upsize_ts BLOB);"
            "CREATE TABLE fornitori (Codice CHAR(5) PRIMARY KEY, RagioneSociale NVARCHAR(80));"
            "CREATE TABLE Ordini (Numero INT NOT NULL, Anno INT NOT NULL, Data DATE, "
            "  PRIMARY KEY (Anno, Numero));"
            "CREATE TABLE Prodotti (IdProdotto INTEGER PRIMARY KEY, Nome VARCHAR(30), "
            "  IdCategoria INT REFERENCES categorie(idcategoria), "
            "  CodFornitore CHAR(5) REFERENCES FORNITORI, Prezzo REAL, Inserito DATE, "
            "  Modificato DATETIME, Attivo BOOLEAN);"
            "CREATE TABLE Righe (Anno INT, Numero INT, Riga INT, IdProdotto INT, "
            "  Qta NUMERIC(10,2), PRIMARY KEY (Anno, Numero, Riga), "
            "  FOREIGN KEY (anno, numero) REFERENCES ordini, "
            "  FOREIGN KEY (IdProdotto) REFERENCES Prodotti (IdProdotto) ON DELETE CASCADE);"
            "CREATE TABLE Parole (Testo TEXT PRIMARY KEY, Nota TEXT) WITHOUT ROWID;"
            "CREATE TABLE Log (Quando TIMESTAMP, Cosa);"
            "INSERT INTO Categorie (Nome) VALUES ('x')"));
    }
};

TEST_F(SchemaTest, ColumnsOfEveryTableWithTypesLengthsAndNullability) {
    auto rs = conn->OpenSchema(adSchemaColumns);
    const QStringList rows = Rows(*rs, kColumnCols);
    EXPECT_EQ(Only(rows, "Prodotti"), (QStringList{
                                          "Prodotti|IdProdotto|1|3|0|~",
                                          "Prodotti|Nome|2|130|1|30",
                                          "Prodotti|IdCategoria|3|3|1|~",
                                          "Prodotti|CodFornitore|4|130|1|5",
                                          "Prodotti|Prezzo|5|5|1|~",
                                          "Prodotti|Inserito|6|7|1|~",
                                          "Prodotti|Modificato|7|135|1|~",
                                          "Prodotti|Attivo|8|11|1|~",
                                      }));
    EXPECT_EQ(Only(rows, "Categorie"), (QStringList{
                                           "Categorie|IdCategoria|1|3|0|~",
                                           "Categorie|Nome|2|130|0|30",
                                           "Categorie|Note|3|130|1|~",
                                           "Categorie|upsize_ts|4|128|1|~",
                                       }));
    EXPECT_EQ(Only(rows, "Ordini"), (QStringList{
                                        "Ordini|Numero|1|3|0|~",
                                        "Ordini|Anno|2|3|0|~",
                                        "Ordini|Data|3|7|1|~",
                                    }));
    // The key of a table without rowid cannot hold Null.
    EXPECT_EQ(Only(rows, "Parole"),
              (QStringList{"Parole|Testo|1|130|0|~", "Parole|Nota|2|130|1|~"}));
    EXPECT_EQ(Only(rows, "Log"), (QStringList{"Log|Quando|1|135|1|~", "Log|Cosa|2|130|1|~"}));
    EXPECT_EQ(Only(rows, "fornitori").size(), 2);
    // SQLite's own tables (sqlite_sequence here) are not the application's.
    EXPECT_EQ(rows.filter(QStringLiteral("sqlite_"), Qt::CaseInsensitive), QStringList{});
    EXPECT_EQ(rows.size(), 8 + 4 + 3 + 2 + 2 + 2 + 5);
}

TEST_F(SchemaTest, ColumnRestrictionsMatchIgnoringCase) {
    auto byTable = conn->OpenSchema(adSchemaColumns, {QVariant(), QVariant(), "ordini"});
    EXPECT_EQ(Rows(*byTable, {"TABLE_NAME", "COLUMN_NAME"}),
              (QStringList{"Ordini|Numero", "Ordini|Anno", "Ordini|Data"}));

    auto byColumn = conn->OpenSchema(adSchemaColumns, {QVariant(), QVariant(), QVariant(), "NOME"});
    EXPECT_EQ(Rows(*byColumn, {"TABLE_NAME", "COLUMN_NAME"}),
              (QStringList{"Categorie|Nome", "Prodotti|Nome"}));

    auto both = conn->OpenSchema(adSchemaColumns, {"", "", "Prodotti", "Prezzo"});
    EXPECT_EQ(Rows(*both, {"COLUMN_NAME"}), QStringList{"Prezzo"});

    auto mainSchema = conn->OpenSchema(adSchemaColumns, {QVariant(), "MAIN", "Log"});
    EXPECT_EQ(mainSchema->RecordCount(), 2);
    auto otherSchema = conn->OpenSchema(adSchemaColumns, {QVariant(), "temp", "Log"});
    EXPECT_TRUE(otherSchema->Bof() && otherSchema->Eof());
    auto catalog = conn->OpenSchema(adSchemaColumns, {"shop"});
    EXPECT_EQ(catalog->RecordCount(), 0);
    auto none = conn->OpenSchema(adSchemaColumns, {QVariant(), QVariant(), "Clienti"});
    EXPECT_TRUE(none->Bof() && none->Eof());
    EXPECT_EQ(none->Fields().Item(QStringLiteral("DATA_TYPE")).Name(), "DATA_TYPE");
}

TEST_F(SchemaTest, PrimaryKeysInKeyOrder) {
    auto all = conn->OpenSchema(adSchemaPrimaryKeys);
    EXPECT_EQ(Rows(*all, kKeyCols), (QStringList{
                                        "Categorie|IdCategoria|1",
                                        "fornitori|Codice|1",
                                        "Ordini|Anno|1",
                                        "Ordini|Numero|2",
                                        "Parole|Testo|1",
                                        "Prodotti|IdProdotto|1",
                                        "Righe|Anno|1",
                                        "Righe|Numero|2",
                                        "Righe|Riga|3",
                                    }));
    auto one = conn->OpenSchema(adSchemaPrimaryKeys, {QVariant(), QVariant(), "PRODOTTI"});
    EXPECT_EQ(Rows(*one, kKeyCols), QStringList{"Prodotti|IdProdotto|1"});
    auto keyless = conn->OpenSchema(adSchemaPrimaryKeys, {QVariant(), QVariant(), "Log"});
    EXPECT_TRUE(keyless->Bof() && keyless->Eof());
    auto catalog = conn->OpenSchema(adSchemaPrimaryKeys, {"x", QVariant(), "Prodotti"});
    EXPECT_EQ(catalog->RecordCount(), 0);
}

TEST_F(SchemaTest, ForeignKeysNameTablesAndColumnsAsDeclared) {
    auto prodotti = conn->OpenSchema(adSchemaForeignKeys, {QVariant(), QVariant(), QVariant(),
                                                           QVariant(), QVariant(), "prodotti"});
    // Written "categorie(idcategoria)" and "FORNITORI" without a column: reported as
    // declared, the second resolved to the referenced table's key.
    EXPECT_EQ(Rows(*prodotti, kForeignCols),
              (QStringList{"Prodotti|IdCategoria|Categorie|IdCategoria|1",
                           "Prodotti|CodFornitore|fornitori|Codice|1"}));

    auto righe = conn->OpenSchema(
        adSchemaForeignKeys, {QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), "Righe"});
    EXPECT_EQ(Rows(*righe, kForeignCols),
              (QStringList{"Righe|Anno|Ordini|Anno|1", "Righe|Numero|Ordini|Numero|2",
                           "Righe|IdProdotto|Prodotti|IdProdotto|1"}));
    righe->MoveLast();
    EXPECT_EQ(righe->Fields().Item(QStringLiteral("DELETE_RULE")).Value().toString(), "CASCADE");

    auto referencing = conn->OpenSchema(adSchemaForeignKeys, {QVariant(), QVariant(), "PRODOTTI"});
    EXPECT_EQ(Rows(*referencing, kForeignCols),
              QStringList{"Righe|IdProdotto|Prodotti|IdProdotto|1"});

    auto all = conn->OpenSchema(adSchemaForeignKeys);
    EXPECT_EQ(all->RecordCount(), 5);
    auto none = conn->OpenSchema(adSchemaForeignKeys, {QVariant(), QVariant(), QVariant(),
                                                       QVariant(), QVariant(), "Categorie"});
    EXPECT_TRUE(none->Bof() && none->Eof());
    EXPECT_EQ(none->Fields().Item(QStringLiteral("FK_COLUMN_NAME")).Name(), "FK_COLUMN_NAME");
}

TEST_F(SchemaTest, TableNamesWithQuotesAreReadSafely) {
    db->Exec(QStringLiteral("CREATE TABLE \"Cliente's \"\"x\"\"\" (Id INTEGER PRIMARY KEY, "
                            "  IdCat INT REFERENCES Categorie)"));
    const QString name = QStringLiteral("Cliente's \"x\"");
    auto columns = conn->OpenSchema(adSchemaColumns, {QVariant(), QVariant(), name});
    EXPECT_EQ(Rows(*columns, {"TABLE_NAME", "COLUMN_NAME"}),
              (QStringList{name + "|Id", name + "|IdCat"}));
    auto keys = conn->OpenSchema(adSchemaPrimaryKeys, {QVariant(), QVariant(), name});
    EXPECT_EQ(Rows(*keys, {"COLUMN_NAME"}), QStringList{"Id"});
    auto foreign = conn->OpenSchema(
        adSchemaForeignKeys, {QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), name});
    EXPECT_EQ(Rows(*foreign, {"PK_TABLE_NAME", "PK_COLUMN_NAME"}),
              QStringList{"Categorie|IdCategoria"});
}

TEST_F(SchemaTest, UnsupportedRowsetsAreRefused) {
    EXPECT_EQ(RaisedBy([&] { conn->OpenSchema(20); }).number, Err::InvalidCall);
}

TEST(SqliteTypeCodeTest, DeclaredTypesFollowTheAffinityRules) {
    struct Case {
        const char* declared;
        int code;
        int length; // -1: none
    };
    const Case cases[] = {
        {"INTEGER", 3, -1},
        {"int", 3, -1},
        {"BIGINT", 3, -1},
        {"TINYINT", 3, -1},
        {"POINT", 3, -1},
        {"FLOATING POINT", 3, -1},
        {"VARCHAR(30)", 130, 30},
        {"nvarchar( 80 )", 130, 80},
        {"CHARACTER(20)", 130, 20},
        {"NCHAR(1)", 130, 1},
        {"TEXT", 130, -1},
        {"CLOB", 130, -1},
        {"", 130, -1},
        {"BLOB", 128, -1},
        {"REAL", 5, -1},
        {"FLOAT", 5, -1},
        {"DOUBLE PRECISION", 5, -1},
        {"NUMERIC", 131, -1},
        {"DECIMAL(10,2)", 131, -1},
        {"MONEY", 131, -1},
        {"BOOLEAN", 11, -1},
        {"bool", 11, -1},
        {"DATE", 7, -1},
        {"date", 7, -1},
        {"DATETIME", 135, -1},
        {"TIMESTAMP", 135, -1},
        {"SMALLDATETIME", 135, -1},
        {"TIME", 134, -1},
    };
    SqliteProvider provider;
    for (const auto& c : cases) {
        const QString declared = QLatin1String(c.declared);
        EXPECT_EQ(sqlite::TypeCode(declared), c.code) << c.declared;
        EXPECT_EQ(provider.TypeCode(declared), c.code) << c.declared;
        EXPECT_EQ(sqlite::TextLength(declared).value_or(-1), c.length) << c.declared;
    }
}

TEST(SqliteStatementTest, CatalogueStatementsQuoteTableNames) {
    EXPECT_EQ(sqlite::Literal(QStringLiteral("O'Brien")), "'O''Brien'");
    EXPECT_EQ(sqlite::TableInfoStatement(QStringLiteral("Cliente's")),
              "SELECT cid, name, type, \"notnull\", dflt_value, pk "
              "FROM pragma_table_info('Cliente''s') ORDER BY cid");
    EXPECT_EQ(sqlite::ForeignKeysStatement(QStringLiteral("a'b")),
              "SELECT id, seq, \"table\", \"from\", \"to\", on_update, on_delete "
              "FROM pragma_foreign_key_list('a''b') ORDER BY id DESC, seq");
    EXPECT_EQ(sqlite::ExistingFileUri(QStringLiteral("/tmp/a b#c?.db")),
              "file:///tmp/a%20b%23c%3F.db?mode=rw");
}

TEST(SqliteStatementTest, WithoutRowidIsReadFromTheTableOptions) {
    EXPECT_TRUE(
        sqlite::IsWithoutRowid(QStringLiteral("CREATE TABLE a (x PRIMARY KEY) WITHOUT ROWID")));
    EXPECT_TRUE(sqlite::IsWithoutRowid(
        QStringLiteral("CREATE TABLE a (x INT PRIMARY KEY) strict, without  rowid")));
    EXPECT_FALSE(sqlite::IsWithoutRowid(QStringLiteral("CREATE TABLE without_rowid (x)")));
    EXPECT_FALSE(
        sqlite::IsWithoutRowid(QStringLiteral("CREATE TABLE a (x DEFAULT 'WITHOUT ROWID')")));
}

} // namespace
} // namespace tessaro::test
