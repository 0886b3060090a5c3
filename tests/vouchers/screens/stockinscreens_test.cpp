#include "master/screens/masterpickers.h"
#include "shell/screens/screenregistry.h"
#include "store/clock.h"
#include "store/database.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"
#include "vouchers/screens/stockinscreen.h"
#include "vouchers/screens/stockinscreens.h"
#include "vouchers/screens/voucherfinder.h"
#include "vouchers/stockinlinemodel.h"
#include "widgets/conditiondialog.h"
#include "widgets/datepicker.h"
#include "widgets/editablegrid.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/lookupedit.h"
#include "widgets/numericedit.h"
#include "widgets/recordingsink.h"
#include "widgets/uitest.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

using namespace varnock;
using test::click;
using test::keepPicture;
using test::whenModal;

namespace {

class StockInScreensTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clock::setToday(QDate(2026, 3, 10));
        set.addSupplier(QStringLiteral("1"), QStringLiteral("甲钢材公司"));
        set.addMaterial(QStringLiteral("1001"), QStringLiteral("螺纹钢"));
        db().exec(QStringLiteral("UPDATE CLJBXXB SET CLGG = 'Φ12', HSDW = '吨', HSXS = 1000, "
                                 "JHDJ = 25000 WHERE CLBH = '1001'"));
    }
    void TearDown() override { Clock::setToday(std::nullopt); }

    Database &db() { return set.db(); }
    void close()
    {
        db().exec(QStringLiteral("INSERT INTO YJSJB (YJID, YJSJ) VALUES (1, '2026-02-28')"));
    }
    int count(const QString &sql) { return db().scalar(sql).toInt(); }

    // Types into a numeric cell through its editor and commits with Enter.
    void type(StockInScreen &screen, int row, int column, const QString &text)
    {
        const QModelIndex cell = screen.model()->index(row, column);
        screen.grid()->setCurrentIndex(cell);
        screen.grid()->edit(cell);
        auto *edit = qobject_cast<NumericEdit *>(screen.grid()->indexWidget(cell));
        ASSERT_NE(edit, nullptr);
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
        QTRY_VERIFY(!screen.grid()->isEditing() || screen.grid()->currentIndex() != cell);
        if (screen.grid()->isEditing())
            screen.grid()->closePersistentEditor(screen.grid()->currentIndex());
    }

    test::TestAccountSet set;
    test::RecordingSink sink;
};

TEST_F(StockInScreensTest, AVoucherDatedAfterTodayIsSavedOnlyAfterYes)
{
    close();
    StockInScreen screen(db(), StockInKind::Purchase, 2, Formats());
    screen.show();
    EXPECT_EQ(screen.dateField()->minimumDate(), QDate(1900, 1, 1));
    EXPECT_EQ(screen.dateField()->maximumDate(), QDate(2999, 12, 31));
    click(screen.buttons(), StockInScreen::Add);
    screen.partnerCode()->setText(QStringLiteral("1"));
    QAbstractItemModel *lines = screen.model();
    lines->setData(lines->index(0, StockInLineModel::Code), QStringLiteral("1001"));
    lines->setData(lines->index(0, StockInLineModel::Quantity), QStringLiteral("2"));
    lines->setData(lines->index(0, StockInLineModel::Price), QStringLiteral("3"));
    screen.dateField()->setDate(QDate(2026, 3, 11));

    sink.answer({false});
    click(screen.buttons(), StockInScreen::Save);
    ASSERT_EQ(sink.questionTexts().size(), 1);
    EXPECT_TRUE(sink.questionTexts().first().contains(QStringLiteral("晚于今天")));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM RKD")), 0);
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("凭证新增"));

    click(screen.buttons(), StockInScreen::Save);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM RKD WHERE CZRQ = '2026-03-11'")), 1);
}

