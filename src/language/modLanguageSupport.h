#pragma once

// Message lookup and language files. The two module strings are per thread
// and never persisted.

#include <QString>

namespace tessaro {

// Folder of LangSetting.ini and the .lng files; set by CambiaLingua only.
QString LanguageFolder();
// Name of the current language, also the base name of its file.
QString CurrentLanguage();

// Value of KeyName in Section of the private-profile file FileName, or "".
// A missing file raises FileNotFound. Files above 64000 bytes are scanned line
// by line for the first line that starts with the key, whatever its section.
QString GetIniValue(const QString& FileName, const QString& Section, const QString& KeyName);

// The text of a message key in the current language, or the key itself.
QString GetMessage(const QString& Key);

// The language part of the control's CambiaLingua: switch the folder and read
// the current language from its settings file (FileNotFound when it is missing).
void CambiaLinguaModulo(const QString& PercorsoFileLingua);

// Paths as the module builds them.
QString SettingsFilePath();
QString LanguageFilePath();

// Back to the state of a freshly loaded library (tests).
void ResetLanguageModule();

} // namespace tessaro
