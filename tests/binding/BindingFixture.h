#pragma once

#include "engine/clsADONavigator.h"
#include "host/QtHostForm.h"
#include "language/modLanguageSupport.h"
#include "support/Fixtures.h"
#include "support/FormFixtures.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QStringList>
#include <QWidget>
#include <memory>

namespace tessaro::test {

// A form of real widgets over a real SQLite file.
class BindingTest : public SqliteTest, public TaggedForm {
protected:
    void SetUp() override {
        SqliteTest::SetUp();
        ResetLanguageModule();
        form->setObjectName("frmTest");
        form->resize(400, 300);
        nav.SetEventSink(&events);
    }
    void TearDown() override {
        nav.SetEventSink(nullptr);
        SqliteTest::TearDown();
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
    // The keys of a combo.
    QStringList KeyList(const QString& comboName) const {
        QStringList out;
        if (const ChiaviCombo* v = Keys(comboName))
            for (const QString& k : v->Chiavi)
                out << k;
        return out;
    }

    // The failure box text of an operation.
    static QString Failure(const char* label, int number, const QString& description) {
        return QString::fromLatin1(label) + QString::number(number) + QLatin1Char(' ') +
               description;
    }
    static QString Tq(const char* key) { return GetMessage(QString::fromLatin1(key)); }

    clsADONavigator nav;
    EventLog events{nav};
};

} // namespace tessaro::test
