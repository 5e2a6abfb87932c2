#include "binding/ComboSql.h"

#include "data/TessaroError.h"

namespace tessaro {

namespace {

constexpr int kMassimoSeparatori = 11;

} // namespace

ElencoCombo StatementElencoCombo(const Legame& legame, const QString& tabella,
                                 const QString& condizione) {
    const QString dove = condizione.isEmpty() ? QString() : QStringLiteral(" where ") + condizione;
    ElencoCombo e;
    if (legame.colonneVoce.isEmpty()) {
        e.Sql = QStringLiteral("select * from ") + tabella + dove;
        return e;
    }
    if (legame.separatori.size() > kMassimoSeparatori)
        TessaroError::Raise(Err::SubscriptOutOfRange);
    e.MultiColonna = true;
    QString elenco = QStringLiteral("SELECT ");
    for (qsizetype i = 0; i < legame.colonneVoce.size(); ++i) {
        elenco += legame.colonneVoce.at(i) + QLatin1Char(' ');
        e.Ordinamento += QLatin1Char(' ') + legame.colonneVoce.at(i) + QStringLiteral(", ");
        // A separator with no column after it leaves a statement the database refuses.
        if (i < legame.separatori.size())
            elenco += QStringLiteral(", ");
    }
    e.Ordinamento.chop(2);
    e.Sql = elenco + QStringLiteral(" FROM ") + tabella + dove + QStringLiteral(" Order By ") +
            e.Ordinamento;
    return e;
}

QString StatementChiaviCombo(const QString& tabella, const QString& ordinamento,
                             const QString& filtro) {
    QString sql = QStringLiteral("select * from ") + tabella;
    if (!filtro.isEmpty())
        sql += QStringLiteral(" where ") + filtro;
    if (!ordinamento.isEmpty())
        sql += QStringLiteral(" Order By ") + ordinamento;
    return sql;
}

QString StatementRigaCombo(const QString& tabella, const QString& campoChiave,
                           const QString& letterale) {
    return QStringLiteral("SELECT * FROM ") + tabella + QStringLiteral(" WHERE ((") + tabella +
           QLatin1Char('.') + campoChiave + QStringLiteral(") = '") + letterale +
           QStringLiteral("')");
}

} // namespace tessaro
