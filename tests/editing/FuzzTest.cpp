// Random typing into a form: whatever is typed, the save either shows the right
// message and writes nothing, or stores exactly what was typed in its one row.

#include "data/Values.h"
#include "editing/Salvataggio.h"
#include "support/FormFixtures.h"

#include <random>

namespace tessaro::test {
namespace {

// Texts typed into Numero (whole numbers) and Importo (numbers), with whether
// they are valid; and the pieces random texts are made of.
const std::vector<std::pair<QString, bool>> kInteri = {
    {"12", true},       {"-7", true},   {" 42 ", true},
    {"+5", true},       {"", true},     {"3,5", false},
    {"1.5", false},     {"1e3", false}, {"1;DROP TABLE P", false},
    {"0x1F", false},    {"1\\", false}, {"'1'", false},
    {"1 OR 1=1", false}};
const std::vector<std::pair<QString, bool>> kReali = {
    {"3,5", true},  {"-0.25", true},    {"1e3", true},  {".5", true},    {"", true},
    {"abc", false}, {"1,000.5", false}, {"1;2", false}, {"1\\'", false}, {"5)", false}};
const QStringList kPezzi = {
    "a",   "Z",   "0",          " ",          "'",      "''",      "\\",          "\\\\",
    "\\'", "'\\", "\\n",        "\\0",        "\\%",    ";",       "--",          "\n",
    "\t",  "\"",  "%",          "_",          "/*",     "#",       "`",           "é",
    "Ж",   "中",  "\U0001D11E", "\U0001F600", ",Note,", "O'Brien", "DROP TABLE P"};

using Digitazione = SuEntrambi<>;

TEST_P(Digitazione, TypedTextNeverChangesTheStatementOrAnotherRow) {
    QStringList schema = {"CREATE TABLE P (Id {AUTO}, Corto VARCHAR(5), Medio VARCHAR(40), "
                          "Lungo TEXT, Numero INTEGER, Importo DOUBLE)"};
    for (int i = 1; i <= 6; ++i)
        schema
            << QString("INSERT INTO P VALUES (%1, 'c%1', 'medio %1', 'lungo %1', %1, %1.5)").arg(i);
    Schema(schema);
    QLineEdit* id = txtId = AddText("txtId", "#Id");
    QLineEdit* corto = AddText("txtCorto", "#Corto");
    QLineEdit* medio = AddText("txtMedio", "#Medio");
    auto* lungo = AddTagged<QPlainTextEdit>("txtLungo", "#Lungo");
    QLineEdit* numero = AddText("txtNumero", "#Numero");
    QLineEdit* importo = AddText("txtImporto", "#Importo");
    ASSERT_TRUE(Init("P", "Id"));
    nav.MessaggioConfermaNuovoDisabilitato = true;

    std::mt19937 rng(20240305);
    const auto tra = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(rng); };
    const auto testo = [&](int n) { // a text of exactly n characters
        QList<uint> cp;
        while (cp.size() < n)
            cp += kPezzi[tra(0, int(kPezzi.size()) - 1)].toUcs4();
        cp.resize(n);
        return QString::fromUcs4(reinterpret_cast<const char32_t*>(cp.constData()), n);
    };
    const auto perLunghezza = [&](int max) { // often the limit or one more
        const int r = tra(0, 9);
        return testo(r < 3 ? max : r < 4 ? max + 1 : tra(0, max + 1));
    };
    const auto uno = [&](const auto& elenco) -> const std::pair<QString, bool>& {
        const bool valido = tra(0, 3) != 0; // mostly valid, so both outcomes stay frequent
        for (;;)
            if (const auto& c = elenco[tra(0, int(elenco.size()) - 1)]; c.second == valido)
                return c;
    };
    const auto atteso = [](const QString& t, bool numerico) -> QString {
        if (t.trimmed().isEmpty())
            return "<null>";
        return numerico ? ValueToText(*NumericValue(t)) : t;
    };
    const auto lungoPer = [](const QString& t, int max) {
        return !t.trimmed().isEmpty() && LunghezzaInCaratteri(t) > max;
    };
    int salvati = 0;
    int rifiutati = 0;
    for (int giro = 0; giro < 200; ++giro) {
        SCOPED_TRACE(giro);
        const QStringList prima = banco->Rows("SELECT * FROM P ORDER BY 1");
        const bool nuovo = tra(0, 4) == 0;
        QString chiave;
        if (nuovo) {
            nav.Addnew();
            const int r = tra(0, 3);
            chiave = r == 0 ? "k" + testo(tra(0, 4)) : r == 1 ? QString::number(1000 + giro) : "";
            id->setText(chiave);
        } else {
            chiave = prima[tra(0, int(prima.size()) - 1)].section('|', 0, 0);
            EditRecord(chiave);
        }
        const auto& intero = uno(kInteri);
        const auto& reale = uno(kReali);
        corto->setText(perLunghezza(5));
        medio->setText(perLunghezza(40));
        lungo->setPlainText(testo(tra(0, 120)));
        numero->setText(intero.first);
        importo->setText(reale.first);
        QString messaggio;
        if (nuovo && !chiave.trimmed().isEmpty() && !IsWholeNumber(chiave))
            messaggio = "TQ16 #Id\rTQ19";
        else if (lungoPer(corto->text(), 5))
            messaggio = "TQ16 #Corto\rTQ17 5 TQ18";
        else if (lungoPer(medio->text(), 40))
            messaggio = "TQ16 #Medio\rTQ17 40 TQ18";
        else if (!intero.second)
            messaggio = "TQ16 #Numero\rTQ19";
        else if (!reale.second)
            messaggio = "TQ16 #Importo\rTQ19";
        if (!messaggio.isEmpty()) {
            ExpectOneBox([&] { nav.Update(); }, messaggio, 48, "TQ02");
            EXPECT_EQ(banco->Rows("SELECT * FROM P ORDER BY 1"), prima);
            EXPECT_EQ(nav.State(), nuovo ? 5 : 6);
            nav.Annulla();
            ++rifiutati;
            continue;
        }
        const QString valori =
            QStringList{atteso(corto->text(), false), atteso(medio->text(), false),
                        atteso(lungo->toPlainText(), false), atteso(intero.first, true),
                        atteso(reale.first, true)}
                .join('|');
        nav.Update();
        ++salvati;
        if (!nuovo || !chiave.isEmpty()) {
            EXPECT_EQ(id->text(), chiave.trimmed());
        }
        const QString riga = id->text() + "|" + valori; // the form shows the saved record
        QStringList attese = prima;
        if (nuovo)
            attese << riga;
        for (QString& r : attese)
            if (!nuovo && r.section('|', 0, 0) == chiave)
                r = riga;
        QStringList dopo = banco->Rows("SELECT * FROM P ORDER BY 1");
        attese.sort();
        dopo.sort();
        ASSERT_EQ(dopo, attese);
        EXPECT_TRUE(nav.State() == 3 || nav.State() == 7);
    }
    EXPECT_GT(salvati, 40);
    EXPECT_GT(rifiutati, 40);
}

INSTANTIATE_FOR_ENGINES(Digitazione);

} // namespace
} // namespace tessaro::test
