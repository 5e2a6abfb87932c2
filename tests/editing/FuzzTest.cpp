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
    QString testo, atteso, messaggio;
};

class Digitazione : public SuEntrambi<> {
protected:
    int Tra(int a, int b) { return std::uniform_int_distribution<int>(a, b)(rng); }
    // Up to one character more than the column holds (max 0: no limit), at times with a NUL.
    Digitato Caratteri(const QString& campo, int max) {
        const int r = Tra(0, 11), m = max ? max : 40;
        const int n = r < 3 ? m : r < 4 ? m + 1 : Tra(0, m + 1);
        QList<uint> cp;
        while (cp.size() < n)
            cp += kPezzi[Tra(0, int(kPezzi.size()) - 1)].toUcs4();
        cp.resize(n);
        if (r == 11)
            cp.insert(Tra(0, n), 0);
        const QString t =
            QString::fromUcs4(reinterpret_cast<const char32_t*>(cp.constData()), cp.size());
        if (r == 11)
            return {t, {}, "TQ48 #" + campo};
        if (t.trimmed().isEmpty())
            return {t, "<null>", {}};
        if (max > 0 && n > max)
            return {t, {}, QString("TQ16 #%1\rTQ17 %2 TQ18").arg(campo).arg(max)};
        return {t, t, {}};
    }
    // A whole number for a BIGINT, or an amount with two decimals for a
    // DECIMAL(12,2), written as the locale writes it, grouped or not.
    Digitato Numero(const QLocale& l, bool importo) {
        // Texts neither column holds, then two that only the other one would.
        const QStringList sbagliati = (QString("1.2.3 1,50,0 abc 0x1F 1e309 inf 5) 1;DROP ") +
                                       (importo ? "1.0055 12345678901" : "3,5 9223372036854775808"))
                                          .split(' ');
        if (Tra(0, 4) == 0)
            return {
                sbagliati[Tra(0, 9)], {}, importo ? "TQ16 #Importo\rTQ19" : "TQ16 #Numero\rTQ19"};
        QLocale scritto = l;
        scritto.setNumberOptions(Tra(0, 1) ? QLocale::DefaultNumberOptions
                                           : QLocale::OmitGroupSeparator);
        const qint64 n = !importo && Tra(0, 3) == 0 ? std::numeric_limits<qint64>::min() + Tra(0, 9)
                                                    : qint64(Tra(-2000000, 2000000)) * Tra(1, 1000);
        if (!importo)
            return {scritto.toString(n), QString::number(n), {}};
        // Cents, written with one decimal when the last one is 0 (at times).
        return {scritto.toString(n / 100.0, 'f', Tra(0, 1) || n % 10 != 0 ? 2 : 1),
                QString::number(n / 100.0, 'f', 2),
                {}};
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
    Schema({"CREATE TABLE P (Id {AUTO}, Corto VARCHAR(5), Lungo TEXT, Numero BIGINT, "
            "Importo DECIMAL(12,2))",
            // What other programs stored: empty texts and CRLF.
            "INSERT INTO P VALUES (1, '', 'a\r\nb', NULL, 1.5), (2, 'x', '', 7, NULL), "
            "(3, 'c3', 'lungo', -3, 0)"});
    txtId = AddText("txtId", "#Id");
    QLineEdit* campi[] = {AddText("txtCorto", "#Corto"), nullptr, AddText("txtNumero", "#Numero"),
                          AddText("txtImporto", "#Importo")};
    auto* lungo = AddTagged<QPlainTextEdit>("txtLungo", "#Lungo");
    const auto mostrato = [&](int i) { return i == 1 ? lungo->toPlainText() : campi[i]->text(); };
    ASSERT_TRUE(Init("P", "Id"));
    nav.MessaggioConfermaNuovoDisabilitato = true;
    for (const QLocale& locale : {QLocale(QLocale::Italian, QLocale::Italy),
                                  QLocale(QLocale::English, QLocale::UnitedStates)}) {
        LocaleScope scope(locale);
        int digitati = 0, esatti = 0, rifiutati = 0, diversi = 0, toccati = 0;
        for (int giro = 0; giro < 150; ++giro) {
            const QStringList prima = Righe(*banco);
            const bool nuovo = Tra(0, 4) == 0;
            QString chiave = prima[Tra(0, int(prima.size()) - 1)].section('|', 0, 0);
            if (nuovo)
                nav.Addnew();
            else
                EditRecord(chiave);
            // Each field typed into or left alone (a new record starts empty).
            std::optional<Digitato> scelte[] = {Caratteri("Corto", 5), Caratteri("Lungo", 0),
                                                Numero(locale, false), Numero(locale, true)};
            QString messaggio;
            for (int i = 0; i < 4; ++i) {
                const QString vecchio = mostrato(i);
                if (Tra(0, 2) > 0 && ++digitati)
                    i == 1 ? lungo->setPlainText(scelte[i]->testo)
                           : campi[i]->setText(scelte[i]->testo);
                if (vecchio == mostrato(i)) // left alone, or the same text again: no change
                    scelte[i].reset();
                else if (messaggio.isEmpty())
                    messaggio = scelte[i]->messaggio;
            }
            if (!messaggio.isEmpty()) {
                ExpectOneBox([&] { nav.Update(); }, messaggio, 48, "TQ02");
                toccati += Righe(*banco) != prima;
                EXPECT_EQ(nav.State(), nuovo ? 5 : 6);
                nav.Annulla();
                ++rifiutati;
                continue;
            }
            nav.Update();
            const QStringList dopo = Righe(*banco);
            EXPECT_EQ(dopo.size(), prima.size() + (nuovo ? 1 : 0));
            if (nuovo)
                chiave = Id();
            for (const QString& riga : dopo) {
                const QString id = riga.section('|', 0, 0);
                QStringList attesa = prima.filter(QRegularExpression("^" + id + "\\|"))
                                         .value(0, id + "|<null>|<null>|<null>|<null>")
                                         .split('|');
                for (int i = 0; id == chiave && i < 4; ++i)
                    if (scelte[i]) {
                        const bool esatto = riga.section('|', i + 1, i + 1) == scelte[i]->atteso;
                        esatti += esatto;
                        diversi += !esatto;
                        attesa[i + 1] = scelte[i]->atteso;
                    }
                toccati += riga != attesa.join('|');
            }
        }
        std::cout << (Engine() == Motore::Sqlite ? "SQLite " : "MariaDB ")
                  << locale.name().toStdString() << ": " << digitati << " values typed, " << esatti
                  << " stored exactly, " << rifiutati << " saves refused, " << diversi
                  << " stored differently, " << toccati << " untouched values changed\n";
        EXPECT_EQ(diversi, 0);
        EXPECT_EQ(toccati, 0);
        EXPECT_GT(esatti, 100);
        EXPECT_GT(rifiutati, 20);
    }
}

INSTANTIATE_FOR_ENGINES(Digitazione);

} // namespace
} // namespace tessaro::test
