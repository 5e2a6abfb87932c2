#pragma once

// What the engine touches of the host's form and its controls. Members that a
// control lacks raise NoSuchMember (438), as the walks over containers expect.

#include <QString>
#include <QVariant>
#include <vector>

namespace tessaro {

class Form;
class Control;

enum class ControlKind { Form, TextBox, ComboBox, CheckBox, Container, Other };

// Anything that can hold bound controls: a form or a container control.
class HostObject {
public:
    virtual ~HostObject() = default;
    virtual QString Name() const = 0;
    virtual ControlKind Kind() const = 0;
    bool IsForm() const { return Kind() == ControlKind::Form; }
    // The form itself for a form, the parent form for a control.
    virtual Form* ParentForm() const = 0;
    // The native object behind it (the QWidget for the Qt adapter).
    virtual void* Native() const = 0;
    // Prints what it shows: a form prints itself as PrintForm does, a container
    // prints itself alone rather than its whole form. Failures are swallowed.
    virtual void Print() = 0;
};

class Control : public HostObject {
public:
    virtual QString Tag() const = 0;
    virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    // The form that holds the control.
    Form* Parent() const { return ParentForm(); }
    // Its immediate container: the form or a frame-like control. 438 when it has none.
    virtual HostObject* Container() const = 0;
    // A property the host set on the control (a dynamic property in Qt
    // Designer), such as "ChiaveModificabile"; invalid when it has none.
    virtual QVariant Property(const char* name) const = 0;

    bool IsTextBox() const { return Kind() == ControlKind::TextBox; }
    bool IsComboBox() const { return Kind() == ControlKind::ComboBox; }
    bool IsCheckBox() const { return Kind() == ControlKind::CheckBox; }
};

class TextBox : public Control {
public:
    virtual QString Text() const = 0;
    virtual void SetText(const QString& text) = 0;
    virtual bool Locked() const = 0;
    virtual void SetLocked(bool locked) = 0;
    virtual int SelStart() const = 0;
    virtual void SetSelStart(int start) = 0;
    virtual int SelLength() const = 0;
    virtual void SetSelLength(int length) = 0;
    // Shows a column value of type code `tipo` (0: by the value's own type) as
    // the user's locale writes it; a box that holds a value of its own (dates,
    // numbers) takes it through that value.
    virtual void ShowValue(const QVariant& value, int tipo);
};

class CheckBox : public Control {
public:
    // 0 unchecked, 1 checked, 2 grayed.
    virtual int Value() const = 0;
    virtual void SetValue(int value) = 0;
};

class ComboBox : public Control {
public:
    virtual int ListIndex() const = 0;
    virtual void SetListIndex(int index) = 0;
    // Item text; an index out of range raises InvalidCall.
    virtual QString List(int index) const = 0;
    virtual int ListCount() const = 0;
    virtual void Clear() = 0;
    virtual QString Text() const = 0;
    // On a non-editable combo this selects the matching item, or none.
    virtual void SetText(const QString& text) = 0;
    virtual QString DataField() const = 0;
    virtual bool Locked() const = 0;
    virtual void SetLocked(bool locked) = 0;
    // Empty the list; append one item at the end (the list never sorts).
    virtual void ResetList() = 0;
    virtual void AddItem(const QString& text) = 0;
};

class Form : public HostObject {
public:
    // Every named control of the form, also those inside frames, in a stable
    // depth-first order.
    virtual std::vector<Control*> Controls() const = 0;
    // Prints the form's client area.
    virtual void PrintForm() = 0;
    virtual Control* ActiveControl() const = 0;
    Form* ParentForm() const override { return const_cast<Form*>(this); }
    void Print() override { PrintForm(); }
};

// Kind tests and casts that raise NoSuchMember when the object is not of the kind.
TextBox& AsTextBox(Control& c);
ComboBox& AsComboBox(Control& c);
CheckBox& AsCheckBox(Control& c);

} // namespace tessaro
