#pragma once

// The statements of the lookup combos, built as text apart from running them.

#include "engine/Legame.h"

#include <QString>
#include <QStringList>

namespace tessaro {

// The statement that lists a combo's items.
struct ElencoCombo {
    QString Sql;
    QString Ordinamento; // ORDER BY text, empty for single-column items
    bool MultiColonna = false;
};

// The combo's columns joined by their separators, ordered by those columns;
// without columns, the whole lookup row (shown by its second column). More
// than eleven separators raise SubscriptOutOfRange.
ElencoCombo StatementElencoCombo(const Legame& legame, const QString& tabella,
                                 const QString& condizione);

// The statement of a combo's key list.
QString StatementChiaviCombo(const QString& tabella, const QString& ordinamento,
                             const QString& filtro);

// The lookup row of one picked key; letterale is the key already escaped for
// a single-quoted literal.
QString StatementRigaCombo(const QString& tabella, const QString& campoChiave,
                           const QString& letterale);

} // namespace tessaro
