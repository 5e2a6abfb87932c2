#include "Filtro.h"

#include "engine/Dialetto.h"

namespace demo {

QString CondizioneDaFiltro(const QString& testo, const QString& tabella, int tipoDatabase) {
    const QString t = testo.trimmed();
    if (t.isEmpty())
        return QString();
    const QString prefisso =
        u'\'' + tessaro::Dialetto::Per(tipoDatabase).EscapeTesto(t) + QStringLiteral("%'");
    if (tabella.compare(QLatin1String("Ordini"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("IdCliente IN (SELECT IdCliente FROM Clienti WHERE Cognome LIKE ") +
               prefisso + u')';
    return QStringLiteral("Cognome LIKE ") + prefisso;
}

} // namespace demo
