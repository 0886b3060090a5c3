#include "ledger/screens/postingscreen.h"
#include "master/screens/counterpartyscreens.h"
#include "master/screens/frmclsz.h"
#include "master/screens/frmzwcsh.h"
#include "print/reporttable.h"
#include "print/screens/printing.h"
#include "print/screens/reportwindow.h"
#include "shell/screens/screenregistry.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"
#include "support/workbookreader.h"
#include "vouchers/issuevouchers.h"
#include "vouchers/screens/formlldtx.h"
#include "vouchers/screens/formllthdtx.h"
#include "vouchers/screens/stockinreturnscreen.h"
#include "vouchers/screens/stockinscreen.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/recordingsink.h"
#include "widgets/uitest.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QTableView>

#include <gtest/gtest.h>

#include <memory>

using namespace varnock;
using varnock::test::dec;
using varnock::test::RecordingSink;
using varnock::test::WorkbookReader;

namespace {

class PrintingScreens : public ::testing::Test
{
protected:
    PrintingScreens()
    {
        Printing::setup().dataFolder = DataFolder(m_set.folder());
        Printing::setup().exportFolder = QDir(m_set.folder()).filePath(QStringLiteral("exports"));
        Printing::setup().openFile = [this](const QString &file) {
            opened << file;
            return opens;
        };
        m_set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
        m_set.addMaterial(QStringLiteral("1001"), QStringLiteral("圆钢"));
        m_set.addSupplier(QStringLiteral("G1"), QStringLiteral("钢材公司"));
        m_set.addUnit(QStringLiteral("U1"), QStringLiteral("一工区"));
    }
    ~PrintingScreens() override { Printing::setup() = Printing::Setup{}; }

    ReportWindow *openedWindow() const
    {
        const QList<ReportWindow *> windows = m_parent.findChildren<ReportWindow *>();
        return windows.isEmpty() ? nullptr : windows.last();
    }

    test::TestAccountSet m_set;
    test::LedgerSeed seed{m_set.db()};
    Formats formats;
    QWidget m_parent;
    QStringList opened;
    bool opens = true;
};

TEST_F(PrintingScreens, AReportWindowExportsItsWorkbookAndSaysWhereItIs)
{
    RecordingSink sink;
    ReportWindow *window =
        ReportWindow::open(&m_parent, m_set.db(), formats, QStringLiteral("GYS"));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("供应商设置一览表"));
    EXPECT_EQ(window->view()->model()->rowCount(), 1);
    EXPECT_EQ(window->view()->model()->index(0, 1).data().toString(), QStringLiteral("钢材公司"));
    test::keepPicture(window, QStringLiteral("reportwindow"));

    test::click(window->buttons(), ReportWindow::Export);
    ASSERT_EQ(opened.size(), 1);
    const QString file = opened.first();
    EXPECT_TRUE(file.startsWith(Printing::exportFolder()));
    EXPECT_EQ(sink.lastText(), QStringLiteral("报表已导出到：\n") + QDir::toNativeSeparators(file));
    const auto book = WorkbookReader::read(file);
    ASSERT_TRUE(book);
    EXPECT_EQ(book->text(QStringLiteral("B4")), QStringLiteral("钢材公司"));
    // The working template was put in place from the delivered copy.
    EXPECT_TRUE(QFile::exists(
        QDir(m_set.folder()).filePath(QStringLiteral("Reports/供应商设置一览表.json"))));

    // Nothing on the desktop opens workbooks: the message still says where the file is.
    opens = false;
    test::click(window->buttons(), ReportWindow::Export);
    ASSERT_EQ(opened.size(), 2);
    EXPECT_TRUE(sink.lastText().contains(QDir::toNativeSeparators(opened.last())));
    EXPECT_TRUE(sink.lastText().contains(QStringLiteral("没有找到可以打开它的程序")));
}

