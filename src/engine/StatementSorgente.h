#pragma once

// The statements of a record source, built apart from their execution so that
// every kind's text can be checked as it is. A source orders its records by one
// column of the table and then by the key, so that each record has exactly one
// place; a step reads its neighbour from the database, one or two rows through
// the index, whatever the table's size.

#include "engine/Dialetto.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <functional>
#include <map>
#include <tuple>
#include <utility>
#include <vector>

namespace tessaro {

// What the records of a source are and how they are ordered.
struct OrdineSorgente {
    QString tabella;            // T
    QString ordine;             // O, a column of T
    QStringList chiavi;         // K1..Kn, the primary key of T in key order
    short tipoOrdine = 0;       // type codes, for the literals of values
    QList<short> tipiChiave;    // one for each key column
    QString condizione = {};    // without WHERE; empty for every record
    QString colonneRecord = {}; // what a whole record reads: its columns ("T.*, j1.C")
    QString daRecord = {};      // and from where: T, or T with its joins
    // T and the key's columns as a record's columns carry them: as stored.
    QString tabellaLetta = {};
    QStringList chiaviLette = {};
    bool operator==(const OrdineSorgente&) const = default;
};

// A key as the source handles it: the value of a one-column key, or the list
// of the values of a key of several columns.
QVariantList PartiChiave(const QVariant& chiave);
QVariant ChiaveDaParti(const QVariantList& parti);
// A key as one text: a key of several columns is its parts' texts joined by
// the tag separator.
QString TestoChiave(const QVariant& chiave);

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
    // nearest first, at most `righe`.
    Interrogazione Finestra(Verso verso, const Ancora& ancora, int righe) const;
    // Whether the first part of the order after (before) an anchor is also
    // the last one: what it does not hold comes after nothing.
    bool UnaSolaParte(Verso verso, const Ancora& ancora) const;
    // The record at a 1-based position and the one after it.
    Interrogazione Ennesimo(qint64 posizione) const;
    // The key, when the condition selects its record.
    Interrogazione Chiave(const QVariant& chiave) const;
    // The whole record of a key, when the condition selects it.
    Interrogazione Record(const QVariant& chiave) const;
    // The keys of the first record (after a 0) and of the last one (after a 1),
    // in one statement: both ends of the index, pages a server keeps at hand.
    Interrogazione Capi() const;
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
    // The key's part i as a value, where its mark stands in the text.
    QString ParteChiave(Interrogazione& q, const QVariant& chiave, int i) const;
    QString ColonnaO() const;
    QString ColonnaK(int i) const;
    // The key's columns, qualified ("T.K1, T.K2"), or as a row "(T.K1, T.K2)" when several.
    QString ColonneK(bool qualificate = true) const;
    QString ColonneKRiga() const;
    // The key of a row is equal to that of the anchor.
    QString UgualeChiave(Interrogazione& q, const QString& tabella, const QVariant& chiave) const;
    // The sort column is one of the key's: no NULLs, and the order is the key's.
    bool OrdinePerChiave() const;
    // The columns a record's place is compared on: the sort column, then the
    // key's others.
    QStringList ColonneOrdine() const;
    QString Ordinamento(Verso verso) const;
    QString OrdinamentoChiave(Verso verso) const;
    // The columns come after (before) the values, in the order of the columns.
    QString Dopo(const QStringList& colonne, Verso verso,
                 const std::function<QString(int)>& valore) const;
    // Rows that come after (Avanti) or before an anchor with a sort value, among
    // the rows that have one; "(Select O from T Where K = k)" stands for the
    // value of an anchor in the table.
    QString Oltre(Interrogazione& q, Verso verso, const Ancora& ancora) const;
    // The same among the NULLs, by key.
    QString OltreTraNulli(Interrogazione& q, Verso verso, const QVariant& chiave) const;
    QString Dove(const QString& restrizione) const;
    // What a page reads of each row: its key, or the whole record.
    enum class Lettura { Chiave, Record };
    Interrogazione Pagina(const QString& restrizione, const QString& ordine, int righe,
                          qint64 salta, Interrogazione q, Lettura lettura = Lettura::Chiave) const;
    Interrogazione Conteggio(const QString& restrizione, Interrogazione q) const;
    // "SELECT <a whole record> FROM <T with its joins>".
    QString TestaRecord() const;
    // The whole records of the keys a statement selects.
    Interrogazione RecordDelleChiavi(Interrogazione chiavi) const;
    std::vector<Interrogazione> Componi(Verso verso, const Ancora& ancora, int righe,
                                        Lettura lettura) const;
    std::vector<Interrogazione> Parti(Verso verso, const Ancora& ancora, int righe,
                                      Lettura lettura) const;

    OrdineSorgente mOrdine;
    const Dialetto& mDialetto;
    // Where values are bound the texts of a direction and a form never change:
    // built once, with stand-ins for the anchor's values.
    mutable std::map<std::tuple<Verso, Ancora::Forma, int, Lettura>, std::vector<Interrogazione>>
        mModelli;
};

} // namespace tessaro
