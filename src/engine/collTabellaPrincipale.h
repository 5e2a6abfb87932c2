#pragma once

#include "engine/clsTabellaPrincipale.h"

#include <QHash>
#include <QString>
#include <memory>
#include <vector>

namespace tessaro {

// The columns of the primary table, in schema order, keyed by name without
// regard to case.
class collTabellaPrincipale {
public:
    // Raises DuplicateKey when a column of that name (in any case) is already there.
    std::shared_ptr<clsTabellaPrincipale> Add(const QString& NomeCampo, short TipoCampo,
                                              bool IsNullable, long LunghezzaMassima,
                                              bool ChiavePrimaria);
    // By position (1 for the first) or by name. A missing entry shows the
    // "Err ..." box titled "Errore interno!" and gives nullptr.
    std::shared_ptr<clsTabellaPrincipale> Item(long index) const;
    std::shared_ptr<clsTabellaPrincipale> Item(const QString& key) const;
    long Count() const { return static_cast<long>(mItems.size()); }
    // Whether a column of that name (in any case) is there; no box when not.
    bool Contiene(const QString& key) const { return mIndex.contains(key.toLower()); }

private:
    std::vector<std::shared_ptr<clsTabellaPrincipale>> mItems;
    QHash<QString, std::size_t> mIndex; // lower-case name -> position
};

} // namespace tessaro
