#pragma once

// The texts that save a record, built from the values the bound controls give,
// apart from the controls and the connection so they can be checked as text.

#include "engine/Dialetto.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>
#include <vector>

namespace tessaro {

// How a column's value is written, by its type code.
enum class GruppoColonna { Carattere, Intero, Logico, Data, Ora, AltroNumero };
GruppoColonna GruppoDi(int tipoDati);

// What the control serving a column gives.
enum class FonteValore {
    Testo,           // a text box: its Text
    Spunta,          // a check box: checked (or grayed) or not
    ChiaveCombo,     // a lookup combo: the key of the chosen item
    Nullo,           // a lookup combo showing nothing
    VoceSconosciuta, // a lookup combo whose text is none of its items
};

// One column that a control serves, in the order of the column metadata.
// Columns that no control serves are not listed: saving leaves them alone.
struct ColonnaServita {
    QString nome;
    short tipo = 0;
    long lunghezzaMassima = 0;
    bool chiavePrimaria = false;
    // DECIMAL(p, s); precision 0 when the column has none.
    int precisione = 0;
    int scala = 0;
    // The database numbers a new row when the column is left empty.
    bool autoIncremento = false;
    // Digits of a second's fraction the column keeps (-1: any).
    int cifreSecondi = -1;
    // The database alone writes the column: a value given is refused.
    bool sempreGenerata = false;
    FonteValore fonte = FonteValore::Nullo;
    QString testo;         // the text box's Text, or the combo's key
    bool spuntata = false; // check box
    QString tag;           // the control's Tag, named by the messages
    // The user changed what the control showed of the record loaded.
    bool cambiata = true;
};

// One column of the primary key of the record being edited, as it was loaded.
struct ParteChiave {
    QString nome;
    short tipo = 0;
    QVariant valore;
};
// The whole key: one part for each of its columns, in key order.
using ChiaveRecord = std::vector<ParteChiave>;

// A message box that stops the save.
struct MessaggioSalvataggio {
    QString testo;
    int stile = 0;
    QString titolo;
};

enum class ModoSalvataggio { Inserimento, Modifica };

struct TestiSalvataggio {
    // The INSERT of a new record, or the UPDATE of an edited one; empty for
    // an edited record in which nothing changed.
    QString statement;
    // The key of the saved record as the form gives it (empty when the key
    // column is not served or was left empty): where to move after the save.
    QString testoChiave;
    // The columns the statement writes.
    QStringList scritte;
    // The UPDATE gives the key a new value.
    bool chiaveCambiata = false;
    std::optional<MessaggioSalvataggio> messaggio;
};

// Builds the statement that saves one record, or the first message that stops
// it. An INSERT writes every served column, and gives the new key back where
// the kind can; an UPDATE only the changed ones, which alone are checked, and
// finds its row by the loaded key. Column names are the database's own, which
// the kind quotes where needed; the table comes as statements write it.
// Raises InvalidCall when a combo's key does not suit its column.
TestiSalvataggio ComponiSalvataggio(const QString& tabella,
                                    const std::vector<ColonnaServita>& colonne,
                                    const ChiaveRecord& chiave, const Dialetto& dialetto,
                                    ModoSalvataggio modo);

// A key value as a literal of its column's type: a whole number bare, a
// decimal number bare with ".", text and dates quoted (dates in the kind's own
// literal where it has to be). Raises InvalidCall for an integer key that is not
// a whole number and for a date the kind cannot write.
QString LetteraleChiave(short tipo, const QString& valore, const Dialetto& dialetto);
// The value to bind in place of LetteraleChiave's literal, comparing the same;
// nothing where only the literal says it exactly (decimal keys, dates of
// literal-only kinds, whole numbers beyond 64 bits). Raises as LetteraleChiave.
std::optional<QVariant> ValoreChiaveLegato(short tipo, const QString& valore,
                                           const Dialetto& dialetto);

// The condition that finds a record by its key: "K = 5" or "K = 'x'".
QString CondizioneSuChiave(const QString& nome, short tipo, const QString& valore,
                           const Dialetto& dialetto);
// The same for every part of a key, joined by AND; names prefixed with `tabella.`
// when one is given.
QString CondizioneSuChiave(const ChiaveRecord& chiave, const Dialetto& dialetto,
                           const QString& tabella = QString());
// The separator of the parts of a key of several columns written as one text
// (the tag separator, which no key of the form types).
inline constexpr QChar kSeparatoreChiave{0x00B8};

// Length of a text in characters (code points), as the databases count it.
long LunghezzaInCaratteri(const QString& testo);

} // namespace tessaro
