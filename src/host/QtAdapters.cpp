#include "host/QtHostForm.h"

#include "host/QtPrinting.h"
#include "host/QtWidgetKinds.h"

#include "data/Values.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMetaProperty>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSpinBox>
#include <QTextCursor>
#include <QTextEdit>
#include <QWidget>
#include <optional>

#include <algorithm>
#include <limits>
#include <unordered_set>

namespace tessaro {

namespace {

using namespace qthost;

// Adapters are hidden children of what they wrap; the "qt_" prefix keeps them
// (and Qt's own internal children) out of every control list.
const QString kFormAdapterName = QStringLiteral("qt_tessaro_adapter_form");
const QString kControlAdapterName = QStringLiteral("qt_tessaro_adapter_control");

template <class Interface> class ObjectAdapter : public QObject, public Interface {
public:
    explicit ObjectAdapter(QObject* wrapped) : QObject(wrapped) {
        setObjectName(kControlAdapterName);
        // The Tag is read at every record shown: kept until the property changes.
        wrapped->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::DynamicPropertyChange &&
            static_cast<QDynamicPropertyChangeEvent*>(event)->propertyName() == "Tag")
            mTag.reset();
        return QObject::eventFilter(watched, event);
    }

    QObject* Wrapped() const { return parent(); }

    QString Name() const override { return Wrapped()->objectName(); }
    ControlKind Kind() const override {
        auto* w = qobject_cast<QWidget*>(Wrapped());
        return w ? WidgetKind(w) : ControlKind::Other;
    }
    Form* ParentForm() const override { return FormOf(FormWidgetOf(Wrapped())); }
    void* Native() const override { return NativeOf(Wrapped()); }
    QString Tag() const override {
        if (!mTag)
            mTag = DynamicText(Wrapped(), "Tag");
        return *mTag;
    }
    QVariant Property(const char* name) const override { return Wrapped()->property(name); }
    bool Enabled() const override { return OwnEnabled(Wrapped()); }
    void SetEnabled(bool enabled) override { SetOwnEnabled(Wrapped(), enabled); }
    HostObject* Container() const override { return ContainerOf(Wrapped()); }
    // Actions and timers show nothing to print.
    void Print() override {
        if (auto* w = qobject_cast<QWidget*>(Wrapped()))
            PrintWidgetImage(w, Name());
    }

private:
    mutable std::optional<QString> mTag;
};

using GenericAdapter = ObjectAdapter<Control>;

class LineEditAdapter : public ObjectAdapter<TextBox> {
public:
    explicit LineEditAdapter(QLineEdit* edit) : ObjectAdapter(edit), mEdit(edit) {}

    ControlKind Kind() const override { return ControlKind::TextBox; }
    QString Text() const override { return mEdit->text(); }
    void SetText(const QString& text) override { mEdit->setText(text); }
    bool Locked() const override { return mEdit->isReadOnly(); }
    void SetLocked(bool locked) override {
        mEdit->setReadOnly(locked);
        MostraSolaLettura(mEdit, locked);
    }

