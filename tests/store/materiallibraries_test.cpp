#include "store/materiallibraries.h"

#include "store/errors.h"
#include "support/testaccountset.h"

#include <gtest/gtest.h>

#include <QHash>
#include <QList>
#include <QSet>
#include <QSqlQuery>

using namespace varnock;
using varnock::test::TestAccountSet;

namespace {

const QByteArray Header = "CLBH,SJBH,CLMC,CLGG,JZDW,HSDW,HSXS,JHDJ,JHSL,JJFS,SFMJ,CRKBZ\n";
const QByteArray Tree = "1,0,钢材,,,,,,,0,0,0\n"
                        "1001,1,热轧带肋钢筋,,,,,,,0,0,0\n";

QString parseError(const QByteArray &text)
{
    try {
        MaterialLibraries::parse(text, QStringLiteral("bad.csv"));
    } catch (const StoreError &e) {
        return e.text;
    }
    return QString();
}

TEST(MaterialLibraryParse, ReadsQuotedFieldsFiguresAndOptionalConversion)
{
    const QByteArray text = Header + Tree +
                            "1001001,1001,螺纹钢,HRB400E Φ25,吨,千克,0.001,3650.5,0,0,1,0\n"
                            "1001002,1001,内丝弯头,\"dn20×1/2\"\", 铜芯\","
                            "个,,,6,,1,1,0\r\n";
    const QList<MaterialLibraries::Row> rows =
        MaterialLibraries::parse(text, QStringLiteral("ok.csv"));
    ASSERT_EQ(rows.size(), 4);
    EXPECT_FALSE(rows[0].sfmj);
    EXPECT_EQ(rows[1].sjbh, QStringLiteral("1"));

    const MaterialLibraries::Row &rebar = rows[2];
    EXPECT_TRUE(rebar.sfmj);
    EXPECT_EQ(rebar.jzdw, QStringLiteral("吨"));
    EXPECT_EQ(rebar.hsdw, QStringLiteral("千克"));
    ASSERT_TRUE(rebar.hsxs.has_value());
    EXPECT_DOUBLE_EQ(*rebar.hsxs, 0.001);
    EXPECT_EQ(rebar.jhdj.raw(), 36505000);
    EXPECT_FALSE(rebar.jjfs);

    const MaterialLibraries::Row &elbow = rows[3];
    EXPECT_EQ(elbow.clgg, QStringLiteral("dn20×1/2\", 铜芯"));
    EXPECT_TRUE(elbow.hsdw.isEmpty());
    EXPECT_FALSE(elbow.hsxs.has_value());
    EXPECT_TRUE(elbow.jhsl.isZero());
    EXPECT_TRUE(elbow.jjfs);
}

TEST(MaterialLibraryParse, RefusesAMalformedLineNamingFileAndLine)
{
    struct Case
    {
        const char *what;
        QByteArray line;
    };
    const QList<Case> cases = {
        {"too few fields", "1001001,1001,螺纹钢,Φ25,吨,,,3650,0,0,1\n"},
        {"child code not parent + 3 digits", "100101,1001,螺纹钢,Φ25,吨,,,3650,0,0,1,0\n"},
        {"child code with a foreign prefix", "2001001,1001,螺纹钢,Φ25,吨,,,3650,0,0,1,0\n"},
        {"child numbered 000", "1001000,1001,螺纹钢,Φ25,吨,,,3650,0,0,1,0\n"},
        {"parent not defined", "1002001,1002,螺纹钢,Φ25,吨,,,3650,0,0,1,0\n"},
        {"duplicate code", "1001,1,光圆钢筋,,,,,,,0,0,0\n"},
        {"code with letters", "1001a01,1001,螺纹钢,Φ25,吨,,,3650,0,0,1,0\n"},
        {"top code with leading zero", "02,0,水泥,,,,,,,0,0,0\n"},
        {"material without unit", "1001001,1001,螺纹钢,Φ25,,,,3650,0,0,1,0\n"},
        {"material without specification", "1001001,1001,螺纹钢,,吨,,,3650,0,0,1,0\n"},
        {"material without name", "1001001,1001,,Φ25,吨,,,3650,0,0,1,0\n"},
        {"material without price", "1001001,1001,螺纹钢,Φ25,吨,,,,0,0,1,0\n"},
        {"negative price", "1001001,1001,螺纹钢,Φ25,吨,,,-1,0,0,1,0\n"},
        {"price not a number", "1001001,1001,螺纹钢,Φ25,吨,,,约3650,0,0,1,0\n"},
        {"conversion unit alone", "1001001,1001,螺纹钢,Φ25,吨,千克,,3650,0,0,1,0\n"},
        {"zero factor", "1001001,1001,螺纹钢,Φ25,吨,千克,0,3650,0,0,1,0\n"},
        {"flag not 0 or 1", "1001001,1001,螺纹钢,Φ25,吨,,,3650,0,2,1,0\n"},
        {"material on level 2", "1002,1,螺纹钢,Φ25,吨,,,3650,0,0,1,0\n"},
        {"category on level 3", "1001001,1001,小类,,,,,,,0,0,0\n"},
        {"category with a price", "2,0,水泥,,,,,400,,0,0,0\n"},
        {"unterminated quote", "1001001,1001,螺纹钢,\"Φ25,吨,,,3650,0,0,1,0\n"},
        {"stray quote", "1001001,1001,螺纹钢,Φ2\"5,吨,,,3650,0,0,1,0\n"},
        {"padded field", "1001001,1001,螺纹钢 ,Φ25,吨,,,3650,0,0,1,0\n"},
        {"empty line", "\n"},
        {"invalid UTF-8", "1001001,1001,\xff\xfe,Φ25,吨,,,3650,0,0,1,0\n"},
    };
    for (const Case &c : cases) {
        const QString error = parseError(Header + Tree + c.line);
        EXPECT_TRUE(error.startsWith(QStringLiteral("bad.csv, line 4:")))
            << c.what << ": " << error.toStdString();
    }

    // A child under a material is refused on the child's line.
    EXPECT_TRUE(parseError(Header + Tree + "1001001,1001,螺纹钢,Φ25,吨,,,3650,0,0,1,0\n" +
                           "1001001001,1001001,小件,Φ1,个,,,1,0,0,1,0\n")
                    .startsWith(QStringLiteral("bad.csv, line 5:")));
    EXPECT_TRUE(
        parseError("CLBH,SJBH,CLMC\n" + Tree).startsWith(QStringLiteral("bad.csv, line 1:")));
    EXPECT_FALSE(parseError(Header).isEmpty()) << "a library without rows";
}

// The shipped libraries as they land in the master database, checked with their own SQL so a
// fault in the loader shows as well as one in the data.
class ShippedLibraries : public ::testing::Test
{
protected:
    void SetUp() override { MaterialLibraries::seed(set.db()); }

