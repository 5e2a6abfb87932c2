#pragma once

// The events of the Tessaro14_ML control, in the order of its event interface.
// They live on an object of their own because the control's methods Addnew and
// Delete share their names with two events.
//
// Cancel flags are passed by reference: a handler that sets Cancel = true vetoes
// the step. That only works when the handler runs inside the emission, so hosts
// connect with Qt::DirectConnection or the default automatic connection from the
// same (user-interface) thread; a queued connection would never be seen.
//
// The container of Addnew and Clone is the QWidget the host registered.

#include <QObject>

class QWidget;

namespace tessaro {

class Tessaro14_MLEvents : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    void OnCurrent();                      // 1
    void AfterCurrent();                   // 2
    void Addnew(QWidget* Contenitore);     // 3
    void BeforeInsert(bool& Cancel);       // 4
    void AfterInsert();                    // 5
    void BeforeUpdate();                   // 6
    void AfterUpdate();                    // 7
    void Delete();                         // 8
    void BeforeDelConfirm(bool& Cancel);   // 9
    void AfterDelConfirm();                // 10
    void AfterDelete();                    // 11
    void ValidateBeforeSave(bool& Cancel); // 12
    void Clone(QWidget* Contenitore);      // 13
    void AfterAnnulla();                   // 14
    void ClickPrint(bool& Cancel);         // 15
    // Another user changed or deleted the record being saved; set Risposta to
    // answer in place of the user (see NavigatorEvents::WriteConflict).
    void WriteConflict(bool RecordEliminato, int& Risposta); // 16
};

} // namespace tessaro
