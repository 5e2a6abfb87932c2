#pragma once

// Printing for the Qt adapter's files; hosts use the functions of QtHostForm.h.

#include <QString>

class QWidget;

namespace tessaro::qthost {

// Prints what the widget shows: on the default printer when there is one, else
// into a PDF file named after `name`. Failures are swallowed.
void PrintWidgetImage(QWidget* widget, const QString& name);

} // namespace tessaro::qthost
