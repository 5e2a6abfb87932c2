#include "engine/Dialetto.h"
#include "engine/clsADONavigator.h"

namespace tessaro {

// The forms per database kind live in the dialect table; these are the
// navigator's names for them.

QString clsADONavigator::FormatDateForSql(const QDateTime& dData) const {
    return Dialect().LetteraleData(dData);
}

QString clsADONavigator::FormatDateForSqlServer(const QDateTime& dData) const {
    return DataPerSqlServer(dData);
}

QString clsADONavigator::FormatDateForMySql(const QDateTime& dData) const {
    return DataPerMySql(dData);
}

QString clsADONavigator::FormatTextForSql(const QString& Testo) const {
    return Dialect().EscapeTesto(Testo);
}

} // namespace tessaro
