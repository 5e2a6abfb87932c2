#include "editing/Salvataggio.h"

#include "data/Database.h"
#include "data/TessaroError.h"
#include "data/Values.h"
#include "host/MessageBox.h"
#include "language/modLanguageSupport.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
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

// A value the column would store otherwise than typed (fractions of a second it drops).
MessaggioSalvataggio NonConservato(const ColonnaServita& c) {
    return Avviso(GetMessage(QStringLiteral("TQ16")) + QLatin1Char(' ') + c.tag +
                  QLatin1Char('\r') + GetMessage(QStringLiteral("TQ76")));
}

// The milliseconds of a time fit the digits of a second's fraction the column keeps.
bool FrazioneConservata(const QTime& t, int cifre) {
    int passo = 1;
    for (int i = std::max(cifre, 0); i < 3; ++i)
        passo *= 10;
    return cifre < 0 || t.msec() % passo == 0;
}

MessaggioSalvataggio DataNonValida(const ColonnaServita& c) {
    return Avviso(GetMessage(QStringLiteral("TQ23")) + QLatin1Char(' ') + c.tag,
                  MsgStyle::Critical);
}

// A message key followed by the control's Tag.
MessaggioSalvataggio SulCampo(const char* chiave, const ColonnaServita& c) {
    return Avviso(GetMessage(QString::fromLatin1(chiave)) + QLatin1Char(' ') + c.tag);
}

MessaggioSalvataggio VoceNonInElenco(const ColonnaServita& c) {
    QString testo = GetMessage(QStringLiteral("TQ42"));
    testo.replace(QStringLiteral("[[Tag]]"), c.nome);
    return Avviso(testo);
}

QString TestoTraApici(const QString& testo, const Dialetto& d) {
    return QLatin1Char('\'') + d.EscapeTesto(testo) + QLatin1Char('\'');
}

QString LetteraleOra(const QTime& t, const Dialetto& d) {
    const QString testo = ValueToText(t);
    return d.DateSoloLetterali ? QLatin1Char('#') + testo + QLatin1Char('#')
                               : QLatin1Char('\'') + testo + QLatin1Char('\'');
}

bool SenzaSegno(short tipo) {
    return tipo == DbType::UnsignedTinyInt || tipo == DbType::UnsignedSmallInt ||
           tipo == DbType::UnsignedInt || tipo == DbType::UnsignedBigInt;
}

// A number typed for a column that is not an integer: it must fit the column
// as typed, never be rounded or overflow into something else.
Letterale NumeroPerColonna(const ColonnaServita& c) {
    const auto numero = TypedNumber(c.testo);
    if (!numero)
        return NumeroNonValido(c);
    if (c.precisione > 0 && !FitsDecimal(*numero, c.precisione, c.scala))
        return NumeroNonValido(c);
    // A value so small that the column would hold 0 instead.
    static const QRegularExpression nonZero(QStringLiteral("^[^eE]*[1-9]"));
    if (numero->toDouble() == 0.0 && numero->contains(nonZero))
        return NumeroNonValido(c);
    return *numero;
}

