#include "widgets/editablegrid.h"
#include "widgets/lookupedit.h"
#include "widgets/numericedit.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QToolButton>
#include <QtTest>

#include <gtest/gtest.h>

using namespace varnock;

namespace {

enum Column { Id, Code, Name, Quantity, Unit, ColumnCount };

// A voucher-like grid: hidden ID, lookup code, read-only name, quantity, unit.
class EditableGridTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        model.setHorizontalHeaderLabels({QStringLiteral("ID"), QStringLiteral("材料编号"),
                                         QStringLiteral("材料名称"), QStringLiteral("数量"),
                                         QStringLiteral("单位")});
        for (int row = 0; row < 3; ++row) {
            QList<QStandardItem *> items;
            for (int column = 0; column < ColumnCount; ++column)
                items << new QStandardItem;
            items[Id]->setText(QString::number(100 + row));
            items[Name]->setText(QStringLiteral("螺纹钢"));
            items[Name]->setEditable(false);
            model.appendRow(items);
        }
        grid.setIdColumn(Id);
        grid.setModel(&model);
        grid.setLookupColumn(Code);
        grid.setNumericColumn(Quantity, 2);
        grid.setComboColumn(Unit, {QStringLiteral("吨"), QStringLiteral("根")});
        grid.resize(600, 200);
        grid.show();
        QApplication::setActiveWindow(&grid);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
    }

    QWidget *startEditing(int row, int column)
    {
        const QModelIndex index = model.index(row, column);
        grid.setCurrentIndex(index);
        grid.edit(index);
        return grid.indexWidget(index);
    }

    QString text(int row, int column) const { return model.index(row, column).data().toString(); }

    QStandardItemModel model;
    EditableGrid grid;
};

} // namespace

TEST_F(EditableGridTest, IdColumnIsHiddenButTravelsWithTheRow)
{
    EXPECT_TRUE(grid.isColumnHidden(Id));
    EXPECT_FALSE(grid.isColumnHidden(Code));
    EXPECT_EQ(grid.idAt(2).toString(), QStringLiteral("102"));
    model.removeRow(0);
    EXPECT_EQ(grid.idAt(0).toString(), QStringLiteral("101"));
}

TEST_F(EditableGridTest, NumericCellRefusesLettersAndExtraDecimals)
{
    auto *edit = qobject_cast<NumericEdit *>(startEditing(0, Quantity));
    ASSERT_NE(edit, nullptr);
    QTest::keyClicks(edit, QStringLiteral("a1b2.x5.-"));
    EXPECT_EQ(edit->text(), QStringLiteral("12.5"));
    QTest::keyClicks(edit, QStringLiteral("67"));
    EXPECT_EQ(edit->text(), QStringLiteral("12.56")); // two decimals at most
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), QStringLiteral("12.5"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return text(0, Quantity) == QStringLiteral("12.5"); }))
        << qPrintable(text(0, Quantity));
}

TEST_F(EditableGridTest, TypingOnACellStartsEditingThroughTheValidator)
{
    grid.setCurrentIndex(model.index(1, Quantity));
    QTest::keyClick(&grid, Qt::Key_3);
    auto *edit = qobject_cast<NumericEdit *>(grid.indexWidget(model.index(1, Quantity)));
    ASSERT_NE(edit, nullptr);
    QTest::keyClicks(edit, QStringLiteral("x-"));
    EXPECT_EQ(edit->text(), QStringLiteral("3"));
}

TEST_F(EditableGridTest, EnterMovesToTheNextEditableCellRowByRow)
{
    auto *edit = qobject_cast<NumericEdit *>(startEditing(0, Quantity));
    ASSERT_NE(edit, nullptr);
    QTest::keyClicks(edit, QStringLiteral("4"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return grid.currentIndex() == model.index(0, Unit); }));
    EXPECT_EQ(text(0, Quantity), QStringLiteral("4"));

    // End of a row: the next row's first editable cell, past the hidden ID.
    QTest::keyClick(&grid, Qt::Key_Return);
    EXPECT_EQ(grid.currentIndex(), model.index(1, Code));
    // The read-only name is skipped.
    QTest::keyClick(&grid, Qt::Key_Return);
    EXPECT_EQ(grid.currentIndex(), model.index(1, Quantity));

    QSignalSpy past(&grid, &EditableGrid::pastLastCell);
    grid.setCurrentIndex(model.index(2, Unit));
    QTest::keyClick(&grid, Qt::Key_Return);
    EXPECT_EQ(past.count(), 1);
    EXPECT_EQ(grid.currentIndex(), model.index(2, Unit));
}

