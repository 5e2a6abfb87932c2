#include "CartellaLingue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace demo {

namespace {
const QString kImpostazioni = QStringLiteral("LangSetting.ini");
}

QString TrovaCartellaLingue(const QStringList& candidati) {
    for (const QString& c : candidati) {
        if (!c.isEmpty() && QFileInfo::exists(QDir(c).filePath(kImpostazioni)))
            return QDir(c).absolutePath();
    }
    return QString();
}

QStringList CandidatiCartellaLingue(const QString& cartellaProgramma) {
    const QDir d(cartellaProgramma);
    QStringList out{d.filePath(QStringLiteral("lang")),
                    d.filePath(QStringLiteral("../share/tessaro/lang"))};
#ifdef TESSARO_DEMO_SOURCE_LANG_DIR
    out << QStringLiteral(TESSARO_DEMO_SOURCE_LANG_DIR);
#endif
    return out;
}

bool PreparaCopiaLingue(const QString& origine, const QString& destinazione) {
    const QDir from(origine);
    QDir to(destinazione);
    if (!to.mkpath(QStringLiteral(".")))
        return false;
    for (const QString& f : from.entryList({QStringLiteral("*.lng")}, QDir::Files)) {
        QFile::remove(to.filePath(f));
        if (!QFile::copy(from.filePath(f), to.filePath(f)))
            return false;
    }
    const QString impostazioni = to.filePath(kImpostazioni);
    if (QFileInfo::exists(impostazioni))
        return true;
    if (!QFile::copy(from.filePath(kImpostazioni), impostazioni))
        return false;
    // A copy of a read-only installed file stays read-only; the menu rewrites it.
    return QFile::setPermissions(impostazioni, QFile::ReadOwner | QFile::WriteOwner |
                                                   QFile::ReadGroup | QFile::ReadOther);
}

bool ScriviLinguaCorrente(const QString& cartella, const QString& lingua) {
    QSaveFile f(QDir(cartella).filePath(kImpostazioni));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    f.write("; Language of the navigator texts: the base name of a .lng file in this folder.\n"
            "[Language]\nCurrentLanguage=");
    f.write(lingua.toUtf8());
    f.write("\n");
    return f.commit();
}

QStringList LingueDisponibili(const QString& cartella) {
    QStringList out;
    for (const QFileInfo& fi :
         QDir(cartella).entryInfoList({QStringLiteral("*.lng")}, QDir::Files, QDir::Name))
        out << fi.completeBaseName();
    return out;
}

} // namespace demo