TEST_F(StockInScreensTest, APurchaseVoucherTypedThroughTheGridIsSavedAndGuarded)
{
    close();
    StockInScreen screen(db(), StockInKind::Purchase, 2, Formats());
    screen.show();
    QApplication::setActiveWindow(&screen);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&screen));
    EXPECT_EQ(screen.objectName(), QStringLiteral("FrmCgrkd"));
    EXPECT_EQ(screen.windowTitle(), QStringLiteral("采购入库单凭单填制"));
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("凭证浏览"));
    EXPECT_TRUE(screen.grid()->isColumnHidden(StockInLineModel::Id));
    EXPECT_FALSE(screen.buttons()->button(StockInScreen::Print)->isEnabled());
    EXPECT_TRUE(screen.buttons()->button(StockInScreen::Post)->isEnabled());

    click(screen.buttons(), StockInScreen::Add);
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("凭证新增"));
    EXPECT_EQ(screen.documentNumber()->currentText(), QStringLiteral("2026-03-10 - 1001"));
    EXPECT_EQ(screen.systemNumberLabel()->text(), QStringLiteral("1"));

    // Nothing typed yet: refused, nothing written.
    click(screen.buttons(), StockInScreen::Save);
    EXPECT_TRUE(sink.lastText().contains(QStringLiteral("请选择正确供应商！")))
        << sink.lastText().toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM RKD")), 0);

    screen.partnerCode()->setFocus();
    QTest::keyClicks(screen.partnerCode(), QStringLiteral("1"));
    QTest::keyClick(screen.partnerCode(), Qt::Key_Return);
    EXPECT_EQ(screen.partnerName()->text(), QStringLiteral("甲钢材公司"));
    screen.invoiceNumber()->setText(QStringLiteral("FP'7\"号"));

    // The material comes from the lookup; a new empty row follows.
    const QModelIndex codeCell = screen.model()->index(0, StockInLineModel::Code);
    screen.grid()->setCurrentIndex(codeCell);
    screen.grid()->edit(codeCell);
    auto *code = qobject_cast<LookupEdit *>(screen.grid()->indexWidget(codeCell));
    ASSERT_NE(code, nullptr);
    whenModal<SearchPicker>([](SearchPicker *lookup) { click(lookup->buttons(), 0); });
    QTest::mouseClick(code->button(), Qt::LeftButton);
    ASSERT_EQ(screen.model()->rowCount(), 2);
    EXPECT_EQ(screen.model()->index(0, StockInLineModel::Name).data().toString(),
              QStringLiteral("螺纹钢"));
    if (screen.grid()->isEditing())
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!screen.grid()->isEditing());

    // Letters never reach a numeric cell.
    type(screen, 0, StockInLineModel::Quantity, QStringLiteral("4x"));
    EXPECT_EQ(screen.model()->line(0).quantity, test::dec("4"));
    type(screen, 0, StockInLineModel::Price, QStringLiteral("12.5"));
    QTRY_COMPARE(screen.model()->index(0, StockInLineModel::Amount).data().toString(),
                 QStringLiteral("50.00"));
    EXPECT_EQ(screen.model()->index(0, StockInLineModel::PlannedAmount).data().toString(),
              QStringLiteral("10.00"));
    type(screen, 0, StockInLineModel::Paid, QStringLiteral("50.01"));
    click(screen.buttons(), StockInScreen::Save);
    EXPECT_EQ(sink.lastText(), QStringLiteral("已付金额不允许大于实际金额"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM RKD")), 0);
    type(screen, 0, StockInLineModel::Paid, QStringLiteral("50"));
    keepPicture(&screen, QStringLiteral("frmcgrkd-new"));

    sink.clear();
    click(screen.buttons(), StockInScreen::Save);
    EXPECT_TRUE(sink.shownTexts().isEmpty()) << sink.lastText().toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM RKD WHERE XTBH = 1 AND CLBH = '1001' "
                                   "AND SJSL = 40000 AND SJDJ = 125000 AND SJJE = 500000 "
                                   "AND YFJE = 500000 AND ZL = '采购入库' AND JZBZ = 0 "
                                   "AND YSDJH = '2026-03-10 - 1001' AND GYSBH = '1' "
                                   "AND CZRQ = '2026-03-10'")),
              1);
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT FPBH FROM RKD")).toString(),
              QStringLiteral("FP'7\"号"));
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("凭证浏览"));
    EXPECT_EQ(screen.model()->rowCount(), 1);
    EXPECT_EQ(screen.model()->index(0, StockInLineModel::Code).data().toString(),
              QStringLiteral("1001"));
    keepPicture(&screen, QStringLiteral("frmcgrkd-saved"));

    // Change: the quantity goes to 5 and the row stays the same stored line.
    click(screen.buttons(), StockInScreen::Change);
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("凭证修改"));
    type(screen, 0, StockInLineModel::Quantity, QStringLiteral("5"));
    type(screen, 0, StockInLineModel::Paid, QStringLiteral("0"));
    click(screen.buttons(), StockInScreen::Save);
    EXPECT_TRUE(sink.shownTexts().isEmpty()) << sink.lastText().toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM RKD WHERE SJSL = 50000 "
                                   "AND SJJE = 625000")),
              1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM RKD")), 1);

    // Once posted the voucher is shown as such and never changed here.
    test::LedgerSeed(db()).post(QStringLiteral("RKD"), 1);
    whenModal<VoucherFinder>([](VoucherFinder *finder) {
        EXPECT_EQ(finder->rowCount(), 1);
        EXPECT_EQ(finder->view()->model()->index(0, 1).data().toString(), QStringLiteral("已记账"));
        click(finder->buttons(), 0);
    });
    click(screen.buttons(), StockInScreen::Search);
    EXPECT_EQ(screen.systemNumber(), 1);
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("已记帐"));
    click(screen.buttons(), StockInScreen::Change);
    EXPECT_EQ(sink.lastText(), QStringLiteral("该单据已经记账，不允许修改！"));
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("已记帐"));
}

