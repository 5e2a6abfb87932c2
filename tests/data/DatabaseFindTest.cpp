#include "data/Values.h"
#include "support/Fixtures.h"

namespace tessaro::test {
namespace {

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

TEST_P(FindTest, SearchesFromTheCurrentRowInEitherDirection) {
    EXPECT_EQ(Search("Nome = 'Rossi'", 1), "40");
    EXPECT_EQ(Search("Nome = 'Rossi'", 3, adSearchForward, 1), "EOF");
    EXPECT_EQ(Search("Nome = 'Rossi'", 4, adSearchBackward), "40");
    EXPECT_EQ(Search("Nome = 'Rossi'", 3, adSearchBackward, 1), "10");
    EXPECT_EQ(Search("Nome = 'Rossi'", 0, adSearchBackward, 1), "BOF");
    EXPECT_EQ(Search("Nome = 'Bianchi'", 0, adSearchBackward, 0, adBookmarkLast), "30");
    // A text cell that reads "042" and number cells worth 42: the nearest wins.
    EXPECT_EQ(Search("Misto = 042", 1), "20");
    EXPECT_EQ(Search("Misto = 042", 2, adSearchBackward), "20");
    EXPECT_EQ(Search("Misto = 42.0", 2, adSearchBackward), "30");
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
