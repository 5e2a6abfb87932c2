#include "data/TessaroError.h"
#include "host/QtHostForm.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <functional>
#include <gtest/gtest.h>

namespace tessaro {
namespace {

template <class W> W* Named(QObject* parent, const char* name) {
    auto* w = new W(qobject_cast<QWidget*>(parent));
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QStringList NamesOf(const std::vector<Control*>& controls) {
    QStringList names;
    for (Control* c : controls)
        names << c->Name();
    return names;
}

// The error number a call raises, 0 when it raises none.
int ErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const TessaroError& e) {
        return e.Number();
    }
    return 0;
}

// A data-entry form with fields on the form, in nested frames, on tab pages,
// behind unnamed layout widgets, plus an action, a timer and a child dialog.
struct SampleForm {
    QWidget form;
    QLineEdit* txtCode;
    QAction* actSave;
    QFrame* fraMain;
    QCheckBox* chkActive;
    QWidget* plainHolder;
    QLineEdit* txtNote;
    QFrame* fraInner;
    QPlainTextEdit* txtMemo;
    QTabWidget* tabPages;
    QWidget* pagGeneral;
    QComboBox* cboCity;
    QWidget* pagOther;
    QSpinBox* spnQty;
    QLabel* lblTitle;
    QTimer* tmrPoll;
    QDialog* dialog;

    SampleForm() {
        form.setObjectName(QStringLiteral("frmSample"));
        auto* layout = new QVBoxLayout(&form);
        layout->setObjectName(QStringLiteral("verticalLayout")); // layouts are not controls
        txtCode = Named<QLineEdit>(&form, "txtCode");
        actSave = new QAction(QStringLiteral("Save"), &form);
        actSave->setObjectName(QStringLiteral("actSave"));
        fraMain = Named<QFrame>(&form, "fraMain");
        chkActive = Named<QCheckBox>(fraMain, "chkActive");
        plainHolder = new QWidget(fraMain);
        txtNote = Named<QLineEdit>(plainHolder, "txtNote");
        fraInner = Named<QFrame>(fraMain, "fraInner");
        txtMemo = Named<QPlainTextEdit>(fraInner, "txtMemo");
        tabPages = Named<QTabWidget>(&form, "tabPages");
        pagGeneral = Named<QWidget>(nullptr, "pagGeneral");
        cboCity = Named<QComboBox>(pagGeneral, "cboCity");
        cboCity->setEditable(true);
        // Named internals must still stay hidden inside their composite.
        cboCity->lineEdit()->setObjectName(QStringLiteral("cboCityEdit"));
        tabPages->addTab(pagGeneral, QStringLiteral("General"));
        pagOther = new QWidget;
        spnQty = Named<QSpinBox>(pagOther, "spnQty");
        spnQty->findChild<QLineEdit*>()->setObjectName(QStringLiteral("spnQtyEdit"));
        tabPages->addTab(pagOther, QStringLiteral("Other"));
        lblTitle = Named<QLabel>(&form, "lblTitle");
        tmrPoll = new QTimer(&form);
        tmrPoll->setObjectName(QStringLiteral("tmrPoll"));
        dialog = Named<QDialog>(&form, "dlgChild");
        Named<QLineEdit>(dialog, "txtDialog");
        for (QWidget* w : {static_cast<QWidget*>(txtCode), static_cast<QWidget*>(fraMain),
                           static_cast<QWidget*>(tabPages), static_cast<QWidget*>(lblTitle)})
            layout->addWidget(w);
    }

