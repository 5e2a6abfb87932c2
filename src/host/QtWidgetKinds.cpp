#include "host/QtWidgetKinds.h"

#include "data/TessaroError.h"
#include "host/QtHostForm.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLCDNumber>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>

namespace tessaro::qthost {

[[noreturn]] void NoSuchMember() {
    TessaroError::Raise(Err::NoSuchMember);
}
[[noreturn]] void InvalidCall() {
    TessaroError::Raise(Err::InvalidCall);
}

bool IsListedName(const QString& name) {
    return !name.isEmpty() && !name.startsWith(QLatin1String("qt_")) &&
           !name.startsWith(QLatin1String("_q_"));
}

QString DynamicText(const QObject* object, const char* property) {
    return object->property(property).toString();
}

// ---------------------------------------------------------------- kinds

namespace {

// A widget that a Qt container shows as one of its pages.
bool IsPage(const QWidget* w) {
    QWidget* parent = w->parentWidget();
    if (!parent)
        return false;
    if (qobject_cast<QStackedWidget*>(parent))
        return true;
    if (auto* dock = qobject_cast<QDockWidget*>(parent))
        return dock->widget() == w;
    if (auto* main = qobject_cast<QMainWindow*>(parent))
        return main->centralWidget() == w;
    // Scroll area contents sit on the area's viewport.
    if (auto* area = qobject_cast<QScrollArea*>(parent->parentWidget()))
        return area->widget() == w;
    return false;
}

// Widgets that are one input however many parts they are built of.
bool IsCompositeInput(const QWidget* w) {
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
           qobject_cast<const QAbstractSlider*>(w) || qobject_cast<const QProgressBar*>(w) ||
           qobject_cast<const QTabBar*>(w) || qobject_cast<const QLabel*>(w) ||
           qobject_cast<const QLCDNumber*>(w);
}

bool IsContainerWidget(const QWidget* w) {
    if (IsCompositeInput(w))
        return false;
    if (qobject_cast<const QGroupBox*>(w) || qobject_cast<const QTabWidget*>(w) ||
        qobject_cast<const QScrollArea*>(w) || qobject_cast<const QDockWidget*>(w))
        return true;
    // Text views, item views and the like are frames too, but composite inputs.
    if (qobject_cast<const QAbstractScrollArea*>(w))
        return false;
    if (qobject_cast<const QFrame*>(w) || IsPage(w))
        return true;
    // A plain widget; custom widget classes are opaque composites.
    return w->metaObject() == &QWidget::staticMetaObject;
}

} // namespace

bool IsValueBox(const QObject* o) {
    return qobject_cast<const QDateTimeEdit*>(o) || qobject_cast<const QSpinBox*>(o) ||
           qobject_cast<const QDoubleSpinBox*>(o);
}

bool IsDesignerLayoutWidget(const QWidget* w) {
    static const QRegularExpression nome(
        QStringLiteral("^(horizontal|vertical|grid|form)?[lL]ayoutWidget(_\\d+)?$"));
    return w->metaObject() == &QWidget::staticMetaObject && nome.match(w->objectName()).hasMatch();
}

ControlKind WidgetKind(const QWidget* w) {
    if (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w) ||
        qobject_cast<const QTextEdit*>(w) || IsValueBox(w))
        return ControlKind::TextBox;
    if (qobject_cast<const QComboBox*>(w))
        return ControlKind::ComboBox;
    if (qobject_cast<const QCheckBox*>(w))
        return ControlKind::CheckBox;
    return IsContainerWidget(w) ? ControlKind::Container : ControlKind::Other;
}

namespace {

// Bars and menus are not containers but hold the form's menus and actions.
bool HoldsActions(const QWidget* w) {
    return qobject_cast<const QMenuBar*>(w) || qobject_cast<const QMenu*>(w) ||
           qobject_cast<const QToolBar*>(w) || qobject_cast<const QStatusBar*>(w);
}

bool IsListedAction(const QObject* o) {
    return (qobject_cast<const QAction*>(o) || qobject_cast<const QTimer*>(o)) &&
           IsListedName(o->objectName());
}

} // namespace

// ---------------------------------------------------------------- walks

QWidget* FormWidgetOf(const QObject* object) {
    const QObject* o = object;
    while (o && !o->isWidgetType())
        o = o->parent();
    if (!o)
        return nullptr;
    QWidget* w = static_cast<const QWidget*>(o)->window();
    while (qobject_cast<QMenu*>(w) && w->parentWidget())
        w = w->parentWidget()->window();
    return w;
}

namespace {

// Children in a stable order: pages of a stacked widget by index, since
// showing a page raises it to the end of children().
QObjectList OrderedChildren(const QObject* parent) {
    auto* stack = qobject_cast<const QStackedWidget*>(parent);
    if (!stack)
        return parent->children();
    QObjectList ordered;
    for (int i = 0; i < stack->count(); ++i)
        ordered << stack->widget(i);
    for (QObject* child : parent->children())
        if (!ordered.contains(child))
            ordered << child;
    return ordered;
}

void CollectChildren(const QObject* parent, QObjectList& out);

void CollectWidget(QWidget* w, QObjectList& out) {
    // A dialog parented to the form is a window of its own.
    if (w->isWindow() && !qobject_cast<QMenu*>(w))
        return;
    if (IsListedName(w->objectName()))
        out << w;
    if (IsContainerWidget(w) || HoldsActions(w))
        CollectChildren(w, out);
}

void CollectChildren(const QObject* parent, QObjectList& out) {
    for (QObject* child : OrderedChildren(parent)) {
        if (child->isWidgetType())
            CollectWidget(static_cast<QWidget*>(child), out);
        else if (IsListedAction(child))
            out << child;
    }
}

} // namespace

QObjectList ListedObjects(QWidget* form) {
    QObjectList out;
    CollectChildren(form, out);
    return out;
}

HostObject* ContainerOf(const QObject* object) {
    auto* w = qobject_cast<const QWidget*>(object);
    if (!w || w->isWindow())
        NoSuchMember(); // actions, timers and menus have no container
    QWidget* form = FormWidgetOf(w);
    for (QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
        if (p == form || p->isWindow())
            return FormOf(p);
        if (IsListedName(p->objectName()) && !IsDesignerLayoutWidget(p))
            return ControlOf(p);
    }
    NoSuchMember();
}

// ---------------------------------------------------------------- enabled

bool OwnEnabled(const QObject* object) {
    if (auto* w = qobject_cast<const QWidget*>(object))
        return !w->testAttribute(Qt::WA_ForceDisabled);
    if (auto* a = qobject_cast<const QAction*>(object))
        return a->isEnabled();
    if (auto* t = qobject_cast<const QTimer*>(object))
        return t->isActive();
    NoSuchMember();
}

void SetOwnEnabled(QObject* object, bool enabled) {
    if (auto* w = qobject_cast<QWidget*>(object))
        w->setEnabled(enabled);
    else if (auto* a = qobject_cast<QAction*>(object))
        a->setEnabled(enabled);
    else if (auto* t = qobject_cast<QTimer*>(object))
        enabled ? t->start() : t->stop();
    else
        NoSuchMember();
}

void* NativeOf(QObject* object) {
    if (auto* w = qobject_cast<QWidget*>(object))
        return w;
    return object;
}

} // namespace tessaro::qthost
