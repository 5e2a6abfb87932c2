#include "EditingFixture.h"

#include <gtest/gtest.h>

namespace tessaro::test {

namespace {

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

ColonnaServita Spunta(const QString& nome, bool spuntata) {
    ColonnaServita c;
    c.nome = nome;
    c.tipo = 11;
    c.fonte = FonteValore::Spunta;
    c.spuntata = spuntata;
    c.tag = nome;
    return c;
}

ColonnaServita Combo(const QString& nome, short tipo, FonteValore fonte, const QString& chiave) {
    ColonnaServita c;
    c.nome = nome;
    c.tipo = tipo;
    c.fonte = fonte;
    c.testo = chiave;
    c.tag = QLatin1Char('#') + nome + kSep + kSep + QStringLiteral("Descrizione");
    return c;
}

TestiSalvataggio Componi(int kind, const std::vector<ColonnaServita>& colonne,
                         const ChiaveRecord& chiave = {"a", 3, 1}) {
    return ComponiSalvataggio("T", colonne, chiave, Dialetto::Per(kind));
}

std::optional<MessaggioSalvataggio> Messaggio(const ColonnaServita& c) {
    return Componi(4, {Testo("a", 3, "1", true), c}).messaggio;
}

} // namespace

// T(a integer key, b text, c not shown): c is left out of both statements.
TEST(Composizione, TheExampleTableForEveryKind) {
    for (int kind : {0, 1, 2, 4}) {
        const auto t = Componi(kind, {Testo("a", 3, "1", true), Testo("b", 130, "x")});
        ASSERT_FALSE(t.messaggio) << kind;
        EXPECT_EQ(t.insert, "Insert Into T (a,b) Values (1,'x');") << kind;
        EXPECT_EQ(t.update, "UPDATE T SET a=1,b='x' WHERE (a = 1);") << kind;
        EXPECT_EQ(t.testoChiave, "1") << kind;
    }
}

TEST(Composizione, AnEmptiedBoxWritesNullAndKeepsItsColumn) {
    const auto t = Componi(4, {Testo("a", 3, "1", true), Testo("b", 130, "  "), Testo("d", 5, "")});
    EXPECT_EQ(t.insert, "Insert Into T (a,b,d) Values (1,Null,Null);");
    EXPECT_EQ(t.update, "UPDATE T SET a=1,b=Null,d=Null WHERE (a = 1);");
}

TEST(Composizione, TheUpdateFindsTheLoadedRowNotTheTypedKey) {
    const auto t = Componi(4, {Testo("a", 3, "2", true), Testo("b", 130, "x")}, {"a", 3, 1});
    EXPECT_EQ(t.update, "UPDATE T SET a=2,b='x' WHERE (a = 1);");
    EXPECT_EQ(t.testoChiave, "2");
    // The key is found even when no control shows it.
    const auto senza = Componi(4, {Testo("b", 130, "x")}, {"a", 3, 7});
    EXPECT_EQ(senza.update, "UPDATE T SET b='x' WHERE (a = 7);");
    EXPECT_EQ(senza.insert, "Insert Into T (b) Values ('x');");
    EXPECT_EQ(senza.testoChiave, "");
}

TEST(Composizione, KeyConditionsForEveryIntegerTypeAndForCharacterKeys) {
    for (short tipo : {2, 3, 16, 17, 18, 19, 20, 21}) {
        const auto t =
            Componi(0, {Testo("k", tipo, "9000000000", true)}, {"k", tipo, 9000000000LL});
        EXPECT_EQ(t.update, "UPDATE T SET k=9000000000 WHERE (k = 9000000000);") << tipo;
    }
    const auto car = Componi(2, {Testo("k", 130, "O'B\\", true)}, {"k", 130, "O'B\\"});
    EXPECT_EQ(car.update, "UPDATE T SET k='O''B\\\\' WHERE (k = 'O''B\\\\');");
    EXPECT_EQ(car.testoChiave, "O'B\\");
    // A key of another type gives no condition: the statement cannot run.
    const auto altro = Componi(0, {Testo("k", 5, "1.5", true)}, {"k", 5, 1.5});
    EXPECT_EQ(altro.update, "UPDATE T SET k=1.5 WHERE ();");
}

TEST(Composizione, NoteAndPasswordAreBracketedAfterACommaWhereTheDialectSaysSo) {
    const std::vector<ColonnaServita> colonne = {Testo("Id", 3, "1", true), Testo("Note", 130, "n"),
                                                 Testo("Password", 130, "p")};
    for (int kind : {0, 1}) {
        const auto t = Componi(kind, colonne, {"Id", 3, 1});
        EXPECT_EQ(t.insert, "Insert Into T (Id,[Note],[Password]) Values (1,'n','p');") << kind;
        EXPECT_EQ(t.update, "UPDATE T SET Id=1,[Note]='n',[Password]='p' WHERE (Id = 1);") << kind;
    }
    for (int kind : {2, 4}) {
        const auto t = Componi(kind, colonne, {"Id", 3, 1});
        EXPECT_EQ(t.insert, "Insert Into T (Id,Note,Password) Values (1,'n','p');") << kind;
        EXPECT_EQ(t.update, "UPDATE T SET Id=1,Note='n',Password='p' WHERE (Id = 1);") << kind;
    }
    const auto primo =
        Componi(0, {Testo("Note", 130, "n"), Testo("Id", 3, "1", true)}, {"Id", 3, 1});
    EXPECT_EQ(primo.insert, "Insert Into T (Note,Id) Values ('n',1);");
    // Names only are bracketed, never values that look like them; names match exactly.
    const auto valori = Componi(
        0, {Testo("Id", 3, "1", true), Testo("note", 130, ",Note,Password=")}, {"Id", 3, 1});
    EXPECT_EQ(valori.insert, "Insert Into T (Id,note) Values (1,',Note,Password=');");
    EXPECT_EQ(valori.update, "UPDATE T SET Id=1,note=',Note,Password=' WHERE (Id = 1);");
}

TEST(Composizione, ValuesByGroup) {
    const auto t =
        Componi(0, {Testo("a", 3, "1", true), Testo("s", 5, "3,5"), Testo("m", 131, "-2.25"),
                    Testo("d", 7, " 2024-03-05 "), Testo("dt", 135, "2024-03-05 09:07:03"),
                    Spunta("v", true), Spunta("f", false)});
    ASSERT_FALSE(t.messaggio);
    EXPECT_EQ(t.insert, "Insert Into T (a,s,m,d,dt,v,f) Values "
                        "(1,3.5,-2.25,#03/05/2024#,#03/05/2024 09.07.03#,-1,0);");
    const auto lite = Componi(4, {Spunta("v", true), Testo("d", 7, "2024-03-05")});
    EXPECT_EQ(lite.insert, "Insert Into T (v,d) Values (1,'2024-03-05');");
    // An unknown kind has no date literal.
    const auto ignoto = Componi(3, {Testo("d", 7, "2024-03-05")});
    EXPECT_EQ(ignoto.insert, "Insert Into T (d) Values ();");
}

TEST(Composizione, ComboKeysAreWrittenByTheColumnsGroup) {
    const auto t =
        Componi(2, {Testo("a", 3, "1", true), Combo("c", 3, FonteValore::ChiaveCombo, "42"),
                    Combo("s", 130, FonteValore::ChiaveCombo, "X'1"),
                    Combo("n", 3, FonteValore::Nullo, "")});
    EXPECT_EQ(t.insert, "Insert Into T (a,c,s,n) Values (1,42,'X''1',Null);");
    EXPECT_EQ(t.update, "UPDATE T SET a=1,c=42,s='X''1',n=Null WHERE (a = 1);");
    // A combo serving the key gives the key to move to.
    const auto chiave = Componi(4, {[] {
                                    auto c = Combo("a", 3, FonteValore::ChiaveCombo, "5");
                                    c.chiavePrimaria = true;
                                    return c;
                                }()});
    EXPECT_EQ(chiave.testoChiave, "5");
    // A key that is not a whole number never reaches an integer column.
    EXPECT_THROW(Componi(4, {Combo("c", 3, FonteValore::ChiaveCombo, "1;DROP")}), TessaroError);
}

TEST(Composizione, TheLengthMessageCountsCharacters) {
    EXPECT_FALSE(Messaggio(Testo("b", 130, "abcde", false, 5)));
    EXPECT_FALSE(Messaggio(Testo("b", 130, QString::fromUtf8("città"), false, 5)));
    EXPECT_FALSE(Messaggio(
        Testo("b", 130, QString::fromUtf8("\xF0\x9D\x84\x9E\xF0\x9D\x84\x9E"), false, 2)));
    EXPECT_FALSE(Messaggio(Testo("b", 130, QString(5000, 'x'), false, 0)));
    const auto m = Messaggio(Testo("b", 130, "abcdef", false, 5));
    ASSERT_TRUE(m);
    EXPECT_EQ(m->testo, "TQ16 #b\rTQ17 5 TQ18");
    EXPECT_EQ(m->stile, 48);
    EXPECT_EQ(m->titolo, "TQ02");
    // Trailing blanks count: the untrimmed text is what would be stored.
    EXPECT_TRUE(Messaggio(Testo("b", 130, "abcd  ", false, 5)));
}

TEST(Composizione, NumbersMustBeNumbersAndIntegersWhole) {
    for (const char* bad : {"3,5", "1.0", "1e3", "12abc", "1;DROP TABLE T", "0x10", "1 000"}) {
        const auto m = Messaggio(Testo("e", 3, bad));
        ASSERT_TRUE(m) << bad;
        EXPECT_EQ(m->testo, "TQ16 #e\rTQ19");
        EXPECT_EQ(m->stile, 48);
    }
    for (const char* bad : {"3,5,1", "1.2.3", "abc", "1--", "1e", "$5", "1,000.5"}) {
        const auto m = Messaggio(Testo("s", 5, bad));
        ASSERT_TRUE(m) << bad;
        EXPECT_EQ(m->testo, "TQ16 #s\rTQ19");
    }
    for (const char* good : {"-7", "+12", " 42 ", "007"})
        EXPECT_FALSE(Messaggio(Testo("e", 3, good))) << good;
    for (const char* good : {"3,5", "-0.25", "1e3", ".5"})
        EXPECT_FALSE(Messaggio(Testo("s", 5, good))) << good;
}

TEST(Composizione, DateAndComboMessages) {
    const auto data = Messaggio(Testo("d", 135, "2024-02-30"));
    ASSERT_TRUE(data);
    EXPECT_EQ(data->testo, "TQ23 #d");
    EXPECT_EQ(data->stile, 16);
    EXPECT_EQ(data->titolo, "TQ02");
    const auto combo = Messaggio(Combo("IdComune", 3, FonteValore::VoceSconosciuta, ""));
    ASSERT_TRUE(combo);
    EXPECT_EQ(combo->testo, "TQ42");
    EXPECT_EQ(combo->stile, 48);
}

TEST(Composizione, TheFirstFailingColumnInTableOrderIsReported) {
    const auto t = Componi(4, {Testo("a", 3, "x", true), Testo("b", 130, "toolong", false, 2)});
    ASSERT_TRUE(t.messaggio);
    EXPECT_EQ(t.messaggio->testo, "TQ16 #a\rTQ19");
    EXPECT_TRUE(t.insert.isEmpty());
    EXPECT_TRUE(t.update.isEmpty());
}

} // namespace tessaro::test
