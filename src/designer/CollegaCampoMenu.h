#pragma once

// The task-menu entry "Collega al campo…" of a widget the navigator can bind: it
// opens the binding editor and writes the widget's dynamic property Tag through
// the form window, so that the change can be undone and is saved in the .ui.

#include <QDesignerTaskMenuExtension>
#include <QObject>
#include <QPointer>

class QAction;
class QDesignerFormWindowInterface;
class QWidget;

namespace tessaro::designer {

// The prefix and the object name of the first navigator on the form around a
// widget; both empty when the form holds none.
struct PrefissoDelForm {
    QString prefisso;
    QString navigatore;
};
PrefissoDelForm CercaNavigatore(const QWidget* form);

// Writes a widget's Tag: through the form window when there is one (adding the
// dynamic property the first time), else on the widget itself.
void ScriviTag(QDesignerFormWindowInterface* formWindow, QWidget* widget, const QString& tag);

class CollegaCampoMenu : public QObject, public QDesignerTaskMenuExtension {
    Q_OBJECT
    Q_INTERFACES(QDesignerTaskMenuExtension)

public:
    CollegaCampoMenu(QWidget* widget, QObject* parent);

    // Double-click keeps Designer's own in-place editing.
    QAction* preferredEditAction() const override { return nullptr; }
    QList<QAction*> taskActions() const override;

    // The widget's kind takes an entry: text boxes, date/time and spin boxes,
    // combo and check boxes, as the navigator binds them.
    static bool Collegabile(const QObject* object);

private:
    void Apri();

    QPointer<QWidget> mWidget;
    QAction* mAzione;
};

} // namespace tessaro::designer
