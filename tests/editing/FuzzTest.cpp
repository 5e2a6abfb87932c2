// Random typing into a form, in two locales and on both engines: every save
// either shows the message of the first value its column cannot hold and
// writes nothing, or stores exactly what was typed into the fields typed in,
// leaving everything else as other programs stored it.

#include "support/FormFixtures.h"

#include <iostream>
#include <random>

namespace tessaro::test {
namespace {

const QStringList kPezzi = {
    "a",   "Z",   "0",          " ",          "'",      "''",      "\\",          "\\\\",
    "\\'", "'\\", "\\n",        "\\0",        "\\%",    ";",       "--",          "\n",
    "\t",  "\"",  "%",          "_",          "/*",     "#",       "`",           "é",
    "Ж",   "中",  "\U0001D11E", "\U0001F600", ",Note,", "O'Brien", "DROP TABLE P"};

// One field's typing: the text, and what the column then holds ("<null>" for
// Null), or the message when the column cannot hold it.
struct Digitato {
    QString testo;
    QString atteso;
    QString messaggio;
};

class Digitazione : public SuEntrambi<> {
protected:
    int Tra(int a, int b) { return std::uniform_int_distribution<int>(a, b)(rng); }
    QString Testo(int n) { // a text of exactly n characters
        QList<uint> cp;
        while (cp.size() < n)
            cp += kPezzi[Tra(0, int(kPezzi.size()) - 1)].toUcs4();
        cp.resize(n);
        return QString::fromUcs4(reinterpret_cast<const char32_t*>(cp.constData()), n);
    }
    Digitato Caratteri(const QString& campo, int max) {
        const int r = Tra(0, 11);
        QString t = Testo(r < 3 ? max : r < 4 ? max + 1 : Tra(0, max + 1));
        if (r == 11)
            t.insert(Tra(0, int(t.size())), QChar(0));
        if (t.contains(QChar(0)))
            return {t, {}, "TQ48 #" + campo};
        if (t.trimmed().isEmpty())
            return {t, "<null>", {}};
        if (max > 0 && t.toUcs4().size() > max)
            return {t, {}, QString("TQ16 #%1\rTQ17 %2 TQ18").arg(campo).arg(max)};
        return {t, t, {}};
    }
    // A whole number for a BIGINT, or an amount with two decimals for a
    // DECIMAL(12,2), written as the locale writes it, grouped or not.
    Digitato Numero(const QLocale& l, bool importo) {
        // Texts neither column holds, then two that only the other one would.
        static const QStringList sbagliati = {"1.2.3", "1,50,0", "abc", "0x1F",
                                              "1e309", "inf",    "5)",  "1;DROP TABLE P"};
        if (Tra(0, 4) == 0) {
            const int i = Tra(0, int(sbagliati.size()) + 1);
            const QString t = i < sbagliati.size() ? sbagliati[i]
                              : importo            ? (i % 2 ? "1.0055" : "12345678901")
                                                   : (i % 2 ? "3,5" : "9223372036854775808");
            return {t, {}, importo ? "TQ16 #Importo\rTQ19" : "TQ16 #Numero\rTQ19"};
        }
        QLocale scritto = l;
        scritto.setNumberOptions(Tra(0, 1) ? QLocale::DefaultNumberOptions
                                           : QLocale::OmitGroupSeparator);
        if (!importo) {
            const qint64 n = Tra(0, 3) == 0 ? std::numeric_limits<qint64>::min() + Tra(0, 9)
                                            : qint64(Tra(-2000000, 2000000)) * Tra(1, 1000);
            return {scritto.toString(n), QString::number(n), {}};
        }
        const qint64 centesimi = qint64(Tra(-500000, 500000)) * Tra(1, 200);
        return {scritto.toString(centesimi / 100.0, 'f', Tra(0, 1) || centesimi % 10 != 0 ? 2 : 1),
                QString::number(centesimi / 100.0, 'f', 2),
                {}};
    }
    Digitato Giorno() {
        if (Tra(0, 5) == 0)
            return {"2024-02-30", {}, "TQ23 #Giorno"};
        const QDate d = QDate(1, 1, 1).addDays(Tra(0, 800000));
        return {d.toString("yyyy-MM-dd"), d.toString("yyyy-MM-dd"), {}};
    }