    int SelStart() const override {
        return mEdit->hasSelectedText() ? mEdit->selectionStart() : mEdit->cursorPosition();
    }
    // Moving the start drops the selection, as in a classic text box.
    void SetSelStart(int start) override {
        if (start < 0)
            InvalidCall();
        mEdit->setCursorPosition(std::min<int>(start, mEdit->text().size()));
    }
    int SelLength() const override { return mEdit->selectedText().size(); }
    void SetSelLength(int length) override {
        if (length < 0)
            InvalidCall();
        const int start = SelStart();
        const int clamped = std::min<int>(length, mEdit->text().size() - start);
        if (clamped == 0)
            mEdit->setCursorPosition(start);
        else
            mEdit->setSelection(start, clamped);
    }

private:
    QLineEdit* mEdit;
};

// QPlainTextEdit and QTextEdit, both as plain text.
template <class Edit> class PlainTextAdapter : public ObjectAdapter<TextBox> {
public:
    explicit PlainTextAdapter(Edit* edit) : ObjectAdapter(edit), mEdit(edit) {}

    ControlKind Kind() const override { return ControlKind::TextBox; }
    QString Text() const override { return mEdit->toPlainText(); }
    void SetText(const QString& text) override { mEdit->setPlainText(text); }
    bool Locked() const override { return mEdit->isReadOnly(); }
    void SetLocked(bool locked) override {
        mEdit->setReadOnly(locked);
        MostraSolaLettura(mEdit, locked);
    }

    int SelStart() const override { return mEdit->textCursor().selectionStart(); }
    void SetSelStart(int start) override {
        if (start < 0)
            InvalidCall();
        QTextCursor cursor = mEdit->textCursor();
        cursor.setPosition(std::min(start, EndPosition()));
        mEdit->setTextCursor(cursor);
    }
    int SelLength() const override {
        const QTextCursor cursor = mEdit->textCursor();
        return cursor.selectionEnd() - cursor.selectionStart();
    }
    void SetSelLength(int length) override {
        if (length < 0)
            InvalidCall();
        const int start = SelStart();
        QTextCursor cursor = mEdit->textCursor();
        cursor.setPosition(start);
        cursor.setPosition(start + std::min(length, EndPosition() - start),
                           QTextCursor::KeepAnchor);
        mEdit->setTextCursor(cursor);
    }

private:
    int EndPosition() const { return mEdit->document()->characterCount() - 1; }
    Edit* mEdit;
};

// Date, time and number boxes, read and written through their user property
// (as QDataWidgetMapper does) in the texts of ValueToText. NULL is the minimum,
// shown as the box's special "empty" text. A box that is first emptied without
// one gets a blank one a step below its range, so every value of the range
// stays a value; until then the box is left exactly as the host made it.
class SpinAdapter : public ObjectAdapter<TextBox> {
public:
    explicit SpinAdapter(QAbstractSpinBox* box)
        : ObjectAdapter(box), mBox(box), mProperty(box->metaObject()->userProperty()) {}

