#include "designer/CollegaCampoMenu.h"

#include "designer/CollegaCampoDialog.h"
#include "designer/CollegaCampoMenuFactory.h"
#include "designer/TestiDesigner.h"
#include "host/QtWidgetKinds.h"

#include <QAction>
#include <QDesignerDynamicPropertySheetExtension>
#include <QDesignerFormEditorInterface>
#include <QDesignerFormWindowCursorInterface>
#include <QDesignerFormWindowInterface>
#include <QDesignerPropertySheetExtension>
#include <QExtensionManager>
#include <QWidget>

namespace tessaro::designer {

namespace {

constexpr char kTag[] = "Tag";
// By name: a form may hold the control from another build of the plugin.
constexpr char kClasseNavigatore[] = "tessaro::Tessaro14_ML";

} // namespace

PrefissoDelForm CercaNavigatore(const QWidget* form) {
    if (form)
        for (const QWidget* w : form->findChildren<QWidget*>())
            if (w->inherits(kClasseNavigatore))
                return {w->property("InitCharTag").toString(), w->objectName()};
    return {};
}

void ScriviTag(QDesignerFormWindowInterface* formWindow, QWidget* widget, const QString& tag) {
    if (!formWindow) {
        widget->setProperty(kTag, tag);
        return;
    }
    QExtensionManager* estensioni = formWindow->core()->extensionManager();
    auto* foglio = qt_extension<QDesignerPropertySheetExtension*>(estensioni, widget);
    auto* dinamico = qt_extension<QDesignerDynamicPropertySheetExtension*>(estensioni, widget);
    const QString nome = QString::fromLatin1(kTag);
    if (foglio && foglio->indexOf(nome) < 0 && dinamico && dinamico->canAddDynamicProperty(nome))
        dinamico->addDynamicProperty(nome, QString());
    formWindow->cursor()->setWidgetProperty(widget, nome, tag);
}

CollegaCampoMenu::CollegaCampoMenu(QWidget* widget, QObject* parent)
    : QObject(parent), mWidget(widget), mAzione(new QAction(TestoDesigner(Testo::VoceMenu), this)) {
    mAzione->setObjectName(QStringLiteral("tessaroCollegaAlCampo"));
    connect(mAzione, &QAction::triggered, this, &CollegaCampoMenu::Apri);
}

QList<QAction*> CollegaCampoMenu::taskActions() const {
    return {mAzione};
}

bool CollegaCampoMenu::Collegabile(const QObject* object) {
    const auto* w = qobject_cast<const QWidget*>(object);
    if (!w)
        return false;
    const ControlKind k = qthost::WidgetKind(w);
    return k == ControlKind::TextBox || k == ControlKind::ComboBox || k == ControlKind::CheckBox;
}

void CollegaCampoMenu::Apri() {
    if (!mWidget)
        return;
    QDesignerFormWindowInterface* fw = QDesignerFormWindowInterface::findFormWindow(mWidget);
    const PrefissoDelForm trovato = CercaNavigatore(fw ? fw->mainContainer() : mWidget->window());
    const QString tag = mWidget->property(kTag).toString();
    const QString prefisso =
        trovato.navigatore.isEmpty() ? PrefissoIndovinato(tag) : trovato.prefisso;
    const bool combo = qthost::WidgetKind(mWidget) == ControlKind::ComboBox;
    CollegaCampoDialog dialogo(mWidget->objectName(), combo, tag, prefisso, trovato.navigatore,
                               fw ? static_cast<QWidget*>(fw) : mWidget->window());
    if (dialogo.exec() == QDialog::Accepted && dialogo.Tag() != tag)
        ScriviTag(fw, mWidget, dialogo.Tag());
}

QObject* CollegaCampoMenuFactory::createExtension(QObject* object, const QString& iid,
                                                  QObject* parent) const {
    if (iid != QLatin1String(Q_TYPEID(QDesignerTaskMenuExtension)) ||
        !CollegaCampoMenu::Collegabile(object))
        return nullptr;
    // Only the form's own widgets: not the line edit inside a spin box, nor the
    // navigator's record-number box.
    auto* widget = static_cast<QWidget*>(object);
    if (QDesignerFormWindowInterface* fw = QDesignerFormWindowInterface::findFormWindow(widget);
        fw && !fw->isManaged(widget))
        return nullptr;
    return new CollegaCampoMenu(widget, parent);
}

} // namespace tessaro::designer
