#pragma once

#include "engine/clsADONavigator.h"
#include "language/modLanguageSupport.h"
#include "platform/QtHostForm.h"
#include "support/Fixtures.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QStringList>
#include <QWidget>
#include <memory>

namespace tessaro {

// Reaches the navigator's internal walks and fills.
class NavigatorTestAccess {
public:
    static void Abilita(clsADONavigator& n, HostObject* c) { n.AbilitaInserimento(c); }
    static void Disabilita(clsADONavigator& n, HostObject* c) { n.DisabilitaInserimento(c); }
    static void Pulisci(clsADONavigator& n, HostObject* c) { n.PulisciControlli(c); }
    static void FillWith(clsADONavigator& n, ComboBox& combo, Recordset& rs, const QString& campo,
                         long indice) {
        n.FillComboWhitRecordset(combo, rs, campo, indice);
    }
};

namespace test {

inline const QString kSep = QString(QChar(0x00B8));

// The binding text parts joined with the separator, after the prefix "#".
inline QString Tag(const QStringList& parti) {
    return QStringLiteral("#") + parti.join(kSep);
}

class EventNames : public NavigatorEvents {
public:
    void OnCurrent() override { names << QStringLiteral("OnCurrent"); }
    void AfterCurrent() override { names << QStringLiteral("AfterCurrent"); }
    QStringList names;
};

// A form of real widgets over a real SQLite file.
class BindingTest : public SqliteTest {
protected:
    void SetUp() override {
        SqliteTest::SetUp();
        ResetLanguageModule();
        form = std::make_unique<QWidget>();
        form->setObjectName("frmTest");
        form->resize(400, 300);
        nav.SetEventSink(&events);
    }

    QLineEdit* AddText(const QString& name, const QString& tag, QWidget* parent = nullptr) {
        auto* e = new QLineEdit(parent ? parent : form.get());
        e->setObjectName(name);
        e->setProperty("Tag", tag);
        return e;
    }
    QCheckBox* AddCheck(const QString& name, const QString& tag, QWidget* parent = nullptr) {
        auto* c = new QCheckBox(parent ? parent : form.get());
        c->setObjectName(name);
        c->setProperty("Tag", tag);
        return c;
    }
    QComboBox* AddCombo(const QString& name, const QString& tag,
                        const QString& dataField = QString(), QWidget* parent = nullptr) {
        auto* c = new QComboBox(parent ? parent : form.get());
        c->setObjectName(name);
        c->setProperty("Tag", tag);
        if (!dataField.isEmpty())
            c->setProperty("DataField", dataField);
        return c;
    }
    QGroupBox* AddFrame(const QString& name, QWidget* parent = nullptr) {
        auto* g = new QGroupBox(parent ? parent : form.get());
        g->setObjectName(name);
        return g;
    }

    bool Init(const QString& table, const QString& order, HostObject* container = nullptr,
              std::vector<QString> links = {}, const QString& condizione = QString()) {
        nav.TipoDatabase = 4;
        return nav.Init_Class(conn.get(), table, container ? container : FormOf(form.get()), order,
                              links, QStringLiteral("#"), condizione);
    }

    static ComboBox& Combo(QComboBox* c) { return AsComboBox(*ControlOf(c)); }
    static QStringList Items(QComboBox* c) {
        QStringList out;
        for (int i = 0; i < c->count(); ++i)
            out << c->itemText(i);
        return out;
    }
    const ChiaviCombo* Keys(const QString& comboName) const {
        for (const auto& v : nav.ArrayChiaviPrimarieCombo())
            if (v.Name == comboName)
                return &v;
        return nullptr;
    }
    // The keys of a combo without the spare slot at the end.
    QStringList KeyList(const QString& comboName) const {
        QStringList out;
        const ChiaviCombo* v = Keys(comboName);
        if (!v)
            return out;
        for (std::size_t i = 0; i + 1 < v->Chiavi.size(); ++i)
            out << v->Chiavi[i];
        return out;
    }

    // The failure box text of an operation.
    static QString Failure(const char* label, int number, const QString& description) {
        return QString::fromLatin1(label) + QString::number(number) + QLatin1Char(' ') +
               description;
    }
    static QString Tq(const char* key) { return GetMessage(QString::fromLatin1(key)); }

    void ExpectBox(std::size_t index, const QString& text, int style, const QString& title) {
        ASSERT_LT(index, boxes.Shown().size());
        const auto& b = boxes.Shown()[index];
        EXPECT_EQ(b.text, text);
        EXPECT_EQ(b.style, style);
        EXPECT_EQ(b.title, title);
    }

    std::unique_ptr<QWidget> form;
    EventNames events;
    clsADONavigator nav;
};

} // namespace test
} // namespace tessaro
