#include "binding/ComboSql.h"

#include "data/TessaroError.h"

namespace tessaro {

namespace {

constexpr int kMassimoSeparatori = 11;

} // namespace

bool TagComboNonValido(const QStringList& parti) {
    return parti.size() == 2 && !parti.at(1).isEmpty();
}

ElencoCombo StatementElencoCombo(const QStringList& parti, const QString& tabella,
                                 const QString& condizione) {
    const QString dove = condizione.isEmpty() ? QString() : QStringLiteral(" where ") + condizione;
    ElencoCombo e;
    if (parti.size() < 3) {
        e.Sql = QStringLiteral("select * from ") + tabella + dove;
        return e;
    }
    e.MultiColonna = true;
    QString elenco = QStringLiteral("SELECT ");
    for (qsizetype i = 2; i < parti.size(); i += 2) {
        elenco += parti.at(i) + QLatin1Char(' ');
        e.Ordinamento += QLatin1Char(' ') + parti.at(i) + QStringLiteral(", ");
        if (i + 1 < parti.size()) {
            if (e.Separatori.size() == kMassimoSeparatori)
                TessaroError::Raise(Err::SubscriptOutOfRange);
            elenco += QStringLiteral(", ");
            e.Separatori << parti.at(i + 1);
        }
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
