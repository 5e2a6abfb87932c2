// Opens a form in Designer's own editor with the Tessaro plugin loaded and saves
// pictures of the widget box entry, the control's properties and the binding
// editor: DesignerShots <folder>. Offscreen, so that it runs without a display.

#include <QApplication>
#include <QDesignerComponents>
#include <QDesignerFormEditorInterface>
#include <QDesignerFormWindowInterface>
#include <QDesignerFormWindowManagerInterface>
#include <QDesignerIntegration>
#include <QDesignerPropertyEditorInterface>
#include <QDesignerTaskMenuExtension>
#include <QDesignerWidgetBoxInterface>
#include <QDialog>
#include <QDir>
#include <QExtensionManager>
#include <QLineEdit>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <cstdio>

namespace {

// A form as Designer saves one: the navigator and a container of bound widgets.
constexpr char kForm[] = R"(<ui version="4.0"><class>Articoli</class>
<widget class="QWidget" name="Articoli">
 <property name="geometry"><rect><x>0</x><y>0</y><width>520</width><height>170</height></rect></property>
 <widget class="tessaro::Tessaro14_ML" name="navigatore">
  <property name="geometry"><rect><x>10</x><y>8</y><width>473</width><height>27</height></rect></property>
  <property name="TipoDatabase"><enum>tessaro::Tessaro14_ML::Sqlite</enum></property>
  <property name="InitCharTag"><string>#</string></property>
  <property name="MessaggioConfermaEliminaDisabilitato"><bool>true</bool></property>
 </widget>
 <widget class="QGroupBox" name="grpClienti">
  <property name="geometry"><rect><x>10</x><y>45</y><width>500</width><height>110</height></rect></property>
  <property name="title"><string>Clienti</string></property>
  <widget class="QLineEdit" name="txtCognome">
   <property name="geometry"><rect><x>10</x><y>30</y><width>220</width><height>26</height></rect></property>
   <property name="Tag" stdset="0"><string>#Cognome</string></property>
  </widget>
  <widget class="QComboBox" name="cmbComune">
   <property name="geometry"><rect><x>10</x><y>66</y><width>220</width><height>26</height></rect></property>
   <property name="Tag" stdset="0"><string>#IdComune¸Comuni¸Comune¸ - ¸Provincia</string></property>
  </widget>
 </widget>
</widget>
<customwidgets><customwidget><class>tessaro::Tessaro14_ML</class><extends>QWidget</extends>
<header>control/Tessaro14_ML.h</header></customwidget></customwidgets></ui>)";

bool Salva(QWidget* w, const QString& file) {
    const bool ok = w->grab().save(file);
    std::printf("%s %s\n", ok ? "saved" : "could not save", qPrintable(file));
    return ok;
}

QDesignerFormEditorInterface* CreaDesigner() {
    QDesignerComponents::initializeResources();
    QDesignerFormEditorInterface* core = QDesignerComponents::createFormEditor(qApp);
    QDesignerComponents::createTaskMenu(core, qApp);
    QDesignerComponents::initializePlugins(core);
    core->setWidgetBox(QDesignerComponents::createWidgetBox(core, nullptr));
    core->setPropertyEditor(QDesignerComponents::createPropertyEditor(core, nullptr));
    core->setIntegration(new QDesignerIntegration(core, qApp));
    return core;
}

// The widget box filtered to the Tessaro group.
bool FotoWidgetBox(QDesignerFormEditorInterface* core, const QString& file) {
    QDesignerWidgetBoxInterface* box = core->widgetBox();
    // Designer's own widget list, then the plugins' entries, as Designer loads them.
    box->setFileName(QStringLiteral(":/qt-project.org/widgetbox/widgetbox.xml"));
    box->load();
    if (auto* filtro = box->findChild<QLineEdit*>())
        filtro->setText(QStringLiteral("Tessaro"));
    box->resize(280, 90);
    box->show();
    QApplication::processEvents();
    return Salva(box, file);
}

// The property editor on the navigator, its own group open and the rest shut.
bool FotoProprieta(QDesignerFormEditorInterface* core, QWidget* nav, const QString& file) {
    QDesignerPropertyEditorInterface* editor = core->propertyEditor();
    editor->setObject(nav);
    editor->resize(460, 390);
    editor->show();
    QApplication::processEvents();
    for (QTreeView* albero : editor->findChildren<QTreeView*>()) {
        albero->setColumnWidth(0, 300);
        const QAbstractItemModel* m = albero->model();
        if (!m)
            continue;
        for (int r = 0; r < m->rowCount(); ++r) {
            const QModelIndex i = m->index(r, 0);
            albero->setExpanded(i, m->data(i).toString().contains(QLatin1String("Tessaro14_ML")));
        }
    }
    QApplication::processEvents();
    return Salva(editor, file);
}

// The binding editor as the task menu of the combo opens it.
bool FotoDialogo(QDesignerFormEditorInterface* core, QWidget* combo, const QString& file) {
    auto* menu = qt_extension<QDesignerTaskMenuExtension*>(core->extensionManager(), combo);
    if (!menu || menu->taskActions().isEmpty())
        return false;
    bool ok = false;
    QTimer attesa;
    QObject::connect(&attesa, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QDialog*>(w);
                d && d->isVisible() && d->inherits("tessaro::designer::CollegaCampoDialog")) {
                attesa.stop();
                ok = Salva(d, file);
                d->reject();
            }
    });
    attesa.start(50);
    menu->taskActions().first()->trigger();
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication::addLibraryPath(QStringLiteral(TESSARO_PLUGIN_DIR));
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English));
    const QDir cartella(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));

    QDesignerFormEditorInterface* core = CreaDesigner();
    QDesignerFormWindowInterface* fw = core->formWindowManager()->createFormWindow(nullptr);
    fw->setContents(QString::fromUtf8(kForm));
    QWidget* nav = fw->mainContainer()->findChild<QWidget*>(QStringLiteral("navigatore"));
    QWidget* combo = fw->mainContainer()->findChild<QWidget*>(QStringLiteral("cmbComune"));
    if (!nav || !combo || !nav->inherits("tessaro::Tessaro14_ML")) {
        std::fprintf(stderr, "the plugin did not load from %s\n", TESSARO_PLUGIN_DIR);
        return 1;
    }
    const bool ok = FotoWidgetBox(core, cartella.filePath("designer-widgetbox.png")) &&
                    FotoProprieta(core, nav, cartella.filePath("designer-properties.png")) &&
                    FotoDialogo(core, combo, cartella.filePath("designer-binding.png"));
    return ok ? 0 : 1;
}