    Form* TheForm() { return FormOf(&form); }
};

const QStringList kSampleOrder = {"txtCode",  "actSave",  "fraMain",  "chkActive",  "txtNote",
                                  "fraInner", "txtMemo",  "tabPages", "pagGeneral", "cboCity",
                                  "spnQty",   "lblTitle", "tmrPoll"};

TEST(QtHostForm, ControlsListNamedObjectsDepthFirstWithoutInternals) {
    SampleForm s;
    EXPECT_EQ(NamesOf(s.TheForm()->Controls()), kSampleOrder);
}

TEST(QtHostForm, ControlsOrderSurvivesShowingAndSwitchingTabs) {
    SampleForm s;
    s.form.show();
    s.tabPages->setCurrentIndex(1);
    s.tabPages->setCurrentIndex(0); // showing a page raises it to the end of children()
    QApplication::processEvents();
    EXPECT_EQ(NamesOf(s.TheForm()->Controls()), kSampleOrder);
}

TEST(QtHostForm, ContainerIsTheFormOrTheNearestNamedWidget) {
    SampleForm s;
    Form* form = s.TheForm();
    EXPECT_EQ(ControlOf(s.txtCode)->Container(), form);
    EXPECT_TRUE(ControlOf(s.txtCode)->Container()->IsForm());
    EXPECT_EQ(ControlOf(s.fraMain)->Container(), form);
    EXPECT_EQ(ControlOf(s.chkActive)->Container(), ControlOf(s.fraMain));
    EXPECT_EQ(ControlOf(s.txtNote)->Container(), ControlOf(s.fraMain)); // unnamed holder skipped
    EXPECT_EQ(ControlOf(s.fraInner)->Container(), ControlOf(s.fraMain));
    EXPECT_EQ(ControlOf(s.txtMemo)->Container(), ControlOf(s.fraInner));
    EXPECT_EQ(ControlOf(s.cboCity)->Container(), ControlOf(s.pagGeneral));
    EXPECT_EQ(ControlOf(s.pagGeneral)->Container(), ControlOf(s.tabPages));
    // The unnamed page hands its controls to the tab widget.
    EXPECT_EQ(ControlOf(s.spnQty)->Container(), ControlOf(s.tabPages));
    EXPECT_EQ(ControlOf(s.txtMemo)->Container()->Name(), QStringLiteral("fraInner"));
}

TEST(QtHostForm, ActionsAndTimersHaveNoContainerButBelongToTheForm) {
    SampleForm s;
    EXPECT_EQ(ErrorOf([&] { ControlOf(s.actSave)->Container(); }), Err::NoSuchMember);
    EXPECT_EQ(ErrorOf([&] { ControlOf(s.tmrPoll)->Container(); }), Err::NoSuchMember);
    EXPECT_EQ(ControlOf(s.actSave)->Parent(), s.TheForm());
    EXPECT_EQ(ControlOf(s.txtMemo)->Parent(), s.TheForm());
    EXPECT_EQ(ControlOf(s.spnQty)->ParentForm(), s.TheForm());
}

TEST(QtHostForm, KindsFollowTheWidgetClasses) {
    SampleForm s;
    EXPECT_EQ(s.TheForm()->Kind(), ControlKind::Form);
    EXPECT_EQ(ControlOf(s.txtCode)->Kind(), ControlKind::TextBox);
    EXPECT_EQ(ControlOf(s.txtMemo)->Kind(), ControlKind::TextBox);
    EXPECT_TRUE(ControlOf(s.cboCity)->IsComboBox());
    EXPECT_TRUE(ControlOf(s.chkActive)->IsCheckBox());
    EXPECT_EQ(ControlOf(s.fraMain)->Kind(), ControlKind::Container);
    EXPECT_EQ(ControlOf(s.plainHolder)->Kind(), ControlKind::Container);
    EXPECT_EQ(ControlOf(s.pagOther)->Kind(), ControlKind::Container);
    EXPECT_EQ(ControlOf(s.lblTitle)->Kind(), ControlKind::Other); // a QFrame, but no container
    EXPECT_EQ(ControlOf(s.spnQty)->Kind(), ControlKind::Other);
    EXPECT_EQ(ControlOf(s.actSave)->Kind(), ControlKind::Other);
    EXPECT_EQ(ErrorOf([&] { AsTextBox(*ControlOf(s.chkActive)); }), Err::NoSuchMember);
    EXPECT_EQ(ErrorOf([&] { AsComboBox(*ControlOf(s.lblTitle)); }), Err::NoSuchMember);
    EXPECT_EQ(&AsCheckBox(*ControlOf(s.chkActive)), ControlOf(s.chkActive));
}

TEST(QtHostForm, TagAndDataFieldComeFromDynamicProperties) {
    SampleForm s;
    s.txtCode->setProperty("Tag", QStringLiteral("#Codice"));
    s.cboCity->setProperty("Tag", QStringLiteral("#IdCitta\u00B8Citta"));
    s.cboCity->setProperty("DataField", QStringLiteral("Attiva = 1"));
    s.actSave->setProperty("Tag", QStringLiteral("menu"));
    EXPECT_EQ(ControlOf(s.txtCode)->Tag(), QStringLiteral("#Codice"));
    EXPECT_EQ(ControlOf(s.cboCity)->Tag(), QStringLiteral("#IdCitta\u00B8Citta"));
    EXPECT_EQ(AsComboBox(*ControlOf(s.cboCity)).DataField(), QStringLiteral("Attiva = 1"));
    EXPECT_EQ(ControlOf(s.actSave)->Tag(), QStringLiteral("menu"));
    EXPECT_EQ(ControlOf(s.chkActive)->Tag(), QString());
    EXPECT_EQ(s.TheForm()->Name(), QStringLiteral("frmSample"));
}

TEST(QtHostForm, EnabledIsTheControlsOwnFlag) {
    SampleForm s;
    Control* chk = ControlOf(s.chkActive);
    chk->SetEnabled(false);
    EXPECT_FALSE(s.chkActive->isEnabled());
    EXPECT_FALSE(chk->Enabled());
    chk->SetEnabled(true);
    // A control inside a disabled frame keeps its own setting.
    s.fraMain->setEnabled(false);
    EXPECT_TRUE(chk->Enabled());
    EXPECT_FALSE(ControlOf(s.fraMain)->Enabled());

    ControlOf(s.actSave)->SetEnabled(false);
    EXPECT_FALSE(s.actSave->isEnabled());
    EXPECT_FALSE(ControlOf(s.actSave)->Enabled());
    ControlOf(s.tmrPoll)->SetEnabled(true);
    EXPECT_TRUE(s.tmrPoll->isActive());
    ControlOf(s.tmrPoll)->SetEnabled(false);
    EXPECT_FALSE(s.tmrPoll->isActive());

    QObject plain;
    plain.setObjectName(QStringLiteral("objPlain"));
    EXPECT_EQ(ErrorOf([&] { ControlOf(&plain)->Enabled(); }), Err::NoSuchMember);
}

TEST(QtHostForm, AdaptersAreCreatedOnceAndDieWithTheirObject) {
    SampleForm s;
    EXPECT_EQ(ControlOf(s.txtCode), ControlOf(s.txtCode));
    EXPECT_EQ(FormOf(&s.form), FormOf(&s.form));
    EXPECT_EQ(HostObjectOf(&s.form), FormOf(&s.form));
    EXPECT_EQ(HostObjectOf(s.fraMain), ControlOf(s.fraMain));
    EXPECT_EQ(ControlOf(s.txtCode)->Native(), static_cast<void*>(s.txtCode));
    EXPECT_EQ(FormOf(&s.form)->Native(), static_cast<void*>(&s.form));
    EXPECT_EQ(ControlOf(nullptr), nullptr);
    EXPECT_EQ(FormOf(nullptr), nullptr);

    auto* adapter = dynamic_cast<QObject*>(ControlOf(s.txtNote));
    ASSERT_NE(adapter, nullptr);
    EXPECT_EQ(adapter->parent(), s.txtNote);
    EXPECT_TRUE(adapter->objectName().startsWith(QLatin1String("qt_tessaro_adapter")));
    EXPECT_EQ(NamesOf(s.TheForm()->Controls()), kSampleOrder); // adapters are never listed

    QPointer<QObject> watch(adapter);
    delete s.txtNote;
    EXPECT_TRUE(watch.isNull());
    EXPECT_FALSE(NamesOf(s.TheForm()->Controls()).contains(QStringLiteral("txtNote")));
}

TEST(QtHostForm, MainWindowMenusAreControlsWithoutContainer) {
    QMainWindow main;
    main.setObjectName(QStringLiteral("frmMain"));
    auto* central = Named<QWidget>(&main, "centralwidget");
    main.setCentralWidget(central);
    auto* txt = Named<QLineEdit>(central, "txtName");
    auto* bar = Named<QMenuBar>(&main, "menubar");
    main.setMenuBar(bar);
    auto* menu = Named<QMenu>(bar, "mnuFile");
    bar->addMenu(menu);
    QAction* item = menu->addAction(QStringLiteral("Save"));
    item->setObjectName(QStringLiteral("mnuFileSave"));

    const QStringList names = NamesOf(FormOf(&main)->Controls());
    EXPECT_EQ(names,
              QStringList({"centralwidget", "txtName", "menubar", "mnuFile", "mnuFileSave"}));
    EXPECT_EQ(ControlOf(txt)->Container(), ControlOf(central));
    EXPECT_EQ(ControlOf(central)->Container(), FormOf(&main));
    EXPECT_EQ(ErrorOf([&] { ControlOf(menu)->Container(); }), Err::NoSuchMember);
    EXPECT_EQ(ControlOf(menu)->Parent(), FormOf(&main));
    EXPECT_EQ(ControlOf(item)->Parent(), FormOf(&main));
}

TEST(QtHostForm, ActiveControlIsTheFocusedListedControl) {
    SampleForm s;
    s.form.show();
    s.form.activateWindow();
    QApplication::processEvents();
    s.txtCode->setFocus();
    QApplication::processEvents();
    if (QApplication::focusWidget() != s.txtCode)
        GTEST_SKIP() << "the platform gives no keyboard focus";
    EXPECT_EQ(s.TheForm()->ActiveControl(), ControlOf(s.txtCode));
    // Focus inside a composite belongs to the composite.
    s.cboCity->lineEdit()->setFocus();
    EXPECT_EQ(s.TheForm()->ActiveControl(), ControlOf(s.cboCity));
    s.tabPages->setCurrentIndex(1);
    s.spnQty->setFocus();
    EXPECT_EQ(s.TheForm()->ActiveControl(), ControlOf(s.spnQty));
    // Another window's focus is no control of this form.
    QWidget other;
    EXPECT_EQ(FormOf(&other)->ActiveControl(), nullptr);
}

TEST(QtHostForm, LineEditTextLockAndSelection) {
    QLineEdit edit;
    TextBox& box = AsTextBox(*ControlOf(&edit));
    box.SetText(QStringLiteral("Hello World"));
    EXPECT_EQ(edit.text(), QStringLiteral("Hello World"));
    box.SetLocked(true);
    EXPECT_TRUE(edit.isReadOnly());
    EXPECT_TRUE(box.Locked());
    box.SetLocked(false);
    EXPECT_FALSE(edit.isReadOnly());

    box.SetSelStart(0);
    box.SetSelLength(32000); // selects to the end
    EXPECT_EQ(box.SelLength(), 11);
    EXPECT_EQ(edit.selectedText(), QStringLiteral("Hello World"));
    box.SetSelStart(6); // moving the start drops the selection
    EXPECT_EQ(box.SelStart(), 6);
    EXPECT_EQ(box.SelLength(), 0);
    box.SetSelLength(3);
    EXPECT_EQ(edit.selectedText(), QStringLiteral("Wor"));
    EXPECT_EQ(box.SelStart(), 6);
    box.SetSelStart(100);
    EXPECT_EQ(box.SelStart(), 11);
    EXPECT_EQ(ErrorOf([&] { box.SetSelStart(-1); }), Err::InvalidCall);
    EXPECT_EQ(ErrorOf([&] { box.SetSelLength(-1); }), Err::InvalidCall);
}

TEST(QtHostForm, PlainTextEditTextLockAndSelection) {
    QPlainTextEdit edit;
    TextBox& box = AsTextBox(*ControlOf(&edit));
    box.SetText(QStringLiteral("ab\ncd"));
    EXPECT_EQ(box.Text(), QStringLiteral("ab\ncd"));
    box.SetLocked(true);
    EXPECT_TRUE(edit.isReadOnly());
    box.SetSelStart(1);
    box.SetSelLength(32000);
    EXPECT_EQ(box.SelStart(), 1);
    EXPECT_EQ(box.SelLength(), 4);
    box.SetSelStart(50);
    EXPECT_EQ(box.SelStart(), 5);
    EXPECT_EQ(box.SelLength(), 0);
}

TEST(QtHostForm, CheckBoxValues) {
    QCheckBox check;
    CheckBox& box = AsCheckBox(*ControlOf(&check));
    box.SetValue(1);
    EXPECT_EQ(check.checkState(), Qt::Checked);
    EXPECT_EQ(box.Value(), 1);
    box.SetValue(2);
    EXPECT_TRUE(check.isTristate());
    EXPECT_EQ(check.checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(box.Value(), 2);
    box.SetValue(0);
    EXPECT_EQ(box.Value(), 0);
    EXPECT_EQ(ErrorOf([&] { box.SetValue(3); }), Err::InvalidCall);
    EXPECT_EQ(ErrorOf([&] { box.SetValue(-1); }), Err::InvalidCall);
    EXPECT_EQ(box.Value(), 0);
}

ComboBox& Filled(QComboBox& combo, const QStringList& items) {
    ComboBox& box = AsComboBox(*ControlOf(&combo));
    box.ResetList();
    for (const QString& item : items)
        box.AddItem(item);
    return box;
}

TEST(QtHostForm, ComboListKeepsInsertionOrderAndSelectsNothing) {
    QComboBox combo;
    combo.addItem(QStringLiteral("old"));
    combo.setInsertPolicy(QComboBox::InsertAlphabetically);
    ComboBox& box = Filled(combo, {"b", "a", "c"});
    ASSERT_EQ(box.ListCount(), 3);
    EXPECT_EQ(box.List(0), QStringLiteral("b"));
    EXPECT_EQ(box.List(1), QStringLiteral("a"));
    EXPECT_EQ(box.List(2), QStringLiteral("c"));
    EXPECT_EQ(box.ListIndex(), -1); // appending does not select the first item
    EXPECT_EQ(box.Text(), QString());
    EXPECT_EQ(ErrorOf([&] { box.List(3); }), Err::InvalidCall);
    EXPECT_EQ(ErrorOf([&] { box.List(-1); }), Err::InvalidCall);

    box.SetListIndex(1);
    box.AddItem(QStringLiteral("d")); // appending keeps a selection too
    EXPECT_EQ(box.ListIndex(), 1);
    box.Clear();
    EXPECT_EQ(box.ListCount(), 0);
    EXPECT_EQ(box.ListIndex(), -1);
}

TEST(QtHostForm, ComboListIndexAndTextOnAFixedList) {
    QComboBox combo;
    ComboBox& box = Filled(combo, {"Roma", "Milano", "Napoli"});
    box.SetListIndex(1);
    EXPECT_EQ(box.ListIndex(), 1);
    EXPECT_EQ(box.Text(), QStringLiteral("Milano"));
    EXPECT_EQ(ErrorOf([&] { box.SetListIndex(3); }), Err::InvalidCall);
    EXPECT_EQ(ErrorOf([&] { box.SetListIndex(-2); }), Err::InvalidCall);
    EXPECT_EQ(box.ListIndex(), 1);

    box.SetText(QStringLiteral("Napoli"));
    EXPECT_EQ(box.ListIndex(), 2);
    box.SetText(QStringLiteral("napoli")); // exact match only
    EXPECT_EQ(box.ListIndex(), -1);
    EXPECT_EQ(box.Text(), QString());
    box.SetText(QStringLiteral("Roma"));
    box.SetText(QString());
    EXPECT_EQ(box.ListIndex(), -1);
    box.SetListIndex(0);
    box.SetListIndex(-1);
    EXPECT_EQ(box.Text(), QString());
}

TEST(QtHostForm, ComboListIndexAndTextOnAnEditableCombo) {
    QComboBox combo;
    combo.setEditable(true);
    ComboBox& box = Filled(combo, {"Roma", "Milano"});
    EXPECT_EQ(box.Text(), QString());
    box.SetText(QStringLiteral("Torino"));
    EXPECT_EQ(box.ListIndex(), -1);
    EXPECT_EQ(box.Text(), QStringLiteral("Torino"));
    box.SetText(QStringLiteral("Milano"));
    EXPECT_EQ(box.ListIndex(), 1);
    // Typing over the selected item leaves no item selected.
    combo.lineEdit()->setText(QStringLiteral("Mil"));
    EXPECT_EQ(box.ListIndex(), -1);
    box.SetListIndex(1);
    EXPECT_EQ(box.Text(), QStringLiteral("Milano"));
    EXPECT_EQ(box.ListIndex(), 1);
    box.Clear();
    EXPECT_EQ(box.Text(), QString());
}

void SendKey(QWidget* target, int key, const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &release);
}

void SendWheelDown(QWidget* target) {
    const QPointF at(5, 5);
    QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(target, &wheel);
}

void SendClick(QWidget* target) {
    const QPointF at(target->width() - 5, target->height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, target->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, target->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &release);
}

TEST(QtHostForm, LockedComboIgnoresTheUserButNotTheProgram) {
    QWidget window;
    auto* combo = new QComboBox(&window);
    ComboBox& box = Filled(*combo, {"a", "b", "c", "d"});
    window.show();
    box.SetListIndex(0);
    box.SetLocked(true);
    EXPECT_TRUE(box.Locked());
    EXPECT_TRUE(combo->isEnabled());

    SendKey(combo, Qt::Key_Down);
    SendKey(combo, Qt::Key_End);
    SendKey(combo, Qt::Key_C, QStringLiteral("c"));
    SendWheelDown(combo);
    SendClick(combo);
    EXPECT_EQ(box.ListIndex(), 0);
    EXPECT_FALSE(combo->view()->isVisible());

    box.SetListIndex(2);
    EXPECT_EQ(box.ListIndex(), 2);

    box.SetLocked(false);
    EXPECT_FALSE(box.Locked());
    SendKey(combo, Qt::Key_Down);
    EXPECT_EQ(box.ListIndex(), 3);
    SendKey(combo, Qt::Key_Up);
    EXPECT_EQ(box.ListIndex(), 2);
    SendWheelDown(combo);
    EXPECT_EQ(box.ListIndex(), 3);
}

TEST(QtHostForm, LockedEditableComboRefusesTyping) {
    QWidget window;
    auto* combo = new QComboBox(&window);
    combo->setEditable(true);
    ComboBox& box = Filled(*combo, {"a", "b", "c"});
    window.show();
    box.SetListIndex(0);
    box.SetLocked(true);
    QLineEdit* edit = combo->lineEdit();
    EXPECT_TRUE(edit->isReadOnly());
    SendKey(edit, Qt::Key_Down);
    SendKey(edit, Qt::Key_X, QStringLiteral("x"));
    SendWheelDown(edit);
    EXPECT_EQ(box.ListIndex(), 0);
    EXPECT_EQ(box.Text(), QStringLiteral("a"));
    box.SetText(QStringLiteral("c"));
    EXPECT_EQ(box.ListIndex(), 2);

    box.SetLocked(false);
    EXPECT_FALSE(edit->isReadOnly());
    SendKey(edit, Qt::Key_Up);
    EXPECT_EQ(box.ListIndex(), 1);
    edit->selectAll();
    SendKey(edit, Qt::Key_Z, QStringLiteral("z"));
    EXPECT_EQ(box.Text(), QStringLiteral("z"));
    // Return must not add the typed text to the list.
    SendKey(edit, Qt::Key_Return);
    EXPECT_EQ(box.ListCount(), 3);
    // Destroying a focused, locked combo must not run the filter on a dead combo.
    box.SetLocked(true);
    window.activateWindow();
    edit->setFocus();
    QApplication::processEvents();
}

TEST(QtHostForm, ComboMadeEditableWhileLockedStaysLocked) {
    QWidget window;
    auto* combo = new QComboBox(&window);
    ComboBox& box = Filled(*combo, {"a", "b"});
    box.SetLocked(true);
    combo->setEditable(true);
    window.show();
    QApplication::processEvents();
    EXPECT_TRUE(combo->lineEdit()->isReadOnly());
}

class QtPrintForm : public ::testing::Test {
protected:
    void SetUp() override {
        if (HasDefaultPrinter())
            GTEST_SKIP() << "a default printer exists; no PDF is written";
        ASSERT_TRUE(dir.isValid());
        sample.fraMain->setMinimumHeight(120);
        sample.form.resize(400, 300);
        sample.form.show();
    }
    void TearDown() override { SetPrintOutputPath(QString()); }

