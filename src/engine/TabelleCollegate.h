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
    explicit TabelleCollegate(const QString& tabella = QString()) : mTabella(tabella) {}

    // Joins the link of the primary table's column `campo` (once per column)
    // and selects the linked table's `colonna` (once; a "Table." qualifier is
    // dropped: the link names the table).
    void Aggiungi(const QString& campo, const QString& tabellaCollegata,
                  const QString& campoCollegato, const QString& colonna);

    // The FROM text: the primary table alone, or with its outer joins.
    QString From() const;
    // The select list: every column of the primary table, then the linked ones.
    QString Colonne() const;
    // Where a linked column is in the select list, counted from its end (1 for
    // the last); 0 when it is not selected.
    int DallaFine(const QString& campo, const QString& colonna) const;

private:
    struct Join {
        QString campo;
        QString alias;
        QString tabella;
        QString campoCollegato;
    };
    struct Colonna {
        QString campo;
        QString colonna;
    };
    const Join* JoinDi(const QString& campo) const;

    QString mTabella;
    std::vector<Join> mJoin;
    std::vector<Colonna> mColonne;
};

// The column without a "Table." qualifier.
QString SenzaTabella(const QString& colonna);

} // namespace tessaro
