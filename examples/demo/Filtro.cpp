#include "Filtro.h"

#include <QRegularExpression>

namespace demo {

namespace {

QString Letterale(const QString& testo) {
    QString t = testo;
    t.replace(u'\'', QStringLiteral("''"));
    return u'\'' + t + u'\'';
}

} // namespace

bool SembraCondizioneSql(const QString& testo) {
    static const QRegularExpression operatori(QStringLiteral(R"([=<>]|\b(like|in|is|between)\b)"),
                                              QRegularExpression::CaseInsensitiveOption);
    return operatori.match(testo).hasMatch();
}

QString CondizioneDaFiltro(const QString& testo, const QString& tabella) {
    const QString t = testo.trimmed();
    if (t.isEmpty())
        return QString();
    if (SembraCondizioneSql(t))
        return t;
    const QString prefisso = Letterale(t + u'%');
    if (tabella.compare(QLatin1String("Ordini"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("IdCliente IN (SELECT IdCliente FROM Clienti WHERE Cognome LIKE ") +
               prefisso + u')';
    return QStringLiteral("Cognome LIKE ") + prefisso;
}

} // namespace demo