    static bool IsPdf(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) && file.size() > 0 && file.read(5) == "%PDF-";
    }

    QTemporaryDir dir;
    SampleForm sample;
};

TEST_F(QtPrintForm, WritesThePdfToTheGivenFile) {
    const QString path = dir.filePath(QStringLiteral("sub/form.pdf"));
    SetPrintOutputPath(path);
    EXPECT_EQ(PrintOutputPath(), path);
    sample.TheForm()->PrintForm();
    EXPECT_TRUE(IsPdf(path));
    EXPECT_EQ(LastPrintFile(), path);
}

TEST_F(QtPrintForm, NamesTheFileAfterTheFormAndTheTimeInAFolder) {
    SetPrintOutputPath(dir.path() + QStringLiteral("/prints/"));
    sample.TheForm()->PrintForm();
    const QString first = LastPrintFile();
    EXPECT_TRUE(IsPdf(first));
    EXPECT_EQ(QFileInfo(first).absolutePath(),
              QFileInfo(dir.filePath("prints")).absoluteFilePath());
    const QRegularExpression pattern(QStringLiteral("^frmSample_\\d{8}_\\d{6}(_\\d+)?\\.pdf$"));
    EXPECT_TRUE(pattern.match(QFileInfo(first).fileName()).hasMatch()) << first.toStdString();
    // A second print in the same second does not overwrite the first.
    sample.TheForm()->PrintForm();
    EXPECT_NE(LastPrintFile(), first);
    EXPECT_TRUE(IsPdf(first));
    EXPECT_TRUE(IsPdf(LastPrintFile()));
}

