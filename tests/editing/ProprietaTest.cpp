// Random typing into a form on SQLite (kind 4); the run itself is shared with
// the MariaDB one in tests/support/TypingFuzz.

#include "support/Fixtures.h"
#include "support/TypingFuzz.h"

#include <gtest/gtest.h>

namespace tessaro::test {
namespace {

class ProprietaTest : public SqliteTest {};

TEST_F(ProprietaTest, TypedTextNeverChangesTheStatementOrAnotherRow) {
    UseScript("CREATE TABLE P (Id INTEGER PRIMARY KEY, Corto VARCHAR(5), Medio VARCHAR(40),"
              " Lungo TEXT, Numero INTEGER, Importo REAL);" +
              FuzzSampleRows().join(';'));
    TypingFuzz fuzz;
    ASSERT_TRUE(fuzz.Init(conn.get(), 4));
    FuzzPlan plan;
    plan.pezzi = {"a",  "b",          "Z",          "0",       "7",           " ",  "'", "''",
                  "\\", ";",          "--",         "\n",      "\t",          "\"", "%", "_",
                  "/*", "*/",         ")",          ",Note,",  "é",           "ß",  "Ж", "中",
                  "ع",  "\U0001D11E", "\U0001F600", "O'Brien", "DROP TABLE P"};
    // Whole numbers only for the integer column, numbers for the real one.
    plan.interi = {{"12", true},    {"-7", true},    {" 42 ", true},
                   {"+5", true},    {"", true},      {"3,5", false},
                   {"1.5", false},  {"1e3", false},  {"1;DROP TABLE P", false},
                   {"0x1F", false}, {"12--", false}, {"'1'", false},
                   {"1 2", false}};
    plan.reali = {{"3,5", true},  {"-0.25", true}, {"1e3", true},      {".5", true},
                  {"", true},     {"abc", false},  {"1,000.5", false}, {"1;2", false},
                  {"1--", false}, {"5)", false}};
    plan.giri = 300;
    plan.minimoPerEsito = 50;
    fuzz.Run(boxes, plan);
}

} // namespace
} // namespace tessaro::test
