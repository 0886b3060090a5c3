#include "ledger/posting.h"
#include "ledger/screens/ledgerscreens.h"
#include "ledger/screens/postingscreen.h"
#include "shell/permissions.h"
#include "shell/screens/commanddispatcher.h"
#include "shell/screens/mdifrmmain.h"
#include "shell/screens/screenregistry.h"
#include "store/clock.h"
#include "store/database.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"
#include "vouchers/screens/stockinreturnscreen.h"
#include "vouchers/screens/stockinreturnscreens.h"
#include "vouchers/screens/voucherfinder.h"
#include "vouchers/stockinreturnlinemodel.h"
#include "vouchers/stockinreturns.h"
#include "vouchers/stockinvouchers.h"
#include "widgets/conditiondialog.h"
#include "widgets/datepicker.h"
#include "widgets/editablegrid.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/numericedit.h"
#include "widgets/recordingsink.h"
#include "widgets/uitest.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace varnock;
using test::click;
using test::keepPicture;
using test::whenModal;

namespace {

class StockInReturnScreenTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clock::setToday(QDate(2026, 3, 10));
        set.addSupplier(QStringLiteral("1"), QStringLiteral("甲钢材公司"));
        set.addMaterial(QStringLiteral("1001"), QStringLiteral("螺纹钢"));
        set.addMaterial(QStringLiteral("1002"), QStringLiteral("水泥"));
        db().exec(QStringLiteral("UPDATE CLJBXXB SET CLGG = 'Φ12', JHDJ = 30000 "
                                 "WHERE CLBH = '1001'"));
    }
    void TearDown() override { Clock::setToday(std::nullopt); }

    Database &db() { return set.db(); }
    void close()
    {
        db().exec(QStringLiteral("INSERT INTO YJSJB (YJID, YJSJ) VALUES (1, '2026-02-28')"));
    }
    int count(const QString &sql) { return db().scalar(sql).toInt(); }

    // A posted purchase of 10 螺纹钢 at 2.5 and 5 水泥 at 1; returns its XTBH.
    qint64 postedPurchase()
    {
        StockInVoucher v;
        v.ysdjh = QStringLiteral("RK'01");
        v.gysbh = QStringLiteral("1");
        v.fpbh = QStringLiteral("FP9");
        v.czrq = QDate(2026, 3, 2);
        StockInLine a;
        a.clbh = QStringLiteral("1001");
        a.price = test::dec("2.5");
        a.quantity = test::dec("10");
        a.amount = test::dec("25");
        StockInLine b;
        b.clbh = QStringLiteral("1002");
        b.price = test::dec("1");
        b.quantity = test::dec("5");
        b.amount = test::dec("5");
        v.lines = {a, b};
        const qint64 xtbh =
            StockInVouchers(db(), StockInKind::of(StockInKind::Purchase), 2, Formats()).saveNew(v);
        Posting(db(), 2, Formats())
            .post(Posting::Family::StockIn, QStringLiteral("采购入库"), xtbh);
        return xtbh;
    }

    // Types into the return-quantity cell through its editor and commits with Enter.
    void type(StockInReturnScreen &screen, int row, const QString &text)
    {
        const QModelIndex cell = screen.model()->index(row, StockInReturnLineModel::Quantity);
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

TEST_F(StockInReturnScreenTest, AReturnIsChosenTypedSavedBrowsedAndDeleted)
{
    close();
    const qint64 in = postedPurchase();
    // An earlier return of 4 of the 10.
    StockInReturns core(db(), StockInKind::of(StockInKind::Purchase), 2, Formats());
    StockInReturnVoucher earlier = core.draft(in, QDate(2026, 3, 5));
    earlier.lines[0].quantity = test::dec("4");
    core.saveNew(earlier);

    StockInReturnScreen screen(db(), StockInKind::Purchase, 2, Formats());
    screen.show();
    QApplication::setActiveWindow(&screen);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&screen));
    EXPECT_EQ(screen.objectName(), QStringLiteral("FrmCgthd"));
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("凭证浏览"));
    EXPECT_EQ(screen.buttons()->button(StockInReturnScreen::Choose)->text(),
              QStringLiteral("入库选择(&C)"));
    EXPECT_TRUE(screen.grid()->isColumnHidden(StockInReturnLineModel::Id));
    EXPECT_FALSE(screen.buttons()->button(StockInReturnScreen::Print)->isEnabled());

    whenModal<VoucherFinder>([](VoucherFinder *list) {
        EXPECT_EQ(list->rowCount(), 1);
        click(list->buttons(), 0);
    });
    click(screen.buttons(), StockInReturnScreen::Choose);
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("凭证新增"));
    EXPECT_EQ(screen.documentNumber()->text(), QStringLiteral("2026-03-10 - 1002"));
    EXPECT_EQ(screen.systemNumberLabel()->text(), QStringLiteral("2"));
    EXPECT_EQ(screen.stockInNumber()->text(), QStringLiteral("RK'01"));
    EXPECT_EQ(screen.partnerName()->text(), QStringLiteral("甲钢材公司"));
    ASSERT_EQ(screen.model()->rowCount(), 2);
    const auto cell = [&](int row, int column) {
        return screen.model()->index(row, column).data().toString();
    };
    EXPECT_EQ(cell(0, StockInReturnLineModel::ReceivedQuantity), QStringLiteral("10.00"));
    EXPECT_EQ(cell(0, StockInReturnLineModel::ReturnedBefore), QStringLiteral("4.00"));

    // Letters never reach the cell; the amount follows while typing.
    type(screen, 0, QStringLiteral("6.5x"));
    EXPECT_EQ(screen.model()->line(0).quantity, test::dec("6.5"));
    QTRY_COMPARE(cell(0, StockInReturnLineModel::Amount), QStringLiteral("16.25"));
    EXPECT_EQ(cell(0, StockInReturnLineModel::PlannedAmount), QStringLiteral("19.50"));
    keepPicture(&screen, QStringLiteral("frmcgthd-new"));
    click(screen.buttons(), StockInReturnScreen::Save);
    EXPECT_EQ(sink.lastText(), QStringLiteral("退货数量不允许大于入库数量！"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM THD")), 1);

    type(screen, 0, QStringLiteral("6"));
    sink.clear();
    click(screen.buttons(), StockInReturnScreen::Save);
    EXPECT_TRUE(sink.shownTexts().isEmpty()) << sink.lastText().toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM THD WHERE XTBH = 2 AND THSL = 60000 "
                                   "AND THJE = 150000 AND THDJ = 25000 AND YSBH = 'RK''01' "
                                   "AND THDJH = '2026-03-10 - 1002' AND ZL = '采购退货' "
                                   "AND CZRQ = '2026-03-10' AND JZBZ = 0")),
              1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM THD")), 2);
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("凭证浏览"));
    EXPECT_EQ(screen.systemNumber(), 2);

    // Browse to the earlier return and change it.
    whenModal<VoucherFinder>([](VoucherFinder *finder) {
        EXPECT_EQ(finder->rowCount(), 2);
        EXPECT_EQ(finder->view()->model()->index(0, 8).data().toString(), QStringLiteral("RK'01"));
        click(finder->buttons(), 0);
    });
    click(screen.buttons(), StockInReturnScreen::Search);
    EXPECT_EQ(screen.systemNumber(), 1);
    EXPECT_EQ(screen.dateField()->date(), QDate(2026, 3, 5));
    EXPECT_EQ(cell(0, StockInReturnLineModel::ReturnedBefore), QStringLiteral("6.00"));
    EXPECT_EQ(cell(0, StockInReturnLineModel::Quantity), QStringLiteral("4.00"));
    click(screen.buttons(), StockInReturnScreen::Change);
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("凭证修改"));
    type(screen, 0, QStringLiteral("3"));
    type(screen, 1, QStringLiteral("1"));
    click(screen.buttons(), StockInReturnScreen::Save);
    EXPECT_TRUE(sink.shownTexts().isEmpty()) << sink.lastText().toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM THD WHERE XTBH = 1")), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT SUM(THSL) FROM THD WHERE XTBH = 1")), 40000);

    // Delete asks first and acts only on Yes.
    sink.answer({false});
    click(screen.buttons(), StockInReturnScreen::Delete);
    EXPECT_EQ(sink.questionTexts().last(), QStringLiteral("您确定要删除该票据吗？"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM THD WHERE XTBH = 1")), 2);
    click(screen.buttons(), StockInReturnScreen::Delete);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM THD WHERE XTBH = 1")), 0);
    EXPECT_EQ(screen.model()->rowCount(), 0);
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("凭证浏览"));

    // A posted return is only shown.
    Posting(db(), 2, Formats()).post(Posting::Family::StockInReturn, QStringLiteral("采购退货"), 2);
    screen.showVoucher(2);
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("已记帐"));
    keepPicture(&screen, QStringLiteral("frmcgthd-posted"));
    sink.clear();
    click(screen.buttons(), StockInReturnScreen::Delete);
    EXPECT_EQ(sink.lastText(), QStringLiteral("该票据已经记账，请做冲帐处理！"));
    EXPECT_TRUE(sink.questionTexts().isEmpty());
    click(screen.buttons(), StockInReturnScreen::Change);
    EXPECT_EQ(sink.lastText(), QStringLiteral("该单据已经记账，不允许修改！"));
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("已记帐"));
    test::expectBooksBalance(db(), 2, Formats());
}

