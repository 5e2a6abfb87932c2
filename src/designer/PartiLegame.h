#pragma once

// The parts of a binding as the binding editor shows them, and the Tag they
// make. The Tag is read back only through the navigator's own parser
// (LeggiLegame), so what the editor says a Tag means is what the navigator will do.

#include "engine/Legame.h"

#include <QList>
#include <QString>

namespace tessaro::designer {

// One column of a lookup combo's item, with the text shown after it.
struct ColonnaVoce {
    QString colonna;
    QString dopo;
    bool operator==(const ColonnaVoce&) const = default;
};

struct PartiLegame {
    // The column shown, or a combo's key column; empty: not bound.
    QString colonna;
    // Text boxes and check boxes: a column of the table `colonna` refers to.
    QString colonnaCollegata;
    // Combos: the lookup table (may be empty) and the columns of an item.
    QString tabellaRicerca;
    QList<ColonnaVoce> voci;
    bool operator==(const PartiLegame&) const = default;
};

// The binding text (what follows the prefix) of the parts. A combo's table is
// written only with columns after it: alone it makes no valid binding. The text
// after the last column is never written.
QString TestoDiParti(const PartiLegame& parti, bool combo);

// The Tag for the parts: what the old Tag held before the prefix, the prefix and
// the binding text; without a column, only what came before the prefix.
QString ComponiTag(const PartiLegame& parti, bool combo, const QString& prefisso,
                   const QString& tagPrecedente = QString());

// The parts of a parsed binding (none when it is not bound).
PartiLegame PartiDiLegame(const Legame& legame);

// The parts a Tag means to the navigator.
PartiLegame LeggiParti(const QString& tag, const QString& prefisso, bool combo);

// What the navigator will do with a Tag, in the plugin's language.
QString DescriviTag(const QString& tag, const QString& prefisso, bool combo);

// The parts do not read back from their Tag as they are (a name holding ¸, an
// empty name among the shown columns, a table without columns, a prefix
// that the parser finds elsewhere).
bool NonRileggibile(const PartiLegame& parti, bool combo, const QString& prefisso);

// The prefix a Tag seems to use when no navigator on the form says it: a
// leading character that no column name starts with.
QString PrefissoIndovinato(const QString& tag);

} // namespace tessaro::designer
