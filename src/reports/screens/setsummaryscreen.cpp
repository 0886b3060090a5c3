#include "reports/screens/setsummaryscreen.h"

#include "print/voucherslip.h"
#include "reports/screens/fxjxcz.h"
#include "reports/screens/stockreportparts.h"
#include "reports/setsummaries.h"
#include "shell/accountsets.h"
#include "store/clock.h"
#include "store/database.h"
#include "widgets/datepicker.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/operation.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace varnock {

namespace {

LedgerReports::Level levelOf(int option)
{
    return option == 0   ? LedgerReports::Level::First
           : option == 1 ? LedgerReports::Level::Second
                         : LedgerReports::Level::Every;
}

} // namespace

SetSummaryScreen *SetSummaryScreen::arrears(Database &db, const DataFolder &folder,
                                            const Formats &formats)
{
    return new SetSummaryScreen(
        db, folder, formats,
        {QStringLiteral("FrmZtGysqk"),
         SetSummaries::ArrearsTitle,
         {QStringLiteral("起始日期："), QStringLiteral("终止日期：")},
         {},
         {},
         [&db, folder](const QList<AcrossSets::Set> &sets, const Inputs &in) {
             return SetSummaries(db, folder).arrears(sets, in.period);
         }});
}

SetSummaryScreen *SetSummaryScreen::summary(Database &db, const DataFolder &folder,
                                            const Formats &formats)
{
    return new SetSummaryScreen(
        db, folder, formats,
        {QStringLiteral("FrmZtjxcmx"),
         SetSummaries::SummaryTitle,
         {QStringLiteral("起始时间："), QStringLiteral("终止时间：")},
         {},
         {},
         [&db, folder](const QList<AcrossSets::Set> &sets, const Inputs &in) {
             return SetSummaries(db, folder).summary(sets, in.period);
         }});
}

SetSummaryScreen *SetSummaryScreen::count(Database &db, const DataFolder &folder,
                                          const Formats &formats)
{
    return new SetSummaryScreen(
        db, folder, formats,
        {QStringLiteral("FrmZtKcpd"),
         SetSummaries::CountTitle,
         {},
         QStringLiteral("选择材料大类"),
         {QStringLiteral("一  级  汇  总"), QStringLiteral("二  级  汇  总"),
          QStringLiteral("全  部  材  料")},
         [&db, folder](const QList<AcrossSets::Set> &sets, const Inputs &in) {
             return SetSummaries(db, folder).count(sets, levelOf(in.level));
         }});
}

SetSummaryScreen *SetSummaryScreen::movements(Database &db, const DataFolder &folder,
                                              const Formats &formats, bool issues,
                                              const QString &reportTitle)
{
    const Movement movement = issues ? Movement::Issues : Movement::Receipts;
    return new SetSummaryScreen(
        db, folder, formats,
        {QStringLiteral("FXRKHZ"),
         QStringLiteral("材料出入库查询报表"),
         {QStringLiteral("起始日期："), QStringLiteral("终止日期：")},
         QString(),
         {QStringLiteral("一  级  材  料"), QStringLiteral("二  级  材  料"),
          QStringLiteral("全  部  材  料")},
         [&db, folder, movement, reportTitle](const QList<AcrossSets::Set> &sets,
                                              const Inputs &in) {
             const StatisticLevel level = in.level == 0   ? StatisticLevel::Tops
                                          : in.level == 1 ? StatisticLevel::Parents
                                                          : StatisticLevel::Materials;
             return SetSummaries(db, folder)
                 .movements(sets, movement, in.period, level, reportTitle);
         }});
}

