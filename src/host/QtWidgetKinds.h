#pragma once

// How the Qt adapter reads a widget tree: which objects are listed controls and
// of what kind, their order on the form, their container and their own Enabled.
// For the adapter's files; hosts include QtHostForm.h.

#include "host/HostForm.h"

#include <QObject>
#include <QString>

class QWidget;

namespace tessaro::qthost {

[[noreturn]] void NoSuchMember();
[[noreturn]] void InvalidCall();

// A name that puts an object on the form's control list.
bool IsListedName(const QString& name);
// A dynamic property as text ("Tag", "DataField").
QString DynamicText(const QObject* object, const char* property);

ControlKind WidgetKind(const QWidget* w);
// A date/time edit or a spin box, bound through its user property.
bool IsValueBox(const QObject* o);
// A plain widget that Qt Designer inserts to hold a layout ("layoutWidget",
// "horizontalLayoutWidget_2", ...); never a container of its own.
bool IsDesignerLayoutWidget(const QWidget* w);

// The window that owns an object; a popup menu belongs to the window it pops from.
QWidget* FormWidgetOf(const QObject* object);
// The listed controls of a form, depth first, in a stable order.
QObjectList ListedObjects(QWidget* form);
// The form or the nearest named widget around a control; 438 when it has none.
HostObject* ContainerOf(const QObject* object);

// A widget's own Enabled, not the one inherited from a disabled container.
bool OwnEnabled(const QObject* object);
void SetOwnEnabled(QObject* object, bool enabled);
void* NativeOf(QObject* object);

} // namespace tessaro::qthost