    struct Node
    {
        QString sjbh, clmc, clgg, jzdw, hsdw;
        QVariant hsxs, jhdj;
        bool sfmj = false;
    };

    QHash<QString, Node> nodes(int library)
    {
        QHash<QString, Node> result;
        QSqlQuery q = set.db().exec(QStringLiteral("SELECT CLBH, SJBH, CLMC, CLGG, JZDW, HSDW, "
                                                   "HSXS, JHDJ, SFMJ FROM ") +
                                    MaterialLibraries::tableName(library));
        while (q.next()) {
            Node n{q.value(1).toString(),
                   q.value(2).toString(),
                   q.value(3).toString(),
                   q.value(4).toString(),
                   q.value(5).toString(),
                   q.value(6),
                   q.value(7),
                   q.value(8).toInt() == 1};
            result.insert(q.value(0).toString(), n);
        }
        return result;
    }

    qlonglong count(int library)
    {
        const QString table = MaterialLibraries::tableName(library);
        return set.db().scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table).toLongLong();
    }

    TestAccountSet set;
};

bool isDigits(const QString &s)
{
    if (s.isEmpty())
        return false;
    for (const QChar c : s) {
        if (!c.isDigit() || c.unicode() > 127)
            return false;
    }
    return true;
}

TEST_F(ShippedLibraries, FormASoundThreeLevelCodeTree)
{
    for (int library = 0; library < MaterialLibraries::Count; ++library) {
        SCOPED_TRACE(library);
        const QHash<QString, Node> all = nodes(library);
        ASSERT_FALSE(all.isEmpty());
        EXPECT_EQ(qlonglong(all.size()), count(library)) << "duplicate codes";

        QHash<QString, int> children;
        for (auto it = all.cbegin(); it != all.cend(); ++it) {
            const QString &code = it.key();
            const Node &n = it.value();
            ASSERT_TRUE(isDigits(code)) << code.toStdString();
            EXPECT_FALSE(n.clmc.isEmpty()) << code.toStdString();
            if (n.sjbh == u"0") {
                EXPECT_NE(code[0], u'0') << code.toStdString();
                EXPECT_FALSE(n.sfmj) << "top-level material " << code.toStdString();
                continue;
            }
            ASSERT_TRUE(all.contains(n.sjbh)) << "orphan " << code.toStdString();
            EXPECT_FALSE(all[n.sjbh].sfmj) << "parent is a material: " << code.toStdString();
            EXPECT_EQ(code.size(), n.sjbh.size() + 3) << code.toStdString();
            EXPECT_TRUE(code.startsWith(n.sjbh)) << code.toStdString();
            EXPECT_FALSE(code.endsWith(QStringLiteral("000"))) << code.toStdString();
            ++children[n.sjbh];
            // Materials are exactly the third level: parent on level 2, grandparent on level 1.
            const bool levelThree =
                all.value(n.sjbh).sjbh != u"0" && all.value(all.value(n.sjbh).sjbh).sjbh == u"0";
            EXPECT_EQ(n.sfmj, levelThree) << code.toStdString();
        }
        for (auto it = children.cbegin(); it != children.cend(); ++it)
            EXPECT_LE(it.value(), 999) << it.key().toStdString();

        // Reports take a category's materials to be the codes that begin with its code; that
        // must agree with the tree, which it would not with top codes 1 and 10 side by side.
        for (auto cat = all.cbegin(); cat != all.cend(); ++cat) {
            if (cat.value().sfmj)
                continue;
            for (auto it = all.cbegin(); it != all.cend(); ++it) {
                QString up = it.key();
                bool below = false;
                while (all.contains(up) && up != cat.key() && all[up].sjbh != u"0")
                    up = all[up].sjbh;
                below = up == cat.key() && it.key() != cat.key();
                EXPECT_EQ(below, it.key().startsWith(cat.key()) && it.key() != cat.key())
                    << cat.key().toStdString() << " / " << it.key().toStdString();
            }
        }
    }
}

