#include "ControlFixture.h"

#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QToolButton>

namespace tessaro::test {
namespace {

class ControlInterfaceTest : public ControlTest {};

// Number of pixels of an image that are not fully transparent.
int Inked(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0)
                ++n;
    return n;
}

TEST_F(ControlInterfaceTest, AFreshControlHasEveryButtonOnAndTheScrollingPartShown) {
    ASSERT_EQ(ctl->ToolbarMoveRecord()->actions().size(), Tessaro14_ML::kPosizioni);
    for (int i = 1; i <= Tessaro14_ML::kPosizioni; ++i) {
        EXPECT_TRUE(ctl->Button(i)->isEnabled()) << i;
        EXPECT_TRUE(ctl->Button(i)->isVisible()) << i;
    }
    EXPECT_FALSE(BoxLocked());
    EXPECT_TRUE(ctl->ToolbarMoveRecord()->isEnabled());
    EXPECT_EQ(ctl->FonteDati(), nullptr);
    EXPECT_EQ(ctl->FontiDati().Count(), 0);
    EXPECT_EQ(ctl->LoadedForms().Count(), 0);
    EXPECT_EQ(ctl->ScorrimentoDisabilitato(), 0);
    EXPECT_EQ(ctl->TipoDatabase(), 0);
    EXPECT_EQ(ctl->ContenitoreName(), "");
    EXPECT_EQ(ctl->ToolbarMoveRecord()->objectName(), "ToolbarMoveRecord");
    EXPECT_EQ(ctl->txtNumRec()->objectName(), "txtNumRec");
}

TEST_F(ControlInterfaceTest, ButtonsAreReachedByPositionAndByKey) {
    const QStringList atteso = {"Primo", "Precedente", "",        "Successivo", "Ultimo",
                                "",      "",           "",        "Nuovo",      "Modifica",
                                "Salva", "Elimina",    "Annulla", "Duplica",    "Stampa"};
    for (int i = 1; i <= 15; ++i) {
        EXPECT_EQ(ctl->Button(i)->objectName(), atteso[i - 1]) << i;
        if (!atteso[i - 1].isEmpty()) {
            EXPECT_EQ(ctl->Button(atteso[i - 1]), ctl->Button(i));
        }
    }
    for (int i : {6, 7, 8})
        EXPECT_TRUE(ctl->Button(i)->isSeparator()) << i;
    // Position 3 holds the record-number box.
    EXPECT_EQ(ctl->ToolbarMoveRecord()->widgetForAction(ctl->Button(3)), ctl->txtNumRec());

    EXPECT_TESSARO_ERROR(ctl->Button(0), Err::SubscriptOutOfRange);
    EXPECT_TESSARO_ERROR(ctl->Button(16), Err::SubscriptOutOfRange);
    EXPECT_TESSARO_ERROR(ctl->Button(QString("primo")), Err::SubscriptOutOfRange);
    EXPECT_TESSARO_ERROR(ctl->Button(QString()), Err::SubscriptOutOfRange);
}

TEST_F(ControlInterfaceTest, TheDesignedTooltipsHoldUntilTheLanguageIsChosen) {
    const std::vector<std::pair<QString, QString>> progettati = {
        {"Primo", "Primo Record"},
        {"Precedente", "Record Precedente"},
        {"Successivo", "Record Successivo"},
        {"Ultimo", "Ultimo Record"},
        {"Nuovo", "Nuovo Record"},
        {"Modifica", "Modifica Record"},
        {"Salva", "Salva"},
        {"Elimina", "Elimina Record"},
        {"Annulla", "Annulla"},
        {"Duplica", "Clona il record corrente"},
        {"Stampa", "Stampa la schermata corrente"},
    };
    for (const auto& [key, tip] : progettati)
        EXPECT_EQ(ctl->Button(key)->toolTip(), tip) << key.toStdString();
}

TEST_F(ControlInterfaceTest, CambiaLinguaRelabelsTheElevenButtonsFromTheLanguageFiles) {
    ctl->CambiaLingua(SourceDir() + "/lang");
    EXPECT_EQ(CurrentLanguage(), "Italiano");
    const std::vector<std::pair<QString, QString>> chiavi = {
        {"Stampa", "TQ31"},     {"Nuovo", "TQ32"},   {"Modifica", "TQ33"}, {"Elimina", "TQ34"},
        {"Salva", "TQ35"},      {"Duplica", "TQ36"}, {"Primo", "TQ37"},    {"Precedente", "TQ38"},
        {"Successivo", "TQ39"}, {"Ultimo", "TQ40"},  {"Annulla", "TQ41"},
    };
    QStringList visti;
    for (const auto& [key, messaggio] : chiavi) {
        const QString tip = ctl->Button(key)->toolTip();
        EXPECT_EQ(tip, GetMessage(messaggio)) << key.toStdString();
        EXPECT_NE(tip, messaggio) << "the text was not found in the language file";
        visti << tip;
    }
    visti.removeDuplicates();
    EXPECT_EQ(visti.size(), 11);
    EXPECT_EQ(ctl->Button("Primo")->toolTip(), "Primo record");
    EXPECT_EQ(ctl->Button("Stampa")->toolTip(), "Stampa la scheda");
}

TEST_F(ControlInterfaceTest, CambiaLinguaLetsAMissingSettingsFileReachTheCallerAndKeepsTheTips) {
    QTemporaryDir vuota;
    EXPECT_TESSARO_ERROR(ctl->CambiaLingua(vuota.path()), Err::FileNotFound);
    EXPECT_EQ(LanguageFolder(), vuota.path());
    EXPECT_EQ(ctl->Button("Primo")->toolTip(), "Primo Record");
    EXPECT_EQ(ctl->Button("Annulla")->toolTip(), "Annulla");
}

TEST_F(ControlInterfaceTest, TheControlHasItsFixedSizeAndTheBoxItsPlace) {
    form->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(ctl->size(), QSize(473, 27));
    EXPECT_EQ(ctl->minimumSize(), QSize(473, 27));
    EXPECT_EQ(ctl->maximumSize(), QSize(473, 27));
    ctl->resize(900, 80);
    EXPECT_EQ(ctl->size(), QSize(473, 27));
    EXPECT_EQ(ctl->txtNumRec()->mapTo(ctl, QPoint(0, 0)).x(), 49);
    // Every item fits: nothing is pushed into the toolbar's overflow menu.
    for (int i = 1; i <= 15; ++i) {
        QWidget* w = ctl->ToolbarMoveRecord()->widgetForAction(ctl->Button(i));
        ASSERT_NE(w, nullptr) << i;
        EXPECT_TRUE(w->isVisible()) << i;
        EXPECT_LE(w->geometry().right(), 472) << i;
    }
}

TEST_F(ControlInterfaceTest, TheBoxKeepsItsPlaceAfterAStyleChange) {
    form->show();
    QCoreApplication::processEvents();
    ctl->ToolbarMoveRecord()->setStyleSheet("QToolButton { color: black; }");
    QCoreApplication::processEvents();
    EXPECT_EQ(ctl->txtNumRec()->mapTo(ctl, QPoint(0, 0)).x(), 49);
}

TEST_F(ControlInterfaceTest, TheBoxUsesComicSansOrAPlainSansSerifFace) {
    const QString famiglia = QFontInfo(ctl->txtNumRec()->font()).family();
    if (famiglia.compare("Comic Sans MS", Qt::CaseInsensitive) != 0) {
        EXPECT_EQ(famiglia,
                  QFontInfo(QFontDatabase::systemFont(QFontDatabase::GeneralFont)).family());
    }
}

TEST_F(ControlInterfaceTest, EveryButtonHasItsOwnIconDrawnFromSvg) {
    QList<qint64> visti;
    for (const QString& key : kScorrimento + kComandi) {
        const QIcon icona = ctl->Button(key)->icon();
        ASSERT_FALSE(icona.isNull()) << key.toStdString();
        // Crisp at any scale: a vector image renders at twice the size too.
        for (int lato : {16, 32}) {
            const QImage img = icona.pixmap(lato, lato).toImage();
            ASSERT_EQ(img.size(), QSize(lato, lato)) << key.toStdString();
            EXPECT_GT(Inked(img), lato * lato / 10) << key.toStdString() << " at " << lato;
        }
        visti << icona.pixmap(16, 16).toImage().cacheKey();
    }
    const QDir cartella(":/tessaro/icons");
    const QStringList files = cartella.entryList({"*.svg"});
    EXPECT_EQ(files.size(), 11);
    QList<QByteArray> immagini;
    for (const QString& f : files) {
        QSvgRenderer r(cartella.filePath(f));
        ASSERT_TRUE(r.isValid()) << f.toStdString();
        QImage img(32, 32, QImage::Format_ARGB32);
        img.fill(Qt::transparent);
        QPainter p(&img);
        r.render(&p);
        p.end();
        EXPECT_GT(Inked(img), 50) << f.toStdString();
        immagini << QByteArray(reinterpret_cast<const char*>(img.constBits()), img.sizeInBytes());
    }
    // No two buttons share a picture.
    for (int i = 0; i < immagini.size(); ++i)
        for (int j = i + 1; j < immagini.size(); ++j)
            EXPECT_NE(immagini[i], immagini[j]) << files[i].toStdString() << files[j].toStdString();
}

TEST_F(ControlInterfaceTest, PropertiesThatReachIntoAMissingNavigatorFailAfterStoring) {
    EXPECT_TESSARO_ERROR(ctl->MessaggioConfermaNuovoDisabilitato(true), Err::ObjectNotSet);
    EXPECT_TESSARO_ERROR(ctl->MessaggioConfermaClonaDisabilitato(true), Err::ObjectNotSet);
    EXPECT_TESSARO_ERROR(ctl->MessaggioConfermaEliminaDisabilitato(true), Err::ObjectNotSet);
    EXPECT_TESSARO_ERROR(ctl->InitCharTag("#"), Err::ObjectNotSet);
    EXPECT_TESSARO_ERROR(ctl->State(), Err::ObjectNotSet);
    EXPECT_TESSARO_ERROR(ctl->Condizione(), Err::ObjectNotSet);
    EXPECT_TESSARO_ERROR(ctl->TipoDatabase(4), Err::ObjectNotSet);
    EXPECT_EQ(ctl->TipoDatabase(), 4);
    EXPECT_TESSARO_ERROR(ctl->ScorrimentoDisabilitato(1), Err::ObjectNotSet);
    EXPECT_EQ(ctl->ScorrimentoDisabilitato(), -1);
    // The toolbar is left as it was.
    EXPECT_TRUE(ctl->Button(1)->isVisible());
    EXPECT_EQ(ctl->width(), 473);

    // The next source gets the stored values, and the layout follows.
    Clienti(3);
    ASSERT_TRUE(ctl->AddFonteDati(conn.get(), "Clienti", form.get(), "IdCliente", {}, "", "#"));
    ASSERT_NE(ctl->FonteDati(), nullptr);
    EXPECT_EQ(ctl->FonteDati()->TipoDatabase, 4);
    EXPECT_EQ(ctl->FonteDati()->ScorrimentoDisabilitato, -1);
    EXPECT_EQ(ctl->width(), 187);
    EXPECT_FALSE(ctl->Button(1)->isVisible());
    // Only what the host sets after registering reaches the navigator.
    EXPECT_FALSE(ctl->FonteDati()->MessaggioConfermaNuovoDisabilitato);
}

TEST_F(ControlInterfaceTest, PropertiesReachTheActiveNavigator) {
    Clienti(3);
    ASSERT_TRUE(RegistraClienti());
    clsADONavigator* nav = ctl->FonteDati();
    ctl->MessaggioConfermaNuovoDisabilitato(true);
    ctl->MessaggioConfermaClonaDisabilitato(true);
    ctl->MessaggioConfermaEliminaDisabilitato(true);
    EXPECT_TRUE(nav->MessaggioConfermaNuovoDisabilitato);
    EXPECT_TRUE(nav->MessaggioConfermaClonaDisabilitato);
    EXPECT_TRUE(nav->MessaggioConfermaEliminaDisabilitato);
    ctl->MessaggioConfermaClonaDisabilitato(false);
    EXPECT_FALSE(nav->MessaggioConfermaClonaDisabilitato);
    ctl->InitCharTag("@");
    EXPECT_EQ(nav->InitCharTagValue(), "@");
    ctl->TipoDatabase(2);
    EXPECT_EQ(nav->TipoDatabase, 2);
    EXPECT_EQ(ctl->State(), 3);
    nav->mCondizione = "IdCliente > 1";
    EXPECT_EQ(ctl->Condizione(), "IdCliente > 1");
}

TEST_F(ControlInterfaceTest, ScorrimentoDisabilitatoStoresMinusOneNarrowsAndHidesTheScrollingPart) {
    Clienti(3);
    ASSERT_TRUE(RegistraClienti());
    form->show();
    ctl->ScorrimentoDisabilitato(5);
    EXPECT_EQ(ctl->ScorrimentoDisabilitato(), -1);
    EXPECT_EQ(ctl->FonteDati()->ScorrimentoDisabilitato, -1);
    EXPECT_EQ(ctl->size(), QSize(187, 27));
    for (int i = 1; i <= 8; ++i)
        EXPECT_FALSE(ctl->Button(i)->isVisible()) << i;
    for (int i = 9; i <= 15; ++i)
        EXPECT_TRUE(ctl->Button(i)->isVisible()) << i;
    EXPECT_FALSE(ctl->txtNumRec()->isVisible());
    QCoreApplication::processEvents();
    // The commands fill the narrow strip without overflowing it.
    for (int i = 9; i <= 15; ++i)
        EXPECT_LE(ctl->ToolbarMoveRecord()->widgetForAction(ctl->Button(i))->geometry().right(),
                  186);

    ctl->ScorrimentoDisabilitato(0);
    EXPECT_EQ(ctl->ScorrimentoDisabilitato(), 0);
    EXPECT_EQ(ctl->FonteDati()->ScorrimentoDisabilitato, 0);
    EXPECT_EQ(ctl->size(), QSize(473, 27));
    for (int i = 1; i <= 8; ++i)
        EXPECT_TRUE(ctl->Button(i)->isVisible()) << i;
    EXPECT_TRUE(ctl->txtNumRec()->isVisible());
}

TEST_F(ControlInterfaceTest, PermissionFlagsSetTheirButtonsAtOnce) {
    ctl->NuovoEnabled(false);
    ctl->ModificaEnabled(false);
    ctl->EliminaEnabled(false);
    ctl->DuplicaEnabled(false);
    EXPECT_EQ(Accesi(), QStringList({"Primo", "Precedente", "Successivo", "Ultimo", "Salva",
                                     "Annulla", "Stampa"}));
    ctl->TastiScorrimentoEnabled(false);
    EXPECT_EQ(Accesi(), QStringList({"Salva", "Annulla", "Stampa"}));
    EXPECT_TRUE(BoxLocked());

    // Browsing off, then on again while scrolling stays forbidden.
    ctl->ConsultazioneEnabled(false);
    EXPECT_EQ(Accesi(), QStringList({"Salva", "Annulla"}));
    EXPECT_TRUE(BoxLocked());
    ctl->ConsultazioneEnabled(true);
    EXPECT_EQ(Accesi(),
              QStringList({"Modifica", "Salva", "Elimina", "Annulla", "Duplica", "Stampa"}));
    EXPECT_TRUE(BoxLocked());
    ctl->TastiScorrimentoEnabled(true);
    EXPECT_FALSE(BoxLocked());
    ctl->ConsultazioneEnabled(false);
    EXPECT_TRUE(BoxLocked());
    EXPECT_FALSE(ctl->Button("Primo")->isEnabled());
    ctl->ConsultazioneEnabled(true);
    EXPECT_FALSE(BoxLocked());
    EXPECT_TRUE(ctl->Button("Ultimo")->isEnabled());
    // "Nuovo" is not governed by browsing.
    EXPECT_FALSE(ctl->Button("Nuovo")->isEnabled());
}

TEST_F(ControlInterfaceTest, EnabledSwitchesTheWholeToolbarAndEmptiesTheBox) {
    Clienti(3);
    ASSERT_TRUE(RegistraClienti());
    ASSERT_EQ(Box(), "3 TQ30 3");
    ctl->Enabled(false);
    EXPECT_EQ(Box(), "");
    EXPECT_TRUE(BoxLocked());
    EXPECT_FALSE(ctl->ToolbarMoveRecord()->isEnabled());
    for (int i = 1; i <= 15; ++i)
        EXPECT_FALSE(ctl->Button(i)->isEnabled()) << i;
    ctl->Enabled(true);
    EXPECT_TRUE(ctl->ToolbarMoveRecord()->isEnabled());
    EXPECT_FALSE(BoxLocked());
    for (int i = 1; i <= 15; ++i)
        EXPECT_TRUE(ctl->Button(i)->isEnabled()) << i;
    // Until the next refresh, which puts the state table back.
    ctl->AggiornaStatoPulsanti();
    EXPECT_FALSE(ctl->Button("Salva")->isEnabled());
    EXPECT_FALSE(ctl->Button("Annulla")->isEnabled());
}

TEST_F(ControlInterfaceTest, AHostWithoutMessageBoxesGetsTheQtOnes) {
    ScopedMessageBoxService nessuno(nullptr);
    ASSERT_EQ(CurrentMessageBoxService(), nullptr);
    Tessaro14_ML altro;
    EXPECT_NE(dynamic_cast<QtMessageBoxService*>(CurrentMessageBoxService()), nullptr);
    // A service already installed is left alone.
    ScopedMessageBoxService script(&boxes);
    Tessaro14_ML terzo;
    EXPECT_EQ(CurrentMessageBoxService(), &boxes);
}

} // namespace
} // namespace tessaro::test
