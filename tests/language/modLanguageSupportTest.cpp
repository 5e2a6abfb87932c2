#include "language/modLanguageSupport.h"
#include "support/Fixtures.h"

#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QStringDecoder>
#include <utility>

namespace tessaro::test {
namespace {

class Lingua : public ::testing::Test {
protected:
    void SetUp() override { ResetLanguageModule(); }
    void TearDown() override { ResetLanguageModule(); }
    // Writes a file; padded with a comment line to `size` bytes when given.
    QString Write(const QString& name, QByteArray content, qsizetype size = 0) const {
        if (size > 0)
            content += ";" + QByteArray(size - content.size() - 2, 'x') + "\n";
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return f.fileName();
    }
    void Settings(const QByteArray& language) const {
        Write("LangSetting.ini", "[Language]\r\nCurrentLanguage=" + language + "\r\n");
    }
    QTemporaryDir dir;
};

TEST_F(Lingua, LookupFallsBackToTheKeyAndReadsTextsAfresh) {
    // The folder is replaced even though the switch fails; the settings are
    // then read again at every lookup until they are there.
    EXPECT_EQ(RaisedBy([&] { CambiaLinguaModulo(dir.path()); }).number, Err::FileNotFound);
    EXPECT_EQ(LanguageFolder(), dir.path());
    EXPECT_EQ(GetMessage("TQ07"), "TQ07");
    Settings("Uno");
    Write("Uno.lng", "[Strings]\nTQ30=\"di\"\nTQ08=\"\"\n[Other]\nTQ07=x\n");
    Write("Due.lng", "[Strings]\nTQ30=\"of\"\n");
    EXPECT_EQ(std::make_tuple(GetMessage("TQ30"), GetMessage("TQ07"), GetMessage("TQ08")),
              std::make_tuple(QString("di"), QString("TQ07"), QString("TQ08")));
    // A file an older editor saved in Windows-1252 reads as such; UTF-8 stays UTF-8.
    Write("Uno.lng", "[Strings]\nTQ30=\"Citt\xe0 \x80 \x93\"\nTQ07=\"\x81\"\n");
    EXPECT_EQ(std::make_tuple(GetMessage("TQ30"), GetMessage("TQ07")),
              std::make_tuple(QString::fromUtf8("Città € “"), QString::fromUtf8("\xc2\x81")));
    Write("Uno.lng", "\xef\xbb\xbf[Strings]\nTQ30=\"Citt\xc3\xa0\"\n");
    EXPECT_EQ(GetMessage("TQ30"), QString::fromUtf8("Città"));
    // The language stays until the next switch; an edited file is seen at once.
    Settings("Due");
    Write("Uno.lng", "[Strings]\nTQ30=\"su\"\n");
    EXPECT_EQ(GetMessage("TQ30"), "su");
    CambiaLinguaModulo(dir.path() + "/");
    EXPECT_EQ(std::make_tuple(GetMessage("TQ30"), LanguageFilePath()),
              std::make_tuple(QString("of"), dir.path() + "/Due.lng"));
    ResetLanguageModule();
    EXPECT_EQ(std::make_tuple(LanguageFolder(), CurrentLanguage()),
              std::make_tuple(QString(), QString()));
}

TEST_F(Lingua, ShippedFilesDefineTheSameKeysAsValidQuotedUtf8) {
    const QString shipped = SourceDir() + "/lang";
    CambiaLinguaModulo(shipped);
    EXPECT_EQ(std::make_tuple(CurrentLanguage(), GetMessage("TQ30")),
              std::make_tuple(QString("Italiano"), QString("di")));
    static const QRegularExpression entry("^(TQ\\d\\d)=\"(.*)\"$");
    QList<QMap<QString, bool>> keySets;
    for (const char* language : {"Italiano", "English"}) {
        QFile file(shipped + "/" + language + ".lng");
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString text = utf8(file.readAll());
        ASSERT_FALSE(utf8.hasError()) << language;
        QMap<QString, bool> keys;
        for (const QString& line : text.split('\n').filter(QRegularExpression("^TQ"))) {
            const auto m = entry.match(line);
            ASSERT_TRUE(m.hasMatch()) << line.toStdString();
            ASSERT_FALSE(m.captured(2).trimmed().isEmpty()) << line.toStdString();
            EXPECT_FALSE(std::exchange(keys[m.captured(1)], true))
                << "twice: " << line.toStdString();
        }
        keySets << keys;
    }
    EXPECT_EQ(keySets[0], keySets[1]);
    // Every message key the code asks for is there.
    static const QRegularExpression used("\"(TQ\\d\\d)\"");
    QDirIterator sources(SourceDir() + "/src", {"*.cpp", "*.h"}, QDir::Files,
                         QDirIterator::Subdirectories);
    int asked = 0;
    while (sources.hasNext()) {
        QFile f(sources.next());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        for (const auto& m : used.globalMatch(QString::fromUtf8(f.readAll()))) {
            ++asked;
            EXPECT_TRUE(keySets[0].contains(m.captured(1))) << m.captured(1).toStdString();
        }
    }
    EXPECT_GT(asked, 40);
}

TEST_F(Lingua, TheProfileReaderMatchesNamesWithoutCaseTrimsAndUnquotes) {
    const QString file = Write("a.ini", "\xEF\xBB\xBF[Other]\nKey=other section\n  [ strings ]  \n"
                                        "; Key=commented out\n   Key   =   spaced value   \r\n"
                                        "Key=second occurrence\nBare\nDouble=\"  padded  \"\n"
                                        "Twice=\"\"inner\"\"\nSingle='apostrophe'\nMixed=\"open'\n"
                                        "Long=\"" +
                                            QByteArray(600, 'a') + "\"\n[Strings]\nLate=again\n");
    const std::pair<const char*, const char*> cases[] = {
        {"kEY", "spaced value"},  {"Bare", ""},           {"Late", ""},
        {"Double", "  padded  "}, {"Twice", "\"inner\""}, {"Single", "apostrophe"},
        {"Mixed", "\"open'"}};
    for (const auto& [key, value] : cases)
        EXPECT_EQ(GetIniValue(file, "STRINGS", key), QLatin1String(value)) << key;
    EXPECT_EQ(GetIniValue(file, "Strings", "Long"), QString(511, 'a'));
    EXPECT_EQ(GetIniValue(file, "other", "key"), "other section");
    EXPECT_EQ(RaisedBy([&] { GetIniValue(dir.filePath("absent.ini"), "S", "K"); }).number,
              Err::FileNotFound);

    // Above 64000 bytes a file is scanned for the first line that starts with the key.
    const QByteArray body = "[Other]\ntq01=\"lower case key\"\nTQ01=\"first match\"\n[Strings]\n"
                            "TQ01=\"right section\"\nTQ02=abc\nTQ03=\"half quoted\nTQ05\n"
                            "  TQ06=\"indented\"\nTQ07=\"perché\"\r\n";
    EXPECT_EQ(GetIniValue(Write("edge.lng", body, 64000), "Strings", "TQ01"), "right section");
    const QString big = Write("big.lng", body, 64001);
    const std::pair<const char*, const char*> scanned[] = {
        {"TQ01", "first match"}, {"TQ03", "\"half quoted"}, {"TQ05", ""}, {"TQ06", ""},
        {"TQ07", "perché"},
    };
    for (const auto& [key, value] : scanned)
        EXPECT_EQ(GetIniValue(big, "Strings", key), QString::fromUtf8(value)) << key;
}

} // namespace
} // namespace tessaro::test
