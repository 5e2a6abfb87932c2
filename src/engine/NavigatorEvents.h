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
};

} // namespace tessaro