TEST_F(StockInReturnScreenTest, ChoosingNothingOrAnIssuedVoucherLeavesTheScreenEmpty)
{
    close();
    set.setMode(1);
    set.addUnit(QStringLiteral("U1"), QStringLiteral("一队"));
    postedPurchase();
    StockInReturnScreen screen(db(), StockInKind::Purchase, 1, Formats());

    whenModal<VoucherFinder>([](VoucherFinder *list) { click(list->buttons(), 1); });
    click(screen.buttons(), StockInReturnScreen::Choose);
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("凭证浏览"));
    EXPECT_EQ(screen.model()->rowCount(), 0);

    test::LedgerSeed(db()).issue(70, QStringLiteral("1001"), test::dec("1"));
    Posting(db(), 1, Formats()).post(Posting::Family::Issue, QStringLiteral("1"), 70);
    whenModal<VoucherFinder>([](VoucherFinder *list) { click(list->buttons(), 0); });
    click(screen.buttons(), StockInReturnScreen::Choose);
    EXPECT_EQ(sink.lastText(), QStringLiteral("材料已做过出库,不能做退货,请先做退库"));
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("凭证浏览"));
    EXPECT_EQ(screen.model()->rowCount(), 0);
    click(screen.buttons(), StockInReturnScreen::Save);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM THD")), 0);
}