SetSummaryScreen::SetSummaryScreen(Database &db, const DataFolder &folder, const Formats &formats,
                                   Form form, QWidget *parent)
    : QWidget(parent)
    , m_db(db)
    , m_folder(folder)
    , m_formats(formats)
    , m_form(std::move(form))
    , m_sets(new QTreeWidget(this))
    , m_buttons(new IndexedButtonGroup({QStringLiteral("确  定(&Q)"), QStringLiteral("退  出(&X)")},
                                       Qt::Horizontal, this))
{
    setObjectName(m_form.objectName);
    setWindowTitle(m_form.title);

    QList<QWidget *> left;
    if (m_form.dateCaptions.size() == 2) {
        m_from = new DatePicker(this);
        m_from->setObjectName(QStringLiteral("DTPicker1"));
        m_from->setDate(StockReportParts::monthStart());
        m_to = new DatePicker(this);
        m_to->setObjectName(QStringLiteral("DTPicker2"));
        m_to->setDate(Clock::today());
        left << StockReportParts::form(
            QString(), {{m_form.dateCaptions.at(0), m_from}, {m_form.dateCaptions.at(1), m_to}},
            this);
    }
    if (!m_form.levelCaptions.isEmpty()) {
        auto *frame = new QGroupBox(m_form.levelFrame, this);
        auto *options = new QVBoxLayout(frame);
        for (const QString &caption : std::as_const(m_form.levelCaptions)) {
            auto *option = new QRadioButton(caption, frame);
            option->setObjectName(QStringLiteral("Option%1").arg(m_levels.size() + 1));
            options->addWidget(option);
            m_levels << option;
        }
        m_levels.last()->setChecked(true);
        left << frame;
    }

    // The sets as the master database lists them: the number hidden, the name, the day the
    // books were opened.
    m_sets->setObjectName(QStringLiteral("List1"));
    m_sets->setColumnCount(3);
    m_sets->setHeaderLabels(
        {QStringLiteral("编号"), QStringLiteral("账套名称"), QStringLiteral("建账日期")});
    m_sets->setColumnHidden(0, true);
    m_sets->setRootIsDecorated(false);
    m_sets->setSelectionMode(QAbstractItemView::MultiSelection);
    m_sets->header()->setStretchLastSection(true);
    m_sets->setColumnWidth(1, 160);
    runOperation(this, [this] {
        Database master(m_folder.masterDatabasePath(), Database::Access::ReadOnly);
        for (const AccountSetInfo &i : AccountSets(master, m_folder).list()) {
            auto *item = new QTreeWidgetItem(
                m_sets, {QString::number(i.number), i.name, i.created.toString(Qt::ISODate)});
            item->setData(0, Qt::UserRole, i.number);
        }
    });
    StockReportParts::layOut(this, m_form.title, left,
                             StockReportParts::frame(QStringLiteral("选择账套"), m_sets, this),
                             m_buttons, [this] { confirm(); });
    resize(620, 380);
}

QRadioButton *SetSummaryScreen::level(int index) const
{
    return m_levels.value(index);
}

ReportWindow *SetSummaryScreen::confirm()
{
    QList<AcrossSets::Set> chosen;
    for (int i = 0; i < m_sets->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = m_sets->topLevelItem(i);
        if (item->isSelected())
            chosen.append({item->data(0, Qt::UserRole).toLongLong(), item->text(1)});
    }
    Inputs inputs;
    if (m_from)
        inputs.period = {m_from->date(), m_to->date()};
    for (int i = 0; i < m_levels.size(); ++i) {
        if (m_levels.at(i)->isChecked())
            inputs.level = i;
    }
    // A period backwards is refused first, by the summary itself.
    if (chosen.isEmpty() && !(inputs.period.from > inputs.period.to)) {
        Messages::warn(this, FXJXCZ::NoSetText);
        return nullptr;
    }
    AcrossSets::Result result;
    QString firm;
    if (!runOperation(this, [&] {
            result = m_form.build(chosen, inputs);
            firm = VoucherSlips::firmName(m_db);
        }))
        return nullptr;
    return StockReportParts::show(this, result, firm, m_formats);
}

} // namespace varnock
