#pragma once

// What a bound control's Tag says, parsed once: a column of the primary table,
// a column of a linked table shown through the join, or a lookup combo with
// its table, the columns that make an item and the texts between them.

#include <QString>
#include <QStringList>

namespace tessaro {

// Separates the pieces of a binding text.
inline constexpr QChar kSeparatoreTag(0x00B8);

enum class TipoLegame {
    Nessuno,          // not bound: an empty Tag, or one without the prefix
    Colonna,          // a column of the primary table
    ColonnaCollegata, // a column of the table that `colonna` refers to
    Ricerca,          // a lookup combo on the column `colonna`
    // A text box or check box whose Tag names no column of the primary table
    // (another table's qualified column, a column not there): never shown
    // nor saved, and read-only.
    Rifiutato,
};

struct Legame {
    TipoLegame tipo = TipoLegame::Nessuno;
    // The primary table's column: shown, referring to a linked table, or
    // holding a lookup combo's key.
    QString colonna;
    // ColonnaCollegata: the linked table's column shown (it may carry a
    // "Table." qualifier).
    QString colonnaCollegata;
    // Ricerca: the lookup table named in the Tag (possibly empty), the columns
    // that make an item's text and the text after each but the last. Without
    // columns the item is the lookup row's second column.
    QString tabellaRicerca;
    QStringList colonneVoce;
    QStringList separatori;
    // Ricerca: two pieces whose second is not empty, which no combo accepts.
    bool nonValido = false;
    // Colonna: the type of the column, which a text box shows the value by.
    int tipoColonna = 0;

    bool Legato() const { return tipo != TipoLegame::Nessuno && tipo != TipoLegame::Rifiutato; }
    // The column a text box or check box shows, or the combo's key column.
    const QString& ColonnaMostrata() const {
        return tipo == TipoLegame::ColonnaCollegata ? colonnaCollegata : colonna;
    }
};

// The binding text of a Tag: what follows the first occurrence of the prefix
// (of any length), or the whole Tag when the prefix is empty; empty when the
// prefix does not occur.
QString TestoDiLegame(const QString& tag, const QString& prefisso);

// The binding of a Tag on a control; `combo` tells a lookup combo from a text
// box or check box, which read the same pieces differently.
Legame LeggiLegame(const QString& tag, const QString& prefisso, bool combo);

} // namespace tessaro
