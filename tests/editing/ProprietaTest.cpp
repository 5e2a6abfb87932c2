#include "EditingFixture.h"

#include <gtest/gtest.h>
#include <random>

namespace tessaro::test {

namespace {

struct Candidato {
    const char* testo;
    bool valido;
};

// Whole numbers only for the integer column, numbers for the real one.
const Candidato kInteri[] = {{"12", true},    {"-7", true},    {" 42 ", true},
                             {"+5", true},    {"", true},      {"3,5", false},
                             {"1.5", false},  {"1e3", false},  {"1;DROP TABLE P", false},
                             {"0x1F", false}, {"12--", false}, {"'1'", false},
                             {"1 2", false}};
const Candidato kReali[] = {{"3,5", true},  {"-0.25", true}, {"1e3", true},      {".5", true},
                            {"", true},     {"abc", false},  {"1,000.5", false}, {"1;2", false},
                            {"1--", false}, {"5)", false}};

const QStringList kPezzi = {
    "a",  "b",  "Z",  "0",  "7", " ",          "'",          "''",      "\\",          ";",
    "--", "\n", "\t", "\"", "%", "_",          "/*",         "*/",      ")",           ",Note,",
    "é",  "ß",  "Ж",  "中", "ع", "\U0001D11E", "\U0001F600", "O'Brien", "DROP TABLE P"};

class Generatore {
public:
    explicit Generatore(unsigned seme) : mRng(seme) {}

    int Tra(int da, int a) { return std::uniform_int_distribution<int>(da, a)(mRng); }

    // A text of exactly n characters.
    QString Testo(int n) {
        QList<uint> cp;
        while (cp.size() < n)
            cp += kPezzi[Tra(0, static_cast<int>(kPezzi.size()) - 1)].toUcs4();
        cp.resize(n);
        return QString::fromUcs4(reinterpret_cast<const char32_t*>(cp.constData()), cp.size());
    }
    // Often the column's maximum length or one more, otherwise anything around it.
    QString PerLunghezza(int massimo) {
        const int r = Tra(0, 9);
        if (r < 3)
            return Testo(massimo);
        if (r < 4)
            return Testo(massimo + 1);
        return Testo(Tra(0, massimo + 1));
    }
    // Mostly a valid one, so that both outcomes stay frequent.
    template <std::size_t N> const Candidato& Uno(const Candidato (&elenco)[N]) {
        const bool valido = Tra(0, 3) != 0;
        for (;;) {
            const Candidato& c = elenco[Tra(0, static_cast<int>(N) - 1)];
            if (c.valido == valido)
                return c;
        }
    }

private:
    std::mt19937 mRng;
};

QString Atteso(const QString& testo) {
    return testo.trimmed().isEmpty() ? QStringLiteral("<null>") : testo;
}

QString AttesoNumero(const QString& testo) {
    if (testo.trimmed().isEmpty())
        return QStringLiteral("<null>");
    return ValueToText(*NumericValue(testo));
}

} // namespace

class ProprietaTest : public EditingTest {
protected:
    void SetUp() override {
        EditingTest::SetUp();
        QString script = "CREATE TABLE P (Id INTEGER PRIMARY KEY, Corto VARCHAR(5),"
                         " Medio VARCHAR(40), Lungo TEXT, Numero INTEGER, Importo REAL);";
        for (int i = 1; i <= 6; ++i)
            script += QString("INSERT INTO P VALUES (%1, 'c%1', 'medio %1', 'lungo %1', %1, %1.5);")
                          .arg(i);
        UseScript(script);
        txtId = AddText("txtId", "#Id");
        txtCorto = AddText("txtCorto", "#Corto");
        txtMedio = AddText("txtMedio", "#Medio");
        txtLungo = AddPlain("txtLungo", "#Lungo");
        txtNumero = AddText("txtNumero", "#Numero");
        txtImporto = AddText("txtImporto", "#Importo");
        ASSERT_TRUE(Init("P", "Id"));
        nav.MessaggioConfermaNuovoDisabilitato = true;
    }

    // The message the save must show for what the form holds, or "" for none.
    QString MessaggioAtteso(const QString& id, bool nuovo, bool interoValido, bool realeValido) {
        const auto lungo = [](const QString& t, int max) {
            return !t.trimmed().isEmpty() && LunghezzaInCaratteri(t) > max;
        };
        if (nuovo && !id.trimmed().isEmpty() && !IsWholeNumber(id))
            return "TQ16 #Id\rTQ19";
        if (lungo(txtCorto->text(), 5))
            return "TQ16 #Corto\rTQ17 5 TQ18";
        if (lungo(txtMedio->text(), 40))
            return "TQ16 #Medio\rTQ17 40 TQ18";
        if (!interoValido)
            return "TQ16 #Numero\rTQ19";
        if (!realeValido)
            return "TQ16 #Importo\rTQ19";
        return QString();
    }

