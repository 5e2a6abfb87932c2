#pragma once

// The Qt Designer plugin: the collection of Tessaro's widgets.

#include <QObject>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>

namespace tessaro::designer {

class TessaroWidgets : public QObject, public QDesignerCustomWidgetCollectionInterface {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetCollectionInterface")
    Q_INTERFACES(QDesignerCustomWidgetCollectionInterface)

public:
    explicit TessaroWidgets(QObject* parent = nullptr);

    QList<QDesignerCustomWidgetInterface*> customWidgets() const override { return mWidgets; }

private:
    QList<QDesignerCustomWidgetInterface*> mWidgets;
};

} // namespace tessaro::designer
