#include "print/reporttable.h"
#include "print/reporttablemodel.h"
#include "reports/reportbuild.h"
#include "store/database.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"

#include <gtest/gtest.h>

using namespace varnock;
using varnock::test::dec;

namespace {

using Column = ReportTable::Column;
using RowStyle = ReportTable::RowStyle;

// A column of every kind.
ReportTable everyKind()
{
    return ReportTable(QStringLiteral("T"), QStringLiteral("测试"),
                       {{QStringLiteral("MC"), QStringLiteral("名称"), Column::Text},
                        {QStringLiteral("TS"), QStringLiteral("天数"), Column::Integer},
                        {QStringLiteral("SL"), QStringLiteral("数量"), Column::Quantity},
                        {QStringLiteral("JE"), QStringLiteral("金额"), Column::Amount},
                        {QStringLiteral("DJ"), QStringLiteral("单价"), Column::Price},
                        {QStringLiteral("XS"), QStringLiteral("系数"), Column::Number}});
}

class ReportTableTest : public ::testing::Test
{
protected:
    ReportTableTest()
    {
        set.db().exec(QStringLiteral("CREATE TEMP TABLE T_TEMP (MC TEXT, TS INTEGER, SL INTEGER, "
                                     "JE INTEGER, DJ INTEGER, XS INTEGER)"));
    }

    // Each stored cell of the report table as text, "NULL" for none.
    QStringList stored(const QString &order = QStringLiteral("rowid"))
    {
        QStringList out;
        Query q = set.db().query(
            QStringLiteral("SELECT MC, TS, SL, JE, DJ, XS FROM T_TEMP ORDER BY %1").arg(order));
        while (q.next()) {
            QStringList row;
            for (int c = 0; c < 6; ++c)
                row << (q.value(c).isNull() ? QStringLiteral("NULL") : q.value(c).toString());
            out << row.join(u'|');
        }
        return out;
    }