TEST_F(PrintingScreens, AReportWithOtherLayoutsOffersThemOnItsExportButton)
{
    using Column = ReportTable::Column;
    ReportTable table(QStringLiteral("CLDBBB"), QStringLiteral("调拨报表"),
                      {{QStringLiteral("CLBH"), QStringLiteral("材料编号")},
                       {QStringLiteral("CLMC"), QStringLiteral("材料名称")},
                       {QStringLiteral("CLGG"), QStringLiteral("规格型号")},
                       {QStringLiteral("JZDW"), QStringLiteral("单位")},
                       {QStringLiteral("DJ"), QStringLiteral("单价"), Column::Price},
                       {QStringLiteral("SJSL"), QStringLiteral("调拨数量"), Column::Quantity},
                       {QStringLiteral("SJJE"), QStringLiteral("调拨金额"), Column::Amount}});
    table.addRow({QStringLiteral("1001"), QStringLiteral("圆钢"), QString(), QStringLiteral("吨"),
                  ReportTable::figure(dec("10")), ReportTable::figure(dec("2")),
                  ReportTable::figure(dec("20"))});
    RecordingSink sink;
    ReportWindow window(table, QStringLiteral("第三建筑公司"), formats);
    QMenu *menu = window.buttons()->button(ReportWindow::Export)->menu();
    ASSERT_NE(menu, nullptr);
    const QList<QAction *> layouts = menu->actions();
    ASSERT_EQ(layouts.size(), 2);
    EXPECT_EQ(layouts[0]->text(), QStringLiteral("调拨报表"));
    EXPECT_EQ(layouts[1]->text(), QStringLiteral("材料调拨查询报表"));

    layouts[1]->trigger();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(
        QFileInfo(opened.first()).fileName().startsWith(QStringLiteral("材料调拨查询报表")));
    const auto book = WorkbookReader::read(opened.first());
    ASSERT_TRUE(book);
    EXPECT_EQ(book->text(QStringLiteral("A2")), QStringLiteral("材料调拨查询报表"));
    EXPECT_EQ(book->text(QStringLiteral("A5")), QStringLiteral("圆钢"));
    EXPECT_DOUBLE_EQ(book->cell(QStringLiteral("F5"))->number, 20);

    // A report with one layout exports at once.
    ReportWindow single(ReportTable(QStringLiteral("GYS"), QStringLiteral("供应商设置一览表"),
                                    {{QStringLiteral("BH"), QStringLiteral("编号")}}),
                        QString(), formats);
    EXPECT_EQ(single.buttons()->button(ReportWindow::Export)->menu(), nullptr);
}