TEST_F(ShippedLibraries, MaterialsAreCompleteAndCategoriesCarryNoMaterialFields)
{
    for (int library = 0; library < MaterialLibraries::Count; ++library) {
        SCOPED_TRACE(library);
        const QHash<QString, Node> all = nodes(library);
        QSet<QString> categoryNames;
        QSet<QString> materialKeys;
        QSet<QString> materialNames;
        int materials = 0;
        for (auto it = all.cbegin(); it != all.cend(); ++it) {
            const std::string code = it.key().toStdString();
            const Node &n = it.value();
            if (!n.sfmj) {
                EXPECT_TRUE(n.jzdw.isEmpty() && n.clgg.isEmpty() && n.hsdw.isEmpty()) << code;
                EXPECT_TRUE(n.jhdj.isNull() && n.hsxs.isNull()) << code;
                EXPECT_FALSE(categoryNames.contains(n.clmc)) << "category name twice: " << code;
                categoryNames.insert(n.clmc);
                continue;
            }
            ++materials;
            materialNames.insert(n.clmc);
            EXPECT_FALSE(n.jzdw.isEmpty()) << code;
            EXPECT_FALSE(n.clgg.isEmpty()) << code;
            ASSERT_FALSE(n.jhdj.isNull()) << code;
            EXPECT_GT(n.jhdj.toLongLong(), 0) << code;
            const QString key = n.clmc + u'|' + n.clgg;
            EXPECT_FALSE(materialKeys.contains(key)) << "same name and spec twice: " << code;
            materialKeys.insert(key);
            EXPECT_EQ(n.hsdw.isEmpty(), n.hsxs.isNull()) << code;
            if (!n.hsdw.isEmpty()) {
                EXPECT_GT(n.hsxs.toDouble(), 0.0) << code;
                EXPECT_NE(n.hsdw, n.jzdw) << code;
            }
            // A line entered in the conversion unit is stored as quantity × HSXS accounting
            // units, so between units of mass the factor is fixed.
            if (n.jzdw == u"吨" && n.hsdw == u"千克") {
                EXPECT_DOUBLE_EQ(n.hsxs.toDouble(), 0.001) << code;
            }
            if (n.jzdw == u"千克" && n.hsdw == u"吨") {
                EXPECT_DOUBLE_EQ(n.hsxs.toDouble(), 1000.0) << code;
            }
            if (n.jzdw == u"吨" && n.hsdw == u"袋") {
                EXPECT_DOUBLE_EQ(n.hsxs.toDouble(), 0.05) << code;
            }
        }
        EXPECT_GT(materials, 50);
        if (library == 0) {
            EXPECT_GE(materials, 300);
        }
        // The category editor refuses a name that any row already has.
        EXPECT_TRUE((categoryNames & materialNames).isEmpty());
    }
}