    ControlKind Kind() const override { return ControlKind::TextBox; }
    QString Text() const override {
        const QVariant v = mProperty.read(mBox);
        if (!mBox->specialValueText().isEmpty() && v == Minimum())
            return QString();
        return ValueToText(v);
    }
    void SetText(const QString& text) override {
        const QString t = text.trimmed();
        if (t.isEmpty() && mBox->specialValueText().isEmpty())
            PreparaVuoto();
        const QVariant v = t.isEmpty() ? Minimum() : Parsed(t);
        if (!v.isValid())
            InvalidCall();
        mProperty.write(mBox, v);
    }
    // The box shows its value its own way; the plain text is what it reads.
    void ShowValue(const QVariant& value, int) override { SetText(ValueToText(value)); }
    bool Locked() const override { return mBox->isReadOnly(); }
    void SetLocked(bool locked) override {
        mBox->setReadOnly(locked);
        MostraSolaLettura(mBox, locked);
    }
    int SelStart() const override {
        return Edit()->hasSelectedText() ? Edit()->selectionStart() : Edit()->cursorPosition();
    }
    void SetSelStart(int start) override {
        if (start < 0)
            InvalidCall();
        Edit()->setCursorPosition(start);
    }
    int SelLength() const override { return Edit()->selectedText().size(); }
    void SetSelLength(int length) override {
        if (length < 0)
            InvalidCall();
        Edit()->setSelection(SelStart(), length);
    }

private:
    void PreparaVuoto() {
        mBox->setSpecialValueText(QStringLiteral(" "));
        if (auto* d = qobject_cast<QDateTimeEdit*>(mBox)) {
            if (d->displayedSections() & QDateTimeEdit::DateSections_Mask)
                d->setMinimumDateTime(d->minimumDateTime().addDays(-1));
        } else if (auto* i = qobject_cast<QSpinBox*>(mBox)) {
            if (i->minimum() > std::numeric_limits<int>::min())
                i->setMinimum(i->minimum() - i->singleStep());
        } else if (auto* f = qobject_cast<QDoubleSpinBox*>(mBox)) {
            f->setMinimum(f->minimum() - f->singleStep());
        }
    }
    QLineEdit* Edit() const { return mBox->findChild<QLineEdit*>(); }
    QVariant Minimum() const {
        if (auto* d = qobject_cast<QDateTimeEdit*>(mBox)) {
            const QDateTime m = d->minimumDateTime();
            switch (mProperty.typeId()) {
            case QMetaType::QDate:
                return m.date();
            case QMetaType::QTime:
                return d->minimumTime();
            default:
                return m;
            }
        }
        if (auto* i = qobject_cast<QSpinBox*>(mBox))
            return i->minimum();
        if (auto* f = qobject_cast<QDoubleSpinBox*>(mBox))
            return f->minimum();
        return QVariant();
    }
    // The text as a value of the property's type; invalid when it is none.
    QVariant Parsed(const QString& t) const {
        const QDateTime quando = DataIso(t);
        switch (mProperty.typeId()) {
        case QMetaType::QDate:
            return quando.isValid() ? QVariant(quando.date()) : QVariant();
        case QMetaType::QDateTime:
            return quando.isValid() ? QVariant(quando) : QVariant();
        case QMetaType::QTime: {
            if (quando.isValid())
                return quando.time();
            for (const char* f : {"hh:mm:ss", "hh:mm"})
                if (const QTime ora = QTime::fromString(t, QLatin1String(f)); ora.isValid())
                    return ora;
            return QVariant();
        }
        case QMetaType::Int: {
            bool ok = false;
            const int n = t.toInt(&ok);
            return ok ? QVariant(n) : QVariant();
        }
        default: {
            bool ok = false;
            const double x = t.toDouble(&ok);
            return ok ? QVariant(x) : QVariant();
        }
        }
    }
    static QDateTime DataIso(const QString& t) {
        for (const char* f : {"yyyy-MM-dd hh:mm:ss", "yyyy-MM-dd hh:mm", "yyyy-MM-dd"})
            if (const QDateTime d = QDateTime::fromString(t, QLatin1String(f)); d.isValid())
                return d;
        return QDateTime();
    }

    QAbstractSpinBox* mBox;
    QMetaProperty mProperty;
};

class CheckBoxAdapter : public ObjectAdapter<CheckBox> {
public:
    explicit CheckBoxAdapter(QCheckBox* box) : ObjectAdapter(box), mBox(box) {}

    ControlKind Kind() const override { return ControlKind::CheckBox; }
    int Value() const override {
        switch (mBox->checkState()) {
        case Qt::Checked:
            return 1;
        case Qt::PartiallyChecked:
            return 2;
        default:
            return 0;
        }
    }
    void SetValue(int value) override {
        static constexpr Qt::CheckState kStates[] = {Qt::Unchecked, Qt::Checked,
                                                     Qt::PartiallyChecked};
        if (value < 0 || value > 2)
            InvalidCall();
        mBox->setCheckState(kStates[value]);
    }

private:
    QCheckBox* mBox;
};

// Keys with which a user changes a combo's selection or opens its list.
bool IsSelectionKey(const QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_F4:
    case Qt::Key_Select:
        return true;
    default:
        return false;
    }
}

// On the combo itself Home/End/arrows/space and typed letters also select.
bool ChangesComboSelection(const QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Space:
        return true;
    default:
        return IsSelectionKey(e) || (!e->text().isEmpty() && e->text().at(0).isPrint());
    }
}

bool IsMouseChange(QEvent::Type type) {
    return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick ||
           type == QEvent::MouseButtonRelease || type == QEvent::Wheel;
}

class ComboBoxAdapter : public ObjectAdapter<ComboBox> {
public:
    explicit ComboBoxAdapter(QComboBox* combo) : ObjectAdapter(combo), mCombo(combo) {
        // The list is kept parallel to a key list: the user must never insert
        // or reorder items.
        mCombo->setInsertPolicy(QComboBox::NoInsert);
        mCombo->installEventFilter(this);
        WatchLineEdit();
    }

