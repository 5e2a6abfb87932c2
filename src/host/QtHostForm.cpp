#include "host/QtHostForm.h"

#include "data/TessaroError.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QDockWidget>
#include <QEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLCDNumber>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressBar>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTextCursor>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include <algorithm>
#include <unordered_set>

namespace tessaro {

namespace {

// Adapters are hidden children of what they wrap; the "qt_" prefix keeps them
// (and Qt's own internal children) out of every control list.
const QString kFormAdapterName = QStringLiteral("qt_tessaro_adapter_form");
const QString kControlAdapterName = QStringLiteral("qt_tessaro_adapter_control");

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

ControlKind WidgetKind(const QWidget* w) {
    if (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w))
        return ControlKind::TextBox;
    if (qobject_cast<const QComboBox*>(w))
        return ControlKind::ComboBox;
    if (qobject_cast<const QCheckBox*>(w))
        return ControlKind::CheckBox;
    return IsContainerWidget(w) ? ControlKind::Container : ControlKind::Other;
}

// Bars and menus are not containers but hold the form's menus and actions.
bool HoldsActions(const QWidget* w) {
    return qobject_cast<const QMenuBar*>(w) || qobject_cast<const QMenu*>(w) ||
           qobject_cast<const QToolBar*>(w) || qobject_cast<const QStatusBar*>(w);
}

bool IsListedAction(const QObject* o) {
    return (qobject_cast<const QAction*>(o) || qobject_cast<const QTimer*>(o)) &&
           IsListedName(o->objectName());
}

// ---------------------------------------------------------------- walks

// The window that owns an object; a popup menu belongs to the window it pops from.
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

QObjectList ListedObjects(QWidget* form) {
    QObjectList out;
    CollectChildren(form, out);
    return out;
}

// The form or the nearest named widget around a control.
HostObject* ContainerOf(const QObject* object) {
    auto* w = qobject_cast<const QWidget*>(object);
    if (!w || w->isWindow())
        NoSuchMember(); // actions, timers and menus have no container
    QWidget* form = FormWidgetOf(w);
    for (QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
        if (p == form || p->isWindow())
            return FormOf(p);
        if (IsListedName(p->objectName()))
            return ControlOf(p);
    }
    NoSuchMember();
}

// ---------------------------------------------------------------- enabled

// A widget's own Enabled, not the one inherited from a disabled container.
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

// ---------------------------------------------------------------- printing

QString gPrintOutputPath;
QString gLastPrintFile;

// Draws the image at its on-screen size, shrunk to the page when larger.
bool PaintOnPage(QPaintDevice& page, const QPixmap& image, double screenDpi) {
    QPainter painter;
    if (!painter.begin(&page))
        return false;
    const QSizeF logical = image.deviceIndependentSize();
    QSizeF size(logical.width() * page.logicalDpiX() / screenDpi,
                logical.height() * page.logicalDpiY() / screenDpi);
    const QSizeF area(page.width(), page.height());
    if (size.width() > area.width() || size.height() > area.height())
        size.scale(area, Qt::KeepAspectRatio);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRectF(QPointF(0, 0), size), image, QRectF(image.rect()));
    return painter.end();
}

void PrintOnDefaultPrinter(const QPixmap& image, double screenDpi) {
    QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
    PaintOnPage(printer, image, screenDpi);
}

QString SafeFileName(const QString& name) {
    QString out = name.isEmpty() ? QStringLiteral("Form") : name;
    for (QChar& c : out)
        if (!c.isLetterOrNumber() && c != QLatin1Char('_') && c != QLatin1Char('-'))
            c = QLatin1Char('_');
    return out;
}

// "<name>_<yyyyMMdd_hhmmss>.pdf" in the folder, numbered when taken already.
QString TimestampedPdf(const QString& folder, const QString& formName) {
    const QString base = SafeFileName(formName) + QLatin1Char('_') +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_hhmmss"));
    QDir dir(folder);
    QString file = dir.filePath(base + QStringLiteral(".pdf"));
    for (int n = 2; QFileInfo::exists(file); ++n)
        file = dir.filePath(QStringLiteral("%1_%2.pdf").arg(base).arg(n));
    return file;
}

QString DocumentsFolder() {
    const QStandardPaths::StandardLocation places[] = {QStandardPaths::DocumentsLocation,
                                                       QStandardPaths::HomeLocation,
                                                       QStandardPaths::TempLocation};
    for (auto place : places) {
        const QString folder = QStandardPaths::writableLocation(place);
        if (!folder.isEmpty() && QDir().mkpath(folder))
            return folder;
    }
    return QDir::tempPath();
}

