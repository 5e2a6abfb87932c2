#include "engine/collTabellaPrincipale.h"

#include "data/TessaroError.h"
#include "host/MessageBox.h"

namespace tessaro {

namespace {

std::shared_ptr<clsTabellaPrincipale> ItemMancante(int numero) {
    const TessaroError e(numero, TessaroError::StandardDescription(numero));
    MsgBox(QStringLiteral("Err ") + QString::number(e.Number()) + QStringLiteral(" - ") +
               e.Description(),
           MsgStyle::Critical, QStringLiteral("Errore interno!"));
    return nullptr;
}

} // namespace

std::shared_ptr<clsTabellaPrincipale> collTabellaPrincipale::Add(const QString& NomeCampo,
                                                                 short TipoCampo, bool IsNullable,
                                                                 long LunghezzaMassima,
                                                                 bool ChiavePrimaria) {
    const QString chiave = NomeCampo.toLower();
    if (mIndex.contains(chiave))
        TessaroError::Raise(Err::DuplicateKey);
    auto colonna = std::make_shared<clsTabellaPrincipale>();
    colonna->NomeCampo(NomeCampo);
    colonna->TipoDati(TipoCampo);
    colonna->IsNullable(IsNullable);
    colonna->LunghezzaMassima(LunghezzaMassima);
    colonna->ChiavePrimaria(ChiavePrimaria);
    mIndex.insert(chiave, mItems.size());
    mItems.push_back(colonna);
    return colonna;
}

std::shared_ptr<clsTabellaPrincipale> collTabellaPrincipale::Item(long index) const {
    if (index < 1 || index > Count())
        return ItemMancante(Err::SubscriptOutOfRange);
    return mItems[static_cast<std::size_t>(index - 1)];
}

std::shared_ptr<clsTabellaPrincipale> collTabellaPrincipale::Item(const QString& key) const {
    const auto it = mIndex.constFind(key.toLower());
    if (it == mIndex.constEnd())
        return ItemMancante(Err::InvalidCall);
    return mItems[it.value()];
}

} // namespace tessaro