TEST_F(StockInScreensTest, RowsAreDeletedFromTheGridAfterTheQuestion)
{
    close();
    StockInScreen screen(db(), StockInKind::TransferIn, 2, Formats());
    EXPECT_EQ(screen.windowTitle(), QStringLiteral("调拨入库单凭单填制"));
    click(screen.buttons(), StockInScreen::Add);
    screen.model()->setData(screen.model()->index(0, StockInLineModel::Code),
                            QStringLiteral("1001"));
    screen.model()->appendEmpty();
    screen.grid()->setCurrentIndex(screen.model()->index(1, StockInLineModel::Code));
    sink.answer({false});
    click(screen.buttons(), StockInScreen::Delete);
    EXPECT_EQ(sink.questionTexts().last(), QStringLiteral("你确实要删除第 2 记录吗？"));
    EXPECT_EQ(sink.questions.back().title, QStringLiteral("删除窗口"));
    EXPECT_EQ(screen.model()->rowCount(), 2);
    click(screen.buttons(), StockInScreen::Delete);
    EXPECT_EQ(screen.model()->rowCount(), 1);
    // The last row is emptied, not removed.
    screen.grid()->setCurrentIndex(screen.model()->index(0, StockInLineModel::Code));
    click(screen.buttons(), StockInScreen::Delete);
    EXPECT_EQ(screen.model()->rowCount(), 1);
    EXPECT_TRUE(screen.model()->index(0, StockInLineModel::Code).data().toString().isEmpty());
    keepPicture(&screen, QStringLiteral("frmdbrkd"));

    click(screen.buttons(), StockInScreen::Restore);
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("凭证浏览"));
}

TEST_F(StockInScreensTest, TheFourScreensAreRegisteredAndNeedAClosing)
{
    ScreenRegistry registry;
    registerStockInScreens(registry);
    ScreenRequest request;
    request.database = &db();
    EXPECT_EQ(registry.open(QStringLiteral("FrmCgrkd"), request), nullptr);
    EXPECT_EQ(sink.lastText(), QStringLiteral("请选做月结处理！！！"));

    close();
    const char *names[] = {"FrmCgrkd", "FrmDbrkd", "FrmZgrkd", "FrmJgrkd"};
    const char *captions[] = {"采购入库单凭单填制", "调拨入库单凭单填制", "材料暂估入库凭单填制",
                              "甲方供给入库凭单填制"};
    for (int i = 0; i < 4; ++i) {
        QWidget *opened = registry.open(QString::fromLatin1(names[i]), request);
        ASSERT_NE(opened, nullptr) << names[i];
        auto *screen = qobject_cast<StockInScreen *>(opened);
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(screen->objectName(), QString::fromLatin1(names[i]));
        EXPECT_EQ(screen->windowTitle(), QString::fromUtf8(captions[i]));
        EXPECT_EQ(screen->buttons()->count(), i == 2 ? 10 : 9);
        keepPicture(screen, QString::fromLatin1(names[i]).toLower());
        screen->close();
    }
}

