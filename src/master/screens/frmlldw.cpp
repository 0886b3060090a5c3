#include "master/screens/frmlldw.h"

#include "master/consumingunits.h"
#include "widgets/operation.h"
#include "widgets/screenparts.h"

namespace varnock {

namespace {

CodedListScreen::Look look()
{
    using A = CodedListScreen::Action;
    return {QStringLiteral("FrmLldw"),
            QStringLiteral("耗料单位设置"),
            FrmLldw::helpTopic(),
            QStringLiteral("耗料单位资料"),
            ScreenParts::buttons(
                QStringLiteral("增加(&A)|修改(&G)|删除(&D)|打印(&P)|取消(&Q)|退出(&X)"),
                {A::Add, A::Change, A::Delete, A::Print, A::Cancel, A::Exit}),
            {QStringLiteral("编  号："), QStringLiteral("名  称："), QStringLiteral("地  址："),
             QStringLiteral("联系人："), QStringLiteral("电  话："), QStringLiteral("备  注：")},
            1,
            QStringLiteral("提示"),
            QSize(600, 340),
            true};
}

} // namespace

FrmLldw::FrmLldw(Database &db, QWidget *parent)
    : CodedListScreen(db, look(), parent)
{
    reload();
}

QList<CodeList::Entry> FrmLldw::entries() const
{
    QList<CodeList::Entry> rows;
    for (const ConsumingUnits::Unit &u : ConsumingUnits(database()).list())
        rows.append({u.bh, u.mc});
    return rows;
}

std::optional<QStringList> FrmLldw::record(const QString &code) const
{
    const std::optional<ConsumingUnits::Unit> u = ConsumingUnits(database()).find(code);
    if (!u)
        return std::nullopt;
    return QStringList{u->bh, u->mc, u->dz, u->lxr, u->dh, u->bz};
}

bool FrmLldw::store(bool adding)
{
    const ConsumingUnits::Unit u{text(BH).trimmed(), text(MC).trimmed(), text(DZ),
                                 text(LXR),          text(DH),           text(BZ)};
    ConsumingUnits units(database());
    return runOperation(this, [&] { adding ? units.add(u) : units.update(u); });
}

bool FrmLldw::erase(const QString &code)
{
    return runOperation(this, [&] { ConsumingUnits(database()).remove(code); });
}

} // namespace varnock
