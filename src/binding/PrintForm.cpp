#include "engine/clsADONavigator.h"
#include "host/MessageBox.h"
#include "language/modLanguageSupport.h"

namespace tessaro {

void clsADONavigator::PrintForm() {
    try {
        const int risposta =
            MsgBox(GetMessage(QStringLiteral("TQ14")), MsgStyle::Question + MsgStyle::YesNo,
                   GetMessage(QStringLiteral("TQ15")));
        if (risposta == MsgAnswer::No || !mContenitoreCaselle)
            return;
        // A container prints itself rather than an empty page of its form.
        mContenitoreCaselle->Print();
    } catch (...) {
        // Printing is a convenience: a failure leaves the form as it was, unreported.
    }
}

} // namespace tessaro