TEST_F(StockInReturnScreenTest, TheFourScreensAreRegisteredAndNeedAClosing)
{
    ScreenRegistry registry;
    registerStockInReturnScreens(registry);
    ScreenRequest request;
    request.database = &db();
    EXPECT_EQ(registry.open(QStringLiteral("FrmCgthd"), request), nullptr);
    EXPECT_EQ(sink.lastText(), QStringLiteral("请选做月结处理！！！"));

    close();
    const char *names[] = {"FrmCgthd", "FrmDbthd", "FrmZgthd", "FrmJgthd"};
    const char *choose[] = {"入库选择(&C)", "入库选择(U)", "入库单选择", "入库单选择"};
    const char *partners[] = {"供应商编号：", "调拨单位编号：", "供应商编号：", "供应商编号："};
    for (int i = 0; i < 4; ++i) {
        QWidget *opened = registry.open(QString::fromLatin1(names[i]), request);
        ASSERT_NE(opened, nullptr) << names[i];
        auto *screen = qobject_cast<StockInReturnScreen *>(opened);
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(screen->objectName(), QString::fromLatin1(names[i]));
        EXPECT_EQ(screen->buttons()->count(), 9);
        EXPECT_EQ(screen->buttons()->button(StockInReturnScreen::Choose)->text(),
                  QString::fromUtf8(choose[i]));
        bool found = false;
        for (QLabel *label : screen->findChildren<QLabel *>())
            found = found || label->text() == QString::fromUtf8(partners[i]);
        EXPECT_TRUE(found) << names[i];
        keepPicture(screen, QString::fromLatin1(names[i]).toLower());
        delete screen;
    }
}

