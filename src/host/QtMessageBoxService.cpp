#include "host/QtHostForm.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSpacerItem>

#include <algorithm>

namespace tessaro {

namespace {

constexpr int kAnswerAbort = 3;
constexpr int kAnswerRetry = 4;
constexpr int kAnswerIgnore = 5;

// The buttons of a style in their order on the box, and the one Escape presses.
struct ButtonSet {
    QList<QMessageBox::StandardButton> order;
    QMessageBox::StandardButton escape;
};

ButtonSet ButtonsOf(int style) {
    using B = QMessageBox;
    switch (style & 7) {
    case 1:
        return {{B::Ok, B::Cancel}, B::Cancel};
    case 2:
        return {{B::Abort, B::Retry, B::Ignore}, B::NoButton};
    case MsgStyle::YesNoCancel:
        return {{B::Yes, B::No, B::Cancel}, B::Cancel};
    case MsgStyle::YesNo:
        return {{B::Yes, B::No}, B::No};
    case 5:
        return {{B::Retry, B::Cancel}, B::Cancel};
    default:
        return {{B::Ok}, B::Ok};
    }
}

QMessageBox::Icon IconOf(int style) {
    switch (style & 0x70) {
    case MsgStyle::Critical:
        return QMessageBox::Critical;
    case MsgStyle::Question:
        return QMessageBox::Question;
    case MsgStyle::Exclamation:
        return QMessageBox::Warning;
    case 64:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// The first button unless the style asks for the second (256) or third (512).
QMessageBox::StandardButton DefaultButtonOf(const ButtonSet& set, int style) {
    const int wanted = (style >> 8) & 3;
    return set.order.at(std::min<int>(wanted, set.order.size() - 1));
}

int AnswerOf(QMessageBox::StandardButton button) {
    switch (button) {
    case QMessageBox::Ok:
        return MsgAnswer::Ok;
    case QMessageBox::Cancel:
        return MsgAnswer::Cancel;
    case QMessageBox::Abort:
        return kAnswerAbort;
    case QMessageBox::Retry:
        return kAnswerRetry;
    case QMessageBox::Ignore:
        return kAnswerIgnore;
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    default:
        return MsgAnswer::Cancel;
    }
}

QMessageBox::StandardButtons Combined(const ButtonSet& set) {
    QMessageBox::StandardButtons all;
    for (auto b : set.order)
        all |= b;
    return all;
}

// Window managers cut a title wider than the box; the box grows to hold it.
void LargoPerIlTitolo(QMessageBox& box, const QString& titolo) {
    auto* griglia = qobject_cast<QGridLayout*>(box.layout());
    if (!griglia)
        return;
    const int margine = 120; // the frame's buttons and icon beside the title
    const int larghezza = box.fontMetrics().horizontalAdvance(titolo) + margine;
    griglia->addItem(new QSpacerItem(larghezza, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                     griglia->rowCount(), 0, 1, griglia->columnCount());
}

} // namespace

int QtMessageBoxService::Show(const QString& text, int style, const QString& title) {
    // Without a widget application there is nobody to ask.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return DefaultAnswer(style);
    const ButtonSet set = ButtonsOf(style);
    const QString caption = title.isEmpty() ? QGuiApplication::applicationDisplayName() : title;
    const QPointer<QWidget> sotto = QApplication::activeWindow();
    QMessageBox box(IconOf(style), caption, text, Combined(set), sotto);
    box.setDefaultButton(DefaultButtonOf(set, style));
    if (mTesti)
        for (auto b : set.order)
            if (const QString t = mTesti(AnswerOf(b)); !t.isEmpty())
                box.button(b)->setText(t);
    LargoPerIlTitolo(box, caption);
    if (set.escape != QMessageBox::NoButton)
        box.setEscapeButton(set.escape);
    box.exec();
    // The window under the box takes the keyboard back. A window manager
    // would activate it; without one (a kiosk session) no window would be
    // active and the form's shortcuts would go dead.
    if (sotto && sotto->isVisible())
        sotto->activateWindow();
    const auto clicked = box.standardButton(box.clickedButton());
    if (clicked != QMessageBox::NoButton)
        return AnswerOf(clicked);
    return AnswerOf(set.escape != QMessageBox::NoButton ? set.escape : set.order.front());
}

} // namespace tessaro
