#pragma once

namespace tessaro {

class HostObject;

// The events of a navigator. The control sets itself as the sink of the active
// navigator only and raises each event to the host under the same name.
class NavigatorEvents {
public:
    virtual ~NavigatorEvents() = default;
    virtual void OnCurrent() {}
    virtual void AfterCurrent() {}
    virtual void Addnew(HostObject*& /*ContenitoreControlli*/) {}
    virtual void AfterInsert() {}
    virtual void BeforeUpdate() {}
    virtual void AfterUpdate() {}
    virtual void Delete() {}
    virtual void BeforeDelConfirm(bool& /*Cancel*/) {}
    virtual void AfterDelConfirm() {}
    virtual void AfterDelete() {}
    virtual void Clone(HostObject*& /*ContenitoreControlli*/) {}
    virtual void AfterAnnulla() {}
    // Another user changed (or deleted) the record being saved. A handler may
    // answer in place of the user: Yes, No or Cancel as the box would (for a
    // deleted record Yes saves it as new, anything else goes back to editing);
    // 0 leaves the question to the box.
    virtual void WriteConflict(bool /*RecordEliminato*/, int& /*Risposta*/) {}
    // The count or the position changed without a move (a count came back).
    virtual void ConteggioAggiornato() {}
};

} // namespace tessaro
