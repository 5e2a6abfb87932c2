#pragma once

// A keyed collection in insertion order whose string keys compare without
// regard to case, as the registries of the control need.

#include "data/TessaroError.h"

#include <QString>
#include <utility>
#include <vector>

namespace tessaro {

template <typename T> class CollezioneChiavi {
public:
    struct Voce {
        QString Chiave;
        T Valore;
    };

    // A key already present raises DuplicateKey and leaves the collection as it was.
    void Add(const QString& chiave, T valore) {
        if (Indice(chiave) >= 0)
            TessaroError::Raise(Err::DuplicateKey);
        mVoci.push_back(Voce{chiave, std::move(valore)});
    }

    // A missing key raises InvalidCall.
    const T& Item(const QString& chiave) const { return mVoci[IndiceRichiesto(chiave)].Valore; }

    bool Contains(const QString& chiave) const { return Indice(chiave) >= 0; }

    void Remove(const QString& chiave) {
        mVoci.erase(mVoci.begin() + static_cast<std::ptrdiff_t>(IndiceRichiesto(chiave)));
    }

    int Count() const { return static_cast<int>(mVoci.size()); }
    bool Empty() const { return mVoci.empty(); }
    // 0-based access in insertion order.
    const Voce& At(int indice) const { return mVoci.at(static_cast<std::size_t>(indice)); }
    void RemoveAt(int indice) {
        if (indice < 0 || indice >= Count())
            TessaroError::Raise(Err::SubscriptOutOfRange);
        mVoci.erase(mVoci.begin() + indice);
    }

    auto begin() const { return mVoci.begin(); }
    auto end() const { return mVoci.end(); }

private:
    int Indice(const QString& chiave) const {
        for (std::size_t i = 0; i < mVoci.size(); ++i)
            if (mVoci[i].Chiave.compare(chiave, Qt::CaseInsensitive) == 0)
                return static_cast<int>(i);
        return -1;
    }
    std::size_t IndiceRichiesto(const QString& chiave) const {
        const int i = Indice(chiave);
        if (i < 0)
            TessaroError::Raise(Err::InvalidCall);
        return static_cast<std::size_t>(i);
    }

    std::vector<Voce> mVoci;
};

} // namespace tessaro
