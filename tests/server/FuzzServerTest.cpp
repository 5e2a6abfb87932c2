// Random typing into a form on MariaDB (kind 2, where the backslash escapes
// inside literals); the run itself is shared with the SQLite one in
// tests/support/TypingFuzz.

#include "server/ServerFixture.h"
#include "support/TypingFuzz.h"

namespace tessaro::test {
namespace {

class FuzzServerTest : public BoxesTest {};

TEST_F(FuzzServerTest, TypedTextNeverChangesTheStatementOrAnotherRow) {
    REQUIRE_SERVER();
    ServerDatabase db;
    db.Exec(QStringList{"CREATE TABLE P (Id INT AUTO_INCREMENT PRIMARY KEY, Corto VARCHAR(5), "
                        "Medio VARCHAR(40), Lungo TEXT, Numero INT, Importo DOUBLE)"} +
            FuzzSampleRows());
    const auto conn = db.Open();
    TypingFuzz fuzz;
    ASSERT_TRUE(fuzz.Init(conn.get(), 2));
    FuzzPlan plan;
    // Backslashes in every position they can break a MySQL literal from.
    plan.pezzi = {"a",          "Z",          "0",       " ",           "'",   "''",  "\\",
                  "\\\\",       "\\'",        "'\\",     "\\n",         "\\0", "\\%", "\\_",
                  "\\Z",        ";",          "--",      "\n",          "\t",  "\"",  "%",
                  "_",          "/*",         "#",       "`",           "é",   "Ж",   "中",
                  "\U0001D11E", "\U0001F600", "O'Brien", "DROP TABLE P"};
    plan.interi = {{"12", true},       {"-7", true},   {" 42 ", true},
                   {"+5", true},       {"", true},     {"3,5", false},
                   {"1.5", false},     {"1e3", false}, {"1;DROP TABLE P", false},
                   {"0x1F", false},    {"1\\", false}, {"'1'", false},
                   {"1 OR 1=1", false}};
    plan.reali = {{"3,5", true},   {"-0.25", true}, {"1e3", true},      {".5", true},
                  {"", true},      {"abc", false},  {"1,000.5", false}, {"1;2", false},
                  {"1\\'", false}, {"5)", false}};
    plan.giri = 200;
    plan.minimoPerEsito = 40;
    fuzz.Run(boxes, plan);
}

} // namespace
} // namespace tessaro::test
