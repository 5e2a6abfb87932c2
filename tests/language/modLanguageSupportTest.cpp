#include "language/modLanguageSupport.h"
#include "data/TessaroError.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <thread>

namespace tessaro {
namespace {

// Keys that the control looks up; the unused numbers may be absent.
QSet<QString> KeysInUse() {
    QSet<QString> keys;
    for (int n = 1; n <= 42; ++n) {
        if (n == 20 || n == 21 || n == 22 || n == 24 || n == 28)
            continue;
        keys.insert(QStringLiteral("TQ%1").arg(n, 2, 10, QLatin1Char('0')));
    }
    return keys;
}

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

QString ShippedFolder() {
    return test::SourceDir() + QStringLiteral("/lang");
}

class LanguageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetLanguageModule();
        ASSERT_TRUE(dir.isValid());
    }
    void TearDown() override { ResetLanguageModule(); }

    QString PathOf(const QString& name) const { return dir.filePath(name); }

    QString Write(const QString& name, const QByteArray& content) const {
        const QString path = PathOf(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
        f.write(content);
        return path;
    }

    void WriteSettings(const QByteArray& language) const {
        Write(QStringLiteral("LangSetting.ini"),
              "[Language]\r\nCurrentLanguage=" + language + "\r\n");
    }

    // A file of exactly `size` bytes: `body`, then a comment line padded to fit.
    QString WriteSized(const QString& name, const QByteArray& body, qsizetype size) const {
        QByteArray content = body + ";";
        content += QByteArray(size - content.size() - 1, 'x');
        content += "\n";
        EXPECT_EQ(content.size(), size);
        return Write(name, content);
    }

    QTemporaryDir dir;
};

// ---- Lookup ----------------------------------------------------------------

TEST_F(LanguageTest, WithoutAnyFileTheKeyItselfIsReturned) {
    EXPECT_TRUE(LanguageFolder().isEmpty());
    EXPECT_TRUE(CurrentLanguage().isEmpty());
    if (QFile::exists(SettingsFilePath()))
        GTEST_SKIP() << "a settings file exists at the root";
    EXPECT_EQ(GetMessage(QStringLiteral("TQ07")), QStringLiteral("TQ07"));
    EXPECT_TRUE(CurrentLanguage().isEmpty());
}

TEST_F(LanguageTest, MissingSettingsIsRetriedAtEveryLookup) {
    // The folder is replaced even though the switch fails.
    EXPECT_THROW(CambiaLinguaModulo(dir.path()), TessaroError);
    EXPECT_EQ(GetMessage(QStringLiteral("TQ07")), QStringLiteral("TQ07"));
    EXPECT_TRUE(CurrentLanguage().isEmpty());

    WriteSettings("Deutsch");
    Write(QStringLiteral("Deutsch.lng"), "[Strings]\nTQ07=\"Ungültige Nummer\"\n");
    EXPECT_EQ(GetMessage(QStringLiteral("TQ07")), QStringLiteral("Ungültige Nummer"));
    EXPECT_EQ(CurrentLanguage(), QStringLiteral("Deutsch"));
}

TEST_F(LanguageTest, MissingLanguageFileOrKeyGivesTheKey) {
    WriteSettings("Klingon");
    CambiaLinguaModulo(dir.path());
    EXPECT_EQ(CurrentLanguage(), QStringLiteral("Klingon"));
    EXPECT_EQ(GetMessage(QStringLiteral("TQ07")), QStringLiteral("TQ07"));

    Write(QStringLiteral("Klingon.lng"), "[Strings]\nTQ01=\"one\"\nTQ08=\"\"\n[Other]\nTQ07=x\n");
    EXPECT_EQ(GetMessage(QStringLiteral("TQ01")), QStringLiteral("one"));
    EXPECT_EQ(GetMessage(QStringLiteral("TQ07")), QStringLiteral("TQ07"));
    EXPECT_EQ(GetMessage(QStringLiteral("TQ08")), QStringLiteral("TQ08"));
}

TEST_F(LanguageTest, LanguageNameStaysUntilTheNextSwitchButTextsAreReadAfresh) {
    WriteSettings("Uno");
    Write(QStringLiteral("Uno.lng"), "[Strings]\nTQ30=\"di\"\n");
    Write(QStringLiteral("Due.lng"), "[Strings]\nTQ30=\"of\"\n");
    CambiaLinguaModulo(dir.path());
    EXPECT_EQ(GetMessage(QStringLiteral("TQ30")), QStringLiteral("di"));

    WriteSettings("Due");
    EXPECT_EQ(GetMessage(QStringLiteral("TQ30")), QStringLiteral("di"));
    EXPECT_EQ(CurrentLanguage(), QStringLiteral("Uno"));

    // An edited language file is seen at once: nothing is cached.
    Write(QStringLiteral("Uno.lng"), "[Strings]\nTQ30=\"su\"\n");
    EXPECT_EQ(GetMessage(QStringLiteral("TQ30")), QStringLiteral("su"));

    CambiaLinguaModulo(dir.path());
    EXPECT_EQ(CurrentLanguage(), QStringLiteral("Due"));
    EXPECT_EQ(GetMessage(QStringLiteral("TQ30")), QStringLiteral("of"));
}

TEST_F(LanguageTest, SwitchToAFolderWithoutSettingsRaisesFileNotFound) {
    WriteSettings("Uno");
    Write(QStringLiteral("Uno.lng"), "[Strings]\nTQ30=\"di\"\n");
    CambiaLinguaModulo(dir.path());

    QTemporaryDir empty;
    try {
        CambiaLinguaModulo(empty.path());
        FAIL() << "no failure raised";
    } catch (const TessaroError& e) {
        EXPECT_EQ(e.Number(), Err::FileNotFound);
    }
    EXPECT_EQ(LanguageFolder(), empty.path());
    EXPECT_EQ(CurrentLanguage(), QStringLiteral("Uno"));
    // The old language name now points into the new folder, where it is absent.
    EXPECT_EQ(GetMessage(QStringLiteral("TQ30")), QStringLiteral("TQ30"));
}

TEST_F(LanguageTest, ModuleStateBelongsToItsThread) {
    WriteSettings("Uno");
    CambiaLinguaModulo(dir.path());
    QString otherFolder = QStringLiteral("unset");
    QString otherLanguage = QStringLiteral("unset");
    std::thread t([&] {
        otherFolder = LanguageFolder();
        otherLanguage = CurrentLanguage();
    });
    t.join();
    EXPECT_TRUE(otherFolder.isEmpty());
    EXPECT_TRUE(otherLanguage.isEmpty());
    EXPECT_EQ(CurrentLanguage(), QStringLiteral("Uno"));
}

// ---- Paths -----------------------------------------------------------------

TEST_F(LanguageTest, PathsWithAndWithoutTrailingSeparator) {
    EXPECT_EQ(SettingsFilePath(), QStringLiteral("/LangSetting.ini"));
    EXPECT_EQ(LanguageFilePath(), QStringLiteral("/.lng"));

    WriteSettings("Uno");
    CambiaLinguaModulo(dir.path());
    const QString plainLanguage = LanguageFilePath();
    EXPECT_EQ(SettingsFilePath(), dir.path() + QStringLiteral("/LangSetting.ini"));
    EXPECT_EQ(plainLanguage, dir.path() + QStringLiteral("/Uno.lng"));

    CambiaLinguaModulo(dir.path() + QStringLiteral("/"));
    EXPECT_EQ(LanguageFilePath(), plainLanguage);
    EXPECT_EQ(SettingsFilePath(), dir.path() + QStringLiteral("//LangSetting.ini"));
}

TEST_F(LanguageTest, BackslashCountsAsTrailingSeparator) {
    const QString folder = dir.path() + QStringLiteral("/sub\\");
    QDir().mkpath(folder);
    Write(QStringLiteral("sub\\/LangSetting.ini"), "[Language]\nCurrentLanguage=Uno\n");
    CambiaLinguaModulo(folder);
    EXPECT_EQ(LanguageFilePath(), folder + QStringLiteral("Uno.lng"));
    EXPECT_EQ(SettingsFilePath(), folder + QStringLiteral("/LangSetting.ini"));
}

// ---- Shipped language files -------------------------------------------------

TEST_F(LanguageTest, ShippedFolderSpeaksItalianByDefault) {
    CambiaLinguaModulo(ShippedFolder());
    EXPECT_EQ(CurrentLanguage(), QStringLiteral("Italiano"));
    EXPECT_EQ(GetMessage(QStringLiteral("TQ30")), QStringLiteral("di"));
    EXPECT_TRUE(GetMessage(QStringLiteral("TQ42")).contains(QStringLiteral("[[Tag]]")));
}

TEST_F(LanguageTest, ShippedEnglishFileIsReadWhenChosen) {
    for (const QString& name : {QStringLiteral("Italiano.lng"), QStringLiteral("English.lng")})
        Write(name, ReadBytes(ShippedFolder() + QLatin1Char('/') + name));
    WriteSettings("English");
    CambiaLinguaModulo(dir.path());
    EXPECT_EQ(GetMessage(QStringLiteral("TQ30")), QStringLiteral("of"));
    EXPECT_TRUE(GetMessage(QStringLiteral("TQ42")).contains(QStringLiteral("[[Tag]]")));
}

TEST_F(LanguageTest, ShippedFilesDefineTheSameKeysAsValidQuotedUtf8) {
    static const QRegularExpression entry(QStringLiteral("^(TQ\\d\\d)=\"(.*)\"$"));
    QList<QSet<QString>> keySets;
    for (const QString& language : {QStringLiteral("Italiano"), QStringLiteral("English")}) {
        SCOPED_TRACE(language.toStdString());
        const QByteArray bytes = ReadBytes(ShippedFolder() + QLatin1Char('/') + language + ".lng");
        ASSERT_FALSE(bytes.isEmpty());
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString text = utf8(bytes);
        ASSERT_FALSE(utf8.hasError());

        QSet<QString> keys;
        for (const QString& line : text.split(QLatin1Char('\n'))) {
            if (!line.startsWith(QStringLiteral("TQ")))
                continue;
            const auto m = entry.match(line);
            ASSERT_TRUE(m.hasMatch()) << "not a quoted entry: " << line.toStdString();
            EXPECT_FALSE(m.captured(2).trimmed().isEmpty()) << line.toStdString();
            EXPECT_FALSE(keys.contains(m.captured(1))) << "twice: " << line.toStdString();
            keys.insert(m.captured(1));
        }
        EXPECT_TRUE(keys.contains(KeysInUse()));
        keySets << keys;
    }
    ASSERT_EQ(keySets.size(), 2);
    EXPECT_EQ(keySets[0], keySets[1]);
}

// ---- Profile reader (files up to 64000 bytes) --------------------------------

TEST_F(LanguageTest, ProfileReaderMatchesNamesWithoutCaseAndTrims) {
    const QString file = Write(QStringLiteral("a.ini"), "\xEF\xBB\xBF"
                                                        "[Other]\n"
                                                        "Key=other section\n"
                                                        "  [ strings ]  \n"
                                                        "; Key=commented out\n"
                                                        "   Key   =   spaced value   \r\n"
                                                        "Key=second occurrence\n"
                                                        "Bare\n"
                                                        "[Strings]\n"
                                                        "Late=repeated section\n");
    EXPECT_EQ(GetIniValue(file, QStringLiteral("STRINGS"), QStringLiteral("kEY")),
              QStringLiteral("spaced value"));
    EXPECT_EQ(GetIniValue(file, QStringLiteral("other"), QStringLiteral("key")),
              QStringLiteral("other section"));
    EXPECT_EQ(GetIniValue(file, QStringLiteral("Strings"), QStringLiteral("Bare")), QString());
    EXPECT_EQ(GetIniValue(file, QStringLiteral("Strings"), QStringLiteral("Missing")), QString());
    EXPECT_EQ(GetIniValue(file, QStringLiteral("Nowhere"), QStringLiteral("Key")), QString());
    // Only the first section of a name is read, as the Windows reader does.
    EXPECT_EQ(GetIniValue(file, QStringLiteral("Strings"), QStringLiteral("Late")), QString());
}

TEST_F(LanguageTest, ProfileReaderRemovesOnePairOfMatchingQuotes) {
    const QString file = Write(QStringLiteral("q.ini"), "[S]\n"
                                                        "Double=\"  padded  \"\n"
                                                        "Twice=\"\"inner\"\"\n"
                                                        "Single='apostrophe'\n"
                                                        "Mixed=\"open'\n"
                                                        "Lonely=\"\n"
                                                        "Inside=say \"hi\" now\n"
                                                        "Accent=\"perché è così\"\n");
    auto value = [&](const char* key) {
        return GetIniValue(file, QStringLiteral("S"), QString::fromLatin1(key));
    };
    EXPECT_EQ(value("Double"), QStringLiteral("  padded  "));
    EXPECT_EQ(value("Twice"), QStringLiteral("\"inner\""));
    EXPECT_EQ(value("Single"), QStringLiteral("apostrophe"));
    EXPECT_EQ(value("Mixed"), QStringLiteral("\"open'"));
    EXPECT_EQ(value("Lonely"), QStringLiteral("\""));
    EXPECT_EQ(value("Inside"), QStringLiteral("say \"hi\" now"));
    EXPECT_EQ(value("Accent"), QStringLiteral("perché è così"));
}

TEST_F(LanguageTest, ProfileReaderCutsLongValuesTo511Characters) {
    const QByteArray longValue(600, 'a');
    QByteArray wide;
    for (int i = 0; i < 600; ++i)
        wide += "\xF0\x9F\x98\x80"; // one character outside the BMP
    const QString file =
        Write(QStringLiteral("long.ini"),
              "[S]\nLong=" + longValue + "\nQuoted=\"" + longValue + "\"\nWide=" + wide + "\n");
    EXPECT_EQ(GetIniValue(file, QStringLiteral("S"), QStringLiteral("Long")),
              QString(511, QLatin1Char('a')));
    EXPECT_EQ(GetIniValue(file, QStringLiteral("S"), QStringLiteral("Quoted")),
              QString(511, QLatin1Char('a')));
    const QString cut = GetIniValue(file, QStringLiteral("S"), QStringLiteral("Wide"));
    EXPECT_EQ(cut.toUcs4().size(), 511);
    EXPECT_EQ(cut, QString::fromUtf8(wide).left(1022));
}

TEST_F(LanguageTest, MissingFileRaisesFileNotFound) {
    try {
        GetIniValue(PathOf(QStringLiteral("absent.ini")), QStringLiteral("S"), QStringLiteral("K"));
        FAIL() << "no failure raised";
    } catch (const TessaroError& e) {
        EXPECT_EQ(e.Number(), Err::FileNotFound);
    }
    EXPECT_THROW(GetIniValue(dir.path(), QStringLiteral("S"), QStringLiteral("K")), TessaroError);
}

// ---- Size threshold and the line scan ----------------------------------------

TEST_F(LanguageTest, SixtyFourThousandBytesStillUseTheProfileReader) {
    const QString file =
        WriteSized(QStringLiteral("edge.lng"),
                   "[Other]\nTQ01=\"wrong section\"\n[Strings]\nTQ01=\"right\"\n", 64000);
    EXPECT_EQ(GetIniValue(file, QStringLiteral("Strings"), QStringLiteral("TQ01")),
              QStringLiteral("right"));
}

TEST_F(LanguageTest, LargerFilesAreScannedForTheFirstMatchingLine) {
    const QString file = WriteSized(QStringLiteral("big.lng"),
                                    "[Other]\n"
                                    "tq01=\"lower case key\"\n"
                                    "TQ01=\"first match\"\n"
                                    "[Strings]\n"
                                    "TQ01=\"right section\"\n"
                                    "TQ02=abc\n"
                                    "TQ03=\"half quoted\n"
                                    "TQ04=\"\"\n"
                                    "TQ05\n"
                                    "  TQ06=\"indented\"\n"
                                    "TQ07=\"perché\"\r\n",
                                    64001);
    auto value = [&](const char* key) {
        return GetIniValue(file, QStringLiteral("Strings"), QString::fromLatin1(key));
    };
    EXPECT_EQ(value("TQ01"), QStringLiteral("first match"));
    // An unquoted value is kept whole instead of losing its outer characters.
    EXPECT_EQ(value("TQ02"), QStringLiteral("abc"));
    EXPECT_EQ(value("TQ03"), QStringLiteral("\"half quoted"));
    EXPECT_EQ(value("TQ04"), QString());
    EXPECT_EQ(value("TQ05"), QString());
    EXPECT_EQ(value("TQ06"), QString());
    EXPECT_EQ(value("TQ07"), QStringLiteral("perché"));
    EXPECT_EQ(value("TQ99"), QString());
}

TEST_F(LanguageTest, LargeLanguageFileServesLookups) {
    WriteSettings("Grande");
    WriteSized(QStringLiteral("Grande.lng"), "[Strings]\nTQ30=\"di\"\nTQ31=Stampa\n", 70000);
    CambiaLinguaModulo(dir.path());
    EXPECT_EQ(GetMessage(QStringLiteral("TQ30")), QStringLiteral("di"));
    EXPECT_EQ(GetMessage(QStringLiteral("TQ31")), QStringLiteral("Stampa"));
    EXPECT_EQ(GetMessage(QStringLiteral("TQ32")), QStringLiteral("TQ32"));
}

} // namespace
} // namespace tessaro
