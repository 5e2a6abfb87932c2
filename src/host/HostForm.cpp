#include "host/HostForm.h"

#include "data/Values.h"

#include "data/TessaroError.h"

namespace tessaro {

void TextBox::ShowValue(const QVariant& value, int tipo) {
    SetText(ValueToLocaleText(value, tipo));
}

TextBox& AsTextBox(Control& c) {
    if (auto* t = dynamic_cast<TextBox*>(&c))
        return *t;
    TessaroError::Raise(Err::NoSuchMember);
}

ComboBox& AsComboBox(Control& c) {
    if (auto* t = dynamic_cast<ComboBox*>(&c))
        return *t;
    TessaroError::Raise(Err::NoSuchMember);
}

CheckBox& AsCheckBox(Control& c) {
    if (auto* t = dynamic_cast<CheckBox*>(&c))
        return *t;
    TessaroError::Raise(Err::NoSuchMember);
}

} // namespace tessaro
