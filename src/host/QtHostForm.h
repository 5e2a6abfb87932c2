#pragma once

// The Qt adapter of the host-form model: top-level widget -> Form, QLineEdit and
// QPlainTextEdit -> TextBox, QComboBox -> ComboBox, QCheckBox -> CheckBox,
// QGroupBox / QFrame / tab pages / plain widgets that hold controls -> containers.
// Name = objectName; Tag and DataField = dynamic properties "Tag" and "DataField".
// Named QActions and QTimers of the form are controls too; like the menus of a
// classic form they have no container and raise 438 when asked for one.
//
// Adapters live as hidden children of the object they wrap, so they are created
// once and die with it.

#include "host/HostForm.h"
#include "host/MessageBox.h"

#include <QString>
#include <functional>
#include <utility>

class QWidget;
class QObject;

namespace tessaro {

// The Form of a top-level widget (or of any widget treated as a form).
Form* FormOf(QWidget* widget);
// The control adapter of a widget or action of a form; nullptr for null.
Control* ControlOf(QObject* object);
// The HostObject for a widget: its Form when it is a window, else its Control.
HostObject* HostObjectOf(QWidget* widget);

// Where the Qt adapter's PrintForm writes when there is no printer; empty means
// the user's documents folder, named after the form and the time.
void SetPrintOutputPath(const QString& path);
QString PrintOutputPath();
// The file written by the last PrintForm that went to a PDF, or empty.
QString LastPrintFile();
// Prints one form or container widget the way PrintForm prints a form; a
// container that is not a form is printed alone. Failures are swallowed.
void PrintHostObject(HostObject* object);
// Whether printing goes to a printer rather than to a PDF file.
bool HasDefaultPrinter();

// QMessageBox-based message boxes, parented to the active window.
class QtMessageBoxService : public MessageBoxService {
public:
    // The text of a button by its answer (MsgAnswer), looked up as each box is
    // shown; an empty text keeps Qt's own (translated when the host loaded
    // Qt's translations).
    using TestiPulsanti = std::function<QString(int answer)>;
    explicit QtMessageBoxService(TestiPulsanti testi = {}) : mTesti(std::move(testi)) {}
    int Show(const QString& text, int style, const QString& title) override;

private:
    TestiPulsanti mTesti;
};

// Gives a locked field the look of read-only text, in the colours of its
// style's palette (the window's colour behind the text), and takes it back
// when the field is unlocked.
void MostraSolaLettura(QWidget* widget, bool locked);

} // namespace tessaro
