#include "support/Fixtures.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace tessaro::test {

void BoxesTest::SetUp() {
    mScope = std::make_unique<ScopedMessageBoxService>(&boxes);
}

void BoxesTest::TearDown() {
    for (const auto& b : boxes.Unexpected())
        ADD_FAILURE() << "unexpected message box, title \"" << b.title.toStdString() << "\", style "
                      << b.style << ": " << b.text.toStdString();
    EXPECT_EQ(boxes.PendingAnswers(), 0u) << "boxes expected but never shown";
    mScope.reset();
}

QStringList BoxesTest::BoxTexts() const {
    QStringList out;
    for (const auto& b : boxes.Shown())
        out << b.text;
    return out;
}

SqliteFile::SqliteFile(const QString& script) {
    mPath = mDir.filePath(QStringLiteral("test.db"));
    if (!script.isEmpty())
        Exec(script);
}

QString SqliteFile::ConnectionString() const {
    return QStringLiteral("Provider=SQLite;Data Source=") + mPath;
}

void SqliteFile::Exec(const QString& script) const {
    const QString name = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(mPath);
        if (!db.open())
            throw std::runtime_error(db.lastError().text().toStdString());
        QSqlQuery q(db);
        for (const QString& raw : script.split(QLatin1Char(';'))) {
            const QString stmt = raw.trimmed();
            if (stmt.isEmpty())
                continue;
            if (!q.exec(stmt))
                throw std::runtime_error(
                    (stmt + QStringLiteral(": ") + q.lastError().text()).toStdString());
        }
    }
    QSqlDatabase::removeDatabase(name);
}

std::unique_ptr<Connection> SqliteFile::Open() const {
    auto c = std::make_unique<Connection>();
    c->Open(ConnectionString());
    return c;
}

void SqliteTest::SetUp() {
    BoxesTest::SetUp();
    db = std::make_unique<SqliteFile>();
}

void SqliteTest::UseScript(const QString& script) {
    db->Exec(script);
    conn = db->Open();
}

QString SourceDir() {
    return QStringLiteral(TESSARO_SOURCE_DIR);
}

} // namespace tessaro::test
