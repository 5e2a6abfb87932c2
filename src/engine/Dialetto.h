#pragma once

#include <QDateTime>
#include <QString>

namespace tessaro {

// Everything that differs by database kind (TipoDatabase), in one table:
// 0 Access (Jet), 1 SQL Server, 2 MySQL, 4 SQLite, 5 PostgreSQL. Any other
// value is unknown and gets the neutral forms (empty date literal, apostrophes
// doubled).
// The parts of a query that reads a page of an ordered table.
struct PartiPagina {
    QString colonne; // the select list
    QString tabella;
    QString condizione; // without WHERE; empty for every row
    QString ordine;     // without "Order by"
    QString chiave;     // a column that tells the rows apart, for kinds without OFFSET
};

struct Dialetto {
    int TipoDatabase;
    // Key list with scrolling disabled: one row.
    QString (*ElencoChiaviUnaRiga)(const QString& K, const QString& T, const QString& O);
    // Date literal, complete with its delimiters.
    QString (*LetteraleData)(const QDateTime& d);
    // Backslashes are an escape character inside literals.
    bool RaddoppiaBarre;
    // The column names Note and Password need square brackets.
    bool ParentesiNotePassword;
    // "DELETE FROM T WHERE " rather than "DELETE T.* FROM T WHERE ".
    bool DeleteSenzaAsterisco;
    // How a checked box is written, and an unchecked one: the engine's own
    // TRUE, so that other programs' "= TRUE" finds the row (-1 where TRUE is -1).
    const char* ValoreVero;
    const char* ValoreFalso;
    // A Boolean typed into a text box is written as ValoreVero or ValoreFalso
    // rather than as the number typed; a Boolean key is compared as quoted text.
    bool LogiciInParole;
    // An auto-numbered column left empty in a new record.
    const char* ValoreGenerato;
    // The INSERT gives the new record's key back (RETURNING).
    bool ChiaveRestituita;
    // A name as the database stores it, as a statement writes it: quoted
    // where the stored name needs it, else as it is.
    QString (*Identificatore)(const QString& nome);
    // Dates are written only in the kind's date literal (#...#), never as quoted text.
    bool DateSoloLetterali;
    // Appended to the read that checks a row before it is written, so that
    // nobody changes it in between (SQLite locks at BEGIN IMMEDIATE instead).
    const char* BloccoRiga;
    // The record is read by a statement prepared once, with the key bound to
    // it: where the provider keeps prepared statements (SQLite).
    bool ChiaveLegata;
    // A row-value comparison "(O, K) > (a, b)" is served by the index on O;
    // otherwise it is written out as "O > a OR (O = a AND K > b)".
    bool ConfrontoRiga;
    // An ascending order puts NULL before every value.
    bool NullPrimi;
    // At most `righe` rows of the ordered query, after the first `salta`.
    QString (*Pagina)(const PartiPagina& p, int righe, qint64 salta);

    static const Dialetto& Per(int tipoDatabase);

    // Text escaped for a single-quoted literal (without the quotes).
    QString EscapeTesto(const QString& testo) const;
    // A stored column or table name as statements write it.
    QString Nome(const QString& memorizzato) const { return Identificatore(memorizzato); }
    // The same for a table that may carry its schema ("sales.orders").
    QString NomeTabella(const QString& memorizzato) const;
    // Names are quoted where the stored name needs it.
    bool NomiTraVirgolette() const;
    // A name a host gives, not found in the catalogue: PostgreSQL folds an
    // unquoted name to lower case, so a name that folds to a reserved word, or
    // one already in lower case, is written as that stored name; any other as
    // given, for the database to fold.
    QString NomeDelHost(const QString& nome) const;
    QString TestaDelete(const QString& tabella) const;
};

// The date formats of the kinds that have one.
QString DataPerAccess(const QDateTime& d);
QString DataPerSqlServer(const QDateTime& d);
QString DataPerMySql(const QDateTime& d);
QString DataPerSqlite(const QDateTime& d);

// PostgreSQL's form of a stored name: bare when PostgreSQL would fold it to
// itself (lower case letters, digits, "_" and "$", not a reserved word),
// otherwise between double quotes.
QString NomePostgres(const QString& nome);

} // namespace tessaro
