#include "control/BarraPulsanti.h"

#include <QEvent>
#include <QLayout>

namespace tessaro {

BarraPulsanti::BarraPulsanti(QWidget* parent) : QToolBar(parent) {
    setMovable(false);
    setFloatable(false);
    setContentsMargins(0, 0, 0, 0);
    TogliMargini();
}

void BarraPulsanti::changeEvent(QEvent* event) {
    QToolBar::changeEvent(event);
    if (event->type() == QEvent::StyleChange)
        TogliMargini();
}

void BarraPulsanti::TogliMargini() {
    if (QLayout* l = layout()) {
        l->setSpacing(0);
        l->setContentsMargins(0, 0, 0, 0);
    }
}

} // namespace tessaro
