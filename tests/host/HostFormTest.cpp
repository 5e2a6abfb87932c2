// The Qt adapter of the host form: which widgets are controls, their
// containers and kinds, what each kind reads and writes, and the message boxes.

#include "host/MessageBox.h"
#include "host/QtHostForm.h"
#include "support/FormFixtures.h"

#include <QTest>
#include <QtWidgets>

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
    QScrollArea* scrMore = Named<QScrollArea>(&form, "scrMore");
    QWizardPage* pagMore = Named<QWizardPage>(nullptr, "pagMore"); // a page of its own class
    QLineEdit* txtMore = Named<QLineEdit>(pagMore, "txtMore");
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
        scrMore->setWidget(pagMore);
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
    EXPECT_EQ(NamesOf(form), QStringList({"fraMain", "chkActive", "txtNote", "fraInner", "txtMemo",
                                          "tabPages", "pagGeneral", "cboCity", "spnQty", "lblTitle",
                                          "scrMore", "pagMore", "txtMore", "actSave", "tmrPoll"}));
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
        {s.pagMore, ControlOf(s.scrMore), ControlKind::Container},
        {s.txtMore, ControlOf(s.pagMore), ControlKind::TextBox}};
    for (const auto& [object, container, kind] : controls) {
        Control* c = ControlOf(object);
        EXPECT_EQ(std::make_tuple(c->Container(), c->Kind(), c->Parent()),
                  std::make_tuple(container, kind, static_cast<HostObject*>(form)))
            << object->objectName().toStdString();
    }
    EXPECT_EQ(form->Kind(), ControlKind::Form);
    // Actions and timers belong to the form but have no container.
    for (QObject* o : std::initializer_list<QObject*>{s.actSave, s.tmrPoll})
        EXPECT_EQ(RaisedBy([&] { ControlOf(o)->Container(); }).number, Err::NoSuchMember);
    EXPECT_EQ(ControlOf(s.actSave)->Parent(), form);
    EXPECT_EQ(RaisedBy([&] { AsTextBox(*ControlOf(s.chkActive)); }).number, Err::NoSuchMember);
}

TEST(QtHostForm, AdaptersAreMadeOnceKeepTheirOwnEnabledAndSelectionAndFollowFocus) {
    SampleForm s;
    // Enabled is the control's own flag, not the one a disabled frame passes on.
    Control* chk = ControlOf(s.chkActive);
    chk->SetEnabled(false);
    const bool spento = s.chkActive->isEnabled();
    chk->SetEnabled(true);
    s.fraMain->setEnabled(false);
    EXPECT_EQ(std::make_tuple(spento, chk->Enabled()), std::make_tuple(false, true));
    ControlOf(s.actSave)->SetEnabled(false);
    ControlOf(s.tmrPoll)->SetEnabled(true);
    EXPECT_EQ(std::make_tuple(s.actSave->isEnabled(), s.tmrPoll->isActive()),
              std::make_tuple(false, true));
    // A check box takes the three states and nothing else.
    CheckBox& spunta = AsCheckBox(*chk);
    spunta.SetValue(2);
    EXPECT_EQ(s.chkActive->checkState(), Qt::PartiallyChecked);
    for (const int fuori : {-1, 3})
        EXPECT_EQ(RaisedBy([&] { spunta.SetValue(fuori); }).number, Err::InvalidCall) << fuori;
    // A selection runs on from its start, also when the user selected backwards.
    s.fraMain->setEnabled(true);
    s.spnQty->setRange(0, 999999999);
    for (QWidget* w : std::initializer_list<QWidget*>{s.txtNote, s.txtMemo, s.spnQty}) {
        TextBox& box = AsTextBox(*ControlOf(w));
        box.SetText("123456789");
        box.SetSelStart(6);
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(w, Qt::Key_Left, Qt::ShiftModifier);
        const int primaInizio = box.SelStart(), primaLunghezza = box.SelLength();
        box.SetSelLength(1);
        EXPECT_EQ(std::make_tuple(primaInizio, primaLunghezza, box.SelStart(), box.SelLength()),
                  std::make_tuple(3, 3, 3, 1))
            << w->objectName().toStdString();
        EXPECT_EQ(RaisedBy([&] { box.SetSelLength(-1); }).number, Err::InvalidCall);
    }
    EXPECT_EQ(std::make_tuple(s.spnQty->minimum(), s.spnQty->specialValueText()),
              std::make_tuple(0, QString()))
        << "a value leaves the box as the host made it";
    // Adapters are made once, never listed, and die with their widget.
    EXPECT_EQ(std::make_tuple(ControlOf(s.txtNote), HostObjectOf(&s.form), ControlOf(nullptr),
                              ControlOf(s.txtNote)->Native()),
              std::make_tuple(ControlOf(s.txtNote), static_cast<HostObject*>(FormOf(&s.form)),
                              static_cast<Control*>(nullptr), static_cast<void*>(s.txtNote)));
    QPointer<QObject> adapter(dynamic_cast<QObject*>(ControlOf(s.txtNote)));
    delete s.txtNote;
    EXPECT_EQ(std::make_tuple(adapter.isNull(), NamesOf(s.TheForm()).contains("txtNote")),
              std::make_tuple(true, false));
    // The focus inside a composite belongs to the composite.
    s.form.show();
    QApplication::setActiveWindow(&s.form);
    s.cboCity->lineEdit()->setFocus();
    EXPECT_EQ(s.TheForm()->ActiveControl(), ControlOf(s.cboCity));
    QWidget other;
    EXPECT_EQ(FormOf(&other)->ActiveControl(), nullptr);
}

