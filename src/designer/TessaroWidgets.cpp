#include "designer/TessaroWidgets.h"

#include "designer/Tessaro14_MLPlugin.h"

namespace tessaro::designer {

TessaroWidgets::TessaroWidgets(QObject* parent)
    : QObject(parent), mWidgets{new Tessaro14_MLPlugin(this)} {}

} // namespace tessaro::designer
