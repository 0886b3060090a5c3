#include "shell/setupprogress.h"

#include "store/database.h"

namespace varnock {

SetupProgress::SetupProgress(Database &db)
    : m_db(db)
{}

const QList<SetupProgress::StepInfo> &SetupProgress::steps()
{
    static const QList<StepInfo> list = {
        {Step::Catalogue,
         QStringLiteral("材料设置"),
         QStringLiteral("建立材料编码目录：逐项录入，或从材料库导入。"),
         {QStringLiteral("CLSZ")}},
        {Step::Counterparties,
         QStringLiteral("供应商/领料单位"),
         QStringLiteral("登记供应商和耗料单位：入库单要选供应商，领料单要选耗料单位。"),
         {QStringLiteral("GYSSZ"), QStringLiteral("LLDWSZ")}},
        {Step::Openings,
         QStringLiteral("账务初始化"),
         QStringLiteral("录入各材料的期初结存（没有期初库存可以跳过）；第一次月结后期初不能再改。"),
         {QStringLiteral("a")}},
        {Step::Closing,
         QStringLiteral("月结"),
         QStringLiteral("做第一次月结（月结日为今天），此后即可填制和记账各类凭单。"),
         {QStringLiteral("YJCL")}},
    };
    return list;
}

void SetupProgress::refresh()
{
    QList<Step> done;
    if (exists(QStringLiteral("CLJBXXB"), QStringLiteral("SFMJ <> 0")))
        done << Step::Catalogue;
    if (exists(QStringLiteral("GYS")) && exists(QStringLiteral("LLDW")))
        done << Step::Counterparties;
    if (exists(QStringLiteral("ZWCSH")))
        done << Step::Openings;
    if (exists(QStringLiteral("YJSJB")))
        done << Step::Closing;
    m_done = done;
}

bool SetupProgress::isDone(Step step) const
{
    return m_done.contains(step);
}

bool SetupProgress::exists(const QString &table, const QString &condition) const
{
    const QString where = condition.isEmpty() ? QString() : QStringLiteral(" WHERE ") + condition;
    return !m_db.scalar(QStringLiteral("SELECT 1 FROM %1%2 LIMIT 1").arg(table, where)).isNull();
}

} // namespace varnock