    QLineEdit* txtCorto = nullptr;
    QLineEdit* txtMedio = nullptr;
    QPlainTextEdit* txtLungo = nullptr;
    QLineEdit* txtNumero = nullptr;
    QLineEdit* txtImporto = nullptr;
};

// Whatever is typed, the save either shows the right message and writes
// nothing, or stores exactly what was typed in the one row it concerns.
TEST_F(ProprietaTest, TypedTextNeverChangesTheStatementOrAnotherRow) {
    Generatore g(20240305);
    int salvati = 0;
    int rifiutati = 0;
    for (int giro = 0; giro < 300; ++giro) {
        SCOPED_TRACE(giro);
        const QStringList prima = Rows("P");
        const bool nuovo = g.Tra(0, 4) == 0;
        QString chiave;
        if (nuovo) {
            nav.Addnew();
            const int r = g.Tra(0, 3);
            chiave = r == 0   ? "k" + g.Testo(g.Tra(0, 4))
                     : r == 1 ? QString::number(1000 + giro)
                              : "";
            txtId->setText(chiave);
        } else {
            chiave = prima[g.Tra(0, static_cast<int>(prima.size()) - 1)].section('|', 0, 0);
            nav.MoveTo(chiave);
            ASSERT_EQ(txtId->text(), chiave);
            nav.Edit();
        }
        ASSERT_EQ(nav.State(), nuovo ? 5 : 6);
        const Candidato& intero = g.Uno(kInteri);
        const Candidato& reale = g.Uno(kReali);
        txtCorto->setText(g.PerLunghezza(5));
        txtMedio->setText(g.PerLunghezza(40));
        txtLungo->setPlainText(g.Testo(g.Tra(0, 120)));
        txtNumero->setText(QString::fromUtf8(intero.testo));
        txtImporto->setText(QString::fromUtf8(reale.testo));
        const QString corto = txtCorto->text();
        const QString medio = txtMedio->text();
        const QString lungo = txtLungo->toPlainText();
        const QString messaggio = MessaggioAtteso(chiave, nuovo, intero.valido, reale.valido);

        if (!messaggio.isEmpty())
            boxes.Expect();
        nav.Update();
        ASSERT_TRUE(boxes.Unexpected().empty()) << boxes.Shown().back().text.toStdString();
        if (!messaggio.isEmpty()) {
            ASSERT_EQ(boxes.Shown().size(), 1u);
            EXPECT_EQ(boxes.Shown()[0].text, messaggio);
            EXPECT_EQ(Rows("P"), prima);
            EXPECT_EQ(nav.State(), nuovo ? 5 : 6);
            EXPECT_EQ(txtCorto->text(), corto);
            boxes.Clear();
            nav.Annulla();
            ++rifiutati;
            continue;
        }
        ++salvati;
        const QString id = txtId->text();
        const QString riga = id + "|" + Atteso(corto) + "|" + Atteso(medio) + "|" + Atteso(lungo) +
                             "|" + AttesoNumero(QString::fromUtf8(intero.testo)) + "|" +
                             AttesoNumero(QString::fromUtf8(reale.testo));
        QStringList attese = prima;
        if (nuovo) {
            if (!chiave.isEmpty()) {
                EXPECT_EQ(id, chiave.trimmed());
            }
            attese << riga;
        } else {
            EXPECT_EQ(id, chiave);
            for (QString& r : attese)
                if (r.section('|', 0, 0) == chiave)
                    r = riga;
        }
        attese.sort();
        QStringList dopo = Rows("P");
        dopo.sort();
        ASSERT_EQ(dopo, attese);
        // The form shows what was stored.
        EXPECT_EQ(txtCorto->text(), corto.trimmed().isEmpty() ? QString() : corto);
        EXPECT_EQ(txtLungo->toPlainText(), lungo.trimmed().isEmpty() ? QString() : lungo);
        EXPECT_EQ(nav.State() == 3 || nav.State() == 7, true);
    }
    // Both outcomes were exercised.
    EXPECT_GT(salvati, 50);
    EXPECT_GT(rifiutati, 50);
}

} // namespace tessaro::test
