#pragma once

#include "editing/Salvataggio.h"
#include "engine/clsADONavigator.h"
#include "host/HostForm.h"

#include <QDateTime>
#include <QString>

namespace tessaro {

// Reaches the navigator's private statement builders, walks and fills, so they
// can be checked as text or driven one at a time.
class NavigatorTestAccess {
public:
    static QString DataSql(const clsADONavigator& n, const QDateTime& d) {
        return n.FormatDateForSql(d);
    }
    static QString DataSqlServer(const clsADONavigator& n, const QDateTime& d) {
        return n.FormatDateForSqlServer(d);
    }
    static QString TestoSql(const clsADONavigator& n, const QString& t) {
        return n.FormatTextForSql(t);
    }
    static void Abilita(clsADONavigator& n, HostObject* c) { n.AbilitaInserimento(c); }
    static void Disabilita(clsADONavigator& n, HostObject* c) { n.DisabilitaInserimento(c); }
    static void Pulisci(clsADONavigator& n, HostObject* c) { n.PulisciControlli(c); }
};

} // namespace tessaro
