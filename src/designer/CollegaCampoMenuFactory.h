#pragma once

// Gives a CollegaCampoMenu to every widget of a form that the navigator can bind.

#include <QExtensionFactory>

namespace tessaro::designer {

class CollegaCampoMenuFactory : public QExtensionFactory {
    Q_OBJECT

public:
    using QExtensionFactory::QExtensionFactory;

protected:
    QObject* createExtension(QObject* object, const QString& iid, QObject* parent) const override;
};

} // namespace tessaro::designer
