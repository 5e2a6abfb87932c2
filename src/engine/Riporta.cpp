#include "engine/Riporta.h"

#include "host/MessageBox.h"
#include "language/modLanguageSupport.h"

#include <QDebug>

namespace tessaro {

QString Titolo::Risolto() const {
    return mChiave ? GetMessage(mTesto) : mTesto;
}

void SegnalaFallimento(const QString& etichetta, const TessaroError& e, const Titolo& titolo,
                       Impaginazione impaginazione) {
    if (e.Number() == Err::Timeout) {
        // Not a fault: another user's work holds the database for now.
        MsgBox(GetMessage(QStringLiteral("TQ43")), MsgStyle::Exclamation,
               GetMessage(QStringLiteral("TQ02")));
        return;
    }
    if (!e.Statement().isEmpty())
        qWarning().noquote() << etichetta.trimmed() << "failed on:" << e.Statement();
    const QString numero = QString::number(e.Number());
    QString testo;
    switch (impaginazione) {
    case Impaginazione::Riga:
        testo = FailureText(etichetta, e);
        break;
    case Impaginazione::DueSpazi:
        testo = etichetta + numero + QStringLiteral("  ") + e.Description();
        break;
    case Impaginazione::ACapo:
        testo = etichetta + QLatin1Char('\r') + QStringLiteral("Err = ") + numero +
                QStringLiteral("  ") + e.Description();
        break;
    }
    MsgBox(testo, MsgStyle::Critical, titolo.Risolto());
}

} // namespace tessaro
