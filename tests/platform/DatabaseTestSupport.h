#pragma once

#include "data/Database.h"
#include "data/TessaroError.h"
#include "data/Values.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace tessaro::test {

// The failure an operation raises: number 0 and an empty text when it raises none.
struct Raised {
    int number = 0;
    QString description;
};

inline Raised RaisedBy(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const TessaroError& e) {
        return {e.Number(), e.Description()};
    }
    return {};
}

// The values of one column from the first row to the last, as text.
inline QStringList ColumnTexts(Recordset& rs, const QString& column) {
    QStringList out;
    if (rs.Bof() && rs.Eof())
        return out;
    const Fields f = rs.Fields();
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext())
        out << ValueToText(f.Item(column).Value());
    return out;
}

// Where the cursor stands: its 1-based row, "BOF", "EOF" or "empty".
inline QString Where(const Recordset& rs) {
    if (rs.Bof() && rs.Eof())
        return QStringLiteral("empty");
    if (rs.Bof())
        return QStringLiteral("BOF");
    if (rs.Eof())
        return QStringLiteral("EOF");
    return QString::number(rs.AbsolutePosition());
}

} // namespace tessaro::test
