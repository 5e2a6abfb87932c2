#include "BenchData.h"
#include "BenchSides.h"

#include "engine/StatementSorgente.h"
#include "engine/clsADONavigator.h"
#include "host/MessageBox.h"
#include "host/QtHostForm.h"
#include "language/modLanguageSupport.h"

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
    // The figures once the count in flight, if any, is back: what a user sees
    // a moment after the step, which itself never waits for them.
    qint64 Position() const override {
        mNav->AttendiConteggio();
        return mNav->AbsolutePosition().toLongLong();
    }
    qint64 Count() const override {
        mNav->AttendiConteggio();
        return mNav->RecordCount().toLongLong();
    }

    // The parts of a step, each alone on the record now shown.
    Results StepParts() override {
        const Sampling s{20, 300, 2};
        Results r;
        r["part_probe_us"] = Median(Sample(s, [&](int) {
            Recordset probe;
            probe.Open(QStringLiteral("SELECT 1;"), &mConnection, adOpenKeyset, adLockReadOnly);
        }));
        r["part_signal_us"] = Median(Sample(s, [&](int) { (void)mConnection.Signal({kTable}); }));
        // The first records after different anchors, as steps read them.
        const StatementSorgente statement(
            {kTable, kSort, {kKey}, DbType::WChar, {DbType::Integer}, {}, {}, {}},
            Dialetto::Per(mConfig.tipoDatabase));
        r["part_seek_us"] = Median(Sample(s, [&](int i) {
            const qint64 key = 1 + (static_cast<qint64>(i) * 7919) % mConfig.rows;
            const Interrogazione q =
                statement.Vicini(Verso::Avanti, {key, {}, Ancora::Forma::InTabella}).front();
            Recordset rs;
            rs.Open(q.testo, q.valori, &mConnection);
        }));
        // A different record each time, as a step reads.
        r["part_record_us"] = Median(Sample(s, [&](int i) {
            const qint64 key = 1 + (static_cast<qint64>(i) * 7919) % mConfig.rows;
            Recordset rs;
            rs.Open(mNav->StatementRecord(QVariant(key)), &mConnection, adOpenStatic,
                    adLockReadOnly, adCmdText);
        }));
        r["part_show_us"] = Median(Sample(s, [&](int) { mNav->ShowCurrentRecord(); }));
        // The floor any form pays: new texts into the five line edits.
        r["part_settext_us"] = Median(Sample(s, [&](int i) {
            for (QLineEdit* e : mEdits)
                e->setText(QString::number(i) + e->objectName());
        }));
        // What a change by others costs, off the user-interface thread.
        r["part_count_us"] = Median(Sample({3, 10, 2}, [&](int) {
            Recordset count;
            count.Open(statement.Totale().testo, &mConnection);
        }));
        NoBoxes("the parts of a step");
        return r;
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
