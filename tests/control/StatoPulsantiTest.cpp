#include "ControlFixture.h"

#include <QDialog>
#include <QFocusEvent>
#include <QPushButton>

namespace tessaro::test {
namespace {

class StatoPulsantiTest : public ControlTest {
protected:
    // Ten customers, standing on the third.
    void SetUp() override {
        ControlTest::SetUp();
        Clienti(10);
        ASSERT_TRUE(RegistraClienti());
        ctl->MoveTo("3");
        ASSERT_EQ(ctl->State(), 7);
    }

    void Stato(short s) {
        ctl->FonteDati()->SetState(static_cast<StatoNavigatore>(s));
        ctl->AggiornaStatoPulsanti();
    }
};

const QStringList kNavigazione = {"Nuovo", "Modifica", "Elimina", "Duplica", "Stampa"};

TEST_F(StatoPulsantiTest, EveryStateSetsTheButtonsAndTheBoxAsItsRowSays) {
    Stato(1);
    EXPECT_EQ(Accesi(), QStringList({"Nuovo", "Stampa"}));
    EXPECT_EQ(Box(), "0");
    EXPECT_TRUE(BoxLocked());
    for (int i : {3, 6, 7, 8})
        EXPECT_FALSE(ctl->Button(i)->isEnabled()) << i;

    Stato(2);
    EXPECT_EQ(Accesi(), QStringList({"Successivo", "Ultimo"}) + kNavigazione);
    EXPECT_EQ(Box(), "3 TQ30 10");
    EXPECT_FALSE(BoxLocked());
    for (int i : {3, 6, 7, 8})
        EXPECT_TRUE(ctl->Button(i)->isEnabled()) << i;

    Stato(3);
    EXPECT_EQ(Accesi(), QStringList({"Primo", "Precedente"}) + kNavigazione);
    EXPECT_EQ(Box(), "3 TQ30 10");

    Stato(4);
    EXPECT_EQ(Accesi(), kNavigazione);
    EXPECT_EQ(Box(), "3 TQ30 10");
    EXPECT_FALSE(BoxLocked());

    for (short s : {5, 6}) {
        Stato(s);
        EXPECT_EQ(Accesi(), QStringList({"Salva", "Annulla", "Stampa"})) << s;
        EXPECT_EQ(Box(), "") << s;
        EXPECT_TRUE(BoxLocked()) << s;
        for (int i : {3, 6, 7, 8})
            EXPECT_FALSE(ctl->Button(i)->isEnabled()) << i;
    }

    Stato(7);
    EXPECT_EQ(Accesi(), kScorrimento + kNavigazione);
    EXPECT_EQ(Box(), "3 TQ30 10");
    EXPECT_FALSE(BoxLocked());
    EXPECT_TRUE(ctl->ToolbarMoveRecord()->isEnabled());
}

TEST_F(StatoPulsantiTest, AnUnknownStateChangesNothingButAnnullaFollowsSalva) {
    Stato(7);
    ctl->Button("Salva")->setEnabled(true);
    ctl->ToolbarMoveRecord()->setEnabled(false);
    const QStringList prima = Accesi();
    ASSERT_FALSE(prima.contains("Annulla"));
    QStringList dopo = prima;
    dopo.insert(prima.indexOf("Elimina") + 1, "Annulla");
    for (short s : {0, 8, -1}) {
        Stato(s);
        EXPECT_EQ(Accesi(), dopo) << s;
        ctl->Button("Annulla")->setEnabled(false);
        EXPECT_EQ(Box(), "3 TQ30 10");
        EXPECT_TRUE(ctl->ToolbarMoveRecord()->isEnabled());
    }
}

TEST_F(StatoPulsantiTest, PermissionFlagsNarrowTheTable) {
    ctl->NuovoEnabled(false);
    Stato(1);
    EXPECT_EQ(Accesi(), QStringList({"Stampa"}));
    ctl->NuovoEnabled(true);

    // No scrolling: the first of several has no way on and the box is locked.
    ctl->TastiScorrimentoEnabled(false);
    for (short s : {2, 3, 4, 7}) {
        Stato(s);
        EXPECT_EQ(Accesi(), kNavigazione) << s;
        EXPECT_EQ(Box(), "3 TQ30 10") << s;
        EXPECT_TRUE(BoxLocked()) << s;
    }
    ctl->TastiScorrimentoEnabled(true);

    // No browsing: printing and the three edit flags go, scrolling stays.
    ctl->ConsultazioneEnabled(false);
    Stato(7);
    EXPECT_EQ(Accesi(), QStringList(kScorrimento) << "Nuovo");
    EXPECT_FALSE(BoxLocked());
    Stato(1);
    EXPECT_EQ(Accesi(), QStringList({"Nuovo", "Stampa"}));
    ctl->ConsultazioneEnabled(true);
    Stato(2);
    EXPECT_EQ(Accesi(), QStringList({"Successivo", "Ultimo"}) + kNavigazione);

    ctl->ModificaEnabled(false);
    ctl->EliminaEnabled(false);
    ctl->DuplicaEnabled(false);
    Stato(3);
    EXPECT_EQ(Accesi(), QStringList({"Primo", "Precedente", "Nuovo", "Stampa"}));
}

TEST_F(StatoPulsantiTest, WithTheConnectionClosedTheRefreshOnlyEnablesTheToolbar) {
    Stato(7);
    conn->Close();
    ctl->Button("Primo")->setEnabled(false);
    ctl->txtNumRec()->setText("x");
    ctl->ToolbarMoveRecord()->setEnabled(false);
    ctl->FonteDati()->SetState(StatoNavigatore::NessunRecord);
    ctl->AggiornaStatoPulsanti();
    EXPECT_TRUE(ctl->ToolbarMoveRecord()->isEnabled());
    EXPECT_FALSE(ctl->Button("Primo")->isEnabled());
    EXPECT_TRUE(ctl->Button("Modifica")->isEnabled());
    EXPECT_EQ(Box(), "x");
}

TEST_F(StatoPulsantiTest, LettersAndEnterWarnAndPutTheCounterBack) {
    boxes.Expect(MsgAnswer::Ok);
    Digita("abc");
    ASSERT_EQ(boxes.Shown().size(), 1u);
    ExpectBox(0, "TQ07", 48, "TQ02");
    EXPECT_EQ(Box(), "3 TQ30 10");
    EXPECT_EQ(ctl->State(), 7);
    EXPECT_EQ(txtNome->text(), "C3");

    // A number with grouping or a currency is not a number either.
    for (const char* testo : {"1.000,5", "5 €", "0x5", ""}) {
        boxes.Expect(MsgAnswer::Ok);
        Digita(testo);
        EXPECT_EQ(Box(), "3 TQ30 10") << testo;
    }
}

TEST_F(StatoPulsantiTest, EnterJumpsToTheNumberRoundedHalfToEven) {
    Digita("2.5");
    EXPECT_EQ(Box(), "2 TQ30 10");
    EXPECT_EQ(txtNome->text(), "C2");
    Digita("3.5");
    EXPECT_EQ(Box(), "4 TQ30 10");
    EXPECT_EQ(txtNome->text(), "C4");
    Digita("6,5");
    EXPECT_EQ(Box(), "6 TQ30 10");
    Digita("7.5");
    EXPECT_EQ(Box(), "8 TQ30 10");
    Digita(" 9 ");
    EXPECT_EQ(Box(), "9 TQ30 10");
    Digita("1.49");
    EXPECT_EQ(Box(), "1 TQ30 10");
    EXPECT_EQ(Accesi(), QStringList({"Successivo", "Ultimo"}) + kNavigazione);
    Digita("10");
    EXPECT_EQ(Box(), "10 TQ30 10");
    EXPECT_EQ(Accesi(), QStringList({"Primo", "Precedente"}) + kNavigazione);
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(StatoPulsantiTest, ANumberBeyondThirtyTwoBitsMovesNowhere) {
    Digita("1e12");
    EXPECT_EQ(Box(), "3 TQ30 10");
    EXPECT_EQ(txtNome->text(), "C3");
}

TEST_F(StatoPulsantiTest, OtherKeysGoIntoTheBoxUntouched) {
    ctl->txtNumRec()->setText("5");
    QKeyEvent tasto(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, "7");
    QCoreApplication::sendEvent(ctl->txtNumRec(), &tasto);
    EXPECT_EQ(Box(), "57");
    EXPECT_EQ(txtNome->text(), "C3");
}

TEST_F(StatoPulsantiTest, EnterStaysWithTheBoxAndDoesNotPressADialogsDefaultButton) {
    QDialog dialogo;
    auto* predefinito = new QPushButton("OK", &dialogo);
    predefinito->setDefault(true);
    bool premuto = false;
    QObject::connect(predefinito, &QPushButton::clicked, [&] { premuto = true; });
    ctl->setParent(&dialogo);
    dialogo.show();
    Digita("2");
    EXPECT_EQ(Box(), "2 TQ30 10");
    EXPECT_FALSE(premuto);
    ctl->setParent(form.get());
}

TEST_F(StatoPulsantiTest, GettingTheFocusSelectsTheWholeText) {
    QFocusEvent fuoco(QEvent::FocusIn, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(ctl->txtNumRec(), &fuoco);
    EXPECT_EQ(ctl->txtNumRec()->selectedText(), "3 TQ30 10");

    ctl->txtNumRec()->setText("");
    QFocusEvent ancora(QEvent::FocusIn, Qt::MouseFocusReason);
    QCoreApplication::sendEvent(ctl->txtNumRec(), &ancora);
    EXPECT_FALSE(ctl->txtNumRec()->hasSelectedText());
}

class BoxWithoutSourceTest : public ControlTest {};

TEST_F(BoxWithoutSourceTest, ARealEmptyTableShowsOnlyNuovoAndStampa) {
    Clienti(0);
    ASSERT_TRUE(RegistraClienti());
    EXPECT_EQ(ctl->State(), 1);
    EXPECT_EQ(Accesi(), QStringList({"Nuovo", "Stampa"}));
    EXPECT_EQ(Box(), "0");
    EXPECT_TRUE(BoxLocked());
}

TEST_F(BoxWithoutSourceTest, WithoutASourceEnterShowsOnlyTheWarningForText) {
    Digita("4");
    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_TRUE(ctl->ToolbarMoveRecord()->isEnabled());
    boxes.Expect(MsgAnswer::Ok);
    Digita("quattro");
    ASSERT_EQ(boxes.Shown().size(), 1u);
    ExpectBox(0, "TQ07", 48, "TQ02");
    EXPECT_EQ(Box(), "quattro");
}

} // namespace
} // namespace tessaro::test
