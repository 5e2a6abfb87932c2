#pragma once

// The demo's own texts (labels, menus, its messages) in Italian and English.
// The navigator's texts come from the language files; these follow the same
// choice so that the whole window switches together.

#include <QString>

class QWidget;

namespace demo {

// The text of `chiave` in `lingua` ("Italiano" or "English"); Italian for any
// other language, the key itself when it is unknown.
QString Testo(const QString& lingua, const QString& chiave);

// Relabels the labels, buttons, group boxes, menus and actions of `finestra`
// whose object names have a text.
void TraduciFinestra(QWidget* finestra, const QString& lingua);

} // namespace demo
