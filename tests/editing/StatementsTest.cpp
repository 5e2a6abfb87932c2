// The texts that save a record, per database kind, without a database.

#include "editing/Salvataggio.h"
#include "support/FormFixtures.h"

namespace tessaro::test {
namespace {

TEST(Literals, EachKindWritesItsOwnDatesAndEscapesItsTexts) {
    const QDateTime mattino(QDate(2024, 3, 5), QTime(9, 7, 3));
    const QDateTime mezzanotte(QDate(2024, 3, 5), QTime(0, 0, 0));
    const QDateTime secondo(QDate(2024, 3, 5), QTime(0, 0, 1));
    const QDateTime gennaio(QDate(2025, 1, 9), QTime(1, 2, 3));
    const std::tuple<int, QDateTime, const char*> dates[] = {
        {0, mattino, "#03/05/2024 09.07.03#"}, {0, mezzanotte, "#03/05/2024#"},
        {0, secondo, "#03/05/2024 00.00.01#"}, {1, gennaio, "'20250109 01:02:03:000'"},
        {2, mezzanotte, "'2024-3-5 0:0:0'"},   {4, mezzanotte, "'2024-03-05'"},
        {4, gennaio, "'2025-01-09 01:02:03'"}, {3, mattino, ""}};
    clsADONavigator nav;
    for (const auto& [kind, date, literal] : dates) {
        nav.TipoDatabase = kind;
        EXPECT_EQ(NavigatorTestAccess::DataSql(nav, date), literal) << kind;
    }
    EXPECT_EQ(NavigatorTestAccess::DataSqlServer(nav, gennaio) + nav.FormatDateForMySql(gennaio),
              "'20250109 01:02:03:000''2025-1-9 1:2:3'");
    const std::tuple<int, const char*, const char*> texts[] = {
        {0, "O'Brien", "O''Brien"},    {4, "''", "''''"},           {1, "", ""},
        {2, "C:\\dati", "C:\\\\dati"}, {0, "C:\\dati", "C:\\dati"}, {4, "C:\\dati", "C:\\dati"},
        {2, "a\\'b", "a\\\\''b"},      {3, "a\\'b", "a\\''b"}};
    for (const auto& [kind, text, escaped] : texts) {
        nav.TipoDatabase = kind;
        EXPECT_EQ(NavigatorTestAccess::TestoSql(nav, text), escaped) << kind << " " << text;
    }
}

ColonnaServita Testo(const QString& nome, short tipo, const QString& testo, bool chiave = false,
                     long lunghezza = 0) {
    ColonnaServita c;
    c.nome = nome;
    c.tipo = tipo;
    c.lunghezzaMassima = lunghezza;
    c.chiavePrimaria = chiave;
    c.fonte = FonteValore::Testo;
    c.testo = testo;
    c.tag = QLatin1Char('#') + nome;
    return c;
}

ColonnaServita Altro(const QString& nome, short tipo, FonteValore fonte,
                     const QString& testo = {}) {
    ColonnaServita c = Testo(nome, tipo, testo);
    c.fonte = fonte;
    c.spuntata = testo == QLatin1String("v");
    return c;
}

// The INSERT of a new record.
TestiSalvataggio Componi(int kind, const std::vector<ColonnaServita>& colonne) {
    return ComponiSalvataggio("T", colonne, {"a", 3, 1}, Dialetto::Per(kind),
                              ModoSalvataggio::Inserimento);
}

// The UPDATE of the record loaded with that key, of the columns marked changed.
TestiSalvataggio Aggiorna(int kind, std::vector<ColonnaServita> colonne,
                          const ChiaveRecord& chiave = {"a", 3, 1},
                          const QStringList& invariate = {}) {
    for (auto& c : colonne)
        c.cambiata = !invariate.contains(c.nome);
    return ComponiSalvataggio("T", colonne, chiave, Dialetto::Per(kind), ModoSalvataggio::Modifica);
}

TEST(Composition, AnInsertWritesEveryColumnAnUpdateOnlyTheChangedOnes) {
    const std::vector<ColonnaServita> colonne = {Testo("a", 3, "2", true), Testo("b", 130, "x"),
                                                 Testo("c", 130, ""), Testo("d", 5, "  ")};
    for (int kind : {0, 1, 2, 4}) {
        EXPECT_EQ(Componi(kind, colonne).statement,
                  "Insert Into T (a,b,c,d) Values (2,'x',Null,Null);")
            << kind;
        // The row is the one loaded, whatever the key box says now.
        EXPECT_EQ(Aggiorna(kind, colonne, {"a", 3, 1}, {"c", "d"}).statement,
                  "UPDATE T SET a=2,b='x' WHERE (a = 1);")
            << kind;
        const auto nulla = Aggiorna(kind, colonne, {"a", 3, 1}, {"a", "b", "c", "d"});
        EXPECT_EQ(nulla.statement + nulla.testoChiave, "2") << "nothing changed, nothing written";
    }
    EXPECT_EQ(Dialetto::Per(0).TestaDelete("K") + Dialetto::Per(2).TestaDelete("K") +
                  Dialetto::Per(1).TestaDelete("K") + Dialetto::Per(4).TestaDelete("K"),
              "DELETE K.* FROM K WHERE DELETE K.* FROM K WHERE DELETE FROM K WHERE "
              "DELETE FROM K WHERE ");
    // An unchanged column is not checked either: a legacy value never blocks a save.
    EXPECT_FALSE(
        Aggiorna(4, {Testo("b", 130, "x"), Testo("e", 3, "legacy")}, {"a", 3, 1}, {"e"}).messaggio);
    for (short tipo : {2, 3, 16, 20, 21}) {
        const auto big =
            Aggiorna(0, {Testo("k", tipo, "9000000000", true)}, {"k", tipo, 9000000000LL});
        EXPECT_EQ(big.statement, "UPDATE T SET k=9000000000 WHERE (k = 9000000000);") << tipo;
    }
    const auto car = Aggiorna(2, {Testo("k", 130, "O'B\\", true)}, {"k", 130, "O'B\\"});
    EXPECT_EQ(car.statement, "UPDATE T SET k='O''B\\\\' WHERE (k = 'O''B\\\\');");
    // Every key type finds its row: by value for numbers, by text for the rest,
    // by the date literal where the kind has nothing else.
    const std::tuple<int, short, QVariant, const char*> chiavi[] = {
        {4, 5, 1.5, "k = 1.5"},
        {2, 131, "12.50", "k = 12.50"},
        {2, 135, QDateTime(QDate(2024, 3, 5), QTime(9, 7, 3)), "k = '2024-03-05 09:07:03'"},
        {0, 135, QDateTime(QDate(2024, 3, 5), QTime(9, 7, 3)), "k = #03/05/2024 09.07.03#"},
        {0, 7, "2024-03-05", "k = #03/05/2024#"}};
    for (const auto& [kind, tipo, valore, condizione] : chiavi)
        EXPECT_EQ(Aggiorna(kind, {Testo("b", 130, "x")}, {"k", tipo, valore}).statement,
                  "UPDATE T SET b='x' WHERE (" + QString::fromLatin1(condizione) + ");")
            << condizione;
    EXPECT_EQ(RaisedBy([] {
                  Aggiorna(0, {Testo("b", 130, "x")}, {"k", 7, "ieri"});
              }).number,
              Err::InvalidCall);
}

TEST(Composition, ValuesByGroupAndNamesByDialect) {
    ColonnaServita decimale = Testo("m", 131, "-2,25");
    decimale.precisione = 5;
    decimale.scala = 2;
    const auto t = Componi(
        0, {Testo("a", 3, "1", true), Testo("s", 5, "3,5"), decimale, Testo("d", 7, " 2024-03-05 "),
            Testo("dt", 135, "2024-03-05 09:07:03"), Testo("o", 134, "9:07"),
            Altro("v", 11, FonteValore::Spunta, "v"), Altro("f", 11, FonteValore::Spunta),
            Testo("b", 11, "-1"), Altro("c", 3, FonteValore::ChiaveCombo, "42"),
            Altro("s2", 130, FonteValore::ChiaveCombo, "X'1"),
            Altro("r", 5, FonteValore::ChiaveCombo, "2.5"), Altro("n", 3, FonteValore::Nullo)});
    ASSERT_FALSE(t.messaggio);
    EXPECT_EQ(t.statement, "Insert Into T (a,s,m,d,dt,o,v,f,b,c,s2,r,n) Values (1,3.5,-2.25,"
                           "#03/05/2024#,#03/05/2024 09.07.03#,#09:07:00#,-1,0,-1,42,'X''1',2.5,"
                           "Null);");
    EXPECT_EQ(
        Componi(4, {Altro("v", 11, FonteValore::Spunta, "v"), Testo("d", 7, "2024-03-05"),
                    Testo("dt", 135, "0024-05-05 09:07:03.25"), Testo("o", 134, "23:59:59.5")})
            .statement,
        "Insert Into T (v,d,dt,o) Values (1,'2024-03-05','0024-05-05 09:07:03.250',"
        "'23:59:59.500');");
    EXPECT_EQ(Componi(2, {Testo("dt", 135, "0024-05-05 09:07:03.25")}).statement,
              "Insert Into T (dt) Values ('0024-5-5 9:7:3.250');");
    EXPECT_EQ(Componi(3, {Testo("d", 7, "2024-03-05")}).statement, "Insert Into T (d) Values ();");
    EXPECT_THROW(Componi(4, {Altro("c", 3, FonteValore::ChiaveCombo, "1;DROP")}), TessaroError);

    // Note and Password are bracketed after a comma where the dialect says so,
    // never inside a value.
    const std::vector<ColonnaServita> riservati = {
        Testo("Id", 3, "1", true), Testo("Note", 130, ",Note,"), Testo("Password", 130, "p")};
    EXPECT_EQ(Componi(1, riservati).statement + Componi(2, riservati).statement,
              "Insert Into T (Id,[Note],[Password]) Values (1,',Note,','p');"
              "Insert Into T (Id,Note,Password) Values (1,',Note,','p');");
    EXPECT_EQ(Aggiorna(0, riservati, {"Id", 3, 1}, {"Id"}).statement,
              "UPDATE T SET Note=',Note,',[Password]='p' WHERE (Id = 1);");
}

TEST(Composition, WhatTheColumnCannotHoldStopsTheSaveWithItsMessage) {
    const auto message = [](ColonnaServita c) {
        c.precisione = c.tipo == 131 ? 5 : 0;
        c.scala = c.tipo == 131 ? 2 : 0;
        const auto t = Componi(4, {Testo("a", 3, "1", true), c});
        EXPECT_TRUE(!t.messaggio || t.statement.isEmpty());
        return t.messaggio ? t.messaggio->testo + "/" + QString::number(t.messaggio->stile) + "/" +
                                 t.messaggio->titolo
                           : QString();
    };
    const QString numero = "TQ16 #%1\rTQ19/48/TQ02";
    const std::pair<ColonnaServita, QString> cases[] = {
        {Testo("b", 130, "abcde", false, 5), ""},
        {Testo("b", 130, QString::fromUtf8("\xF0\x9D\x84\x9E\xF0\x9D\x84\x9E"), false, 2), ""},
        {Testo("b", 130, "abcd  ", false, 5), "TQ16 #b\rTQ17 5 TQ18/48/TQ02"},
        {Testo("a", 3, " ", true), "TQ49 #a/48/TQ02"},
        {Testo("e", 3, "-7"), ""},
        {Testo("e", 21, "18446744073709551615"), ""},
        {Testo("e", 21, "-1"), numero.arg("e")},
        {Testo("s", 5, ".5"), ""},
        {Testo("s", 5, "1e-400"), numero.arg("s")},
        {Testo("m", 131, "999.99"), ""},
        {Testo("m", 131, "1000"), numero.arg("m")},
        {Testo("m", 131, "1.50000"), ""},
        {Testo("m", 131, "1e2"), ""},
        {Testo("v", 11, "1"), ""},
        {Testo("v", 11, "1,5"), numero.arg("v")},
        {Testo("v", 11, "2"), numero.arg("v")},
        {Testo("d", 135, "2024-02-30"), "TQ23 #d/16/TQ02"},
        {Testo("d", 135, "2024-02-03 10:00:00.1234"), "TQ23 #d/16/TQ02"},
        {Testo("o", 134, "24:00"), "TQ50 #o/48/TQ02"},
        {Altro("IdComune", 3, FonteValore::VoceSconosciuta), "TQ42/48/TQ02"}};
    for (const auto& [c, text] : cases)
        EXPECT_EQ(message(c), text)
            << c.nome.toStdString() << " " << c.testo.left(20).toStdString();
    for (const char* bad : {"3,5", "1.0", "1e3", "12abc", "1;DROP TABLE T", "0x10", "1 000"})
        EXPECT_EQ(message(Testo("e", 3, bad)), numero.arg("e")) << bad;
    for (const char* bad : {"3,5,1", "1.2.3", "abc", "1--", "$5", "1e309", "inf", "nan"})
        EXPECT_EQ(message(Testo("s", 5, bad)), numero.arg("s")) << bad;
    const auto first = Componi(4, {Testo("a", 3, "x", true), Testo("b", 130, "toolong", false, 2)});
    EXPECT_EQ(first.messaggio->testo, "TQ16 #a\rTQ19");
}

} // namespace
} // namespace tessaro::test
