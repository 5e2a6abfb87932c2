#pragma once

// What the filter box of the demo hands to ImpostaCondizione.

#include <QString>

namespace demo {

// The condition for a surname typed in the filter box: empty for no filter;
// otherwise the surname prefix, matched on Clienti or, for Ordini, on the
// surname of the order's customer. Whatever is typed ends up inside one text
// literal written with the rules of the database kind: an end user never
// writes SQL.
QString CondizioneDaFiltro(const QString& testo, const QString& tabella, int tipoDatabase);

} // namespace demo
