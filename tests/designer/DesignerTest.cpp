#include "control/Tessaro14_ML.h"
#include "designer/CollegaCampoDialog.h"
#include "designer/CollegaCampoMenu.h"
#include "engine/clsADONavigator.h"
#include "support/Fixtures.h"
#include "ui_FormNavigatore.h"

#include <QAction>
#include <QApplication>
#include <QDesignerComponents>
#include <QDesignerFormEditorInterface>
#include <QDesignerFormWindowInterface>
#include <QDesignerFormWindowManagerInterface>
#include <QDesignerIntegration>
#include <QDesignerTaskMenuExtension>
#include <QDialogButtonBox>
#include <QExtensionManager>
#include <QFile>
#include <QLineEdit>
#include <QMetaProperty>
#include <QPluginLoader>
#include <QPushButton>
#include <QTimer>
#include <QUiLoader>
#include <QUndoStack>
#include <QXmlStreamReader>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>

namespace tessaro::designer {
void PrintTo(const PartiLegame& p, std::ostream* os) {
    *os << TestoDiParti(p, true).toStdString() << " / " << p.colonnaCollegata.toStdString();
}
} // namespace tessaro::designer

namespace tessaro::test {
namespace {

using designer::CollegaCampoDialog;
using designer::PartiLegame;

QString FormNavigatore() {
    QFile f(SourceDir() + QStringLiteral("/tests/designer/FormNavigatore.ui"));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// The widget classes and names, sizes and headers in a .ui text, in order.
QStringList VociXml(const QString& xml) {
    QStringList voci;
    QXmlStreamReader r(xml);
    while (!r.atEnd()) {
        if (r.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto n = r.name();
        if (n == QLatin1String("widget"))
            voci << r.attributes().value("class").toString()
                 << r.attributes().value("name").toString();
        else if (n == QLatin1String("width") || n == QLatin1String("height") ||
                 n == QLatin1String("header"))
            voci << r.readElementText();
    }
    return voci;
}

TEST(PluginDesigner, OffersTheControlWithItsXmlAndTheProperties) {
    QPluginLoader loader(QStringLiteral(TESSARO_DESIGNER_PLUGIN));
    auto* collezione = qobject_cast<QDesignerCustomWidgetCollectionInterface*>(loader.instance());
    ASSERT_NE(collezione, nullptr) << loader.errorString().toStdString();
    ASSERT_EQ(collezione->customWidgets().size(), 1);
    QDesignerCustomWidgetInterface* w = collezione->customWidgets().first();
    EXPECT_EQ(std::make_tuple(w->name(), w->group(), w->includeFile(), w->isContainer(),
                              w->icon().availableSizes().isEmpty(), w->toolTip().isEmpty(),
                              w->whatsThis().isEmpty()),
              std::make_tuple(QString("tessaro::Tessaro14_ML"), QString("Tessaro"),
                              QString("control/Tessaro14_ML.h"), false, false, false, false));
    QWidget form;
    QWidget* creato = w->createWidget(&form);
    EXPECT_EQ(std::make_tuple(QString(creato->metaObject()->className()), creato->parent()),
              std::make_tuple(QString("tessaro::Tessaro14_ML"), static_cast<QObject*>(&form)));
    // Dropped, it is the control itself at its own size, with the header uic includes.
    EXPECT_EQ(VociXml(w->domXml()),
              (QStringList{"tessaro::Tessaro14_ML", "navigatore", QString::number(creato->width()),
                           QString::number(creato->height()), "control/Tessaro14_ML.h"}));
    QStringList proprieta, senzaAvviso;
    const QMetaObject* mo = creato->metaObject();
    for (int i = mo->propertyOffset(); i < mo->propertyCount(); ++i) {
        const QMetaProperty p = mo->property(i);
        proprieta << p.name();
        if (!p.hasNotifySignal() || !p.isWritable() || !p.isDesignable())
            senzaAvviso << p.name();
    }
    EXPECT_EQ(proprieta, (QStringList{"TipoDatabase", "InitCharTag", "ScorrimentoDisabilitato",
                                      "ConsultazioneEnabled", "NuovoEnabled", "ModificaEnabled",
                                      "EliminaEnabled", "DuplicaEnabled", "TastiScorrimentoEnabled",
                                      "MessaggioConfermaNuovoDisabilitato",
                                      "MessaggioConfermaClonaDisabilitato",
                                      "MessaggioConfermaEliminaDisabilitato"}));
    EXPECT_EQ(senzaAvviso, QStringList());
}

class FormDaDesigner : public BoxesTest {
protected:
    SqliteFile db{"CREATE TABLE Articoli (Id INTEGER PRIMARY KEY, Descrizione TEXT(40), "
                  "Prezzo INTEGER);"
                  "INSERT INTO Articoli VALUES (1, 'Matita', 2), (2, 'Quaderno', 5)"};
};

// The .ui was written by Designer from the widget box: the properties are set
// before any source exists, and the sources registered later take them.
TEST_F(FormDaDesigner, TheCompiledFormSetsPropertiesThatTheSourcesTake) {
    QWidget form;
    Ui::FormNavigatore ui;
    ui.setupUi(&form);
    Tessaro14_ML* nav = ui.navigatore;
    EXPECT_EQ(std::make_tuple(nav->TipoDatabase(), nav->InitCharTag(), nav->width(),
                              nav->NuovoEnabled(), nav->MessaggioConfermaEliminaDisabilitato()),
              std::make_tuple(4, QString("#"), 187, false, true));
    const auto conn = db.Open();
    // No prefix given: the one of the .ui.
    ASSERT_TRUE(nav->AddFonteDati(conn.get(), "Articoli", ui.grpArticoli, "Descrizione", {}));
    const clsADONavigator* fonte = nav->FonteDati();
    EXPECT_EQ(std::make_tuple(fonte->TipoDatabase, fonte->ScorrimentoDisabilitato,
                              ui.txtDescrizione->text(), ui.spnPrezzo->value(),
                              nav->Button("Nuovo")->isEnabled()),
              std::make_tuple(4, short(-1), QString("Quaderno"), 5, false));
    // Deleted with no question (a box would fail the test).
    nav->Delete();
    EXPECT_EQ(ui.txtDescrizione->text(), QString("Matita"));
}

TEST_F(FormDaDesigner, QUiLoaderBuildsTheFormThroughThePlugin) {
    QUiLoader loader;
    loader.clearPluginPaths();
    loader.addPluginPath(QStringLiteral(TESSARO_PLUGIN_DIR "/designer"));
    QFile f(SourceDir() + QStringLiteral("/tests/designer/FormNavigatore.ui"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    std::unique_ptr<QWidget> form(loader.load(&f));
    ASSERT_NE(form, nullptr) << loader.errorString().toStdString();
    QWidget* nav = form->findChild<QWidget*>("navigatore");
    ASSERT_NE(nav, nullptr);
    EXPECT_EQ(std::make_tuple(QString(nav->metaObject()->className()),
                              nav->property("TipoDatabase").toInt(),
                              nav->property("InitCharTag").toString(), nav->width()),
              std::make_tuple(QString("tessaro::Tessaro14_ML"), 4, QString("#"), 187));
}

struct Rilettura {
    const char* caso;
    bool combo;
    PartiLegame parti;
    QString prefisso;
    QString tagPrecedente;
    QString tag;
    QString significato;
};

void PrintTo(const Rilettura& r, std::ostream* os) {
    *os << r.caso;
}

class RiletturaTag : public ::testing::TestWithParam<Rilettura> {};

// Every kind of binding goes from the dialog's parts to a Tag and back through
// the navigator's parser, and the dialog says what the navigator will do.
TEST_P(RiletturaTag, PartsMakeTheTagThatReadsBackIntoThem) {
    const LocaleScope inglese{QLocale(QLocale::English)};
    const Rilettura& r = GetParam();
    CollegaCampoDialog scritto("w", r.combo, r.tagPrecedente, r.prefisso, "navigatore");
    scritto.ImpostaParti(r.parti);
    EXPECT_EQ(std::make_tuple(scritto.Tag(), scritto.Significato(), scritto.Accettabile()),
              std::make_tuple(r.tag, r.significato, true));
    const QLineEdit* tag = scritto.findChild<QLineEdit*>("tag");
    EXPECT_EQ(std::make_tuple(tag->text(), tag->isReadOnly()), std::make_tuple(r.tag, true))
        << "the dialog shows it, for reading";
    const CollegaCampoDialog letto("w", r.combo, scritto.Tag(), r.prefisso, "navigatore");
    EXPECT_EQ(letto.Parti(), r.parti);
}

const QString c = QString(QChar(0xB8));

PartiLegame Colonna(const QString& colonna, const QString& collegata = QString()) {
    return {colonna, collegata, QString(), {}};
}
PartiLegame Ricerca(const QString& colonna, const QString& tabella = QString(),
                    const QList<designer::ColonnaVoce>& voci = {}) {
    return {colonna, QString(), tabella, voci};
}

INSTANTIATE_TEST_SUITE_P(
    Tipi, RiletturaTag,
    ::testing::Values(
        Rilettura{"colonna", false, Colonna("Cognome"), "#", "", "#Cognome",
                  "Shows the column «Cognome» of the table."},
        Rilettura{"senzaPrefisso", false, Colonna("Cognome"), "", "", "Cognome",
                  "Shows the column «Cognome» of the table."},
        Rilettura{"collegata", false, Colonna("IdComune", "Provincia"), "#", "altro#Vecchio",
                  "altro#IdComune" + c + "Provincia",
                  "Shows the column «Provincia» of the table that «IdComune» refers to, read "
                  "through a join."},
        Rilettura{"nessuno", false, PartiLegame(), "#", "#Vecchio", "", "Not bound."},
        Rilettura{"ricercaSemplice", true, Ricerca("IdAgente"), "#", "", "#IdAgente",
                  "Lookup list: saves the key in «IdAgente» and shows the second column of "
                  "the table it refers to."},
        Rilettura{"ricercaColonne", true,
                  Ricerca("IdComune", "Comuni", {{"Comune", " - "}, {"Provincia", ""}}), "#", "",
                  "#IdComune" + c + "Comuni" + c + "Comune" + c + " - " + c + "Provincia",
                  "Lookup list: saves the key in «IdComune» and shows «Comune» + \" - \" + "
                  "«Provincia» of the table «Comuni»."},
        Rilettura{"ricercaSenzaTabella", true, Ricerca("IdCliente", "", {{"Cognome", ""}}), "#", "",
                  "#IdCliente" + c + c + "Cognome",
                  "Lookup list: saves the key in «IdCliente» and shows «Cognome» of the table "
                  "it refers to."}),
    [](const ::testing::TestParamInfo<Rilettura>& p) { return std::string(p.param.caso); });

// Parts that would not read back as typed keep the dialog from writing them.
TEST(CollegaCampo, RefusesPartsThatDoNotReadBack) {
    const std::vector<std::tuple<bool, PartiLegame, QString>> casi{
        {false, Colonna("Id" + c + "Comune"), "#"},
        {true, Ricerca("IdComune", "Comuni"), "#"},
        {true, Ricerca("IdComune", "Comuni", {{"", " - "}, {"Provincia", ""}}), "#"}};
    for (const auto& [combo, parti, prefisso] : casi) {
        CollegaCampoDialog d("w", combo, "", prefisso, QString());
        d.ImpostaParti(parti);
        EXPECT_FALSE(d.Accettabile()) << d.Tag().toStdString();
    }
}

// Shown, the editor lays out every part it made, none over another, and its
// long notes wrap within its width rather than widen it.
TEST(CollegaCampo, EveryPartIsLaidOutWithinTheDialogsWidth) {
    const LocaleScope inglese{QLocale(QLocale::English)};
    for (const bool combo : {false, true}) {
        CollegaCampoDialog d("w", combo, "", "#", QString());
        d.ImpostaParti(combo ? Ricerca("IdComune", "Comuni") : Colonna("Id" + c)); // refused
        d.show();
        QApplication::processEvents();
        EXPECT_EQ(d.width(), d.minimumWidth()) << combo;
        QWidgetList parti;
        for (QWidget* w : d.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (w->isVisible() && !w->size().isEmpty())
                parti << w;
        for (int i = 0; i < parti.size(); ++i)
            for (int j = i + 1; j < parti.size(); ++j)
                EXPECT_FALSE(parti[i]->geometry().intersects(parti[j]->geometry()))
                    << combo << " " << parti[i]->metaObject()->className() << " over "
                    << parti[j]->metaObject()->className();
    }
}

// Designer's own form editor, with the plugin loaded as Designer loads it.
QDesignerFormEditorInterface* Designer() {
    static QDesignerFormEditorInterface* core = [] {
        QCoreApplication::addLibraryPath(QStringLiteral(TESSARO_PLUGIN_DIR));
        QDesignerComponents::initializeResources();
        QDesignerFormEditorInterface* f = QDesignerComponents::createFormEditor(qApp);
        QDesignerComponents::createTaskMenu(f, qApp);
        QDesignerComponents::initializePlugins(f);
        f->setWidgetBox(QDesignerComponents::createWidgetBox(f, nullptr));
        f->setPropertyEditor(QDesignerComponents::createPropertyEditor(f, nullptr));
        f->setIntegration(new QDesignerIntegration(f, qApp));
        return f;
    }();
    return core;
}

// Answers the binding editor once it shows; an editor that does not show
// fails the test, and any dialog still open is closed. The editor comes from
// the loaded plugin, whose classes are not the test's own: it is found by name.
void Rispondi(const std::function<void(CollegaCampoDialog&)>& risposta) {
    auto* attesa = new QTimer(qApp);
    QObject::connect(attesa, &QTimer::timeout, [attesa, risposta, volte = 0]() mutable {
        const QWidgetList finestre = QApplication::topLevelWidgets();
        for (QWidget* w : finestre)
            if (w->isVisible() && w->inherits("tessaro::designer::CollegaCampoDialog")) {
                attesa->deleteLater();
                risposta(*static_cast<CollegaCampoDialog*>(w));
                return;
            }
        if (++volte < 500)
            return;
        attesa->deleteLater();
        ADD_FAILURE() << "the binding editor did not show";
        for (QWidget* w : finestre)
            if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible())
                d->reject();
    });
    attesa->start(10);
}

// The entry opens the editor with the navigator's prefix and writes the Tag as
// an undoable change of the form, saved in the .ui.
TEST(CollegaCampo, TheTaskMenuWritesTheTagThroughTheFormWindow) {
    QDesignerFormEditorInterface* core = Designer();
    QDesignerFormWindowInterface* fw = core->formWindowManager()->createFormWindow(nullptr);
    fw->setContents(FormNavigatore());
    QStringList conMenu;
    for (QWidget* w : fw->mainContainer()->findChildren<QWidget*>())
        if (!w->objectName().isEmpty() &&
            qt_extension<QDesignerTaskMenuExtension*>(core->extensionManager(), w))
            conMenu << w->objectName();
    EXPECT_EQ(conMenu, (QStringList{"txtDescrizione", "spnPrezzo"}));

    QWidget* campo = fw->mainContainer()->findChild<QWidget*>("txtDescrizione");
    auto* menu = qt_extension<QDesignerTaskMenuExtension*>(core->extensionManager(), campo);
    ASSERT_NE(menu, nullptr);
    QString prefissoVisto;
    Rispondi([&](CollegaCampoDialog& d) {
        prefissoVisto = d.Prefisso();
        d.ImpostaParti(Colonna("Codice"));
        d.accept();
    });
    menu->taskActions().first()->trigger();
    EXPECT_EQ(std::make_tuple(prefissoVisto, campo->property("Tag").toString(),
                              fw->contents().contains("<string>#Codice</string>")),
              std::make_tuple(QString("#"), QString("#Codice"), true));
    fw->commandHistory()->undo();
    EXPECT_EQ(campo->property("Tag").toString(), QString("#Descrizione"));
    // Cancel closes the editor and writes nothing.
    bool chiuso = false;
    Rispondi([&](CollegaCampoDialog& d) {
        d.ImpostaParti(Colonna("Codice"));
        d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
        chiuso = !d.isVisible();
        if (!chiuso)
            d.reject();
    });
    menu->taskActions().first()->trigger();
    EXPECT_EQ(std::make_tuple(chiuso, campo->property("Tag").toString()),
              std::make_tuple(true, QString("#Descrizione")));
    delete fw;
}

} // namespace
} // namespace tessaro::test