Letterale DaCasellaDiTesto(const ColonnaServita& c, const Dialetto& d, ModoSalvataggio modo) {
    const QString& testo = c.testo;
    const bool nuovo = modo == ModoSalvataggio::Inserimento;
    if (testo.contains(QChar(0)))
        return SulCampo("TQ48", c);
    // Only the database writes it, and a changed value would be refused there.
    if (c.sempreGenerata)
        return nuovo && testo.trimmed().isEmpty() ? QString::fromLatin1(d.ValoreGenerato)
                                                  : Letterale(SulCampo("TQ78", c));
    if (testo.trimmed().isEmpty()) {
        // A key the database does not number itself must be given.
        if (c.chiavePrimaria && !(c.autoIncremento && nuovo))
            return SulCampo("TQ49", c);
        return c.autoIncremento && nuovo ? QString::fromLatin1(d.ValoreGenerato) : kNull;
    }
    switch (GruppoDi(c.tipo)) {
    case GruppoColonna::Carattere:
        if (c.lunghezzaMassima != 0 && LunghezzaInCaratteri(testo) > c.lunghezzaMassima)
            return TroppoLungo(c);
        return TestoTraApici(testo, d);
    case GruppoColonna::Intero: {
        // Only a whole number: "3,5" would be two values of the statement.
        const auto numero = TypedNumber(testo);
        if (!numero || !Fits64Bits(*numero, SenzaSegno(c.tipo)))
            return NumeroNonValido(c);
        return *numero;
    }
    case GruppoColonna::Logico: {
        // 0, 1 or -1 only: a number too long for 64 bits must not read as 0.
        const auto numero = TypedNumber(testo);
        bool intero = false;
        const qint64 v = numero && IsWholeNumber(*numero) ? numero->toLongLong(&intero) : 0;
        if (!intero || v < -1 || v > 1)
            return NumeroNonValido(c);
        if (d.LogiciInParole)
            return QString::fromLatin1(v != 0 ? d.ValoreVero : d.ValoreFalso);
        return QString::number(v);
    }
    case GruppoColonna::Data: {
        const auto data = ParseDate(testo.trimmed());
        if (!data)
            return DataNonValida(c);
        if (!FrazioneConservata(data->time(), c.cifreSecondi))
            return NonConservato(c);
        return d.LetteraleData(*data);
    }
    case GruppoColonna::Ora: {
        const auto ora = ParseTime(testo);
        if (!ora)
            return SulCampo("TQ50", c);
        if (!FrazioneConservata(*ora, c.cifreSecondi))
            return NonConservato(c);
        return LetteraleOra(*ora, d);
    }
    case GruppoColonna::AltroNumero:
        return NumeroPerColonna(c);
    }
    return kNull;
}

Letterale LetteraleDi(const ColonnaServita& c, const Dialetto& d, ModoSalvataggio modo) {
    switch (c.fonte) {
    case FonteValore::Testo:
        return DaCasellaDiTesto(c, d, modo);
    case FonteValore::Spunta:
        return QString::fromLatin1(c.spuntata ? d.ValoreVero : d.ValoreFalso);
    case FonteValore::ChiaveCombo:
        return LetteraleChiave(c.tipo, c.testo, d);
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
    return d.Nome(nome);
}

// The key of the saved record in the fixed form of keys: a text box shows
// numbers and dates the user's way.
QString TestoChiaveServita(const ColonnaServita& c) {
    if (c.fonte != FonteValore::Testo && c.fonte != FonteValore::ChiaveCombo)
        return QString();
    if (c.testo.trimmed().isEmpty())
        return QString();
    if (c.fonte == FonteValore::ChiaveCombo)
        return c.testo;
    switch (GruppoDi(c.tipo)) {
    case GruppoColonna::Intero:
    case GruppoColonna::AltroNumero:
        return TypedNumber(c.testo).value_or(c.testo);
    case GruppoColonna::Data:
        if (const auto data = ParseDate(c.testo))
            return ValueToText(*data);
        return c.testo;
    default:
        return c.testo;
    }
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
    case DbType::Boolean:
        return GruppoColonna::Logico;
    case DbType::Date:
    case DbType::DbTimeStamp:
        return GruppoColonna::Data;
    case DbType::DbTime:
        return GruppoColonna::Ora;
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
    case GruppoColonna::Logico:
        // PostgreSQL compares a Boolean with a literal it reads ('1', 't'), not a number.
        if (dialetto.LogiciInParole)
            return TestoTraApici(valore, dialetto);
        [[fallthrough]];
    case GruppoColonna::AltroNumero:
        // A decimal key is compared by value; text kept in a column of numeric
        // affinity (a legacy SQLite file) only as text.
        if (IsNumeric(valore))
            return QString(valore).trimmed().replace(QLatin1Char(','), QLatin1Char('.'));
        return TestoTraApici(valore, dialetto);
    case GruppoColonna::Carattere:
    case GruppoColonna::Ora:
        break;
    }
    return TestoTraApici(valore, dialetto);
}