    ControlKind Kind() const override { return ControlKind::ComboBox; }

    // While the user types over an editable combo, no item is selected.
    int ListIndex() const override {
        const int index = mCombo->currentIndex();
        if (index >= 0 && mCombo->isEditable() && mCombo->currentText() != mCombo->itemText(index))
            return -1;
        return index;
    }
    void SetListIndex(int index) override {
        if (index < -1 || index >= mCombo->count())
            InvalidCall();
        mCombo->setCurrentIndex(index);
        if (mCombo->isEditable())
            mCombo->setEditText(mCombo->itemText(index));
    }
    QString List(int index) const override {
        if (index < 0 || index >= mCombo->count())
            InvalidCall();
        return mCombo->itemText(index);
    }
    int ListCount() const override { return mCombo->count(); }
    void Clear() override {
        mCombo->clear();
        if (mCombo->isEditable())
            mCombo->clearEditText();
    }
    QString Text() const override { return mCombo->currentText(); }
    void SetText(const QString& text) override {
        const int match = text.isEmpty() ? -1 : ExactMatch(text);
        mCombo->setCurrentIndex(match);
        if (mCombo->isEditable())
            mCombo->setEditText(text);
    }
    QString DataField() const override { return DynamicText(mCombo, "DataField"); }
    bool Locked() const override { return mLocked; }
    void SetLocked(bool locked) override {
        mLocked = locked;
        WatchLineEdit();
        if (mCombo->lineEdit())
            mCombo->lineEdit()->setReadOnly(locked);
        MostraSolaLettura(mCombo, locked);
        if (locked)
            mCombo->hidePopup();
    }
    void ResetList() override { Clear(); }
    // Appending never selects: a combo with no selection keeps none.
    void AddItem(const QString& text) override {
        const bool noneSelected = ListIndex() < 0;
        const QString shown = mCombo->currentText();
        mCombo->insertItem(mCombo->count(), text);
        if (noneSelected && mCombo->currentIndex() >= 0) {
            mCombo->setCurrentIndex(-1);
            if (mCombo->isEditable())
                mCombo->setEditText(shown);
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        ObjectAdapter::eventFilter(watched, event);
        // A line edit is polished before the user can reach it.
        if (watched == mCombo && event->type() == QEvent::ChildPolished)
            WatchLineEdit();
        if (!mLocked)
            return false;
        if (watched == mCombo)
            return BlockOnCombo(event);
        return BlockOnLineEdit(event);
    }

private:
    int ExactMatch(const QString& text) const {
        for (int i = 0; i < mCombo->count(); ++i)
            if (mCombo->itemText(i) == text)
                return i;
        return -1;
    }

    // A combo made editable later gets its new line edit watched and locked too.
    void WatchLineEdit() {
        QLineEdit* edit = mCombo->lineEdit();
        if (edit == mWatchedEdit)
            return;
        mWatchedEdit = edit;
        if (!edit)
            return;
        edit->installEventFilter(this);
        if (mLocked)
            edit->setReadOnly(true);
    }

    bool BlockOnCombo(QEvent* event) {
        if (event->type() == QEvent::MouseButtonPress && (mCombo->focusPolicy() & Qt::ClickFocus))
            mCombo->setFocus(Qt::MouseFocusReason);
        if (IsMouseChange(event->type()))
            return true;
        if (event->type() == QEvent::KeyPress)
            return ChangesComboSelection(static_cast<QKeyEvent*>(event));
        return false;
    }

    static bool BlockOnLineEdit(QEvent* event) {
        if (event->type() == QEvent::KeyPress)
            return IsSelectionKey(static_cast<QKeyEvent*>(event));
        return false;
    }

    QComboBox* mCombo;
    QPointer<QLineEdit> mWatchedEdit;
    bool mLocked = false;
};

class FormAdapter : public QObject, public Form {
public:
    explicit FormAdapter(QWidget* widget) : QObject(widget) { setObjectName(kFormAdapterName); }

