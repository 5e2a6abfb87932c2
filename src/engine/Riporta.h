#pragma once

// "Run this, and on failure show the labelled box": the one way an operation
// reports an unexpected failure to the user.

#include "data/TessaroError.h"

#include <QString>
#include <utility>

namespace tessaro {

// The title of a failure box: a fixed text, or a message key looked up only
// when a box is shown.
class Titolo {
public:
    static Titolo Testo(const QString& testo) { return Titolo(testo, false); }
    static Titolo Messaggio(const QString& chiave) { return Titolo(chiave, true); }
    QString Risolto() const;

private:
    Titolo(const QString& testo, bool chiave) : mTesto(testo), mChiave(chiave) {}
    QString mTesto;
    bool mChiave;
};

// The title most failure boxes take.
inline Titolo TitoloTQ03() {
    return Titolo::Messaggio(QStringLiteral("TQ03"));
}

// How the label and the failure are laid out in the box.
enum class Impaginazione {
    Riga,     // label, number, a blank, description
    DueSpazi, // label, number, two blanks, description
    ACapo,    // label, "\r", "Err = ", number, two blanks, description
};

// Shows the failure box (critical icon) of an operation. The statement that
// failed, when there is one, goes to the log: the box keeps the user's text.
// A busy database (Timeout) gets the plain "try again" message instead.
void SegnalaFallimento(const QString& etichetta, const TessaroError& e, const Titolo& titolo,
                       Impaginazione impaginazione = Impaginazione::Riga);

// Runs an operation; a TessaroError it raises is shown in the labelled box.
// True when the operation completed.
template <typename F>
bool Riporta(const QString& etichetta, const Titolo& titolo, F&& operazione,
             Impaginazione impaginazione = Impaginazione::Riga) {
    try {
        std::forward<F>(operazione)();
        return true;
    } catch (const TessaroError& e) {
        SegnalaFallimento(etichetta, e, titolo, impaginazione);
        return false;
    }
}

} // namespace tessaro
