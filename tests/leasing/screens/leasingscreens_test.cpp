#include "leasing/leasepayments.h"
#include "leasing/leasereturns.h"
#include "leasing/leases.h"
#include "leasing/screens/forhz.h"
#include "leasing/screens/forzl.h"
#include "leasing/screens/fzl.h"
#include "leasing/screens/fzlbb.h"
#include "leasing/screens/fzlhk.h"
#include "leasing/screens/fzlhkcx.h"
#include "print/screens/reportwindow.h"
#include "shell/operators.h"
#include "shell/permissions.h"
#include "shell/screens/frmma.h"
#include "store/clock.h"
#include "store/database.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"
#include "widgets/datepicker.h"
#include "widgets/editablegrid.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/numericedit.h"
#include "widgets/recordingsink.h"
#include "widgets/uitest.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

using namespace varnock;
using test::click;
using test::dec;
using test::keepPicture;
using test::whenModal;

namespace {

class LeasingScreens : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clock::setToday(QDate(2026, 3, 10));
        set.addSupplier(QStringLiteral("1"), QStringLiteral("恒达租赁"));
        set.addUnit(QStringLiteral("U1"), QStringLiteral("一号楼项目部"));
        set.addMaterial(QStringLiteral("5001"), QStringLiteral("脚手架钢管"));
        set.addMaterial(QStringLiteral("5002"), QStringLiteral("扣件"));
    }
    void TearDown() override { Clock::setToday(std::nullopt); }

    Database &db() { return set.db(); }
    int count(const QString &sql) { return db().scalar(sql).toInt(); }
    // A stored lease of 10 of 5001 at 2 a day, from the 1st.
    qint64 lease()
    {
        LeaseVoucher v;
        v.gysbh = QStringLiteral("1");
        v.lldwbh = QStringLiteral("U1");
        v.czrq = QDate(2026, 3, 1);
        LeaseLine l;
        l.clbh = QStringLiteral("5001");
        l.quantity = dec("10");
        l.rent = dec("2");
        v.lines << l;
        return Leases(db(), Formats()).saveNew(v);
    }
    template <typename Model> static void type(Model *model, int row, int column, const char *text)
    {
        ASSERT_TRUE(model->setData(model->index(row, column), QString::fromUtf8(text)));
    }

    test::TestAccountSet set;
    test::RecordingSink sink;
};

