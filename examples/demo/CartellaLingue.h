#pragma once

// The language files of the demo. The shipped folder may be read-only (an
// installed copy), while switching the language rewrites LangSetting.ini, so
// the demo works on a copy in its data folder.

#include <QString>
#include <QStringList>

namespace demo {

// The first folder holding LangSetting.ini among the candidates, or empty.
QString TrovaCartellaLingue(const QStringList& candidati);

// The folders where a build or an installation keeps the language files,
// relative to the program's folder, then the source tree's.
QStringList CandidatiCartellaLingue(const QString& cartellaProgramma);

// Copies the .lng files of `origine` into `destinazione`, and LangSetting.ini
// too unless one is already there (it holds the language last chosen).
// Returns false when a file cannot be written.
bool PreparaCopiaLingue(const QString& origine, const QString& destinazione);

// Writes the settings file of `cartella` so that it selects `lingua`.
bool ScriviLinguaCorrente(const QString& cartella, const QString& lingua);

// The languages offered: the base names of the .lng files of `cartella`.
QStringList LingueDisponibili(const QString& cartella);

} // namespace demo
