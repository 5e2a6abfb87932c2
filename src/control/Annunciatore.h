#pragma once

// What the control says to a screen reader whatever widget has the focus: a
// hidden notification inside a hidden status area. Qt's AT-SPI bridge turns
// showing it into "object:state-changed:showing" on an object of role
// notification, which Orca speaks (without the role's name, since it sits in a
// status bar) even when the focus is elsewhere. A value or description change
// would be spoken only on the focused widget.

#include <QString>
#include <QWidget>

namespace tessaro {

class Annunciatore : public QWidget {
    Q_OBJECT

public:
    explicit Annunciatore(QWidget* parent);

    // Speaks the text; an empty text says nothing.
    void Annuncia(const QString& testo);
    // The text spoken last.
    QString Annunciato() const;

private:
    QWidget* mNotifica;
};

} // namespace tessaro
