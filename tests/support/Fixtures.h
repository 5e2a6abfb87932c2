#pragma once

#include "data/Database.h"
#include "host/MessageBox.h"

#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

// Readable texts in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace tessaro::test {

// Installs scripted message boxes for one test; a box that the test did not
// expect (no answer queued) fails the test with its text and title.
class BoxesTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Texts of the boxes shown so far, for assertions.
    QStringList BoxTexts() const;
    // Expects the box shown at index to have this text, style and title.
    void ExpectBox(std::size_t index, const QString& text, int style, const QString& title);

    ScriptedMessageBoxes boxes;

private:
    std::unique_ptr<ScopedMessageBoxService> mScope;
};

// A fresh SQLite file in a temporary folder, created from a script.
class SqliteFile {
public:
    explicit SqliteFile(const QString& script = QString());
    QString Path() const { return mPath; }
    QString ConnectionString() const;
    // Runs statements separated by ";" on a connection of its own.
    void Exec(const QString& script) const;
    std::unique_ptr<Connection> Open() const;
    QString Folder() const { return mDir.path(); }

private:
    QTemporaryDir mDir;
    QString mPath;
};

// A test with scripted boxes and a SQLite file.
class SqliteTest : public BoxesTest {
protected:
    void SetUp() override;
    std::unique_ptr<SqliteFile> db;
    std::unique_ptr<Connection> conn;
    void UseScript(const QString& script);
};

QString SourceDir();

// The rows of a query as text, cells joined with "|", Null as "<null>".
QStringList RowsAsText(Connection* c, const QString& sql);

} // namespace tessaro::test