std::optional<QVariant> ValoreChiaveLegato(short tipo, const QString& valore,
                                           const Dialetto& dialetto) {
    switch (GruppoDi(tipo)) {
    case GruppoColonna::Intero: {
        bool ok = false;
        const qlonglong n = LetteraleChiave(tipo, valore, dialetto).toLongLong(&ok);
        if (!ok)
            return std::nullopt;
        return QVariant(n);
    }
    case GruppoColonna::Data:
        if (dialetto.DateSoloLetterali)
            return std::nullopt;
        return QVariant(valore);
    case GruppoColonna::Logico:
    case GruppoColonna::AltroNumero:
        if (IsNumeric(valore))
            return std::nullopt;
        return QVariant(valore);
    case GruppoColonna::Carattere:
    case GruppoColonna::Ora:
        break;
    }
    return QVariant(valore);
}

QString CondizioneSuChiave(const QString& nome, short tipo, const QString& valore,
                           const Dialetto& dialetto) {
    return nome + QStringLiteral(" = ") + LetteraleChiave(tipo, valore, dialetto);
}

QString CondizioneSuChiave(const ChiaveRecord& chiave, const Dialetto& dialetto,
                           const QString& tabella) {
    QStringList parti;
    for (const ParteChiave& p : chiave)
        parti << CondizioneSuChiave((tabella.isEmpty() ? QString() : tabella + QLatin1Char('.')) +
                                        dialetto.Nome(p.nome),
                                    p.tipo, ValueToText(p.valore), dialetto);
    return parti.join(QStringLiteral(" AND "));
}

TestiSalvataggio ComponiSalvataggio(const QString& tabella,
                                    const std::vector<ColonnaServita>& colonne,
                                    const ChiaveRecord& chiave, const Dialetto& dialetto,
                                    ModoSalvataggio modo) {
    const bool modifica = modo == ModoSalvataggio::Modifica;
    TestiSalvataggio r;
    QStringList nomi;
    QStringList valori;
    QStringList assegnazioni;
    // The key's parts as the form gives them, in key order.
    QStringList partiChiave(static_cast<qsizetype>(chiave.size()));
    for (const ColonnaServita& c : colonne) {
        for (std::size_t i = 0; i < chiave.size(); ++i)
            if (c.chiavePrimaria && chiave[i].nome.compare(c.nome, Qt::CaseInsensitive) == 0)
                partiChiave[static_cast<qsizetype>(i)] = TestoChiaveServita(c);
        // What the user left as it was is not written: other programs' values stay.
        if (modifica && !c.cambiata)
            continue;
        const Letterale letterale = LetteraleDi(c, dialetto, modo);
        if (const auto* m = std::get_if<MessaggioSalvataggio>(&letterale)) {
            r.messaggio = *m;
            return r;
        }
        const QString& V = std::get<QString>(letterale);
        r.chiaveCambiata = r.chiaveCambiata || (modifica && c.chiavePrimaria);
        const QString N = NomeNellaLista(c.nome, nomi.isEmpty(), dialetto);
        nomi << N;
        r.scritte << c.nome;
        valori << V;
        assegnazioni << N + QLatin1Char('=') + V;
    }
    if (std::none_of(partiChiave.begin(), partiChiave.end(),
                     [](const QString& p) { return p.isEmpty(); }))
        r.testoChiave = partiChiave.join(kSeparatoreChiave);
    if (!modifica) {
        // A key the database numbers comes back with the statement: one column only.
        const QString restituita =
            dialetto.ChiaveRestituita && chiave.size() == 1
                ? QStringLiteral(" RETURNING ") + dialetto.Nome(chiave.front().nome)
                : QString();
        r.statement = QStringLiteral("Insert Into ") + tabella + QStringLiteral(" (") +
                      nomi.join(QLatin1Char(',')) + QStringLiteral(") Values (") +
                      valori.join(QLatin1Char(',')) + QLatin1Char(')') + restituita +
                      QLatin1Char(';');
        return r;
    }
    if (assegnazioni.isEmpty())
        return r;
    // The row being edited is the one loaded, whatever the key box says now.
    r.statement = QStringLiteral("UPDATE ") + tabella + QStringLiteral(" SET ") +
                  assegnazioni.join(QLatin1Char(',')) + QStringLiteral(" WHERE (") +
                  CondizioneSuChiave(chiave, dialetto) + QStringLiteral(");");
    return r;
}

} // namespace tessaro
