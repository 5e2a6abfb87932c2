#pragma once

// The statements of the lookup combos, built as text apart from running them.

#include <QString>
#include <QStringList>

namespace tessaro {

// The statement that lists a combo's items, from the parts of its binding text.
struct ElencoCombo {
    QString Sql;
    QString Ordinamento;    // ORDER BY text, empty for single-column items
    QStringList Separatori; // text after each column of a multi-column item
    bool MultiColonna = false;
};

// Parts of three or more: columns at 2, 4, 6, ... and separators between them.
// Fewer parts: the whole lookup row, shown by its second column.
ElencoCombo StatementElencoCombo(const QStringList& parti, const QString& tabella,
                                 const QString& condizione);

// The statement of a combo's key list.
QString StatementChiaviCombo(const QString& tabella, const QString& ordinamento,
                             const QString& filtro);

// The lookup row of one picked key; letterale is the key already escaped for
// a single-quoted literal.
QString StatementRigaCombo(const QString& tabella, const QString& campoChiave,
                           const QString& letterale);

// A two-piece binding whose second piece is not empty is not a valid combo tag.
bool TagComboNonValido(const QStringList& parti);

} // namespace tessaro