// The output path names a file, or a folder (existing, or ending in a slash).
QString PdfTarget(const QString& formName) {
    const QString path = gPrintOutputPath;
    if (path.isEmpty())
        return TimestampedPdf(DocumentsFolder(), formName);
    if (QFileInfo(path).isDir() || path.endsWith(QLatin1Char('/'))) {
        QDir().mkpath(path);
        return TimestampedPdf(path, formName);
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    return path;
}

bool WritePdf(const QString& file, const QPixmap& image, double screenDpi) {
    QPdfWriter pdf(file);
    pdf.setResolution(300);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    const QSizeF size = image.deviceIndependentSize();
    pdf.setPageOrientation(size.width() > size.height() ? QPageLayout::Landscape
                                                        : QPageLayout::Portrait);
    if (!PaintOnPage(pdf, image, screenDpi))
        return false;
    return QFileInfo(file).size() > 0;
}

bool HasRealDisplay() {
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

void PrintToPdf(const QPixmap& image, double screenDpi, const QString& name) {
    const QString file = PdfTarget(name);
    if (!WritePdf(file, image, screenDpi))
        return;
    gLastPrintFile = file;
    if (HasRealDisplay())
        QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

// Printing is best effort: whatever fails, the caller goes on.
void PrintWidgetImage(QWidget* widget, const QString& name) {
    try {
        const QPixmap image = widget->grab();
        if (image.isNull())
            return;
        const double screenDpi = widget->logicalDpiX() > 0 ? widget->logicalDpiX() : 96.0;
        if (HasDefaultPrinter())
            PrintOnDefaultPrinter(image, screenDpi);
        else
            PrintToPdf(image, screenDpi, name);
    } catch (...) {
    }
}

// ---------------------------------------------------------------- adapters

template <class Interface> class ObjectAdapter : public QObject, public Interface {
public:
    explicit ObjectAdapter(QObject* wrapped) : QObject(wrapped) {
        setObjectName(kControlAdapterName);
    }

    QObject* Wrapped() const { return parent(); }

    QString Name() const override { return Wrapped()->objectName(); }
    ControlKind Kind() const override {
        auto* w = qobject_cast<QWidget*>(Wrapped());
        return w ? WidgetKind(w) : ControlKind::Other;
    }
    Form* ParentForm() const override { return FormOf(FormWidgetOf(Wrapped())); }
    void* Native() const override { return NativeOf(Wrapped()); }
    QString Tag() const override { return DynamicText(Wrapped(), "Tag"); }
    bool Enabled() const override { return OwnEnabled(Wrapped()); }
    void SetEnabled(bool enabled) override { SetOwnEnabled(Wrapped(), enabled); }
    HostObject* Container() const override { return ContainerOf(Wrapped()); }
};

using GenericAdapter = ObjectAdapter<Control>;

class LineEditAdapter : public ObjectAdapter<TextBox> {
public:
    explicit LineEditAdapter(QLineEdit* edit) : ObjectAdapter(edit), mEdit(edit) {}

    ControlKind Kind() const override { return ControlKind::TextBox; }
    QString Text() const override { return mEdit->text(); }
    void SetText(const QString& text) override { mEdit->setText(text); }
    bool Locked() const override { return mEdit->isReadOnly(); }
    void SetLocked(bool locked) override { mEdit->setReadOnly(locked); }

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

class PlainTextAdapter : public ObjectAdapter<TextBox> {
public:
    explicit PlainTextAdapter(QPlainTextEdit* edit) : ObjectAdapter(edit), mEdit(edit) {}

    ControlKind Kind() const override { return ControlKind::TextBox; }
    QString Text() const override { return mEdit->toPlainText(); }
    void SetText(const QString& text) override { mEdit->setPlainText(text); }
    bool Locked() const override { return mEdit->isReadOnly(); }
    void SetLocked(bool locked) override { mEdit->setReadOnly(locked); }

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
    QPlainTextEdit* mEdit;
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
        if (value == 2)
            mBox->setTristate(true);
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
        return new PlainTextAdapter(edit);
    if (auto* combo = qobject_cast<QComboBox*>(object))
        return new ComboBoxAdapter(combo);
    if (auto* box = qobject_cast<QCheckBox*>(object))
        return new CheckBoxAdapter(box);
    return new GenericAdapter(object);
}

} // namespace

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
    // Every adapter is a QObject child of the widget it wraps.
    auto* adapter = dynamic_cast<QObject*>(object);
    if (!adapter)
        return;
    if (auto* widget = qobject_cast<QWidget*>(adapter->parent()))
        PrintWidgetImage(widget, object->Name());
}

// ---------------------------------------------------------------- message boxes

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

} // namespace

int QtMessageBoxService::Show(const QString& text, int style, const QString& title) {
    // Without a widget application there is nobody to ask.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return DefaultAnswer(style);
    const ButtonSet set = ButtonsOf(style);
    const QString caption = title.isEmpty() ? QGuiApplication::applicationDisplayName() : title;
    QMessageBox box(IconOf(style), caption, text, Combined(set), QApplication::activeWindow());
    box.setDefaultButton(DefaultButtonOf(set, style));
    if (set.escape != QMessageBox::NoButton)
        box.setEscapeButton(set.escape);
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    if (clicked != QMessageBox::NoButton)
        return AnswerOf(clicked);
    return AnswerOf(set.escape != QMessageBox::NoButton ? set.escape : set.order.front());
}

void SetPrintOutputPath(const QString& path) {
    gPrintOutputPath = path;
}
QString PrintOutputPath() {
    return gPrintOutputPath;
}
QString LastPrintFile() {
    return gLastPrintFile;
}
bool HasDefaultPrinter() {
    return !QPrinterInfo::defaultPrinter().isNull();
}

} // namespace tessaro
