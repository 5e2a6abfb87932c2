#pragma once

// The widget-box entry of the Tessaro14_ML control: group "Tessaro", icon,
// texts, include file and the XML Designer puts on the form when it is dropped.
// Its initialisation gives the form's bindable widgets the binding editor.

#include <QObject>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

namespace tessaro::designer {

class Tessaro14_MLPlugin : public QObject, public QDesignerCustomWidgetInterface {
    Q_OBJECT
    Q_INTERFACES(QDesignerCustomWidgetInterface)

public:
    using QObject::QObject;

    QString name() const override;
    QString group() const override;
    QString toolTip() const override;
    QString whatsThis() const override;
    QString includeFile() const override;
    QIcon icon() const override;
    bool isContainer() const override { return false; }
    QWidget* createWidget(QWidget* parent) override;
    bool isInitialized() const override { return mInizializzato; }
    void initialize(QDesignerFormEditorInterface* core) override;
    QString domXml() const override;

private:
    bool mInizializzato = false;
};

} // namespace tessaro::designer
