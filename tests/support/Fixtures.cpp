#include "support/Fixtures.h"

#include "data/Values.h"

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

void BoxesTest::ExpectBox(std::size_t index, const QString& text, int style, const QString& title) {
    ASSERT_LT(index, boxes.Shown().size());
    const auto& b = boxes.Shown()[index];
    EXPECT_EQ(b.text, text);
    EXPECT_EQ(b.style, style);
    EXPECT_EQ(b.title, title);
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

QStringList RowsAsText(Connection* c, const QString& sql) {
    Recordset rs;
    rs.Open(sql, c, adOpenStatic, adLockReadOnly, adCmdText);
    QStringList out;
    for (; !rs.Eof(); rs.MoveNext()) {
        QStringList row;
        for (int i = 0; i < rs.Fields().Count(); ++i) {
            const QVariant v = rs.Fields().Item(i).Value();
            row << (v.isNull() ? QStringLiteral("<null>") : ValueToText(v));
        }
        out << row.join(QLatin1Char('|'));
    }
    return out;
}

} // namespace tessaro::test
