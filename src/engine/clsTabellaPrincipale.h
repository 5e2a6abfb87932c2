#pragma once

#include <QString>

namespace tessaro {

// One column of the primary table.
class clsTabellaPrincipale {
public:
    QString NomeCampo() const { return mNomeCampo; }
    void NomeCampo(const QString& v) { mNomeCampo = v; }
    short TipoDati() const { return mTipoDati; }
    void TipoDati(short v) { mTipoDati = v; }
    bool ChiavePrimaria() const { return mChiavePrimaria; }
    void ChiavePrimaria(bool v) { mChiavePrimaria = v; }
    bool IsNullable() const { return mIsNullable; }
    void IsNullable(bool v) { mIsNullable = v; }
    long LunghezzaMassima() const { return mLunghezzaMassima; }
    void LunghezzaMassima(long v) { mLunghezzaMassima = v; }

private:
    QString mNomeCampo;
    short mTipoDati = 0;
    bool mIsNullable = false;
    long mLunghezzaMassima = 0;
    bool mChiavePrimaria = false;
};

} // namespace tessaro