TEST_F(StockInReturnScreenTest, TheFinderNarrowsByConditionsAndSoundDates)
{
    close();
    const qint64 in = postedPurchase();
    StockInReturns core(db(), StockInKind::of(StockInKind::Purchase), 2, Formats());
    for (const char *number : {"T-1", "T'2"}) {
        StockInReturnVoucher v = core.draft(in, QDate(2026, 3, 4));
        v.thdjh = QString::fromUtf8(number);
        v.lines[1].quantity = test::dec("1");
        core.saveNew(v);
    }
    VoucherFinder finder(VoucherFinder::stockInReturns(core));
    EXPECT_EQ(finder.objectName(), QStringLiteral("FrmDjcxth"));
    EXPECT_EQ(finder.rowCount(), 2);
    keepPicture(&finder, QStringLiteral("frmdjcxth"));
    whenModal<ConditionDialog>([this](ConditionDialog *dialog) {
        EXPECT_EQ(dialog->objectName(), QStringLiteral("FrmThdcx"));
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("条件查询"));
        EXPECT_EQ(dialog->startDate()->date(), QDate(2026, 2, 28));
        dialog->endDate()->setDate(QDate(2026, 2, 1));
        click(dialog->buttons(), 0);
        EXPECT_EQ(sink.lastText(), QStringLiteral("终止日期不能大于起始日期！"));
        EXPECT_TRUE(dialog->isVisible());
        keepPicture(dialog, QStringLiteral("frmthdcx"));

        dialog->endDate()->setDate(QDate(2026, 3, 10));
        test::fieldBeside<QLineEdit>(dialog, QStringLiteral("原始单据号："))
            ->setText(QStringLiteral("T'2"));
        click(dialog->buttons(), 0);
    });
    QTest::mouseClick(finder.searchButton(), Qt::LeftButton);
    ASSERT_EQ(finder.rowCount(), 1);
    EXPECT_EQ(finder.view()->model()->index(0, 3).data().toString(), QStringLiteral("T'2"));
    EXPECT_EQ(finder.view()->model()->index(0, 1).data().toString(), QStringLiteral("未记账"));
}

TEST_F(StockInReturnScreenTest, ThePostButtonOpensReturnPostingOnItsKind)
{
    close();
    MDIFrmMain main;
    auto *dispatcher = new CommandDispatcher(&main);
    dispatcher->setAccountSet(&db(), 2);
    registerLedgerScreens(dispatcher->registry());
    registerStockInReturnScreens(dispatcher->registry());
    dispatcher->installCommands();
    main.applyPermissions(Permissions::all(), true);
    dispatcher->loggedIn(Permissions::all(), true);

    main.action(QStringLiteral("ZGTHD"))->trigger();
    auto *entry = main.findChild<StockInReturnScreen *>();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->objectName(), QStringLiteral("FrmZgthd"));

    entry->buttons()->button(StockInReturnScreen::Post)->click();
    auto *posting = main.findChild<PostingScreen *>();
    ASSERT_NE(posting, nullptr);
    EXPECT_EQ(posting->family(), Posting::Family::StockInReturn);
    EXPECT_EQ(posting->kind(), QStringLiteral("暂估退货"));

    // Without the posting right the button opens nothing.
    posting->close();
    QTRY_VERIFY(main.findChild<PostingScreen *>() == nullptr);
    Permissions rights = Permissions::all();
    rights[Permissions::DZCL] = false;
    main.applyPermissions(rights, true);
    entry->buttons()->button(StockInReturnScreen::Post)->click();
    EXPECT_EQ(main.findChild<PostingScreen *>(), nullptr);
    EXPECT_EQ(sink.lastText(), QStringLiteral("对不起,您没有被授予该项权限!"));
}

} // namespace