TEST_F(LeasingScreens, ALeaseIsEnteredSavedFoundAndDeleted)
{
    Forzl screen(db(), Formats());
    screen.show();
    EXPECT_EQ(screen.windowTitle(), QStringLiteral("租 赁 凭 单 添 制"));
    click(screen.buttons(), Forzl::Add);
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("凭证新增"));
    EXPECT_EQ(screen.systemNumberLabel()->text(), QStringLiteral("1"));

    click(screen.buttons(), Forzl::Save);
    EXPECT_TRUE(sink.lastText().startsWith(QStringLiteral("请正确选择供应商")))
        << sink.lastText().toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM ZLBIAO")), 0);

    screen.supplierCode()->setText(QStringLiteral("1"));
    emit screen.supplierCode()->editingFinished();
    EXPECT_EQ(screen.supplierName()->text(), QStringLiteral("恒达租赁"));
    screen.unitCode()->setText(QStringLiteral("U1"));
    emit screen.unitCode()->editingFinished();
    type(screen.model(), 0, LeaseLineModel::Code, "5001");
    type(screen.model(), 0, LeaseLineModel::Quantity, "10");
    type(screen.model(), 0, LeaseLineModel::Rent, "2.5");
    type(screen.model(), 0, LeaseLineModel::Deposit, "100");
    EXPECT_EQ(screen.model()->index(0, LeaseLineModel::Amount).data().toString(),
              QStringLiteral("25.00"));
    keepPicture(&screen, QStringLiteral("forzl"));
    click(screen.buttons(), Forzl::Save);
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("凭证浏览"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM ZLBIAO WHERE DJBH = 1 AND JE = 250000")),
              1);
    EXPECT_TRUE(screen.buttons()->button(Forzl::Print)->isEnabled());

    click(screen.buttons(), Forzl::Add);
    whenModal<Fzl>([](Fzl *finder) {
        EXPECT_EQ(finder->rowCount(), 1);
        click(finder->buttons(), 0);
    });
    click(screen.buttons(), Forzl::Search);
    EXPECT_EQ(screen.systemNumberLabel()->text(), QStringLiteral("1"));
    EXPECT_EQ(screen.unitName()->text(), QStringLiteral("一号楼项目部"));

    click(screen.buttons(), Forzl::Delete);
    EXPECT_EQ(sink.questions.back().text,
              QStringLiteral("您确定要删除本租赁小票吗,一旦删除将不能还原?"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM ZLBIAO")), 0);
}

TEST_F(LeasingScreens, AReturnIsChosenFromItsLeaseAndNeverExceedsWhatIsOut)
{
    lease();
    Forhz screen(db(), Formats());
    screen.show();
    whenModal<Fzl>([](Fzl *finder) { click(finder->buttons(), 0); });
    click(screen.buttons(), Forhz::Choose);
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("凭证新增"));
    EXPECT_EQ(screen.leaseDate()->text(), QStringLiteral("2026-03-01"));
    EXPECT_EQ(screen.rentDays()->text(), QStringLiteral("10"));

    type(screen.model(), 0, LeaseReturnLineModel::Quantity, "11");
    EXPECT_EQ(sink.lastText(), QStringLiteral("数据入录错误,请重新输入"));
    EXPECT_EQ(sink.shown.back().title, QStringLiteral("警告"));
    EXPECT_EQ(screen.model()->index(0, LeaseReturnLineModel::Quantity).data().toString(),
              QString());
    type(screen.model(), 0, LeaseReturnLineModel::Quantity, "4");
    // 4 back after 10 days at 2.
    EXPECT_EQ(screen.model()->index(0, LeaseReturnLineModel::Amount).data().toString(),
              QStringLiteral("80.00"));
    screen.dateField()->setDate(QDate(2026, 3, 5));
    EXPECT_EQ(screen.rentDays()->text(), QStringLiteral("5"));
    EXPECT_EQ(screen.model()->index(0, LeaseReturnLineModel::Amount).data().toString(),
              QStringLiteral("40.00"));
    keepPicture(&screen, QStringLiteral("forhz"));

    click(screen.buttons(), Forhz::Save);
    EXPECT_EQ(sink.questions.back().text, QStringLiteral("您确定要保存本次还租吗?"));
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("凭证浏览"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM ZLHZ WHERE HZRQ = '2026-03-05'")), 1);
    EXPECT_EQ(screen.model()->index(0, LeaseReturnLineModel::Remaining).data().toString(),
              QStringLiteral("10.00"));
}

TEST_F(LeasingScreens, RentIsPaidNoMoreThanIsOwedAndPaymentsDeletedWithThePassword)
{
    lease(); // 200 by the 10th
    Operators(db()).add(1, QStringLiteral("管理员"), QString(), QStringLiteral("secret"),
                        Permissions::all());
    Fzlhk screen(db(), Formats(), 1);
    screen.show();
    screen.supplier()->setCurrentIndex(0);
    EXPECT_EQ(screen.owed()->text(), QStringLiteral("200.00"));
    screen.amount()->setText(QStringLiteral("250"));
    emit screen.amount()->editingFinished();
    EXPECT_EQ(sink.lastText(), LeasePayments::WrongAmountText);
    EXPECT_TRUE(screen.amount()->text().isEmpty());
    screen.amount()->setText(QStringLiteral("150"));
    emit screen.amount()->editingFinished();
    EXPECT_EQ(screen.left()->text(), QStringLiteral("50.00"));
    keepPicture(&screen, QStringLiteral("fzlhk"));
    click(screen.buttons(), Fzlhk::Pay);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM ZLHK")), 1);
    EXPECT_EQ(screen.paid()->text(), QStringLiteral("150.00"));

    Fzlhkcx list(db(), Formats(), 1);
    ASSERT_EQ(list.rowCount(), 1);
    whenModal<FrmMa>([](FrmMa *prompt) {
        prompt->passwordField()->setText(QStringLiteral("guess"));
        click(prompt->buttons(), 0);
    });
    click(list.buttons(), Fzlhkcx::Delete);
    EXPECT_EQ(sink.lastText(), QStringLiteral("密码错误！不允许删除！"));
    whenModal<FrmMa>([](FrmMa *prompt) {
        prompt->passwordField()->setText(QStringLiteral("secret"));
        click(prompt->buttons(), 0);
    });
    click(list.buttons(), Fzlhkcx::Delete);
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM ZLHK")), 0);
}

TEST_F(LeasingScreens, TheRentReportOpensInItsWindow)
{
    lease();
    Fzlbb screen(db(), Formats());
    screen.show();
    screen.startDate()->setDate(QDate(2026, 3, 11));
    click(screen.buttons(), PeriodForm::Ok);
    EXPECT_EQ(sink.lastText(), QStringLiteral("起始时间不允许 大于终止时间!"));
    screen.startDate()->setDate(QDate(2026, 3, 1));
    click(screen.buttons(), PeriodForm::Ok);
    const QList<ReportWindow *> windows = screen.findChildren<ReportWindow *>();
    ASSERT_EQ(windows.size(), 1);
    EXPECT_EQ(windows.first()->table().name(), QStringLiteral("租赁单据报表"));
    EXPECT_EQ(windows.first()->table().rowCount(), 2);
    keepPicture(windows.first(), QStringLiteral("fzlbb"));
}

} // namespace
