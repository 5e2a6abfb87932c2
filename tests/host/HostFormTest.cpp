// The Qt adapter of the host form: which widgets are controls, their
// containers and kinds, and what each kind reads and writes.

#include "host/QtHostForm.h"
#include "support/FormFixtures.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace tessaro {
namespace {

using test::RaisedBy;

template <class W = QWidget> W* Named(QObject* parent, const char* name) {
    auto* w = new W(qobject_cast<QWidget*>(parent));
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QStringList NamesOf(const Form* form) {
    QStringList names;
    for (Control* c : form->Controls())
        names << c->Name();
    return names;
}

// Fields on the form, in nested frames, on tab pages and behind an unnamed
// holder, plus an action, a timer and a child dialog.
struct SampleForm {
    QWidget form;
    QFrame* fraMain = Named<QFrame>(&form, "fraMain");
    QCheckBox* chkActive = Named<QCheckBox>(fraMain, "chkActive");
    QWidget* holder = new QWidget(fraMain);
    QLineEdit* txtNote = Named<QLineEdit>(holder, "txtNote");
    QFrame* fraInner = Named<QFrame>(fraMain, "fraInner");
    QPlainTextEdit* txtMemo = Named<QPlainTextEdit>(fraInner, "txtMemo");
    QTabWidget* tabPages = Named<QTabWidget>(&form, "tabPages");
    QWidget* pagGeneral = Named(nullptr, "pagGeneral");
    QComboBox* cboCity = Named<QComboBox>(pagGeneral, "cboCity");
    QWidget* pagOther = new QWidget;
    QSpinBox* spnQty = Named<QSpinBox>(pagOther, "spnQty");
    QLabel* lblTitle = Named<QLabel>(&form, "lblTitle");
    QAction* actSave = new QAction(&form);
    QTimer* tmrPoll = new QTimer(&form);

    SampleForm() {
        form.setObjectName("frmSample");
        (new QVBoxLayout(&form))->setObjectName("verticalLayout");
        form.layout()->addWidget(fraMain);
        form.layout()->addWidget(tabPages);
        actSave->setObjectName("actSave");
        tmrPoll->setObjectName("tmrPoll");
        cboCity->setEditable(true);
        cboCity->lineEdit()->setObjectName("cboCityEdit"); // still internal
        tabPages->addTab(pagGeneral, "General");
        tabPages->addTab(pagOther, "Other");
        Named<QLineEdit>(Named<QDialog>(&form, "dlgChild"), "txtDialog");
    }
    Form* TheForm() { return FormOf(&form); }
};

TEST(QtHostForm, TheFormListsItsNamedControlsWithTheirContainersAndKinds) {
    SampleForm s;
    s.form.show();
    s.tabPages->setCurrentIndex(1); // showing a page raises it to the end of children()
    s.tabPages->setCurrentIndex(0);
    QApplication::processEvents();
    Form* form = s.TheForm();
    EXPECT_EQ(NamesOf(form),
              QStringList({"fraMain", "chkActive", "txtNote", "fraInner", "txtMemo", "tabPages",
                           "pagGeneral", "cboCity", "spnQty", "lblTitle", "actSave", "tmrPoll"}));
    const std::tuple<QObject*, HostObject*, ControlKind> controls[] = {
        {s.fraMain, form, ControlKind::Container},
        {s.chkActive, ControlOf(s.fraMain), ControlKind::CheckBox},
        {s.txtNote, ControlOf(s.fraMain), ControlKind::TextBox}, // past the unnamed holder
        {s.txtMemo, ControlOf(s.fraInner), ControlKind::TextBox},
        {s.cboCity, ControlOf(s.pagGeneral), ControlKind::ComboBox},
        {s.pagGeneral, ControlOf(s.tabPages), ControlKind::Container},
        {s.spnQty, ControlOf(s.tabPages), ControlKind::TextBox}, // on an unnamed page
        {s.lblTitle, form, ControlKind::Other},
        {s.holder, ControlOf(s.fraMain), ControlKind::Container},
    };
    for (const auto& [object, container, kind] : controls) {
        SCOPED_TRACE(object->objectName().toStdString());
        EXPECT_EQ(ControlOf(object)->Container(), container);
        EXPECT_EQ(ControlOf(object)->Kind(), kind);
        EXPECT_EQ(ControlOf(object)->Parent(), form);
    }
    EXPECT_EQ(form->Kind(), ControlKind::Form);
    // Actions and timers belong to the form but have no container.
    EXPECT_EQ(RaisedBy([&] { ControlOf(s.actSave)->Container(); }).number, Err::NoSuchMember);
    EXPECT_EQ(RaisedBy([&] { ControlOf(s.tmrPoll)->Container(); }).number, Err::NoSuchMember);
    EXPECT_EQ(ControlOf(s.actSave)->Parent(), form);
    EXPECT_EQ(RaisedBy([&] { AsTextBox(*ControlOf(s.chkActive)); }).number, Err::NoSuchMember);
}

TEST(QtHostForm, PropertiesAdaptersAndTheFocus) {
    SampleForm s;
    s.cboCity->setProperty("Tag", "#IdCitta\u00B8Citta");
    s.cboCity->setProperty("DataField", "Attiva = 1");
    EXPECT_EQ(ControlOf(s.cboCity)->Tag(), "#IdCitta\u00B8Citta");
    EXPECT_EQ(AsComboBox(*ControlOf(s.cboCity)).DataField(), "Attiva = 1");
    // Enabled is the control's own flag, not the one a disabled frame passes on.
    Control* chk = ControlOf(s.chkActive);
    chk->SetEnabled(false);
    EXPECT_FALSE(s.chkActive->isEnabled());
    chk->SetEnabled(true);
    s.fraMain->setEnabled(false);
    EXPECT_TRUE(chk->Enabled());
    ControlOf(s.actSave)->SetEnabled(false);
    EXPECT_FALSE(s.actSave->isEnabled());
    ControlOf(s.tmrPoll)->SetEnabled(true);
    EXPECT_TRUE(s.tmrPoll->isActive());
    // Adapters are made once, never listed, and die with their widget.
    EXPECT_EQ(ControlOf(s.txtNote), ControlOf(s.txtNote));
    EXPECT_EQ(HostObjectOf(&s.form), FormOf(&s.form));
    EXPECT_EQ(ControlOf(s.txtNote)->Native(), static_cast<void*>(s.txtNote));
    EXPECT_EQ(ControlOf(nullptr), nullptr);
    QPointer<QObject> adapter(dynamic_cast<QObject*>(ControlOf(s.txtNote)));
    delete s.txtNote;
    EXPECT_TRUE(adapter.isNull());
    EXPECT_FALSE(NamesOf(s.TheForm()).contains("txtNote"));
    // The focus inside a composite belongs to the composite.
    s.fraMain->setEnabled(true);
    s.form.show();
    s.form.activateWindow();
    s.cboCity->lineEdit()->setFocus();
    QApplication::processEvents();
    if (QApplication::focusWidget() == s.cboCity->lineEdit()) {
        EXPECT_EQ(s.TheForm()->ActiveControl(), ControlOf(s.cboCity));
    }
    QWidget other;
    EXPECT_EQ(FormOf(&other)->ActiveControl(), nullptr);
}

TEST(QtHostForm, TextAndCheckBoxesReadWriteLockAndSelect) {
    QLineEdit edit;
    TextBox& box = AsTextBox(*ControlOf(&edit));
    box.SetText("Hello World");
    box.SetLocked(true);
    EXPECT_TRUE(edit.isReadOnly() && box.Locked());
    box.SetSelStart(0);
    box.SetSelLength(32000); // to the end
    EXPECT_EQ(edit.selectedText(), "Hello World");
    box.SetSelStart(6); // moving the start drops the selection
    EXPECT_EQ(box.SelLength(), 0);
    box.SetSelLength(3);
    EXPECT_EQ(edit.selectedText(), "Wor");
    box.SetSelStart(100);
    EXPECT_EQ(box.SelStart(), 11);
    EXPECT_EQ(RaisedBy([&] { box.SetSelLength(-1); }).number, Err::InvalidCall);
    EXPECT_EQ(RaisedBy([&] { box.SetSelStart(-1); }).number, Err::InvalidCall);
    QPlainTextEdit plain;
    TextBox& memo = AsTextBox(*ControlOf(&plain));
    memo.SetText("ab\ncd");
    memo.SetSelStart(1);
    memo.SetSelLength(32000);
    EXPECT_EQ(memo.Text() + QString::number(memo.SelStart()) + QString::number(memo.SelLength()),
              "ab\ncd14");
    QCheckBox check;
    CheckBox& tick = AsCheckBox(*ControlOf(&check));
    for (const auto& [value, state] :
         {std::pair{1, Qt::Checked}, std::pair{2, Qt::PartiallyChecked},
          std::pair{0, Qt::Unchecked}}) {
        tick.SetValue(value);
        EXPECT_EQ(check.checkState(), state);
        EXPECT_EQ(tick.Value(), value);
    }
    EXPECT_EQ(RaisedBy([&] { tick.SetValue(3); }).number, Err::InvalidCall);
}

ComboBox& Filled(QComboBox& combo, const QStringList& items) {
    ComboBox& box = AsComboBox(*ControlOf(&combo));
    box.ResetList();
    for (const QString& item : items)
        box.AddItem(item);
    return box;
}

void SendKey(QWidget* target, int key, const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &press);
}

TEST(QtHostForm, CombosKeepTheirOrderSelectExactlyAndIgnoreTheUserWhenLocked) {
    for (bool editable : {false, true}) {
        SCOPED_TRACE(editable);
        QWidget window;
        auto* combo = new QComboBox(&window);
        combo->setEditable(editable);
        combo->addItem("old");
        combo->setInsertPolicy(QComboBox::InsertAlphabetically);
        ComboBox& box = Filled(*combo, {"b", "a", "c", "d"});
        EXPECT_EQ(box.List(0) + box.List(1) + box.List(2), "bac");
        EXPECT_EQ(box.ListIndex(), -1) << "appending does not select";
        EXPECT_EQ(RaisedBy([&] { box.List(4); }).number, Err::InvalidCall);
        box.SetText("C"); // exact match only
        EXPECT_EQ(box.ListIndex(), -1);
        EXPECT_EQ(box.Text(), editable ? "C" : QString());
        box.SetText("c");
        EXPECT_EQ(box.ListIndex(), 2);
        box.AddItem("e");
        EXPECT_EQ(box.Text(), "c");
        EXPECT_EQ(RaisedBy([&] { box.SetListIndex(5); }).number, Err::InvalidCall);

        window.show();
        box.SetListIndex(0);
        box.SetLocked(true);
        EXPECT_TRUE(combo->isEnabled());
        QWidget* target = editable ? static_cast<QWidget*>(combo->lineEdit()) : combo;
        SendKey(target, Qt::Key_Down);
        SendKey(target, Qt::Key_C, "c");
        QWheelEvent wheel(QPointF(5, 5), combo->mapToGlobal(QPointF(5, 5)), QPoint(),
                          QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(target, &wheel);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5),
                          combo->mapToGlobal(QPointF(5, 5)), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(combo, &press);
        EXPECT_EQ(box.Text(), "b");
        EXPECT_FALSE(combo->view()->isVisible());
        box.SetListIndex(2); // the program still can
        box.SetLocked(false);
        SendKey(target, Qt::Key_Down);
        EXPECT_EQ(box.ListIndex(), 3);
        if (editable) {
            combo->lineEdit()->setText("x"); // typing leaves no item selected
            EXPECT_EQ(box.ListIndex(), -1);
            SendKey(target, Qt::Key_Return); // never adds the typed text to the list
            EXPECT_EQ(box.ListCount(), 5);
        }
        box.Clear();
        EXPECT_EQ(box.ListCount() + box.ListIndex(), -1);
    }
    QWidget window; // a combo made editable while locked gets a locked line edit
    auto* combo = new QComboBox(&window);
    Filled(*combo, {"a"}).SetLocked(true);
    combo->setEditable(true);
    window.show();
    QApplication::processEvents();
    EXPECT_TRUE(combo->lineEdit()->isReadOnly());
}

TEST(QtHostForm, PrintingWritesAPdfWhereItIsToldOrFailsQuietly) {
    if (HasDefaultPrinter())
        GTEST_SKIP() << "a default printer exists; no PDF is written";
    SampleForm s;
    s.fraMain->setMinimumHeight(120);
    s.form.show();
    QTemporaryDir dir;
    SetPrintOutputPath(dir.path() + "/prints/");
    s.TheForm()->PrintForm();
    const QString first = LastPrintFile();
    EXPECT_TRUE(
        QRegularExpression("/prints/frmSample_\\d{8}_\\d{6}\\.pdf$").match(first).hasMatch())
        << first.toStdString();
    s.TheForm()->PrintForm(); // the same second never overwrites
    EXPECT_NE(LastPrintFile(), first);
    QFile pdf(first);
    EXPECT_TRUE(pdf.open(QIODevice::ReadOnly) && pdf.read(5) == "%PDF-");
    PrintHostObject(ControlOf(s.fraMain)); // a container alone
    EXPECT_TRUE(QFileInfo(LastPrintFile()).fileName().startsWith("fraMain_"));
    SetPrintOutputPath(first + "/below/form.pdf"); // below a plain file: fails quietly
    EXPECT_NO_THROW(s.TheForm()->PrintForm());
    SetPrintOutputPath(QString());
}

// Date, time, number and rich text boxes bound through their user property,
// inside the unnamed-looking wrapper Qt Designer puts around a layout.
class Valori : public test::SuEntrambi<> {};

TEST_P(Valori, EveryValueBoxShowsSavesAndLocksItsColumnWithNullAsEmpty) {
    Schema({"CREATE TABLE Visite (IdVisita {AUTO}, Giorno DATE, Quando DATETIME, Ora TIME, "
            "Numero INTEGER, Importo DOUBLE, Testo VARCHAR(5))",
            "INSERT INTO Visite VALUES (1, '2024-03-01', '2024-03-01 10:30:00', '08:15:00', 42, "
            "2.5, 'uno'), (2, NULL, NULL, NULL, NULL, NULL, NULL)"});
    QGroupBox* grp = AddFrame("grpVisite");
    auto* wrapper = AddTagged<QWidget>("horizontalLayoutWidget_2", QString(), grp);
    AddText("txtId", "#IdVisita", wrapper);
    const QList<QWidget*> campi = {AddTagged<QDateEdit>("dtGiorno", "#Giorno", wrapper),
                                   AddTagged<QDateTimeEdit>("dtQuando", "#Quando", wrapper),
                                   AddTagged<QTimeEdit>("tmOra", "#Ora", wrapper),
                                   AddTagged<QSpinBox>("spNumero", "#Numero", wrapper),
                                   AddTagged<QDoubleSpinBox>("spImporto", "#Importo", wrapper),
                                   AddTagged<QTextEdit>("txtTesto", "#Testo", wrapper)};
    static_cast<QSpinBox*>(campi[3])->setRange(0, 1000);
    const auto testi = [&] {
        QStringList out;
        for (QWidget* w : campi)
            out << AsTextBox(*ControlOf(w)).Text();
        return out.join('|');
    };
    const auto bloccati = [&] {
        int n = 0;
        for (QWidget* w : campi)
            n += w->property("readOnly").toBool();
        return n;
    };
    ASSERT_TRUE(Init("Visite", "IdVisita", ControlOf(grp)));
    EXPECT_EQ(testi(), "|||||");
    EXPECT_EQ(static_cast<QAbstractSpinBox*>(campi[0])->text().trimmed(), "");
    EXPECT_EQ(static_cast<QAbstractSpinBox*>(campi[3])->text().trimmed(), "");
    EXPECT_EQ(bloccati(), 6);
    nav.Edit();
    EXPECT_EQ(bloccati(), 0);
    static_cast<QTextEdit*>(campi[5])->setPlainText("due"); // the rest stays Null
    nav.Update();
    EXPECT_EQ(banco->Cell("SELECT * FROM Visite WHERE IdVisita = 2"),
              "2|<null>|<null>|<null>|<null>|<null>|due");
    nav.MoveFirst();
    EXPECT_EQ(testi(), "2024-03-01|2024-03-01 10:30:00|08:15:00|42|2.5|uno");
    nav.Edit();
    static_cast<QDateEdit*>(campi[0])->setDate(QDate(2024, 3, 2));
    static_cast<QTimeEdit*>(campi[2])->setTime(QTime(9, 0));
    static_cast<QSpinBox*>(campi[3])->setValue(0);
    static_cast<QDoubleSpinBox*>(campi[4])->setValue(3.75);
    static_cast<QTextEdit*>(campi[5])->setPlainText("troppo");
    boxes.Expect(); // the length is checked on what the box holds
    nav.Update();
    EXPECT_TRUE(boxes.Shown().back().text.startsWith("TQ16"))
        << boxes.Shown().back().text.toStdString();
    EXPECT_EQ(nav.State(), 6);
    static_cast<QTextEdit*>(campi[5])->setPlainText("tre");
    nav.Update();
    EXPECT_EQ(banco->Cell("SELECT * FROM Visite WHERE IdVisita = 1"),
              "1|2024-03-02|2024-03-01 10:30:00|09:00:00|0|3.75|tre");
}

INSTANTIATE_FOR_ENGINES(Valori);

} // namespace
} // namespace tessaro