    test::TestAccountSet set;
    Formats formats{QStringLiteral("0.000"), QStringLiteral("0.00")};
};

TEST_F(ReportTableTest, AnEmptyCellIsNeitherZeroNorAnEmptyTextOnEveryMedium)
{
    ReportTable table = everyKind();
    // Zeros and an empty text, then nothing at all, then values.
    table.addRow({QString(), qlonglong(0), ReportTable::figure(Decimal()),
                  ReportTable::figure(Decimal()), ReportTable::figure(Decimal()),
                  ReportTable::figure(Decimal())});
    table.addRow({}, RowStyle::Subtotal);
    const int row = table.appendRow(RowStyle::Total);
    table.setText(row, 0, QStringLiteral("圆钢"));
    table.setInteger(row, 1, 12);
    table.setFigure(row, 2, dec("-1.5"));
    table.setFigure(row, 3, dec("2.25"));
    table.setFigure(row, 4, dec("1.5"));
    table.setFigure(row, 5, dec("0.125"));

    const QStringList zeros{"", "0", "0.000", "0.00", "0.00", "0"};
    const QStringList values{"圆钢", "12", "-1.500", "2.25", "1.50", "0.125"};
    ReportTableModel model(formats);
    model.setTable(table);
    for (int c = 0; c < 6; ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(table.displayText(0, c, formats), zeros.at(c));
        EXPECT_EQ(table.displayText(1, c, formats), QString());
        EXPECT_EQ(table.displayText(2, c, formats), values.at(c));
        EXPECT_EQ(model.data(model.index(0, c)).toString(), zeros.at(c));
        EXPECT_EQ(model.data(model.index(2, c)).toString(), values.at(c));
        EXPECT_EQ(table.isEmptyAt(0, c), c == 0);
        EXPECT_FALSE(table.isNullAt(0, c));
        EXPECT_TRUE(table.isEmptyAt(1, c));
        EXPECT_TRUE(table.isNullAt(1, c));
        EXPECT_FALSE(table.value(0, c).isNull());
        EXPECT_TRUE(table.value(1, c).isNull());
    }
    EXPECT_EQ(model.data(model.index(1, 0), ReportTableModel::StyleRole).toInt(),
              int(RowStyle::Subtotal));
    EXPECT_EQ(table.figureAt(2, 2), dec("-1.5"));
    EXPECT_EQ(table.integerAt(2, 1), 12);

    // Into the report table: an empty text stays '', an empty cell is NULL.
    ReportBuild::write(set.db(), QStringLiteral("T_TEMP"), table);
    EXPECT_EQ(stored(), (QStringList{"|0|0|0|0|0", "NULL|NULL|NULL|NULL|NULL|NULL",
                                     "圆钢|12|-15000|22500|15000|1250"}));

    // A copy through value() keeps every cell as it was.
    ReportTable copy = everyKind();
    for (int r = 0; r < table.rowCount(); ++r) {
        QVariantList cells;
        for (int c = 0; c < table.columnCount(); ++c)
            cells << table.value(r, c);
        copy.addRow(cells, table.style(r));
    }
    ReportBuild::write(set.db(), QStringLiteral("T_TEMP"), copy);
    EXPECT_EQ(stored(), (QStringList{"|0|0|0|0|0", "NULL|NULL|NULL|NULL|NULL|NULL",
                                     "圆钢|12|-15000|22500|15000|1250"}));
    EXPECT_EQ(copy.style(2), RowStyle::Total);
}

TEST_F(ReportTableTest, RowsSharingTextsKeepTheirOwnCellsHoweverLongTheTable)
{
    ReportTable table = everyKind();
    const ReportTable::TextId steel = table.textId(QStringLiteral("钢材"));
    EXPECT_EQ(table.textId(QStringLiteral("钢材")), steel);
    // More rows than one statement of the report table takes, and not a multiple of it.
    const int rows = 2500;
    table.reserve(rows);
    for (int r = 0; r < rows; ++r) {
        const int row = table.appendRow();
        if (r % 3 == 0)
            table.setText(row, 0, steel);
        else
            table.setText(row, 0, QStringLiteral("材料%1").arg(r % 7));
        table.setInteger(row, 1, r);
        if (r % 2 == 0)
            table.setFigure(row, 3, Decimal::fromInt(r));
    }
    ASSERT_EQ(table.rowCount(), rows);
    EXPECT_EQ(table.textAt(0, 0), QStringLiteral("钢材"));
    EXPECT_EQ(table.textAt(1, 0), QStringLiteral("材料1"));
    EXPECT_EQ(table.textAt(2498, 0), QStringLiteral("材料6"));
    EXPECT_TRUE(table.isNullAt(2499, 3));
    EXPECT_EQ(table.textAt(2499, 0), QStringLiteral("钢材"));
    EXPECT_EQ(table.figureAt(2498, 3), Decimal::fromInt(2498));

    // An earlier build's rows go; every row arrives once, in order.
    ReportBuild::write(set.db(), QStringLiteral("T_TEMP"), everyKind());
    set.db().query(QStringLiteral("INSERT INTO T_TEMP (MC) VALUES ('旧')"));
    ReportBuild::write(set.db(), QStringLiteral("T_TEMP"), table);
    EXPECT_EQ(set.db().scalar(QStringLiteral("SELECT COUNT(*) FROM T_TEMP")).toInt(), rows);
    EXPECT_EQ(set.db().scalar(QStringLiteral("SELECT SUM(TS) FROM T_TEMP")).toLongLong(),
              qint64(rows) * (rows - 1) / 2);
    EXPECT_EQ(
        set.db().scalar(QStringLiteral("SELECT COUNT(*) FROM T_TEMP WHERE MC = '钢材'")).toInt(),
        (rows + 2) / 3);
    const QStringList last = stored(QStringLiteral("TS DESC LIMIT 2"));
    EXPECT_EQ(last,
              (QStringList{"钢材|2499|NULL|NULL|NULL|NULL", "材料6|2498|NULL|24980000|NULL|NULL"}));
}

} // namespace
