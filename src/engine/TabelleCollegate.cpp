#include "engine/TabelleCollegate.h"

namespace tessaro {

QString SenzaTabella(const QString& colonna) {
    const qsizetype punto = colonna.indexOf(QLatin1Char('.'));
    return punto < 0 ? colonna : colonna.mid(punto + 1);
}

const TabelleCollegate::Join* TabelleCollegate::JoinDi(const QString& campo) const {
    for (const Join& j : mJoin)
        if (j.link.campo.compare(campo, Qt::CaseInsensitive) == 0)
            return &j;
    return nullptr;
}

void TabelleCollegate::Aggiungi(const Link& link, const QString& colonna,
                                const QString& colonnaSql) {
    if (!JoinDi(link.campo)) {
        // The table (without its schema) and the join's number: no two aliases
        // of one statement agree.
        QString alias = link.tabellaCollegata.mid(link.tabellaCollegata.lastIndexOf(u'.') + 1) +
                        QLatin1Char('_') + QString::number(mJoin.size() + 1);
        if (alias.compare(mTabella, Qt::CaseInsensitive) == 0)
            alias += QLatin1Char('x');
        mJoin.push_back({link, mNome ? mNome(alias) : alias});
    }
    const QString nome = SenzaTabella(colonna);
    if (DallaFine(link.campo, nome) == 0)
        mColonne.push_back({link.campo, nome, SenzaTabella(colonnaSql)});
}

QString TabelleCollegate::From() const {
    QString from = mTabella;
    for (const Join& j : mJoin)
        from = QLatin1Char('(') + from + QStringLiteral(" LEFT JOIN ") + j.link.tabellaSql +
               QStringLiteral(" AS ") + j.alias + QStringLiteral(" ON (") + j.alias +
               QLatin1Char('.') + j.link.campoCollegatoSql + QStringLiteral(") = (") + mTabella +
               QLatin1Char('.') + j.link.campoSql + QStringLiteral("))");
    return from;
}

QString TabelleCollegate::Colonne() const {
    QString elenco = mTabella + QStringLiteral(".*");
    for (const Colonna& c : mColonne)
        elenco += QStringLiteral(", ") + JoinDi(c.campo)->alias + QLatin1Char('.') + c.colonnaSql;
    return elenco;
}

int TabelleCollegate::DallaFine(const QString& campo, const QString& colonna) const {
    const QString nome = SenzaTabella(colonna);
    const auto n = static_cast<int>(mColonne.size());
    for (int i = 0; i < n; ++i) {
        const Colonna& c = mColonne[static_cast<std::size_t>(i)];
        if (c.campo.compare(campo, Qt::CaseInsensitive) == 0 &&
            c.colonna.compare(nome, Qt::CaseInsensitive) == 0)
            return n - i;
    }
    return 0;
}

} // namespace tessaro