// One notch of the mouse wheel, down.
void Rotella(QWidget* w) {
    const QPointF dentro(5, 5);
    QWheelEvent ruota(dentro, w->mapToGlobal(dentro), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &ruota);
}

// The order of the items and the keys is checked with the navigator (binding
// tests); here: exact selection, and a locked combo that ignores the user.
TEST(QtHostForm, CombosSelectExactlyAndIgnoreTheUserWhenLocked) {
    for (bool editable : {false, true}) {
        SCOPED_TRACE(editable);
        QWidget window;
        auto* combo = new QComboBox(&window);
        combo->setEditable(editable);
        ComboBox& box = AsComboBox(*ControlOf(combo));
        EXPECT_EQ(combo->insertPolicy(), QComboBox::NoInsert) << "typing never adds an item";
        for (const char* item : {"b", "a", "c", "d"})
            box.AddItem(item);
        EXPECT_EQ(box.ListIndex(), -1) << "appending does not select";
        box.SetText("C"); // exact match only
        EXPECT_EQ(box.ListIndex(), -1);
        EXPECT_EQ(box.Text(), editable ? "C" : QString());
        box.SetText("c");
        box.AddItem("e");
        EXPECT_EQ(std::make_tuple(box.Text(), box.ListIndex()), std::make_tuple(QString("c"), 2));
        EXPECT_EQ(RaisedBy([&] { box.SetListIndex(5); }).number, Err::InvalidCall);

        window.show();
        box.SetListIndex(1);
        box.SetLocked(true);
        EXPECT_TRUE(combo->isEnabled());
        QWidget* target = editable ? static_cast<QWidget*>(combo->lineEdit()) : combo;
        for (const Qt::Key k : {Qt::Key_Down, Qt::Key_Up, Qt::Key_PageDown, Qt::Key_Home,
                                Qt::Key_End, Qt::Key_Space, Qt::Key_F4, Qt::Key_C})
            QTest::keyClick(target, k);
        QTest::mousePress(combo, Qt::LeftButton);
        Rotella(combo);
        EXPECT_EQ(box.Text(), "a");
        EXPECT_FALSE(combo->view()->isVisible());
        box.SetListIndex(2); // the program still can
        box.SetLocked(false);
        QTest::keyClick(target, Qt::Key_Down);
        Rotella(combo);
        EXPECT_EQ(box.ListIndex(), 4);
        if (editable) {
            combo->lineEdit()->setText("x"); // typing leaves no item selected
            EXPECT_EQ(box.ListIndex(), -1);
            QTest::keyClick(target, Qt::Key_Return); // never adds the typed text to the list
            EXPECT_EQ(box.ListCount(), 5);
        }
        box.Clear();
        EXPECT_EQ(std::make_tuple(box.ListCount(), box.ListIndex()), std::make_tuple(0, -1));
    }
    QWidget window; // a combo made editable while locked gets a locked line edit
    auto* combo = new QComboBox(&window);
    AsComboBox(*ControlOf(combo)).SetLocked(true);
    combo->setEditable(true);
    window.show();
    QApplication::processEvents();
    EXPECT_TRUE(combo->lineEdit()->isReadOnly());
}

// Date, time, number and rich text boxes bound through their user property,
// inside the wrapper Qt Designer puts around a layout.
class Valori : public test::SuEntrambi<> {};

