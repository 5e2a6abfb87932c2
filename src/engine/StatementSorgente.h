#pragma once

// The statements of a record source, built apart from their execution so that
// every kind's text can be checked as it is. A source orders its records by one
// column of the table and then by the key, so that each record has exactly one
// place; a step reads its neighbour from the database, one or two rows through
// the index, whatever the table's size.

#include "engine/Dialetto.h"

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <map>
#include <tuple>
#include <utility>
#include <vector>

namespace tessaro {

// What the records of a source are and how they are ordered.
struct OrdineSorgente {
    QString tabella;      // T
    QString ordine;       // O, a column of T
    QString chiave;       // K, the primary key of T
    short tipoOrdine = 0; // type codes, for the literals of values
    short tipoChiave = 0;
    QString condizione;  // without WHERE; empty for every record
    QString testaRecord; // the statement that reads a whole record, up to its WHERE
    bool operator==(const OrdineSorgente&) const = default;
};

// A statement and the values of its "?" marks (none where the kind writes literals).
struct Interrogazione {
    QString testo;
    QVariantList valori;
    bool operator==(const Interrogazione&) const = default;
};

enum class Verso { Avanti, Indietro };

// The record a step starts from.
struct Ancora {
    enum class Forma {
        InTabella, // still in the table with a sort value: compared as the table holds it
        Nulla,     // its sort value is NULL
        Scomparsa, // gone from the table: compared as it was shown
    };
    QVariant chiave;
    QVariant ordine; // the sort value shown; only a vanished record is compared by it
    Forma forma = Forma::InTabella;
};

class StatementSorgente {
public:
    StatementSorgente(OrdineSorgente ordine, const Dialetto& dialetto);

    // The first two records of the order (Avanti) or the last two, last first.
    Interrogazione Estremo(Verso verso) const;
    // The records after (Avanti) or before an anchor, nearest first: one
    // statement for each part of the order (values, then NULLs, or the other way
    // round as the engine orders them), read in turn until two are found.
    std::vector<Interrogazione> Vicini(Verso verso, const Ancora& ancora, int righe = 2) const;
    // Whole records of the first part of the order after (before) an anchor,
    // nearest first, at most `righe`: `testaRecord` reads a whole record, up to its WHERE
    // (the table and its joins).
    Interrogazione Finestra(Verso verso, const Ancora& ancora, int righe,
                            const QString& testaRecord) const;
    // Whether the first part of the order after (before) an anchor is also
    // the last one: what it does not hold comes after nothing.
    bool UnaSolaParte(Verso verso, const Ancora& ancora) const;
    // The record at a 1-based position and the one after it.
    Interrogazione Ennesimo(qint64 posizione) const;
    // The key, when the condition selects its record.
    Interrogazione Chiave(const QVariant& chiave) const;
    // One row, (non-NULL sort values, rows) of a key: (0, 0) gone, (0, 1) NULL, (1, 1) a value.
    Interrogazione Sonda(const QVariant& chiave) const;
    // One row: how many records the condition selects.
    Interrogazione Totale() const;
    // One row: how many selected records come before the record of a key that
    // is in the table, with a NULL sort value or with a value.
    Interrogazione Precedenti(const QVariant& chiave, bool ordineNullo) const;
    // Scrolling disabled: the one record the source holds.
    Interrogazione UnaRiga() const;

private:
    // Adds a value as a "?" to bind or as a literal, as the kind takes it.
    QString Valore(Interrogazione& q, const QVariant& valore, short tipo) const;
    QString ColonnaO() const;
    QString ColonnaK() const;
    bool OrdinePerChiave() const;
    QString Ordinamento(Verso verso) const;
    // Rows that come after (Avanti) or before an anchor with a sort value, among
    // the rows that have one; "(Select O from T Where K = k)" stands for the
    // value of an anchor in the table.
    QString Oltre(Interrogazione& q, Verso verso, const Ancora& ancora) const;
    QString Dove(const QString& restrizione) const;
    Interrogazione Pagina(const QString& restrizione, const QString& ordine, int righe,
                          qint64 salta, Interrogazione q) const;
    Interrogazione Conteggio(const QString& restrizione, Interrogazione q) const;

    std::vector<Interrogazione> Componi(Verso verso, const Ancora& ancora, int righe) const;

    OrdineSorgente mOrdine;
    const Dialetto& mDialetto;
    // Where values are bound the texts of a direction and a form never change:
    // built once, with stand-ins for the anchor's values.
    mutable std::map<std::tuple<Verso, Ancora::Forma, int>, std::vector<Interrogazione>> mModelli;
};

} // namespace tessaro
