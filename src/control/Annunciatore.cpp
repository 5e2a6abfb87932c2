#include "control/Annunciatore.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace tessaro {

namespace {

// The class names are those of the widgets below; no other widget is served.
QAccessibleInterface* InterfacciaAnnunci(const QString& classe, QObject* oggetto) {
    if (!oggetto || !oggetto->isWidgetType())
        return nullptr;
    auto* w = static_cast<QWidget*>(oggetto);
    if (classe == QLatin1String("tessaro::Annunciatore"))
        return new QAccessibleWidget(w, QAccessible::StatusBar);
    if (classe == QLatin1String("tessaro::NotificaAnnuncio"))
        return new QAccessibleWidget(w, QAccessible::Notification);
    return nullptr;
}

class NotificaAnnuncio : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;
};

} // namespace

Annunciatore::Annunciatore(QWidget* parent)
    : QWidget(parent), mNotifica(new NotificaAnnuncio(this)) {
    // Installing the same factory again is a no-op.
    QAccessible::installFactory(InterfacciaAnnunci);
    setObjectName(QStringLiteral("tessaroAnnunci"));
    mNotifica->setObjectName(QStringLiteral("tessaroAnnuncio"));
    hide();
}

void Annunciatore::Annuncia(const QString& testo) {
    mNotifica->setAccessibleName(testo);
    if (testo.isEmpty())
        return;
    QAccessibleEvent evento(mNotifica, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&evento);
}

QString Annunciatore::Annunciato() const {
    return mNotifica->accessibleName();
}

} // namespace tessaro

#include "Annunciatore.moc"