TEST_F(QtPrintForm, DefaultsToTheDocumentsFolder) {
    const QString docs = dir.filePath(QStringLiteral("home/Documenti"));
    QDir().mkpath(dir.filePath(QStringLiteral("config")));
    QFile dirs(dir.filePath(QStringLiteral("config/user-dirs.dirs")));
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write(QStringLiteral("XDG_DOCUMENTS_DIR=\"%1\"\n").arg(docs).toUtf8());
    dirs.close();
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());
    sample.TheForm()->PrintForm();
    if (saved.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", saved);
    EXPECT_EQ(QFileInfo(LastPrintFile()).absolutePath(), docs);
    EXPECT_TRUE(IsPdf(LastPrintFile()));
}

TEST_F(QtPrintForm, PrintsAContainerAlone) {
    SetPrintOutputPath(dir.path());
    PrintHostObject(ControlOf(sample.fraMain));
    EXPECT_TRUE(QFileInfo(LastPrintFile()).fileName().startsWith(QLatin1String("fraMain_")));
    EXPECT_TRUE(IsPdf(LastPrintFile()));
    PrintHostObject(nullptr);
}

TEST_F(QtPrintForm, AFailingPrintIsSwallowed) {
    const QString good = dir.filePath(QStringLiteral("good.pdf"));
    SetPrintOutputPath(good);
    sample.TheForm()->PrintForm();
    ASSERT_EQ(LastPrintFile(), good);
    // A folder that cannot be created, below a plain file.
    SetPrintOutputPath(good + QStringLiteral("/below/form.pdf"));
    EXPECT_NO_THROW(sample.TheForm()->PrintForm());
    EXPECT_EQ(LastPrintFile(), good);
}

} // namespace
} // namespace tessaro
