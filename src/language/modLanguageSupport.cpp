#include "language/modLanguageSupport.h"

#include "data/TessaroError.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>

#include <exception>
#include <optional>

namespace tessaro {

namespace {

thread_local QString tLanguageFolder;
thread_local QString tCurrentLanguage;

// Above this size a file is scanned line by line instead of parsed by sections.
constexpr qint64 kProfileReaderLimit = 64000;
// The profile reader fills a 512-character buffer, NUL included.
constexpr int kMaxValueLength = 511;

constexpr QLatin1String kSettingsFileName("LangSetting.ini");

// The characters Windows-1252 puts at 0x80-0x9F (where Latin-1 has controls);
// the five unassigned bytes keep their Latin-1 meaning.
constexpr char16_t kWindows1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString FromWindows1252(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        text += QChar(b >= 0x80 && b < 0xA0 ? kWindows1252[b - 0x80] : char16_t(b));
    }
    return text;
}

// Whole text of a file, read as UTF-8 (a leading byte-order mark dropped) or,
// when it is not valid UTF-8, as Windows-1252, which older editors saved;
// nullopt when it cannot be opened.
std::optional<QString> ReadText(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? FromWindows1252(bytes) : text;
}

QStringList SplitLines(const QString& text) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    return text.split(lineBreak);
}

// One pair of matching quotes of either kind around the value goes away.
QString StripEnclosingQuotes(const QString& value) {
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == u'"' || first == u'\'') && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

// First kMaxValueLength code points, never splitting a surrogate pair.
QString CutToBuffer(const QString& value) {
    qsizetype units = 0;
    int points = 0;
    while (units < value.size() && points < kMaxValueLength) {
        units += (value.at(units).isHighSurrogate() && units + 1 < value.size()) ? 2 : 1;
        ++points;
    }
    return value.left(units);
}

// Section name of a "[name]" line, or nullopt for any other line.
std::optional<QString> SectionHeader(const QString& trimmedLine) {
    if (!trimmedLine.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = trimmedLine.indexOf(u']');
    const QString name = close < 0 ? trimmedLine.mid(1) : trimmedLine.mid(1, close - 1);
    return name.trimmed();
}

// The section-aware reader for ordinary files: the first section of that name,
// the first key of that name in it, names compared without case.
QString ReadProfileValue(const QString& text, const QString& section, const QString& keyName) {
    bool inSection = false;
    bool sectionSeen = false;
    for (const QString& raw : SplitLines(text)) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (const auto header = SectionHeader(line)) {
            if (sectionSeen)
                break;
            inSection = header->compare(section, Qt::CaseInsensitive) == 0;
            sectionSeen = inSection;
            continue;
        }
        if (!inSection)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        const QString key = (eq < 0 ? line : line.left(eq)).trimmed();
        if (key.compare(keyName, Qt::CaseInsensitive) != 0)
            continue;
        const QString value = eq < 0 ? QString() : line.mid(eq + 1).trimmed();
        return CutToBuffer(StripEnclosingQuotes(value));
    }
    return QString();
}

// The fallback for large files: the first line that starts with the key, in any
// section. Only a value that really is quoted loses its quotes; an unquoted one
// would otherwise lose its first and last characters.
QString ScanLinesForKey(const QString& text, const QString& keyName) {
    for (const QString& line : SplitLines(text)) {
        if (!line.startsWith(keyName, Qt::CaseSensitive))
            continue;
        const QString value = line.mid(keyName.size() + 1);
        if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"')
            return value.mid(1, value.size() - 2);
        return value;
    }
    return QString();
}

bool EndsWithSeparator(const QString& folder) {
    return folder.endsWith(u'/') || folder.endsWith(u'\\');
}

} // namespace

QString LanguageFolder() {
    return tLanguageFolder;
}

QString CurrentLanguage() {
    return tCurrentLanguage;
}

QString GetIniValue(const QString& FileName, const QString& Section, const QString& KeyName) {
    const QFileInfo info(FileName);
    if (!info.exists() || info.isDir())
        TessaroError::Raise(Err::FileNotFound);
    // An existing file that cannot be read gives the empty default, as the
    // profile reader does.
    const std::optional<QString> text = ReadText(FileName);
    if (!text || KeyName.isEmpty())
        return QString();
    if (info.size() <= kProfileReaderLimit)
        return ReadProfileValue(*text, Section, KeyName);
    return ScanLinesForKey(*text, KeyName);
}

QString SettingsFilePath() {
    return tLanguageFolder + QLatin1Char('/') + kSettingsFileName;
}

QString LanguageFilePath() {
    const QString separator = EndsWithSeparator(tLanguageFolder) ? QString() : QStringLiteral("/");
    return tLanguageFolder + separator + tCurrentLanguage + QStringLiteral(".lng");
}

QString GetMessage(const QString& Key) {
    // A lookup never fails: each step that cannot be done is skipped and the
    // key itself stands in for the missing text.
    if (tCurrentLanguage.isEmpty()) {
        try {
            tCurrentLanguage = GetIniValue(SettingsFilePath(), QStringLiteral("Language"),
                                           QStringLiteral("CurrentLanguage"));
        } catch (const std::exception&) {
            // No settings file: no language, and the key stands in below.
        }
    }
    QString text;
    try {
        text = GetIniValue(LanguageFilePath(), QStringLiteral("Strings"), Key);
    } catch (const std::exception&) {
        // No language file: the key stands in for its text.
    }
    return text.isEmpty() ? Key : text;
}

void CambiaLinguaModulo(const QString& PercorsoFileLingua) {
    tLanguageFolder = PercorsoFileLingua;
    // Read unconditionally so that an edited settings file is picked up; a
    // missing one reaches the caller with the language left as it was.
    tCurrentLanguage = GetIniValue(SettingsFilePath(), QStringLiteral("Language"),
                                   QStringLiteral("CurrentLanguage"));
}

void ResetLanguageModule() {
    tLanguageFolder.clear();
    tCurrentLanguage.clear();
}

} // namespace tessaro