    std::mt19937 rng{20240305};
};

// Every column's text as the database now holds it, amounts as numbers.
QStringList Righe(Banco& b) {
    QStringList out;
    for (const QString& r : b.Rows("SELECT * FROM P ORDER BY 1")) {
        QStringList c = r.split('|');
        if (c[4] != "<null>")
            c[4] = QString::number(c[4].toDouble(), 'f', 2);
        out << c.join('|');
    }
    return out;
}

TEST_P(Digitazione, WhatIsTypedIsStoredExactlyAndNothingElseChanges) {
    const bool sqlite = Engine() == Motore::Sqlite;
    Schema({"CREATE TABLE P (Id {AUTO}, Corto VARCHAR(5), Lungo TEXT, Numero BIGINT, "
            "Importo DECIMAL(12,2), Giorno DATE)",
            // What other programs stored: empty texts, CRLF, a year before 1000.
            "INSERT INTO P VALUES (1, '', 'a\r\nb', NULL, 1.5, '0024-05-05'), "
            "(2, 'x', '', 7, NULL, NULL), (3, 'c3', 'lungo', -3, 0, '2024-03-05')"});
    txtId = AddText("txtId", "#Id");
    QLineEdit* campi[] = {AddText("txtCorto", "#Corto"), nullptr, AddText("txtNumero", "#Numero"),
                          AddText("txtImporto", "#Importo"), AddText("txtGiorno", "#Giorno")};
    auto* lungo = AddTagged<QPlainTextEdit>("txtLungo", "#Lungo");
    ASSERT_TRUE(Init("P", "Id"));
    nav.MessaggioConfermaNuovoDisabilitato = true;
    for (const QLocale& locale : {QLocale(QLocale::Italian, QLocale::Italy),
                                  QLocale(QLocale::English, QLocale::UnitedStates)}) {
        LocaleScope scope(locale);
        int digitati = 0, esatti = 0, rifiutati = 0, diversi = 0, toccati = 0;
        for (int giro = 0; giro < 150; ++giro) {
            SCOPED_TRACE(giro);
            const QStringList prima = Righe(*banco);
            const bool nuovo = Tra(0, 4) == 0;
            QString chiave;
            if (nuovo) {
                nav.Addnew();
            } else {
                chiave = prima[Tra(0, int(prima.size()) - 1)].section('|', 0, 0);
                EditRecord(chiave);
            }
            // Each field typed into or left alone (a new record starts empty).
            std::vector<std::optional<Digitato>> scelte = {
                Caratteri("Corto", 5), Caratteri("Lungo", 0), Numero(locale, false),
                Numero(locale, true), Giorno()};
            QString messaggio;
            for (std::size_t i = 0; i < scelte.size(); ++i) {
                if (Tra(0, 2) == 0) {
                    scelte[i].reset();
                    continue;
                }
                ++digitati;
                // Typing what the field already shows changes nothing.
                const QString mostrato = i == 1 ? lungo->toPlainText() : campi[i]->text();
                if (i == 1)
                    lungo->setPlainText(scelte[i]->testo);
                else
                    campi[i]->setText(scelte[i]->testo);
                if (!nuovo && mostrato == (i == 1 ? lungo->toPlainText() : campi[i]->text())) {
                    scelte[i].reset();
                    continue;
                }
                if (messaggio.isEmpty())
                    messaggio = scelte[i]->messaggio;
            }
            if (!messaggio.isEmpty()) {
                ExpectOneBox([&] { nav.Update(); }, messaggio,
                             messaggio.startsWith("TQ23") ? 16 : 48, "TQ02");
                toccati += Righe(*banco) != prima;
                EXPECT_EQ(nav.State(), nuovo ? 5 : 6);
                nav.Annulla();
                ++rifiutati;
                continue;
            }
            nav.Update();
            const QStringList dopo = Righe(*banco);
            if (nuovo)
                chiave = Id();
            for (const QString& riga : dopo) {
                const QString id = riga.section('|', 0, 0);
                const QString vecchia = prima.filter(QRegularExpression("^" + id + "\\|")).value(0);
                QStringList attesa =
                    (vecchia.isEmpty() ? id + "|<null>|<null>|<null>|<null>|<null>" : vecchia)
                        .split('|');
                if (id == chiave)
                    for (std::size_t i = 0; i < scelte.size(); ++i)
                        if (scelte[i]) {
                            const QString esatto = scelte[i]->atteso;
                            diversi += riga.split('|')[int(i) + 1] != esatto;
                            attesa[int(i) + 1] = esatto;
                        }
                toccati += riga != attesa.join('|');
            }
            esatti +=
                std::count_if(scelte.begin(), scelte.end(), [](const auto& s) { return !!s; });
            EXPECT_EQ(dopo.size(), prima.size() + (nuovo ? 1 : 0));
        }
        std::cout << (sqlite ? "SQLite " : "MariaDB ") << locale.name().toStdString() << ": "
                  << digitati << " values typed, " << esatti << " stored exactly, " << rifiutati
                  << " saves refused, " << diversi << " stored differently, " << toccati
                  << " untouched values changed\n";
        EXPECT_EQ(diversi, 0);
        EXPECT_EQ(toccati, 0);
        EXPECT_GT(esatti, 100);
        EXPECT_GT(rifiutati, 20);
    }
}

INSTANTIATE_FOR_ENGINES(Digitazione);

} // namespace
} // namespace tessaro::test