    QWidget* Widget() const { return static_cast<QWidget*>(parent()); }

    QString Name() const override { return Widget()->objectName(); }
    ControlKind Kind() const override { return ControlKind::Form; }
    void* Native() const override { return Widget(); }

    std::vector<Control*> Controls() const override {
        std::vector<Control*> out;
        for (QObject* o : ListedObjects(Widget()))
            out.push_back(ControlOf(o));
        return out;
    }

    void PrintForm() override { PrintWidgetImage(Widget(), Name()); }

    // The focused control, or the listed control that holds the focused part.
    Control* ActiveControl() const override {
        QWidget* focus = QApplication::focusWidget();
        if (!focus || !Widget()->isAncestorOf(focus))
            return nullptr;
        const QObjectList listed = ListedObjects(Widget());
        const std::unordered_set<QObject*> set(listed.begin(), listed.end());
        for (QWidget* w = focus; w && w != Widget(); w = w->parentWidget())
            if (set.count(w))
                return ControlOf(w);
        return nullptr;
    }
};

template <class T> T* FindAdapter(QObject* object, const QString& name) {
    return dynamic_cast<T*>(object->findChild<QObject*>(name, Qt::FindDirectChildrenOnly));
}

Control* CreateControlAdapter(QObject* object) {
    if (auto* edit = qobject_cast<QLineEdit*>(object))
        return new LineEditAdapter(edit);
    if (auto* edit = qobject_cast<QPlainTextEdit*>(object))
        return new PlainTextAdapter<QPlainTextEdit>(edit);
    if (auto* edit = qobject_cast<QTextEdit*>(object))
        return new PlainTextAdapter<QTextEdit>(edit);
    if (IsValueBox(object))
        return new SpinAdapter(static_cast<QAbstractSpinBox*>(object));
    if (auto* combo = qobject_cast<QComboBox*>(object))
        return new ComboBoxAdapter(combo);
    if (auto* box = qobject_cast<QCheckBox*>(object))
        return new CheckBoxAdapter(box);
    return new GenericAdapter(object);
}

// Where a locked widget keeps the palette it had while editable.
constexpr char kPaletteModificabile[] = "tessaroPaletteModificabile";

} // namespace

void MostraSolaLettura(QWidget* widget, bool locked) {
    const QVariant salvata = widget->property(kPaletteModificabile);
    if (!locked) {
        if (salvata.isValid()) {
            widget->setPalette(salvata.value<QPalette>());
            widget->setProperty(kPaletteModificabile, QVariant());
        }
        return;
    }
    QPalette p = salvata.isValid() ? salvata.value<QPalette>() : widget->palette();
    if (!salvata.isValid())
        widget->setProperty(kPaletteModificabile, QVariant::fromValue(p));
    // A combo that cannot be typed in shows its face in the button colour.
    const bool combo = qobject_cast<QComboBox*>(widget) != nullptr;
    for (const auto gruppo : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setBrush(gruppo, QPalette::Base, p.brush(gruppo, QPalette::Window));
        if (combo)
            p.setBrush(gruppo, QPalette::Button, p.brush(gruppo, QPalette::Window));
    }
    widget->setPalette(p);
}

Form* FormOf(QWidget* widget) {
    if (!widget)
        return nullptr;
    if (auto* found = FindAdapter<Form>(widget, kFormAdapterName))
        return found;
    return new FormAdapter(widget);
}

Control* ControlOf(QObject* object) {
    if (!object)
        return nullptr;
    if (auto* found = FindAdapter<Control>(object, kControlAdapterName))
        return found;
    return CreateControlAdapter(object);
}

HostObject* HostObjectOf(QWidget* widget) {
    if (!widget)
        return nullptr;
    if (widget->isWindow())
        return FormOf(widget);
    return ControlOf(widget);
}

void PrintHostObject(HostObject* object) {
    if (object)
        object->Print();
}

} // namespace tessaro