TEST_F(EditableGridTest, EscapeCancelsTheEdit)
{
    model.setData(model.index(0, Quantity), QStringLiteral("7"));
    auto *edit = qobject_cast<NumericEdit *>(startEditing(0, Quantity));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), QStringLiteral("7"));
    QTest::keyClicks(edit, QStringLiteral("99"));
    QTest::keyClick(edit, Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !grid.isEditing(); }));
    QTest::qWait(10);
    EXPECT_EQ(text(0, Quantity), QStringLiteral("7"));
    EXPECT_EQ(grid.currentIndex(), model.index(0, Quantity));
}

TEST_F(EditableGridTest, LookupButtonAsksForThePickerWithoutWritingTypedText)
{
    QSignalSpy spy(&grid, &EditableGrid::lookupRequested);
    model.setData(model.index(1, Code), QStringLiteral("1001"));
    auto *lookup = qobject_cast<LookupEdit *>(startEditing(1, Code));
    ASSERT_NE(lookup, nullptr);
    QTest::keyClicks(lookup->lineEdit(), QStringLiteral("99"));
    QTest::mouseClick(lookup->button(), Qt::LeftButton);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 1);
    EXPECT_EQ(spy.at(0).at(1).toInt(), int(Code));
    // The caller writes its choice; the closed editor must not overwrite it.
    model.setData(model.index(1, Code), QStringLiteral("1002001"));
    QTest::qWait(20);
    EXPECT_EQ(text(1, Code), QStringLiteral("1002001"));

    // F4 on a lookup cell asks too.
    grid.setCurrentIndex(model.index(2, Code));
    QTest::keyClick(&grid, Qt::Key_F4);
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(1).at(0).toInt(), 2);
}

TEST_F(EditableGridTest, LookupCellTakesTypedTextOnEnterAndF4WhileEditing)
{
    QSignalSpy spy(&grid, &EditableGrid::lookupRequested);
    auto *lookup = qobject_cast<LookupEdit *>(startEditing(0, Code));
    ASSERT_NE(lookup, nullptr);
    QTest::keyClicks(lookup->lineEdit(), QStringLiteral("1001"));
    QTest::keyClick(lookup->lineEdit(), Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return text(0, Code) == QStringLiteral("1001"); }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return grid.currentIndex() == model.index(0, Quantity); }));
    EXPECT_EQ(spy.count(), 0);

    lookup = qobject_cast<LookupEdit *>(startEditing(1, Code));
    ASSERT_NE(lookup, nullptr);
    QTest::keyClick(lookup->lineEdit(), Qt::Key_F4);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 1);
}

TEST_F(EditableGridTest, ComboCellWritesTheChosenText)
{
    auto *combo = qobject_cast<QComboBox *>(startEditing(0, Unit));
    ASSERT_NE(combo, nullptr);
    combo->setCurrentIndex(1);
    QTest::keyClick(combo, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return text(0, Unit) == QStringLiteral("根"); }))
        << qPrintable(text(0, Unit));
}

TEST_F(EditableGridTest, RowsAreTallEnoughForChineseText)
{
    EXPECT_GE(grid.rowHeight(0), grid.fontMetrics().height() + 4);
    EXPECT_GE(grid.columnWidth(Name),
              grid.fontMetrics().horizontalAdvance(QStringLiteral("螺纹钢")));
}

TEST_F(EditableGridTest, AClickOnAButtonSeesTheFigureStillBeingTyped)
{
    // A store keeper types a quantity and clicks "保 存" without pressing Enter first: the
    // save must see the figure.
    QPushButton save(QStringLiteral("保 存(&S)"), &grid);
    save.move(grid.width() - 120, grid.height() - 40);
    save.show();
    QString seen;
    QObject::connect(&save, &QPushButton::clicked, [&] { seen = text(0, Quantity); });
    auto *edit = qobject_cast<NumericEdit *>(startEditing(0, Quantity));
    ASSERT_NE(edit, nullptr);
    QTest::keyClicks(edit, QStringLiteral("7.5"));
    QTest::mouseClick(&save, Qt::LeftButton);
    EXPECT_EQ(seen, QStringLiteral("7.5"));
}