TEST_F(PrintingScreens, ADamagedTemplateStopsTheExport)
{
    RecordingSink sink;
    ReportWindow *window =
        ReportWindow::open(&m_parent, m_set.db(), formats, QStringLiteral("领料单位设置一览表"));
    ASSERT_NE(window, nullptr);
    QDir().mkpath(QDir(m_set.folder()).filePath(QStringLiteral("Reports")));
    QFile damaged(QDir(m_set.folder()).filePath(QStringLiteral("Reports/领料单位设置一览表.json")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("not a template");
    damaged.close();

    test::click(window->buttons(), ReportWindow::Export);
    EXPECT_EQ(sink.lastText(), QStringLiteral("报表遭到致命破坏！请恢复原表！"));
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(PrintingScreens, MasterListScreensPrintTheirListsAndSayWhenThereIsNothing)
{
    RecordingSink sink;
    FrmClsz catalogue(m_set.db(), formats, &m_parent);
    FrmZwcsh opening(m_set.db(), 2, formats, &m_parent);
    EXPECT_TRUE(catalogue.findChild<IndexedButtonGroup *>()->button(FrmClsz::Print)->isEnabled());
    IndexedButtonGroup *openingButtons = opening.findChild<IndexedButtonGroup *>();
    ASSERT_TRUE(openingButtons->button(FrmZwcsh::Print)->isEnabled());

    // No opening balance yet: the screen's own words.
    test::click(openingButtons, FrmZwcsh::Print);
    EXPECT_EQ(sink.lastText(), QStringLiteral("没有记录"));
    EXPECT_EQ(opening.findChild<ReportWindow *>(), nullptr);

    seed.opening(QStringLiteral("1001"), dec("2"), dec("9"));
    test::click(openingButtons, FrmZwcsh::Print);
    auto *window = opening.findChild<ReportWindow *>();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->table().name(), QStringLiteral("账务初始资料"));
    // The material, its group's subtotal, the grand total.
    EXPECT_EQ(window->view()->model()->rowCount(), 3);
    EXPECT_TRUE(window->view()->model()->index(1, 1).data(Qt::FontRole).value<QFont>().bold());

    test::click(catalogue.findChild<IndexedButtonGroup *>(), FrmClsz::Print);
    ASSERT_NE(catalogue.findChild<ReportWindow *>(), nullptr);
    EXPECT_EQ(catalogue.findChild<ReportWindow *>()->table().rowCount(), 2);

    // The supplier and unit screens as their commands open them.
    ScreenRegistry registry;
    registerCounterpartyScreens(registry);
    ScreenRequest request;
    request.database = &m_set.db();
    for (const auto &[screenName, report] :
         {std::pair{"FormGYSSZ", "供应商设置一览表"}, std::pair{"FrmLldw", "领料单位设置一览表"}}) {
        SCOPED_TRACE(screenName);
        std::unique_ptr<QWidget> screen(registry.open(QString::fromLatin1(screenName), request));
        ASSERT_NE(screen, nullptr);
        auto *buttons = screen->findChild<IndexedButtonGroup *>();
        int print = -1;
        for (int i = 0; i < buttons->count(); ++i) {
            if (buttons->button(i)->text() == QStringLiteral("打印(&P)"))
                print = i;
        }
        ASSERT_GE(print, 0);
        ASSERT_TRUE(buttons->button(print)->isEnabled());
        test::click(buttons, print);
        auto *list = screen->findChild<ReportWindow *>();
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->table().name(), QString::fromUtf8(report));
        EXPECT_EQ(list->table().rowCount(), 1);
    }
}

TEST_F(PrintingScreens, EveryVoucherEntryScreenPreviewsTheSlipOfTheShownVoucher)
{
    RecordingSink sink;
    const qint64 rkid = seed.receipt(5, QStringLiteral("1001"), dec("3"), dec("30"));
    seed.stockReturn(6, rkid, QStringLiteral("1001"), dec("1"), dec("10"));
    const qint64 llid = seed.issue(7, QStringLiteral("1001"), dec("2"), dec("10"), dec("20"));
    seed.issueReturn(8, llid, QStringLiteral("1001"), dec("1"), dec("10"), dec("10"));

    struct Family
    {
        std::unique_ptr<VoucherEntryScreen> screen;
        qint64 xtbh;
        QString slip;
    };
    Family families[] = {
        {std::make_unique<StockInScreen>(m_set.db(), StockInKind::Purchase, 2, formats), 5,
         QStringLiteral("采购入库单5")},
        {std::make_unique<StockInReturnScreen>(m_set.db(), StockInKind::Purchase, 2, formats), 6,
         QStringLiteral("采购退货单6")},
        {std::make_unique<FormLLDTX>(m_set.db(), IssueVouchers::Requisition, 2, formats), 7,
         QStringLiteral("领料出库单7")},
        {std::make_unique<FormLLTHDTX>(m_set.db(), IssueVouchers::Requisition, 2, formats), 8,
         QStringLiteral("领料退货单8")},
    };
    for (Family &f : families) {
        VoucherEntryScreen &screen = *f.screen;
        SCOPED_TRACE(screen.objectName().toStdString());
        const int print = screen.buttonOf(VoucherEntryScreen::Action::Print);
        ASSERT_GE(print, 0);
        // Nothing stored is shown yet: nothing to print.
        EXPECT_FALSE(screen.buttons()->button(print)->isEnabled());

        screen.showVoucher(f.xtbh);
        ASSERT_TRUE(screen.buttons()->button(print)->isEnabled());
        QString title;
        int pages = 0;
        test::whenModal<QPrintPreviewDialog>([&](QPrintPreviewDialog *preview) {
            title = preview->windowTitle();
            pages = preview->findChild<QPrintPreviewWidget *>()->pageCount();
            preview->reject();
        });
        test::click(screen.buttons(), print);
        EXPECT_EQ(title, QStringLiteral("打印预览 - ") + f.slip);
        EXPECT_EQ(pages, 1);
        EXPECT_TRUE(sink.shown.empty()) << sink.lastText().toStdString();
    }
}

TEST_F(PrintingScreens, ThePostingScreenPreviewsTheSelectedSlipAndSavesItAsPdf)
{
    RecordingSink sink;
    seed.receipt(5, QStringLiteral("1001"), dec("3"), dec("30"));
    PostingScreen screen(m_set.db(), Posting::Family::StockIn, 0, 2, formats);
    IndexedButtonGroup *buttons = screen.buttons();
    EXPECT_EQ(buttons->button(PostingScreen::Print)->text(), QStringLiteral("打 印(&P)"));

    test::click(buttons, PostingScreen::Print);
    EXPECT_EQ(sink.lastText(), QStringLiteral("请选中记录！"));

    screen.selectVoucher(0);
    // The save dialog proposes the slip's name in the export folder.
    const QString pdf = QDir(Printing::exportFolder()).filePath(QStringLiteral("采购入库单5.pdf"));
    bool previewed = false;
    test::whenModal<QPrintPreviewDialog>([&](QPrintPreviewDialog *preview) {
        previewed = true;
        test::keepPicture(preview, QStringLiteral("slippreview"));
        QAction *save = preview->findChild<QAction *>(QStringLiteral("savePdf"));
        ASSERT_NE(save, nullptr);
        test::whenModal<QFileDialog>(
            [&](QFileDialog *dialog) { static_cast<QDialog *>(dialog)->accept(); });
        save->trigger();
        preview->reject();
    });
    test::click(buttons, PostingScreen::Print);
    EXPECT_TRUE(previewed);
    EXPECT_TRUE(QFile::exists(pdf));
    EXPECT_EQ(sink.lastText(), QStringLiteral("已保存到：\n") + QDir::toNativeSeparators(pdf));
}

} // namespace