TEST_P(Valori, EveryValueBoxShowsSavesAndLocksItsColumnWithNullAsEmpty) {
    Schema({"CREATE TABLE Visite (IdVisita {AUTO}, Giorno DATE, Quando DATETIME, Ora TIME, "
            "Numero INTEGER, Importo DOUBLE, Testo VARCHAR(5))",
            "INSERT INTO Visite VALUES (1, '2024-03-01', '2024-03-01 10:30:00', '08:15:00', 42, "
            "2.5, 'uno'), (2, NULL, NULL, NULL, NULL, NULL, NULL)"});
    QGroupBox* grp = AddFrame("grpVisite");
    auto* wrapper = AddTagged<QWidget>("horizontalLayoutWidget_2", QString(), grp);
    AddText("txtId", "#IdVisita", wrapper);
    auto* giorno = AddTagged<QDateEdit>("dtGiorno", "#Giorno", wrapper);
    auto* ora = AddTagged<QTimeEdit>("tmOra", "#Ora", wrapper);
    auto* numero = AddTagged<QSpinBox>("spNumero", "#Numero", wrapper);
    auto* importo = AddTagged<QDoubleSpinBox>("spImporto", "#Importo", wrapper);
    auto* testo = AddTagged<QTextEdit>("txtTesto", "#Testo", wrapper);
    const QList<QWidget*> campi = {
        giorno, AddTagged<QDateTimeEdit>("dtQuando", "#Quando", wrapper), ora, numero, importo,
        testo};
    numero->setRange(0, 1000);
    // What the engine reads from each box, and in which the user may type.
    const auto valori = [&] {
        std::pair<QStringList, QList<bool>> out;
        for (QWidget* w : campi) {
            out.first << AsTextBox(*ControlOf(w)).Text();
            out.second << !w->property("readOnly").toBool();
        }
        return out;
    };
    const QStringList vuoti(campi.size(), QString());
    const QList<bool> bloccati(campi.size(), false), scrivibili(campi.size(), true);
    ASSERT_TRUE(Init("Visite", "IdVisita", ControlOf(grp)));
    EXPECT_EQ(valori(), std::make_pair(vuoti, bloccati));
    EXPECT_EQ(std::make_tuple(giorno->text().trimmed(), numero->text().trimmed()),
              std::make_tuple(QString(), QString()))
        << "Null shows as empty";
    nav.Edit();
    EXPECT_EQ(valori(), std::make_pair(vuoti, scrivibili));
    testo->setPlainText("due"); // the rest stays Null
    nav.Update();
    EXPECT_EQ(banco->Cell("SELECT * FROM Visite WHERE IdVisita = 2"),
              "2|<null>|<null>|<null>|<null>|<null>|due");
    nav.MoveFirst();
    EXPECT_EQ(valori(), std::make_pair(QStringList({"2024-03-01", "2024-03-01 10:30:00", "08:15:00",
                                                    "42", "2.5", "uno"}),
                                       bloccati));
    nav.Edit();
    giorno->setDate(QDate(2024, 3, 2));
    ora->setTime(QTime(9, 0));
    numero->setValue(0); // the bottom of the range is a value, not Null
    importo->setValue(3.75);
    testo->setPlainText("troppo");
    ExpectOneBox([&] { nav.Update(); }, "TQ16 #Testo\rTQ17 5 TQ18", 48, "TQ02");
    testo->setPlainText("tre");
    nav.Update();
    EXPECT_EQ(banco->Cell("SELECT * FROM Visite WHERE IdVisita = 1"),
              "1|2024-03-02|2024-03-01 10:30:00|09:00:00|0|3.75|tre");
}

INSTANTIATE_FOR_ENGINES(Valori);

// (The scripted boxes are what every other test runs on.)
TEST(MessageBoxes, TheQtOnesFollowTheStyle) {
    // Style; buttons, icon and default of the box; the button clicked (NoButton:
    // Escape pressed) and the answer.
    using B = QMessageBox;
    const std::tuple<int, B::StandardButtons, B::Icon, B::StandardButton, B::StandardButton, int>
        cases[] = {
            {16, B::Ok, B::Critical, B::Ok, B::Ok, MsgAnswer::Ok},
            {35, B::Yes | B::No | B::Cancel, B::Question, B::Yes, B::NoButton, MsgAnswer::Cancel},
            {36, B::Yes | B::No, B::Question, B::Yes, B::NoButton, MsgAnswer::No},
            {36 + 256, B::Yes | B::No, B::Question, B::No, B::Yes, MsgAnswer::Yes},
            {5 + 64, B::Retry | B::Cancel, B::Information, B::Retry, B::Retry, 4}};
    for (const auto& [style, buttons, icon, byDefault, click, answer] : cases) {
        SCOPED_TRACE(style);
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            poll.stop();
            EXPECT_EQ(std::make_tuple(box->text(), box->windowTitle(),
                                      box->standardButtons().toInt(), box->icon(),
                                      box->standardButton(box->defaultButton())),
                      std::make_tuple(QString("Testo"), QString("Titolo"), buttons.toInt(), icon,
                                      byDefault));
            if (click != B::NoButton)
                box->button(click)->click();
            else
                QTest::keyClick(box, Qt::Key_Escape);
        });
        poll.start();
        EXPECT_EQ(QtMessageBoxService().Show("Testo", style, "Titolo"), answer);
    }
}

} // namespace
} // namespace tessaro
