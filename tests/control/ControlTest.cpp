// The control itself: its toolbar, properties, layout, the button states and
// the record-number box.

#include "ControlFixture.h"

#include <QDialog>
#include <QDir>
#include <QFocusEvent>
#include <QImage>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>

namespace tessaro::test {
namespace {

using Controllo = ControlTest;

TEST_F(Controllo, AFreshControlHasItsButtonsTooltipsIconsAndSize) {
    const QStringList keys = {"Primo", "Precedente", "",        "Successivo", "Ultimo",
                              "",      "",           "",        "Nuovo",      "Modifica",
                              "Salva", "Elimina",    "Annulla", "Duplica",    "Stampa"};
    ASSERT_EQ(ctl->ToolbarMoveRecord()->actions().size(), 15);
    for (int i = 1; i <= 15; ++i) {
        EXPECT_EQ(ctl->Button(i)->objectName(), keys[i - 1]) << i;
        EXPECT_TRUE(ctl->Button(i)->isEnabled() && ctl->Button(i)->isVisible()) << i;
        if (!keys[i - 1].isEmpty()) {
            EXPECT_EQ(ctl->Button(keys[i - 1]), ctl->Button(i));
        }
    }
    EXPECT_EQ(ctl->ToolbarMoveRecord()->widgetForAction(ctl->Button(3)), ctl->txtNumRec());
    EXPECT_EQ(RaisedBy([&] { ctl->Button(16); }).number, Err::SubscriptOutOfRange);
    EXPECT_EQ(RaisedBy([&] { ctl->Button(QString("primo")); }).number, Err::SubscriptOutOfRange);
    EXPECT_FALSE(BoxLocked());
    EXPECT_EQ(ctl->FonteDati(), nullptr);
    EXPECT_EQ(ctl->TipoDatabase() + ctl->ScorrimentoDisabilitato(), 0);

    const QStringList designed = {"Primo Record",
                                  "Record Precedente",
                                  "Record Successivo",
                                  "Ultimo Record",
                                  "Nuovo Record",
                                  "Modifica Record",
                                  "Salva",
                                  "Elimina Record",
                                  "Annulla",
                                  "Clona il record corrente",
                                  "Stampa la schermata corrente"};
    const QStringList messages = {"TQ37", "TQ38", "TQ39", "TQ40", "TQ32", "TQ33",
                                  "TQ35", "TQ34", "TQ41", "TQ36", "TQ31"};
    const QStringList buttons = kScorrimento + kComandi;
    for (int i = 0; i < buttons.size(); ++i)
        EXPECT_EQ(ctl->Button(buttons[i])->toolTip(), designed[i]) << i;
    // A missing settings file reaches the caller and leaves the tips.
    QTemporaryDir vuota;
    EXPECT_EQ(RaisedBy([&] { ctl->CambiaLingua(vuota.path()); }).number, Err::FileNotFound);
    EXPECT_EQ(ctl->Button("Primo")->toolTip(), "Primo Record");
    ctl->CambiaLingua(SourceDir() + "/lang");
    QStringList relabelled;
    for (int i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(ctl->Button(buttons[i])->toolTip(), GetMessage(messages[i])) << i;
        relabelled << ctl->Button(buttons[i])->toolTip();
    }
    relabelled.removeDuplicates();
    EXPECT_EQ(relabelled.size(), 11);
    EXPECT_EQ(ctl->Button("Primo")->toolTip(), "Primo record");

    // Every button has a picture of its own.
    QSet<qint64> pictures;
    for (const QString& key : buttons) {
        const QImage img = ctl->Button(key)->icon().pixmap(16, 16).toImage();
        int inked = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                inked += qAlpha(img.pixel(x, y)) > 0;
        EXPECT_GT(inked, 25) << key.toStdString();
        pictures << qHashBits(img.constBits(), img.sizeInBytes());
    }
    EXPECT_EQ(pictures.size(), 11);
    form->show();
    ctl->resize(900, 80);
    ctl->ToolbarMoveRecord()->setStyleSheet("QToolButton { color: black; }");
    QCoreApplication::processEvents();
    EXPECT_EQ(ctl->size(), QSize(473, 27));
    EXPECT_EQ(ctl->txtNumRec()->mapTo(ctl, QPoint(0, 0)).x(), 49);
    EXPECT_LE(ctl->ToolbarMoveRecord()->widgetForAction(ctl->Button(15))->geometry().right(), 472);
    // A host without message boxes gets the Qt ones; one installed is left alone.
    {
        ScopedMessageBoxService none(nullptr);
        Tessaro14_ML altro;
        EXPECT_NE(dynamic_cast<QtMessageBoxService*>(CurrentMessageBoxService()), nullptr);
    }
    Tessaro14_ML terzo;
    EXPECT_EQ(CurrentMessageBoxService(), &boxes);
}

TEST_F(Controllo, PropertiesReachTheActiveNavigatorOrFailAfterStoring) {
    for (const auto& op : std::vector<std::function<void()>>{
             [&] { ctl->MessaggioConfermaNuovoDisabilitato(true); },
             [&] { ctl->MessaggioConfermaClonaDisabilitato(true); },
             [&] { ctl->MessaggioConfermaEliminaDisabilitato(true); },
             [&] { ctl->InitCharTag("#"); }, [&] { ctl->State(); }, [&] { ctl->Condizione(); },
             [&] { ctl->TipoDatabase(4); }, [&] { ctl->ScorrimentoDisabilitato(1); }})
        EXPECT_EQ(RaisedBy(op).number, Err::ObjectNotSet);
    EXPECT_EQ(ctl->TipoDatabase(), 4);
    EXPECT_EQ(ctl->ScorrimentoDisabilitato(), -1);
    EXPECT_TRUE(ctl->Button(1)->isVisible()) << "the toolbar is left as it was";
    EXPECT_EQ(ctl->width(), 473);
    // The next source gets the stored values and the layout follows.
    Clienti(3);
    form->show();
    ASSERT_TRUE(ctl->AddFonteDati(conn.get(), "Clienti", form.get(), "IdCliente", {}, "", "#"));
    clsADONavigator* nav = ctl->FonteDati();
    EXPECT_EQ(nav->TipoDatabase, 4);
    EXPECT_EQ(nav->ScorrimentoDisabilitato, -1);
    EXPECT_EQ(ctl->size(), QSize(187, 27));
    for (int i = 1; i <= 15; ++i)
        EXPECT_EQ(ctl->Button(i)->isVisible(), i > 8) << i;
    EXPECT_FALSE(ctl->txtNumRec()->isVisible());
    EXPECT_FALSE(nav->MessaggioConfermaNuovoDisabilitato) << "only what is set after registering";
    ctl->ScorrimentoDisabilitato(0);
    EXPECT_EQ(ctl->size(), QSize(473, 27));
    EXPECT_TRUE(ctl->Button(1)->isVisible() && ctl->txtNumRec()->isVisible());
    ctl->ScorrimentoDisabilitato(5);
    EXPECT_EQ(nav->ScorrimentoDisabilitato, -1);
    ctl->ScorrimentoDisabilitato(0);

    const std::pair<void (Tessaro14_ML::*)(bool), bool clsADONavigator::*> flags[] = {
        {&Tessaro14_ML::MessaggioConfermaNuovoDisabilitato,
         &clsADONavigator::MessaggioConfermaNuovoDisabilitato},
        {&Tessaro14_ML::MessaggioConfermaClonaDisabilitato,
         &clsADONavigator::MessaggioConfermaClonaDisabilitato},
        {&Tessaro14_ML::MessaggioConfermaEliminaDisabilitato,
         &clsADONavigator::MessaggioConfermaEliminaDisabilitato}};
    for (const auto& [set, field] : flags) {
        (ctl->*set)(true);
        EXPECT_TRUE(nav->*field);
        (ctl->*set)(false);
        EXPECT_FALSE(nav->*field);
    }
    ctl->InitCharTag("@");
    ctl->TipoDatabase(2);
    nav->mCondizione = "IdCliente > 1";
    EXPECT_EQ(nav->InitCharTagValue() + QString::number(nav->TipoDatabase) + ctl->Condizione(),
              "@2IdCliente > 1");
    EXPECT_EQ(ctl->State(), 3);
}

class Pulsanti : public ControlTest {
protected:
    void SetUp() override { // ten customers, standing on the third
        ControlTest::SetUp();
        Clienti(10);
        ASSERT_TRUE(RegistraClienti());
        ctl->MoveTo("3");
    }
    void Stato(short s) {
        ctl->FonteDati()->SetState(static_cast<StatoNavigatore>(s));
        ctl->AggiornaStatoPulsanti();
    }
    const QStringList kNavigazione = {"Nuovo", "Modifica", "Elimina", "Duplica", "Stampa"};
};

TEST_F(Pulsanti, EveryStateSetsTheButtonsAndTheBoxAsItsRowSays) {
    const std::tuple<short, QStringList, const char*, bool> rows[] = {
        {1, {"Nuovo", "Stampa"}, "0", true},
        {2, QStringList({"Successivo", "Ultimo"}) + kNavigazione, "3 TQ30 10", false},
        {3, QStringList({"Primo", "Precedente"}) + kNavigazione, "3 TQ30 10", false},
        {4, kNavigazione, "3 TQ30 10", false},
        {5, {"Salva", "Annulla", "Stampa"}, "", true},
        {6, {"Salva", "Annulla", "Stampa"}, "", true},
        {7, kScorrimento + kNavigazione, "3 TQ30 10", false},
    };
    for (const auto& [state, on, box, locked] : rows) {
        ctl->ToolbarMoveRecord()->setEnabled(false);
        Stato(state);
        EXPECT_EQ(Accesi(), on) << state;
        EXPECT_EQ(Box(), box) << state;
        EXPECT_EQ(BoxLocked(), locked) << state;
        EXPECT_EQ(ctl->Button(6)->isEnabled(), state != 1 && state != 5 && state != 6) << state;
        EXPECT_TRUE(ctl->ToolbarMoveRecord()->isEnabled());
    }
    // An unknown state changes nothing, but "Annulla" follows "Salva".
    ctl->Button("Salva")->setEnabled(true);
    Stato(8);
    EXPECT_EQ(Accesi(), kScorrimento + QStringList({"Nuovo", "Modifica", "Salva", "Elimina",
                                                    "Annulla", "Duplica", "Stampa"}));
    // The permission flags narrow the table.
    ctl->NuovoEnabled(false);
    Stato(1);
    EXPECT_EQ(Accesi(), QStringList({"Stampa"}));
    ctl->NuovoEnabled(true);
    ctl->TastiScorrimentoEnabled(false);
    for (short s : {2, 3, 4, 7}) {
        Stato(s);
        EXPECT_EQ(Accesi(), kNavigazione) << s;
        EXPECT_TRUE(BoxLocked()) << s;
    }
    ctl->TastiScorrimentoEnabled(true);
    ctl->ConsultazioneEnabled(false);
    Stato(7);
    EXPECT_EQ(Accesi(), QStringList(kScorrimento) << "Nuovo");
    ctl->ConsultazioneEnabled(true);
    for (const auto& flag : {&Tessaro14_ML::NuovoEnabled, &Tessaro14_ML::ModificaEnabled,
                             &Tessaro14_ML::EliminaEnabled, &Tessaro14_ML::DuplicaEnabled})
        (ctl->*flag)(false);
    Stato(3);
    EXPECT_EQ(Accesi(), QStringList({"Primo", "Precedente", "Stampa"}));
    // With the connection closed the refresh only enables the toolbar.
    conn->Close();
    ctl->ToolbarMoveRecord()->setEnabled(false);
    Stato(1);
    EXPECT_TRUE(ctl->ToolbarMoveRecord()->isEnabled());
    EXPECT_EQ(Box(), "3 TQ30 10");
}

TEST_F(Pulsanti, TheFlagsSetTheirButtonsAtOnceAndEnabledSwitchesTheWholeToolbar) {
    Stato(7);
    ctl->NuovoEnabled(false);
    ctl->ModificaEnabled(false);
    ctl->EliminaEnabled(false);
    ctl->DuplicaEnabled(false);
    EXPECT_EQ(Accesi(), kScorrimento + QStringList{"Stampa"});
    ctl->TastiScorrimentoEnabled(false);
    EXPECT_EQ(Accesi(), QStringList{"Stampa"});
    EXPECT_TRUE(BoxLocked());
    ctl->ConsultazioneEnabled(false);
    EXPECT_TRUE(Accesi().isEmpty());
    ctl->ConsultazioneEnabled(true); // scrolling stays forbidden
    EXPECT_EQ(Accesi(), QStringList({"Modifica", "Elimina", "Duplica", "Stampa"}));
    EXPECT_TRUE(BoxLocked());
    ctl->TastiScorrimentoEnabled(true);
    ctl->ConsultazioneEnabled(false);
    EXPECT_TRUE(BoxLocked());
    ctl->ConsultazioneEnabled(true);
    EXPECT_FALSE(BoxLocked());
    EXPECT_TRUE(ctl->Button("Ultimo")->isEnabled());

    ctl->Enabled(false);
    EXPECT_EQ(Box(), "");
    EXPECT_TRUE(BoxLocked());
    EXPECT_FALSE(ctl->ToolbarMoveRecord()->isEnabled());
    EXPECT_TRUE(Accesi().isEmpty());
    ctl->Enabled(true);
    EXPECT_EQ(Accesi(), kScorrimento + kComandi);
    ctl->AggiornaStatoPulsanti(); // until the next refresh puts the table back
    EXPECT_FALSE(ctl->Button("Salva")->isEnabled() || ctl->Button("Annulla")->isEnabled());
}

TEST_F(Pulsanti, TheRecordBoxJumpsToATypedNumber) {
    const std::pair<const char*, const char*> jumps[] = {
        {"2.5", "2 TQ30 10"}, {"3.5", "4 TQ30 10"},  {"6,5", "6 TQ30 10"},  {"7.5", "8 TQ30 10"},
        {" 9 ", "9 TQ30 10"}, {"1.49", "1 TQ30 10"}, {"1e12", "1 TQ30 10"}, {"10", "10 TQ30 10"},
    };
    for (const auto& [typed, box] : jumps) {
        Digita(QLatin1String(typed));
        EXPECT_EQ(Box(), box) << typed;
        EXPECT_EQ(txtNome->text(), "C" + Box().section(' ', 0, 0)) << typed;
    }
    EXPECT_EQ(Accesi(), QStringList({"Primo", "Precedente"}) + kNavigazione);
    // Text that is no number warns and puts the counter back.
    for (const char* typed : {"abc", "1.000,5", "5 €", ""}) {
        ExpectOneBox([&] { Digita(QString::fromUtf8(typed)); }, "TQ07", 48, "TQ02");
        EXPECT_EQ(Box(), "10 TQ30 10") << typed;
    }
    // Other keys go into the box; Enter stays with it, never pressing a dialog's default.
    ctl->txtNumRec()->setText("5");
    QKeyEvent seven(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, "7");
    QCoreApplication::sendEvent(ctl->txtNumRec(), &seven);
    EXPECT_EQ(Box(), "57");
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
    // Getting the focus selects the whole text.
    QFocusEvent fuoco(QEvent::FocusIn, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(ctl->txtNumRec(), &fuoco);
    EXPECT_EQ(ctl->txtNumRec()->selectedText(), "2 TQ30 10");
}

TEST_F(Controllo, WithoutASourceEveryCommandReportsObjectNotSet) {
    const std::vector<std::pair<const char*, std::function<void()>>> metodi = {
        {"Tessaro_Addnew ", [this] { ctl->Addnew(); }},
        {"Tessaro_Update ", [this] { ctl->Update(); }},
        {"Tessaro_Edit ", [this] { ctl->Edit(); }},
        {"Tessaro_Delete ", [this] { ctl->Delete(); }},
        {"Tessaro_MoveTo ", [this] { ctl->MoveTo("1"); }},
        {"Tessaro_ImpostaCondizione ", [this] { ctl->ImpostaCondizione("1 = 1"); }},
        {"Tessaro_Annulla ", [this] { ctl->Annulla(); }},
        {"Tessaro_ToolbarMoveRecord_ButtonClick ", [this] { Click("Primo"); }},
        {"Tessaro_ToolbarMoveRecord_ButtonClick ", [this] { Click("Nuovo"); }},
    };
    for (const auto& [label, call] : metodi)
        ExpectOneBox(call, Failure(label, Err::ObjectNotSet), 16, "TQ03");
    EXPECT_TRUE(ctl->ToolbarMoveRecord()->isEnabled());
    Digita("4"); // the box shows nothing but the warning for text
    EXPECT_TRUE(boxes.Shown().size() == metodi.size());
    ExpectOneBox([&] { Digita("quattro"); }, "TQ07", 48, "TQ02");
    EXPECT_EQ(Box(), "quattro");

    Clienti(0);
    ASSERT_TRUE(RegistraClienti());
    EXPECT_EQ(ctl->State(), 1);
    EXPECT_EQ(Accesi(), QStringList({"Nuovo", "Stampa"}));
    EXPECT_EQ(Box(), "0");
    ctl->Edit(); // an edit or a delete with no records shows nothing
    ctl->Delete();
    EXPECT_EQ(ctl->State(), 1);
}

} // namespace
} // namespace tessaro::test