TEST_F(ShippedLibraries, StoreFiguresAsTheCatalogueDoesAndImportIntoIt)
{
    Database &db = set.db();
    const QString rebar = QStringLiteral("SELECT CLBH FROM CLJBXXB0 WHERE CLMC = '螺纹钢' "
                                         "AND CLGG = 'HRB400E Φ25'");
    const QString code = db.scalar(rebar).toString();
    ASSERT_FALSE(code.isEmpty());
    QSqlQuery q = db.exec(QStringLiteral("SELECT typeof(JHDJ), JHDJ, typeof(HSXS), HSXS, "
                                         "JHSL, JJFS, CRKBZ FROM CLJBXXB0 WHERE CLBH = ?"),
                          {code});
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), QStringLiteral("integer"));
    EXPECT_GT(Decimal::fromVariant(q.value(1)), Decimal::fromInt(3000));
    EXPECT_LT(Decimal::fromVariant(q.value(1)), Decimal::fromInt(5000));
    EXPECT_EQ(q.value(2).toString(), QStringLiteral("real"));
    EXPECT_DOUBLE_EQ(q.value(3).toDouble(), 0.001);
    EXPECT_EQ(q.value(4).toLongLong(), 0);
    EXPECT_EQ(q.value(5).toInt(), 0);
    EXPECT_EQ(q.value(6).toInt(), 0);

    // Each library copies column for column into the catalogue, as the import screen does.
    for (int library = 0; library < MaterialLibraries::Count; ++library) {
        db.exec(QStringLiteral("DELETE FROM CLJBXXB"));
        db.exec(QStringLiteral("INSERT INTO CLJBXXB (CLBH, CLMC, CLGG, JZDW, JJFS, JHDJ, JHSL, "
                               "HSDW, HSXS, SJBH, SFMJ, CRKBZ) SELECT CLBH, CLMC, CLGG, JZDW, "
                               "JJFS, JHDJ, JHSL, HSDW, HSXS, SJBH, SFMJ, CRKBZ FROM ") +
                MaterialLibraries::tableName(library));
        EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM CLJBXXB")).toLongLong(),
                  count(library));
    }
}

TEST_F(ShippedLibraries, SeedingAgainReplacesInsteadOfAppending)
{
    QList<qlonglong> before;
    for (int library = 0; library < MaterialLibraries::Count; ++library)
        before.append(count(library));
    set.db().exec(QStringLiteral("INSERT INTO CLJBXXB1 (CLBH, SJBH, CLMC) VALUES ('99', '0', "
                                 "'旧类别')"));

    MaterialLibraries::seed(set.db());

    for (int library = 0; library < MaterialLibraries::Count; ++library)
        EXPECT_EQ(count(library), before[library]) << library;
    EXPECT_EQ(
        set.db().scalar(QStringLiteral("SELECT COUNT(*) FROM CLJBXXB1 WHERE CLBH = '99'")).toInt(),
        0);
}

} // namespace
