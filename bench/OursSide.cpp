#include "BenchData.h"
#include "BenchSides.h"

#include "engine/clsADONavigator.h"
#include "language/modLanguageSupport.h"
#include "platform/MessageBox.h"
#include "platform/QtHostForm.h"

#include <QLineEdit>
#include <QWidget>
#include <vector>

namespace bench {

namespace {

using namespace tessaro;

class OursSide : public Side {
public:
    explicit OursSide(const Config& c) : mConfig(c), mScope(&mBoxes) {
        // Messages are looked up in the language files, as in an application.
        CambiaLinguaModulo(QStringLiteral(TESSARO_SOURCE_DIR "/lang"));
        mConnection.Open(c.connectionString);
        mForm.setObjectName(QStringLiteral("frmClienti"));
        for (const QString& column : FormColumns()) {
            auto* e = new QLineEdit(&mForm);
            e->setObjectName(QStringLiteral("txt") + column);
            e->setProperty("Tag", QStringLiteral("#") + column);
            mEdits.push_back(e);
        }
    }

    void Open() override {
        mNav = std::make_unique<clsADONavigator>();
        mNav->TipoDatabase = mConfig.tipoDatabase;
        const bool ok = mNav->Init_Class(&mConnection, kTable, FormOf(&mForm), kSort, {},
                                         QStringLiteral("#"), QString());
        NoBoxes("Init_Class");
        if (!ok)
            Abort(QStringLiteral("Init_Class failed"));
    }
    void Close() override { mNav.reset(); }
    void Next() override {
        mNav->MoveNext();
        NoBoxes("MoveNext");
    }
    void Previous() override {
        mNav->MovePrevious();
        NoBoxes("MovePrevious");
    }
    void MoveTo(qint64 key) override {
        mNav->MoveTo(QString::number(key));
        NoBoxes("MoveTo");
    }
    void Move(qint64 position) override {
        mNav->Move(static_cast<long>(position));
        NoBoxes("Move");
    }
    qint64 ShownKey() const override { return mEdits.front()->text().toLongLong(); }
    qint64 Position() const override { return mNav->AbsolutePosition().toLongLong(); }
    qint64 Count() const override { return mNav->RecordCount().toLongLong(); }
    double KeyListBytes() const override {
        const Recordset& rs = *mNav->TheData;
        double bytes = 0;
        for (int i = 0; i < rs.ColumnCount(); ++i) {
            const RecordsetColumn& c = rs.Column(i);
            bytes += static_cast<double>(c.integers.capacity() * sizeof(qint64) +
                                         c.variants.capacity() * sizeof(QVariant));
        }
        return bytes;
    }

private:
    // Any box is a failure of the run: nothing here should ask or complain.
    void NoBoxes(const char* operation) {
        if (mBoxes.Shown().empty())
            return;
        const auto& b = mBoxes.Shown().front();
        Abort(QStringLiteral("%1 showed a message box: \"%2\" (%3)")
                  .arg(QLatin1String(operation), b.text, b.title));
    }

    Config mConfig;
    ScriptedMessageBoxes mBoxes;
    ScopedMessageBoxService mScope;
    Connection mConnection;
    QWidget mForm;
    std::vector<QLineEdit*> mEdits;
    std::unique_ptr<clsADONavigator> mNav;
};

} // namespace

std::unique_ptr<Side> MakeOurs(const Config& c) {
    return std::make_unique<OursSide>(c);
}

} // namespace bench
