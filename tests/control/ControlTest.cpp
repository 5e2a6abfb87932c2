// The control itself: its toolbar, texts, properties, layout, the buttons it
// offers in each situation and the record-number box.

#include "ControlFixture.h"

#include <QAccessible>
#include <QDialog>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>

namespace tessaro::test {
namespace {

using Controllo = ControlTest;

TEST_F(Controllo, AFreshControlHasItsButtonsShortcutsTextsAndSize) {
    const QStringList keys = {"Primo", "Precedente", "",        "Successivo", "Ultimo",
                              "",      "",           "",        "Nuovo",      "Modifica",
                              "Salva", "Elimina",    "Annulla", "Duplica",    "Stampa"};
    ASSERT_EQ(ctl->ToolbarMoveRecord()->actions().size(), 15);
    for (int i = 1; i <= 15; ++i) {
        EXPECT_EQ(ctl->Button(i)->objectName(), keys[i - 1]) << i;
        EXPECT_FALSE(ctl->Button(i)->isEnabled()) << "no source, nothing to press: " << i;
        if (!keys[i - 1].isEmpty()) {
            EXPECT_EQ(ctl->Button(keys[i - 1]), ctl->Button(i));
        }
    }
    EXPECT_EQ(ctl->ToolbarMoveRecord()->widgetForAction(ctl->Button(3)), ctl->txtNumRec());
    EXPECT_EQ(RaisedBy([&] { ctl->Button(16); }).number, Err::SubscriptOutOfRange);
    EXPECT_EQ(RaisedBy([&] { ctl->Button(QString("primo")); }).number, Err::SubscriptOutOfRange);
    EXPECT_EQ(ctl->FonteDati(), nullptr);
    EXPECT_EQ(ctl->TipoDatabase() + ctl->ScorrimentoDisabilitato(), 0);

    // Tooltips and screen readers name each button in the current language; a
    // host may change or clear a shortcut and the texts follow.
    const auto nome = [&](QWidget* w, QAccessible::Text t = QAccessible::Name) {
        return QAccessible::queryAccessibleInterface(w)->text(t);
    };
    const auto pulsante = [&](const char* k) {
        return ctl->ToolbarMoveRecord()->widgetForAction(ctl->Button(k));
    };
    EXPECT_EQ(ctl->Button("Salva")->toolTip(), "Salva (Ctrl+S)");
    EXPECT_EQ(nome(pulsante("Primo")), "Primo Record");
    ctl->Scorciatoia("Salva", QKeySequence("F9"));
    EXPECT_EQ(ctl->Button("Salva")->toolTip(), "Salva (F9)");
    ctl->Scorciatoia("Salva", QKeySequence());
    EXPECT_EQ(ctl->Button("Salva")->toolTip(), "Salva");
    EXPECT_EQ(nome(pulsante("Salva"), QAccessible::Description), "Salva");
    QTemporaryDir vuota;
    EXPECT_EQ(RaisedBy([&] { ctl->CambiaLingua(vuota.path()); }).number, Err::FileNotFound);
    const QStringList buttons = kScorrimento + kComandi;
    for (const char* lingua : {"Italiano", "English"}) {
        ASSERT_TRUE(QFile::copy(SourceDir() + "/lang/" + lingua + ".lng",
                                vuota.filePath(QString(lingua) + ".lng")));
        QFile ini(vuota.filePath("LangSetting.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(QByteArray("[Language]\nCurrentLanguage=") + lingua + "\n");
        ini.close();
        ctl->CambiaLingua(vuota.path());
        QStringList nomi;
        for (const QString& k : buttons)
            nomi << nome(ctl->ToolbarMoveRecord()->widgetForAction(ctl->Button(k)));
        nomi << nome(ctl->txtNumRec()) << nome(pulsante("Nuovo"), QAccessible::Description);
        EXPECT_EQ(nomi.mid(0, 2) + nomi.mid(11),
                  QString(lingua) == "English"
                      ? QStringList({"First record", "Previous record", "Record number",
                                     "Keyboard shortcut: Ctrl+N"})
                      : QStringList({"Primo record", "Record precedente", "Numero del record",
                                     "Tasto di scelta rapida: Ctrl+N"}));
        nomi.removeDuplicates();
        EXPECT_EQ(nomi.size(), 13) << lingua;
        EXPECT_EQ(ctl->Button("Nuovo")->toolTip(), nomi[4] + " (Ctrl+N)");
    }

    // Every button has a picture of its own; the three spacers are one blank gap.
    QSet<qint64> pictures;
    for (const QString& key : buttons) {
        const QImage img = ctl->Button(key)->icon().pixmap(16, 16).toImage();
        const QImage alpha = img.convertToFormat(QImage::Format_Alpha8);
        EXPECT_GT(std::count_if(alpha.constBits(), alpha.constBits() + alpha.sizeInBytes(),
                                [](uchar a) { return a > 0; }),
                  25)
            << key.toStdString();
        pictures << qHashBits(img.constBits(), img.sizeInBytes());
    }
    EXPECT_EQ(pictures.size(), 11);
    form->show();
    ctl->resize(900, 80);
    ctl->ToolbarMoveRecord()->setStyleSheet("QToolButton { color: black; }");
    QCoreApplication::processEvents();
    EXPECT_EQ(ctl->size(), QSize(473, 27));
    EXPECT_EQ(ctl->txtNumRec()->mapTo(ctl, QPoint(0, 0)).x(), 49);
    const auto posto = [&](int i) {
        return ctl->ToolbarMoveRecord()->widgetForAction(ctl->Button(i))->geometry();
    };
    EXPECT_LE(posto(15).right(), 472);
    const QImage barra = ctl->ToolbarMoveRecord()->grab().toImage();
    for (int y = 0; y < barra.height(); ++y)
        for (int x = posto(5).right() + 1; x < posto(9).left(); ++x)
            ASSERT_EQ(barra.pixel(x, y), barra.pixel(posto(5).right() + 1, y)) << "a line at " << x;
    EXPECT_EQ(posto(9).left() - posto(5).right() - 1, 18);
    // A bigger font makes the strip taller, never the box squeezed.
    QFont grande = ctl->font();
    grande.setPointSize(16);
    ctl->setFont(grande);
    EXPECT_GE(ctl->txtNumRec()->height(), ctl->txtNumRec()->sizeHint().height());
    EXPECT_GT(ctl->height(), std::max(27, ctl->txtNumRec()->height()));
    EXPECT_EQ(ctl->width(), 473);
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
    EXPECT_EQ(ctl->TipoDatabase() * 10 + ctl->ScorrimentoDisabilitato(), 39);
    EXPECT_EQ(ctl->width(), 473) << "the toolbar is left as it was";
    // The next source gets the stored values and the layout follows.
    Clienti(3);
    form->show();
    ASSERT_TRUE(ctl->AddFonteDati(conn.get(), "Clienti", form.get(), "IdCliente", {}, "", "#"));
    clsADONavigator* nav = ctl->FonteDati();
    EXPECT_EQ(nav->TipoDatabase * 10 + nav->ScorrimentoDisabilitato, 39);
    EXPECT_EQ(ctl->size(), QSize(187, 27));
    for (int i = 1; i <= 15; ++i)
        EXPECT_EQ(ctl->Button(i)->isVisible(), i > 8) << i;
    EXPECT_FALSE(ctl->txtNumRec()->isVisible());
    EXPECT_FALSE(nav->MessaggioConfermaNuovoDisabilitato) << "only what is set after registering";
    ctl->ScorrimentoDisabilitato(0);
    EXPECT_EQ(ctl->size(), QSize(473, 27));
    EXPECT_TRUE(ctl->Button(1)->isVisible() && ctl->txtNumRec()->isVisible());

    ctl->MessaggioConfermaNuovoDisabilitato(true);
    ctl->MessaggioConfermaClonaDisabilitato(true);
    ctl->MessaggioConfermaEliminaDisabilitato(true);
    EXPECT_TRUE(nav->MessaggioConfermaNuovoDisabilitato &&
                nav->MessaggioConfermaClonaDisabilitato &&
                nav->MessaggioConfermaEliminaDisabilitato);
    ctl->MessaggioConfermaClonaDisabilitato(false);
    EXPECT_FALSE(nav->MessaggioConfermaClonaDisabilitato);
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
    const QStringList kNavigazione = {"Nuovo", "Modifica", "Elimina", "Duplica", "Stampa"};
};

TEST_F(Pulsanti, TheFlagsNarrowWhatCanBePressedAndEnabledSwitchesTheWholeToolbar) {
    EXPECT_EQ(Accesi(), kScorrimento + kNavigazione);
    ctl->NuovoEnabled(false);
    ctl->ModificaEnabled(false);
    ctl->EliminaEnabled(false);
    ctl->DuplicaEnabled(false);
    EXPECT_EQ(Accesi(), kScorrimento + QStringList{"Stampa"});
    Click("Primo"); // still after a move
    EXPECT_EQ(Accesi(), QStringList({"Successivo", "Ultimo", "Stampa"}));
    ctl->TastiScorrimentoEnabled(false);
    EXPECT_EQ(Accesi(), QStringList{"Stampa"});
    EXPECT_TRUE(BoxLocked());
    ctl->ConsultazioneEnabled(false);
    EXPECT_TRUE(Accesi().isEmpty());
    ctl->ConsultazioneEnabled(true); // scrolling stays forbidden
    EXPECT_EQ(Accesi(), QStringList({"Modifica", "Elimina", "Duplica", "Stampa"}));
    EXPECT_TRUE(BoxLocked());
    ctl->TastiScorrimentoEnabled(true);
    ctl->NuovoEnabled(true);
    Click("Ultimo");
    EXPECT_EQ(Accesi(), QStringList({"Primo", "Precedente"}) + kNavigazione);
    EXPECT_FALSE(BoxLocked());
    ctl->Edit(); // a flag set meanwhile does not open a button the mode closes
    ctl->NuovoEnabled(true);
    EXPECT_EQ(Accesi(), QStringList({"Salva", "Annulla", "Stampa"}));
    EXPECT_TRUE(Box().isEmpty() && BoxLocked());
    ctl->Annulla();

    ctl->Enabled(false);
    EXPECT_EQ(Box(), "");
    EXPECT_TRUE(BoxLocked());
    EXPECT_FALSE(ctl->ToolbarMoveRecord()->isEnabled());
    EXPECT_TRUE(Accesi().isEmpty());
    ctl->Enabled(true);
    EXPECT_EQ(Accesi(), kScorrimento + kNavigazione);
    EXPECT_EQ(Box(), "10 TQ30 10");
    // With the connection closed the refresh leaves the buttons as they are.
    conn->Close();
    ctl->ToolbarMoveRecord()->setEnabled(false);
    ctl->AggiornaStatoPulsanti();
    EXPECT_TRUE(ctl->ToolbarMoveRecord()->isEnabled());
    EXPECT_EQ(Box(), "10 TQ30 10");
}

TEST_F(Pulsanti, TheRecordBoxJumpsToATypedNumberAndSpeaksThePosition) {
    const auto annuncio = [&] {
        return QAccessible::queryAccessibleInterface(ctl->txtNumRec())
            ->text(QAccessible::Description);
    };
    const std::pair<const char*, const char*> jumps[] = {
        {"2.5", "2 TQ30 10"}, {"3.5", "4 TQ30 10"},  {"6,5", "6 TQ30 10"},  {"7.5", "8 TQ30 10"},
        {" 9 ", "9 TQ30 10"}, {"1.49", "1 TQ30 10"}, {"1e12", "1 TQ30 10"}, {"10", "10 TQ30 10"},
    };
    for (const auto& [typed, box] : jumps) {
        Digita(QLatin1String(typed));
        EXPECT_EQ(Box(), box) << typed;
        EXPECT_EQ(txtNome->text(), "C" + Box().section(' ', 0, 0)) << typed;
        EXPECT_EQ(annuncio(), Box().replace("TQ30", "di").prepend("Record ")) << typed;
    }
    EXPECT_EQ(Accesi(), QStringList({"Primo", "Precedente"}) + kNavigazione);
    ctl->Edit();
    EXPECT_EQ(annuncio(), "Modifica del record in corso");
    ctl->Annulla();
    EXPECT_EQ(annuncio(), "Record 10 di 10");
    // Enter on the counter as shown stays put; text that is no number warns
    // and puts the counter back.
    Digita(Box());
    EXPECT_TRUE(boxes.Shown().empty());
    for (const char* typed : {"abc", "1.000,5", "5 €", ""}) {
        ExpectOneBox([&] { Digita(QString::fromUtf8(typed)); }, "TQ07", 48, "TQ02");
        EXPECT_EQ(Box(), "10 TQ30 10") << typed;
    }
    // A click that brings the focus selects the whole counter; Enter stays
    // with the box, never pressing a dialog's default button.
    Attiva();
    QTest::mouseClick(ctl->txtNumRec(), Qt::LeftButton, {},
                      QPoint(ctl->txtNumRec()->width() - 5, 5));
    EXPECT_EQ(ctl->txtNumRec()->selectedText(), "10 TQ30 10");
    QTest::keyClicks(ctl->txtNumRec(), "4");
    EXPECT_EQ(Box(), "4");
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

TEST_F(Controllo, WithoutASourceNothingCanBePressedAndEveryCommandReportsObjectNotSet) {
    const std::vector<std::pair<const char*, std::function<void()>>> metodi = {
        {"Tessaro_Addnew ", [this] { ctl->Addnew(); }},
        {"Tessaro_Update ", [this] { ctl->Update(); }},
        {"Tessaro_Edit ", [this] { ctl->Edit(); }},
        {"Tessaro_Delete ", [this] { ctl->Delete(); }},
        {"Tessaro_MoveTo ", [this] { ctl->MoveTo("1"); }},
        {"Tessaro_ImpostaCondizione ", [this] { ctl->ImpostaCondizione("1 = 1"); }},
        {"Tessaro_Annulla ", [this] { ctl->Annulla(); }},
    };
    for (const auto& [label, call] : metodi)
        ExpectOneBox(call, Failure(label, Err::ObjectNotSet), 16, "TQ03");
    for (const auto& flag : {&Tessaro14_ML::NuovoEnabled, &Tessaro14_ML::TastiScorrimentoEnabled,
                             &Tessaro14_ML::ConsultazioneEnabled, &Tessaro14_ML::Enabled})
        (ctl->*flag)(true);
    EXPECT_TRUE(Accesi().isEmpty());
    EXPECT_TRUE(Box().isEmpty() && BoxLocked());

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