TEST_F(StockInScreensTest, AProvisionalLineIsAppendedAfterBothQuestions)
{
    close();
    StockInVouchers v(db(), StockInKind::of(StockInKind::Provisional), 2, Formats());
    StockInVoucher in;
    in.ysdjh = QStringLiteral("Z-1");
    in.gysbh = QStringLiteral("1");
    in.czrq = QDate(2026, 3, 5);
    StockInLine l;
    l.clbh = QStringLiteral("1001");
    l.price = test::dec("2");
    l.quantity = test::dec("10");
    l.amount = test::dec("20");
    in.lines = {l};
    const qint64 xtbh = v.saveNew(in);
    test::LedgerSeed(db()).post(QStringLiteral("RKD"), xtbh);

    StockInScreen screen(db(), StockInKind::Provisional, 2, Formats());
    screen.showVoucher(xtbh);
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("已记帐"));
    EXPECT_EQ(screen.model()->headerData(StockInLineModel::Price, Qt::Horizontal).toString(),
              QStringLiteral(" 暂估单价"));
    screen.model()->setData(screen.model()->index(0, StockInLineModel::Amount),
                            QStringLiteral("25"));
    screen.grid()->setCurrentIndex(screen.model()->index(0, StockInLineModel::Amount));
    sink.answer({true, false});
    click(screen.buttons(), StockInScreen::Append);
    EXPECT_EQ(sink.questionTexts().last(),
              QStringLiteral("每次只能追加一条记录，第 1 条记录将被追加"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM RKD")), 1);

    click(screen.buttons(), StockInScreen::Append);
    EXPECT_TRUE(sink.shownTexts().isEmpty()) << sink.lastText().toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM RKD")), 3);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM RKD WHERE ZJBZ = 1")), 3);
}

} // namespace

namespace {

TEST_F(StockInScreensTest, TheFinderNarrowsTheListByConditionsAndSoundDates)
{
    close();
    set.addSupplier(QStringLiteral("2"), QStringLiteral("乙'建材"));
    StockInVouchers v(db(), StockInKind::of(StockInKind::Purchase), 2, Formats());
    StockInVoucher in;
    in.ysdjh = QStringLiteral("A");
    in.gysbh = QStringLiteral("1");
    in.czrq = QDate(2026, 3, 2);
    StockInLine l;
    l.clbh = QStringLiteral("1001");
    l.quantity = test::dec("1");
    l.amount = test::dec("1");
    in.lines = {l};
    v.saveNew(in);
    in.gysbh = QStringLiteral("2");
    v.saveNew(in);

    VoucherFinder finder(VoucherFinder::stockIns(v));
    EXPECT_EQ(finder.objectName(), QStringLiteral("FrmDjcxjg"));
    EXPECT_EQ(finder.rowCount(), 2);
    keepPicture(&finder, QStringLiteral("frmdjcxjg"));
    whenModal<ConditionDialog>([this](ConditionDialog *dialog) {
        EXPECT_EQ(dialog->objectName(), QStringLiteral("FrmDjcx"));
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("条件查询"));
        keepPicture(dialog, QStringLiteral("frmdjcx"));
        EXPECT_EQ(dialog->startDate()->date(), QDate(2026, 2, 28));
        EXPECT_EQ(dialog->endDate()->date(), QDate(2026, 3, 10));
        dialog->endDate()->setDate(QDate(2026, 2, 1));
        click(dialog->buttons(), 0);
        EXPECT_EQ(sink.lastText(), QStringLiteral("终止日期不能大于起始日期！"));
        EXPECT_TRUE(dialog->isVisible());

        dialog->endDate()->setDate(QDate(2026, 3, 10));
        test::fieldBeside<QLineEdit>(dialog, QStringLiteral("供应商编号："))
            ->setText(QStringLiteral("2"));
        click(dialog->buttons(), 0);
    });
    QTest::mouseClick(finder.searchButton(), Qt::LeftButton);
    ASSERT_EQ(finder.rowCount(), 1);
    EXPECT_EQ(finder.view()->model()->index(0, 4).data().toString(), QStringLiteral("乙'建材"));
    EXPECT_EQ(finder.view()->model()->index(0, 1).data().toString(), QStringLiteral("未记账"));
}

} // namespace
