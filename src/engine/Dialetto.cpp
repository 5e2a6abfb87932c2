#include "engine/Dialetto.h"

#include "data/PostgreSqlProvider.h"

#include <QRegularExpression>
#include <QSet>
#include <array>

namespace tessaro {

namespace {

QString Due(int n) {
    return QString::number(n).rightJustified(2, QLatin1Char('0'));
}

QString TopUno(const QString& K, const QString& T, const QString& O) {
    return QStringLiteral("Select TOP 1 (") + K + QStringLiteral(") from ") + T +
           QStringLiteral(" Order by ") + T + QLatin1Char('.') + O;
}

// The last record: LIMIT 1 of the reversed order.
QString UltimoLimitUno(const QString& K, const QString& T, const QString& O) {
    return QStringLiteral("Select ") + K + QStringLiteral(" from ") + T +
           QStringLiteral(" Order by ") + T + QLatin1Char('.') + O +
           QStringLiteral(" DESC LIMIT 1");
}

QString LimitUno(const QString& K, const QString& T, const QString& O) {
    return QStringLiteral("Select ") + K + QStringLiteral(" from ") + T +
           QStringLiteral(" Order by ") + T + QLatin1Char('.') + O + QStringLiteral(" LIMIT 1");
}

QString DoveEOrdine(const PartiPagina& p) {
    return (p.condizione.isEmpty() ? QString() : QStringLiteral(" WHERE ") + p.condizione) +
           QStringLiteral(" Order by ") + p.ordine;
}

QString PaginaLimit(const PartiPagina& p, int righe, qint64 salta) {
    return QStringLiteral("Select ") + p.colonne + QStringLiteral(" from ") + p.tabella +
           DoveEOrdine(p) + QStringLiteral(" LIMIT ") + QString::number(righe) +
           (salta > 0 ? QStringLiteral(" OFFSET ") + QString::number(salta) : QString());
}

QString PaginaTop(const PartiPagina& p, int righe) {
    return QStringLiteral("Select TOP ") + QString::number(righe) + QLatin1Char(' ') + p.colonne +
           QStringLiteral(" from ") + p.tabella + DoveEOrdine(p);
}

QString PaginaSqlServer(const PartiPagina& p, int righe, qint64 salta) {
    if (salta <= 0)
        return PaginaTop(p, righe);
    return QStringLiteral("Select ") + p.colonne + QStringLiteral(" from ") + p.tabella +
           DoveEOrdine(p) + QStringLiteral(" OFFSET ") + QString::number(salta) +
           QStringLiteral(" ROWS FETCH NEXT ") + QString::number(righe) +
           QStringLiteral(" ROWS ONLY");
}

// Jet has no OFFSET: the rows skipped are the first ones of the same order.
QString PaginaAccess(const PartiPagina& p, int righe, qint64 salta) {
    if (salta <= 0)
        return PaginaTop(p, righe);
    PartiPagina saltate = p;
    saltate.colonne = p.chiave;
    PartiPagina resto = p;
    const QString fuori =
        p.chiave + QStringLiteral(" NOT IN (") + PaginaTop(saltate, static_cast<int>(salta)) + u')';
    resto.condizione =
        p.condizione.isEmpty() ? fuori : p.condizione + QStringLiteral(" AND ") + fuori;
    return PaginaTop(resto, righe);
}

// ".zzz" when the time has milliseconds.
QString Millisecondi(const QTime& t) {
    return t.msec() == 0
               ? QString()
               : QLatin1Char('.') + QString::number(t.msec()).rightJustified(3, QLatin1Char('0'));
}

QString DataVuota(const QDateTime&) {
    return QString();
}

QString NomeTaleQuale(const QString& nome) {
    return nome;
}

// The key words that PostgreSQL does not take as a bare name everywhere.
const QSet<QString>& RiservatePostgres() {
    static const QSet<QString> parole = [] {
        QSet<QString> s;
        for (const QString& p :
             QStringLiteral(
                 "all analyse analyze and any array as asc asymmetric authorization between "
                 "bigint binary bit boolean both case cast char character check coalesce collate "
                 "collation column concurrently constraint create cross current_catalog "
                 "current_date current_role current_schema current_time current_timestamp "
                 "current_user dec decimal default deferrable desc distinct do else end except "
                 "exists extract false fetch float for foreign freeze from full grant greatest "
                 "group grouping having ilike in initially inner inout int integer intersect "
                 "interval into is isnull join lateral leading least left like limit localtime "
                 "localtimestamp national natural nchar none normalize not notnull null nullif "
                 "numeric offset on only or order out outer overlaps overlay placing position "
                 "precision primary real references returning right row select session_user "
                 "setof similar smallint some substring symmetric table tablesample then time "
                 "timestamp to trailing treat trim true union unique user using values varchar "
                 "variadic verbose when where window with xmlattributes xmlconcat xmlelement "
                 "xmlexists xmlforest xmlnamespaces xmlparse xmlpi xmlroot xmlserialize xmltable")
                 .split(QLatin1Char(' ')))
            s.insert(p);
        return s;
    }();
    return parole;
}

const std::array<Dialetto, 5> kDialetti{{
    {.TipoDatabase = 0, // Access (Jet)
     .ElencoChiaviUnaRiga = TopUno,
     .LetteraleData = DataPerAccess,
     .RaddoppiaBarre = false,
     .ParentesiNotePassword = true,
     .DeleteSenzaAsterisco = false,
     .ValoreVero = "-1",
     .ValoreFalso = "0",
     .LogiciInParole = false,
     .ValoreGenerato = "Null",
     .ChiaveRestituita = false,
     .Identificatore = NomeTaleQuale,
     .DateSoloLetterali = true,
     .BloccoRiga = "",
     .ChiaveLegata = false,
     .ConfrontoRiga = false,
     .NullPrimi = true,
     .Pagina = PaginaAccess},
    {.TipoDatabase = 1, // SQL Server
     .ElencoChiaviUnaRiga = TopUno,
     .LetteraleData = DataPerSqlServer,
     .RaddoppiaBarre = false,
     .ParentesiNotePassword = true,
     .DeleteSenzaAsterisco = true,
     .ValoreVero = "-1",
     .ValoreFalso = "0",
     .LogiciInParole = false,
     .ValoreGenerato = "Null",
     .ChiaveRestituita = false,
     .Identificatore = NomeTaleQuale,
     .DateSoloLetterali = false,
     .BloccoRiga = "",
     .ChiaveLegata = false,
     .ConfrontoRiga = false,
     .NullPrimi = true,
     .Pagina = PaginaSqlServer},
    {.TipoDatabase = 2, // MySQL / MariaDB
     .ElencoChiaviUnaRiga = UltimoLimitUno,
     .LetteraleData = DataPerMySql,
     .RaddoppiaBarre = true,
     .ParentesiNotePassword = false,
     .DeleteSenzaAsterisco = false,
     .ValoreVero = "1",
     .ValoreFalso = "0",
     .LogiciInParole = false,
     .ValoreGenerato = "Null",
     .ChiaveRestituita = false,
     .Identificatore = NomeTaleQuale,
     .DateSoloLetterali = false,
     .BloccoRiga = " FOR UPDATE",
     .ChiaveLegata = false,
     .ConfrontoRiga = false,
     .NullPrimi = true,
     .Pagina = PaginaLimit},
    {.TipoDatabase = 4, // SQLite
     .ElencoChiaviUnaRiga = LimitUno,
     .LetteraleData = DataPerSqlite,
     .RaddoppiaBarre = false,
     .ParentesiNotePassword = false,
     .DeleteSenzaAsterisco = true,
     .ValoreVero = "1",
     .ValoreFalso = "0",
     .LogiciInParole = false,
     .ValoreGenerato = "Null",
     .ChiaveRestituita = false,
     .Identificatore = NomeTaleQuale,
     .DateSoloLetterali = false,
     .BloccoRiga = "",
     .ChiaveLegata = true,
     .ConfrontoRiga = true,
     .NullPrimi = true,
     .Pagina = PaginaLimit},
    {.TipoDatabase = 5, // PostgreSQL
     .ElencoChiaviUnaRiga = LimitUno,
     .LetteraleData = DataPerSqlite,
     // standard_conforming_strings: a backslash is an ordinary character.
     .RaddoppiaBarre = false,
     .ParentesiNotePassword = false,
     .DeleteSenzaAsterisco = true,
     .ValoreVero = "true",
     .ValoreFalso = "false",
     .LogiciInParole = true,
     .ValoreGenerato = "DEFAULT",
     .ChiaveRestituita = true,
     .Identificatore = NomePostgres,
     .DateSoloLetterali = false,
     .BloccoRiga = " FOR UPDATE",
     .ChiaveLegata = false,
     // EXPLAIN: the index on O serves (O, K) > (a, b) as O >= a; the expanded
     // form is only a filter over the whole index.
     .ConfrontoRiga = true,
     // Ascending, NULLs come last.
     .NullPrimi = false,
     .Pagina = PaginaLimit},
}};

// Any other kind: the neutral forms.
const Dialetto kSconosciuto{.TipoDatabase = -1,
                            .ElencoChiaviUnaRiga = TopUno,
                            .LetteraleData = DataVuota,
                            .RaddoppiaBarre = false,
                            .ParentesiNotePassword = true,
                            .DeleteSenzaAsterisco = false,
                            .ValoreVero = "-1",
                            .ValoreFalso = "0",
                            .LogiciInParole = false,
                            .ValoreGenerato = "Null",
                            .ChiaveRestituita = false,
                            .Identificatore = NomeTaleQuale,
                            .DateSoloLetterali = false,
                            .BloccoRiga = "",
                            .ChiaveLegata = false,
                            .ConfrontoRiga = false,
                            .NullPrimi = true,
                            .Pagina = PaginaAccess};

} // namespace

const Dialetto& Dialetto::Per(int tipoDatabase) {
    for (const auto& d : kDialetti)
        if (d.TipoDatabase == tipoDatabase)
            return d;
    return kSconosciuto;
}

QString Dialetto::EscapeTesto(const QString& testo) const {
    QString r = testo;
    r.replace(QLatin1Char('\''), QStringLiteral("''"));
    if (RaddoppiaBarre)
        r.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return r;
}

QString Dialetto::NomeTabella(const QString& memorizzato) const {
    const qsizetype punto = memorizzato.indexOf(QLatin1Char('.'));
    if (punto <= 0 || Identificatore == NomeTaleQuale)
        return Nome(memorizzato);
    return Nome(memorizzato.left(punto)) + QLatin1Char('.') + Nome(memorizzato.mid(punto + 1));
}

bool Dialetto::NomiTraVirgolette() const {
    return Identificatore != NomeTaleQuale;
}

QString Dialetto::NomeDelHost(const QString& nome) const {
    if (!NomiTraVirgolette())
        return nome;
    const QString piegato = postgres::Folded(nome);
    if (piegato == nome || RiservatePostgres().contains(piegato))
        return Nome(piegato);
    return nome;
}

QString NomePostgres(const QString& nome) {
    static const QRegularExpression semplice(QStringLiteral("^[a-z_][a-z0-9_$]*$"));
    if (semplice.match(nome).hasMatch() && !RiservatePostgres().contains(nome))
        return nome;
    return QLatin1Char('"') + QString(nome).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

QString Dialetto::TestaDelete(const QString& tabella) const {
    if (DeleteSenzaAsterisco)
        return QStringLiteral("DELETE FROM ") + tabella + QStringLiteral(" WHERE ");
    return QStringLiteral("DELETE ") + tabella + QStringLiteral(".* FROM ") + tabella +
           QStringLiteral(" WHERE ");
}

QString DataPerAccess(const QDateTime& d) {
    const QDate g = d.date();
    const QTime t = d.time();
    const QString data = Due(g.month()) + QLatin1Char('/') + Due(g.day()) + QLatin1Char('/') +
                         QString::number(g.year());
    if (t.hour() == 0 && t.minute() == 0 && t.second() == 0)
        return QLatin1Char('#') + data + QLatin1Char('#');
    return QLatin1Char('#') + data + QLatin1Char(' ') + Due(t.hour()) + QLatin1Char('.') +
           Due(t.minute()) + QLatin1Char('.') + Due(t.second()) + QLatin1Char('#');
}

QString DataPerSqlServer(const QDateTime& d) {
    const QDate g = d.date();
    const QTime t = d.time();
    return QLatin1Char('\'') + QString::number(g.year()) + Due(g.month()) + Due(g.day()) +
           QLatin1Char(' ') + Due(t.hour()) + QLatin1Char(':') + Due(t.minute()) +
           QLatin1Char(':') + Due(t.second()) + QLatin1Char(':') +
           QString::number(t.msec()).rightJustified(3, QLatin1Char('0')) + QLatin1Char('\'');
}

QString DataPerMySql(const QDateTime& d) {
    const QDate g = d.date();
    const QTime t = d.time();
    // The year always has four digits: the server reads "24-5-5" as 2024.
    return QLatin1Char('\'') + QString::number(g.year()).rightJustified(4, QLatin1Char('0')) +
           QLatin1Char('-') + QString::number(g.month()) + QLatin1Char('-') +
           QString::number(g.day()) + QLatin1Char(' ') + QString::number(t.hour()) +
           QLatin1Char(':') + QString::number(t.minute()) + QLatin1Char(':') +
           QString::number(t.second()) + Millisecondi(t) + QLatin1Char('\'');
}

QString DataPerSqlite(const QDateTime& d) {
    const QTime t = d.time();
    if (t.hour() == 0 && t.minute() == 0 && t.second() == 0 && t.msec() == 0)
        return QLatin1Char('\'') + d.date().toString(QStringLiteral("yyyy-MM-dd")) +
               QLatin1Char('\'');
    return QLatin1Char('\'') + d.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) + Millisecondi(t) +
           QLatin1Char('\'');
}

} // namespace tessaro
