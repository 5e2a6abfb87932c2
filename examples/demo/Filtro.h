#pragma once

// What the filter box of the demo hands to ImpostaCondizione.

#include <QString>

namespace demo {

// Whether the text already is a SQL condition (it holds a comparison or one of
// LIKE, IN, IS, BETWEEN) rather than a name to look for.
bool SembraCondizioneSql(const QString& testo);

// The condition for the typed text: empty for no filter; a SQL condition as it
// is; any other text is a surname prefix, matched on Clienti or, for Ordini,
// on the surname of the order's customer. Apostrophes are doubled.
QString CondizioneDaFiltro(const QString& testo, const QString& tabella);

} // namespace demo
