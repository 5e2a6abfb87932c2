#pragma once

// The linked tables a record is read with. Each link (a column of the primary
// table that refers to another table) is joined under an alias of its own, so
// that a table may be linked to itself or reached through several columns; the
// linked columns the form shows follow the primary table's columns in the
// select list, where no column of the same name can take their place.

#include <QString>
#include <vector>

namespace tessaro {

class TabelleCollegate {
public:
    // `tabella` as statements write it; `nome` writes a name the way the
    // database kind needs (quoted where needed), for the aliases.
    explicit TabelleCollegate(const QString& tabella = QString(),
                              QString (*nome)(const QString&) = nullptr)
        : mTabella(tabella), mNome(nome) {}

    // One link: the primary table's column holding the reference, as a host
    // names it; the linked table as the database stores it; and the names as
    // statements write them.
    struct Link {
        QString campo;
        QString tabellaCollegata;
        QString campoSql;
        QString tabellaSql;
        QString campoCollegatoSql;
    };
    // Joins the link (once per column) and selects the linked table's
    // `colonna` (once; a "Table." qualifier is dropped: the link names the
    // table), written `colonnaSql` in statements.
    void Aggiungi(const Link& link, const QString& colonna, const QString& colonnaSql);

    // The FROM text: the primary table alone, or with its outer joins.
    QString From() const;
    // The select list: every column of the primary table, then the linked ones.
    QString Colonne() const;
    // Where a linked column is in the select list, counted from its end (1 for
    // the last); 0 when it is not selected.
    int DallaFine(const QString& campo, const QString& colonna) const;

private:
    struct Join {
        Link link;
        QString alias;
    };
    struct Colonna {
        QString campo;
        QString colonna;
        QString colonnaSql;
    };
    const Join* JoinDi(const QString& campo) const;

    QString mTabella;
    QString (*mNome)(const QString&) = nullptr;
    std::vector<Join> mJoin;
    std::vector<Colonna> mColonne;
};

// The column without a "Table." qualifier.
QString SenzaTabella(const QString& colonna);

} // namespace tessaro
