#include "editing/Salvataggio.h"

#include "data/Database.h"
#include "data/TessaroError.h"
#include "data/Values.h"
#include "host/MessageBox.h"
#include "language/modLanguageSupport.h"

#include <QStringList>
#include <variant>

namespace tessaro {

namespace {

using Letterale = std::variant<QString, MessaggioSalvataggio>;

const QString kNull = QStringLiteral("Null");

MessaggioSalvataggio Avviso(const QString& testo, int stile = MsgStyle::Exclamation) {
    return {testo, stile, GetMessage(QStringLiteral("TQ02"))};
}

MessaggioSalvataggio TroppoLungo(const ColonnaServita& c) {
    return Avviso(GetMessage(QStringLiteral("TQ16")) + QLatin1Char(' ') + c.tag +
                  QLatin1Char('\r') + GetMessage(QStringLiteral("TQ17")) + QLatin1Char(' ') +
                  QString::number(c.lunghezzaMassima) + QLatin1Char(' ') +
                  GetMessage(QStringLiteral("TQ18")));
}

MessaggioSalvataggio NumeroNonValido(const ColonnaServita& c) {
    return Avviso(GetMessage(QStringLiteral("TQ16")) + QLatin1Char(' ') + c.tag +
                  QLatin1Char('\r') + GetMessage(QStringLiteral("TQ19")));
}

MessaggioSalvataggio DataNonValida(const ColonnaServita& c) {
    return Avviso(GetMessage(QStringLiteral("TQ23")) + QLatin1Char(' ') + c.tag,
                  MsgStyle::Critical);
}

MessaggioSalvataggio VoceNonInElenco(const ColonnaServita& c) {
    QString testo = GetMessage(QStringLiteral("TQ42"));
    testo.replace(QStringLiteral("[[Tag]]"), c.nome);
    return Avviso(testo);
}

QString TestoTraApici(const QString& testo, const Dialetto& d) {
    return QLatin1Char('\'') + d.EscapeTesto(testo) + QLatin1Char('\'');
}

Letterale DaCasellaDiTesto(const ColonnaServita& c, const Dialetto& d) {
    const QString& testo = c.testo;
    if (testo.trimmed().isEmpty())
        return kNull;
    switch (GruppoDi(c.tipo)) {
    case GruppoColonna::Carattere:
        if (c.lunghezzaMassima != 0 && LunghezzaInCaratteri(testo) > c.lunghezzaMassima)
            return TroppoLungo(c);
        return TestoTraApici(testo, d);
    case GruppoColonna::Intero:
        // Only a whole number: "3,5" would be two values of the statement.
        if (!IsWholeNumber(testo))
            return NumeroNonValido(c);
        return testo;
    case GruppoColonna::Data: {
        const auto data = ParseDate(testo.trimmed());
        if (!data)
            return DataNonValida(c);
        return d.LetteraleData(*data);
    }
    case GruppoColonna::AltroNumero:
        if (!IsNumeric(testo))
            return NumeroNonValido(c);
        return QString(testo).replace(QLatin1Char(','), QLatin1Char('.'));
    }
    return kNull;
}

Letterale DaChiaveCombo(const ColonnaServita& c, const Dialetto& d) {
    if (GruppoDi(c.tipo) == GruppoColonna::Carattere)
        return TestoTraApici(c.testo, d);
    if (!IsWholeNumber(c.testo))
        TessaroError::Raise(Err::InvalidCall);
    return c.testo.trimmed();
}

Letterale LetteraleDi(const ColonnaServita& c, const Dialetto& d) {
    switch (c.fonte) {
    case FonteValore::Testo:
        return DaCasellaDiTesto(c, d);
    case FonteValore::Spunta:
        return c.spuntata ? QString::fromLatin1(d.ValoreVero) : QStringLiteral("0");
    case FonteValore::ChiaveCombo:
        return DaChiaveCombo(c, d);
    case FonteValore::Nullo:
        return kNull;
    case FonteValore::VoceSconosciuta:
        return VoceNonInElenco(c);
    }
    return kNull;
}

// Note and Password are reserved where the dialect says so. Written as the
// column lists always were: bare in the first place, bracketed after a comma.
QString NomeNellaLista(const QString& nome, bool primo, const Dialetto& d) {
    if (!primo && d.ParentesiNotePassword &&
        (nome == QLatin1String("Note") || nome == QLatin1String("Password")))
        return QLatin1Char('[') + nome + QLatin1Char(']');
    return nome;
}

QString TestoChiaveServita(const ColonnaServita& c) {
    if (c.fonte != FonteValore::Testo && c.fonte != FonteValore::ChiaveCombo)
        return QString();
    return c.testo.trimmed().isEmpty() ? QString() : c.testo;
}

} // namespace

GruppoColonna GruppoDi(int tipoDati) {
    switch (tipoDati) {
    case DbType::Char:
    case DbType::WChar:
    case DbType::Guid:
    case 200: // varchar
    case 201: // long varchar
    case 202: // varwchar
    case 203: // long varwchar
        return GruppoColonna::Carattere;
    case DbType::SmallInt:
    case DbType::Integer:
    case DbType::TinyInt:
    case DbType::UnsignedTinyInt:
    case DbType::UnsignedSmallInt:
    case DbType::UnsignedInt:
    case DbType::BigInt:
    case DbType::UnsignedBigInt:
        return GruppoColonna::Intero;
    case DbType::Date:
    case DbType::DbTimeStamp:
        return GruppoColonna::Data;
    default:
        return GruppoColonna::AltroNumero;
    }
}

long LunghezzaInCaratteri(const QString& testo) {
    return static_cast<long>(testo.toUcs4().size());
}

QString LetteraleChiave(short tipo, const QString& valore, const Dialetto& dialetto) {
    switch (GruppoDi(tipo)) {
    case GruppoColonna::Intero:
        if (!IsWholeNumber(valore))
            TessaroError::Raise(Err::InvalidCall);
        return valore.trimmed();
    case GruppoColonna::Data:
        // Elsewhere the text read back is the exact value: SQLite compares the
        // stored text, servers convert a quoted ISO date themselves.
        if (dialetto.DateSoloLetterali) {
            const auto data = ParseDate(valore.trimmed());
            if (!data)
                TessaroError::Raise(Err::InvalidCall);
            return dialetto.LetteraleData(*data);
        }
        return TestoTraApici(valore, dialetto);
    case GruppoColonna::AltroNumero:
        // A decimal key is compared by value; text kept in a column of numeric
        // affinity (a legacy SQLite file) only as text.
        if (IsNumeric(valore))
            return QString(valore).trimmed().replace(QLatin1Char(','), QLatin1Char('.'));
        return TestoTraApici(valore, dialetto);
    case GruppoColonna::Carattere:
        break;
    }
    return TestoTraApici(valore, dialetto);
}

QString CondizioneSuChiave(const QString& nome, short tipo, const QString& valore,
                           const Dialetto& dialetto) {
    return nome + QStringLiteral(" = ") + LetteraleChiave(tipo, valore, dialetto);
}

TestiSalvataggio ComponiSalvataggio(const QString& tabella,
                                    const std::vector<ColonnaServita>& colonne,
                                    const ChiaveRecord& chiave, const Dialetto& dialetto) {
    TestiSalvataggio r;
    QStringList nomi;
    QStringList valori;
    QStringList assegnazioni;
    for (const ColonnaServita& c : colonne) {
        const Letterale letterale = LetteraleDi(c, dialetto);
        if (const auto* m = std::get_if<MessaggioSalvataggio>(&letterale)) {
            r.messaggio = *m;
            return r;
        }
        const QString& V = std::get<QString>(letterale);
        const QString N = NomeNellaLista(c.nome, nomi.isEmpty(), dialetto);
        nomi << N;
        valori << V;
        assegnazioni << N + QLatin1Char('=') + V;
        if (c.chiavePrimaria)
            r.testoChiave = TestoChiaveServita(c);
    }
    // The row being edited is the one loaded, whatever the key box says now.
    QString condizione;
    if (!chiave.nome.isEmpty() && !chiave.valore.isNull())
        condizione =
            CondizioneSuChiave(chiave.nome, chiave.tipo, ValueToText(chiave.valore), dialetto);
    r.insert = QStringLiteral("Insert Into ") + tabella + QStringLiteral(" (") +
               nomi.join(QLatin1Char(',')) + QStringLiteral(") Values (") +
               valori.join(QLatin1Char(',')) + QStringLiteral(");");
    r.update = QStringLiteral("UPDATE ") + tabella + QStringLiteral(" SET ") +
               assegnazioni.join(QLatin1Char(',')) + QStringLiteral(" WHERE (") + condizione +
               QStringLiteral(");");
    return r;
}

} // namespace tessaro
