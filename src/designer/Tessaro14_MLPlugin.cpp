#include "designer/Tessaro14_MLPlugin.h"

#include "control/Tessaro14_ML.h"
#include "designer/CollegaCampoMenuFactory.h"
#include "designer/TestiDesigner.h"

#include <QDesignerFormEditorInterface>
#include <QDesignerTaskMenuExtension>
#include <QExtensionManager>
#include <QIcon>

// Resources of a static library are registered by name, outside any namespace.
static void InizializzaRisorseDesigner() {
    Q_INIT_RESOURCE(TessaroDesigner);
}

namespace tessaro::designer {

QString Tessaro14_MLPlugin::name() const {
    return QStringLiteral("tessaro::Tessaro14_ML");
}

QString Tessaro14_MLPlugin::group() const {
    return QStringLiteral("Tessaro");
}

QString Tessaro14_MLPlugin::toolTip() const {
    return TestoDesigner(Testo::ToolTip);
}

QString Tessaro14_MLPlugin::whatsThis() const {
    return TestoDesigner(Testo::WhatsThis);
}

QString Tessaro14_MLPlugin::includeFile() const {
    return QStringLiteral("control/Tessaro14_ML.h");
}

// Drawn at the sizes the widget box uses: the widget box takes an icon without
// sizes, as a scalable one is, for no icon at all.
QIcon Tessaro14_MLPlugin::icon() const {
    InizializzaRisorseDesigner();
    const QIcon disegno(QStringLiteral(":/tessaro/designer/tessaro14_ml.svg"));
    QIcon icona;
    for (const int lato : {16, 22, 32})
        icona.addPixmap(disegno.pixmap(lato));
    return icona;
}

QWidget* Tessaro14_MLPlugin::createWidget(QWidget* parent) {
    return new Tessaro14_ML(parent);
}

void Tessaro14_MLPlugin::initialize(QDesignerFormEditorInterface* core) {
    if (mInizializzato)
        return;
    mInizializzato = true;
    QExtensionManager* estensioni = core->extensionManager();
    estensioni->registerExtensions(new CollegaCampoMenuFactory(estensioni),
                                   Q_TYPEID(QDesignerTaskMenuExtension));
}

// The control's own size, fixed by the control; the header is where a host
// includes it from, in the source tree and installed alike.
QString Tessaro14_MLPlugin::domXml() const {
    return QStringLiteral(R"(<ui language="c++" displayname="Tessaro14_ML">
 <widget class="tessaro::Tessaro14_ML" name="navigatore">
  <property name="geometry">
   <rect>
    <x>0</x>
    <y>0</y>
    <width>473</width>
    <height>27</height>
   </rect>
  </property>
 </widget>
 <customwidgets>
  <customwidget>
   <class>tessaro::Tessaro14_ML</class>
   <extends>QWidget</extends>
   <header>control/Tessaro14_ML.h</header>
  </customwidget>
 </customwidgets>
</ui>
)");
}

} // namespace tessaro::designer
