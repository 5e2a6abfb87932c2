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
    // DECIMAL(p, s); 0 and 0 for columns without them.
    int Precisione() const { return mPrecisione; }
    int Scala() const { return mScala; }
    void PrecisioneScala(int precisione, int scala) {
        mPrecisione = precisione;
        mScala = scala;
    }
    // Digits of a second's fraction a date-time or time column keeps; -1 when
    // it keeps whatever is written.
    int CifreSecondi() const { return mCifreSecondi; }
    void CifreSecondi(int v) { mCifreSecondi = v; }
    // The database numbers new rows in this column itself.
    bool AutoIncremento() const { return mAutoIncremento; }
    void AutoIncremento(bool v) { mAutoIncremento = v; }
    // The database alone writes it (GENERATED ALWAYS): any value given is refused.
    bool SempreGenerata() const { return mSempreGenerata; }
    void SempreGenerata(bool v) { mSempreGenerata = v; }

private:
    QString mNomeCampo;
    short mTipoDati = 0;
    bool mIsNullable = false;
    long mLunghezzaMassima = 0;
    bool mChiavePrimaria = false;
    int mPrecisione = 0;
    int mScala = 0;
    bool mAutoIncremento = false;
    int mCifreSecondi = -1;
    bool mSempreGenerata = false;
};

} // namespace tessaro
