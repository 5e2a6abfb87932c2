#include "data/PostgresDirect.h"

#include <QDateTime>
#include <QSqlDriver>
#include <QTimeZone>
#include <cmath>
#include <libpq-fe.h>
#include <limits>
#include <memory>

namespace tessaro::postgres {

namespace {

// The OIDs of the built-in types (pg_type.dat).
namespace Oid {
constexpr unsigned Bool = 16, Bytea = 17, Char = 18, Name = 19, Int8 = 20, Int2 = 21, Int4 = 23,
                   Text = 25, OidType = 26, Float4 = 700, Float8 = 701, Money = 790, Bpchar = 1042,
                   Varchar = 1043, Date = 1082, Time = 1083, Timestamp = 1114, TimestampTz = 1184,
                   TimeTz = 1266, Numeric = 1700, Uuid = 2950;
} // namespace Oid

// A varchar(n) or char(n) keeps n + 4 in its type modifier.
constexpr int kIntestazioneTypmod = 4;

struct Risultato {
    void operator()(PGresult* r) const { PQclear(r); }
};
using RisultatoPtr = std::unique_ptr<PGresult, Risultato>;

// Digits at p, advancing it; -1 when there are none.
int Cifre(const char*& p, const char* fine, int massimo, int* quante = nullptr) {
    int n = 0, lette = 0;
    while (p < fine && lette < massimo && *p >= '0' && *p <= '9') {
        n = n * 10 + (*p++ - '0');
        ++lette;
    }
    if (quante)
        *quante = lette;
    return lette > 0 ? n : -1;
}

bool Segno(const char*& p, const char* fine, char atteso) {
    if (p < fine && *p == atteso) {
        ++p;
        return true;
    }
    return false;
}

// "yyyy-mm-dd"; a year of more digits, or a date BC, is not read.
bool LeggiData(const char*& p, const char* fine, QDate& data) {
    int cifreAnno = 0;
    const int anno = Cifre(p, fine, 4, &cifreAnno);
    if (cifreAnno != 4 || !Segno(p, fine, '-'))
        return false;
    const int mese = Cifre(p, fine, 2);
    if (!Segno(p, fine, '-'))
        return false;
    const int giorno = Cifre(p, fine, 2);
    data = QDate(anno, mese, giorno);
    return data.isValid();
}

// "hh:mm:ss[.ffffff]", and only when exact: no digit beyond the milliseconds
// that Qt keeps.
bool LeggiOra(const char*& p, const char* fine, QTime& ora) {
    const int h = Cifre(p, fine, 2);
    if (!Segno(p, fine, ':'))
        return false;
    const int m = Cifre(p, fine, 2);
    if (!Segno(p, fine, ':'))
        return false;
    const int s = Cifre(p, fine, 2);
    int ms = 0;
    bool esatta = true;
    if (Segno(p, fine, '.')) {
        // Digit by digit: "5" after the point is 500 ms.
        for (int i = 0; p < fine && *p >= '0' && *p <= '9'; ++i, ++p) {
            if (i < 3)
                ms += (*p - '0') * (i == 0 ? 100 : i == 1 ? 10 : 1);
            else if (*p != '0')
                esatta = false;
        }
    }
    ora = QTime(h, m, s, ms);
    return esatta && ora.isValid();
}

// "+hh[:mm[:ss]]" or "-hh...", in seconds east of UTC.
bool LeggiFuso(const char*& p, const char* fine, int& secondi) {
    const bool meno = p < fine && *p == '-';
    if (!Segno(p, fine, '+') && !Segno(p, fine, '-'))
        return false;
    int totale = Cifre(p, fine, 2) * 3600;
    if (Segno(p, fine, ':'))
        totale += Cifre(p, fine, 2) * 60;
    if (Segno(p, fine, ':'))
        totale += Cifre(p, fine, 2);
    secondi = meno ? -totale : totale;
    return true;
}

QVariant Momento(const QByteArray& testo, bool conFuso) {
    const char* p = testo.constData();
    const char* fine = p + testo.size();
    QDate data;
    QTime ora;
    int fuso = 0;
    if (!LeggiData(p, fine, data) || !Segno(p, fine, ' ') || !LeggiOra(p, fine, ora) ||
        (conFuso && !LeggiFuso(p, fine, fuso)) || p != fine)
        return QString::fromUtf8(testo); // infinity, BC, microseconds: the text itself
    if (!conFuso)
        return QDateTime(data, ora);
    return QDateTime(data, ora, QTimeZone(fuso)).toLocalTime();
}

QVariant Giorno(const QByteArray& testo) {
    const char* p = testo.constData();
    const char* fine = p + testo.size();
    QDate data;
    if (!LeggiData(p, fine, data) || p != fine)
        return QString::fromUtf8(testo);
    return data;
}

QVariant Orario(const QByteArray& testo) {
    const char* p = testo.constData();
    const char* fine = p + testo.size();
    QTime ora;
    if (!LeggiOra(p, fine, ora) || p != fine)
        return QString::fromUtf8(testo);
    return ora;
}

QVariant Virgola(const QByteArray& testo) {
    if (testo == "NaN")
        return std::numeric_limits<double>::quiet_NaN();
    if (testo == "Infinity")
        return std::numeric_limits<double>::infinity();
    if (testo == "-Infinity")
        return -std::numeric_limits<double>::infinity();
    bool ok = false;
    const double d = testo.toDouble(&ok);
    return ok ? QVariant(d) : QVariant(QString::fromUtf8(testo));
}

// The hex form ("\x0aff") or the escape form of bytea_output.
QByteArray Byte(const QByteArray& testo) {
    if (testo.startsWith("\\x"))
        return QByteArray::fromHex(testo.mid(2));
    QByteArray out;
    out.reserve(testo.size());
    for (qsizetype i = 0; i < testo.size(); ++i) {
        if (testo[i] != '\\' || i + 1 >= testo.size()) {
            out += testo[i];
        } else if (testo[i + 1] == '\\') {
            out += '\\';
            ++i;
        } else if (i + 3 < testo.size()) {
            out += static_cast<char>(((testo[i + 1] - '0') << 6) | ((testo[i + 2] - '0') << 3) |
                                     (testo[i + 3] - '0'));
            i += 3;
        }
    }
    return out;
}

} // namespace

pg_conn* Handle(const QSqlDatabase& db) {
    if (!db.isValid() || !db.driver())
        return nullptr;
    const QVariant v = db.driver()->handle();
    // Qt names the type by its struct.
    if (!v.isValid() ||
        (qstrcmp(v.typeName(), "PGconn*") != 0 && qstrcmp(v.typeName(), "pg_conn*") != 0))
        return nullptr;
    return *static_cast<PGconn* const*>(v.constData());
}

int TypeCodeOfOid(unsigned oid) {
    using namespace DbType;
    switch (oid) {
    case Oid::Bool:
        return Boolean;
    case Oid::Int2:
        return SmallInt;
    case Oid::Int4:
    case Oid::OidType:
        return Integer;
    case Oid::Int8:
        return BigInt;
    case Oid::Float4:
        return Single;
    case Oid::Float8:
        return Double;
    case Oid::Numeric:
        return Numeric;
    case Oid::Date:
        return Date;
    case Oid::Timestamp:
    case Oid::TimestampTz:
        return DbTimeStamp;
    case Oid::Time:
        return DbTime;
    case Oid::Uuid:
        return Guid;
    case Oid::Bytea:
        return Binary;
    default:
        // text, varchar, char, name, money, json, enums, arrays, time with
        // time zone and the rest: what a form shows and edits as text.
        return WChar;
    }
}

long DefinedSize(unsigned oid, int typmod) {
    if (oid == Oid::Varchar || oid == Oid::Bpchar)
        return typmod > kIntestazioneTypmod ? typmod - kIntestazioneTypmod : 0;
    return DbProvider::DefaultSize(TypeCodeOfOid(oid));
}

QVariant ValueFromText(unsigned oid, const QByteArray& text) {
    switch (oid) {
    case Oid::Bool:
        return text == "t";
    case Oid::Int2:
    case Oid::Int4:
    case Oid::Int8:
    case Oid::OidType: {
        bool ok = false;
        const qint64 n = text.toLongLong(&ok);
        return ok ? QVariant(n) : QVariant(QString::fromUtf8(text));
    }
    case Oid::Float4:
    case Oid::Float8:
        return Virgola(text);
    case Oid::Date:
        return Giorno(text);
    case Oid::Timestamp:
        return Momento(text, false);
    case Oid::TimestampTz:
        return Momento(text, true);
    case Oid::Time:
        return Orario(text);
    case Oid::Bytea:
        return Byte(text);
    default:
        return QString::fromUtf8(text);
    }
}

namespace {

// The server's notices ("table does not exist, skipping") are not the user's business.
void Silenzio(void*, const char*) {}

} // namespace

void Lettore::Use(pg_conn* c) {
    mConn = c;
    mTables.clear();
    if (c)
        PQsetNoticeProcessor(c, Silenzio, nullptr);
}

bool Lettore::InTransaction() const {
    if (!mConn)
        return false;
    const PGTransactionStatusType stato = PQtransactionStatus(mConn);
    return stato == PQTRANS_INTRANS || stato == PQTRANS_INERROR || stato == PQTRANS_ACTIVE;
}

bool Lettore::Broken() const {
    return mConn && PQstatus(mConn) == CONNECTION_BAD;
}

QSqlError Lettore::LastError(const void* result) const {
    const auto* r = static_cast<const PGresult*>(result);
    const QString testo =
        QString::fromUtf8(r ? PQresultErrorMessage(r) : PQerrorMessage(mConn)).trimmed();
    const char* stato = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
    return QSqlError(QStringLiteral("QPSQL: unable to run the statement"), testo,
                     Broken() ? QSqlError::ConnectionError : QSqlError::StatementError,
                     stato ? QString::fromLatin1(stato) : QString());
}

QString Lettore::TableName(unsigned oid) {
    if (oid == 0)
        return QString();
    const auto it = mTables.constFind(oid);
    if (it != mTables.constEnd())
        return it.value();
    // One read of the catalogue per table; a failure (an aborted transaction)
    // only leaves the name unknown.
    const QByteArray sql =
        "SELECT relname FROM pg_catalog.pg_class WHERE oid = " + QByteArray::number(oid);
    RisultatoPtr r(PQexec(mConn, sql.constData()));
    if (!r || PQresultStatus(r.get()) != PGRES_TUPLES_OK || PQntuples(r.get()) != 1)
        return QString();
    const QString nome = QString::fromUtf8(PQgetvalue(r.get(), 0, 0));
    mTables.insert(oid, nome);
    return nome;
}

bool Lettore::ReadAll(const QString& sql, std::vector<RecordsetColumn>& columns, QSqlError& error) {
    RisultatoPtr r(PQexec(mConn, sql.toUtf8().constData()));
    const ExecStatusType stato = r ? PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
    if (stato == PGRES_COMMAND_OK || stato == PGRES_EMPTY_QUERY)
        return true;
    if (stato != PGRES_TUPLES_OK) {
        error = LastError(r.get());
        return false;
    }
    const int campi = PQnfields(r.get());
    const int righe = PQntuples(r.get());
    columns.assign(static_cast<std::size_t>(campi), RecordsetColumn());
    std::vector<unsigned> tipi(static_cast<std::size_t>(campi));
    for (int i = 0; i < campi; ++i) {
        RecordsetColumn& c = columns[static_cast<std::size_t>(i)];
        tipi[static_cast<std::size_t>(i)] = PQftype(r.get(), i);
        c.name = QString::fromUtf8(PQfname(r.get(), i));
        c.table = TableName(PQftable(r.get(), i));
        c.type = TypeCodeOfOid(PQftype(r.get(), i));
        c.definedSize = DefinedSize(PQftype(r.get(), i), PQfmod(r.get(), i));
        c.integers.reserve(static_cast<std::size_t>(righe));
    }
    for (int riga = 0; riga < righe; ++riga) {
        for (int i = 0; i < campi; ++i) {
            RecordsetColumn& c = columns[static_cast<std::size_t>(i)];
            if (PQgetisnull(r.get(), riga, i)) {
                c.Append(QVariant());
                continue;
            }
            const QByteArray testo = QByteArray::fromRawData(PQgetvalue(r.get(), riga, i),
                                                             PQgetlength(r.get(), riga, i));
            c.Append(ValueFromText(tipi[static_cast<std::size_t>(i)], testo));
        }
    }
    return true;
}

} // namespace tessaro::postgres
