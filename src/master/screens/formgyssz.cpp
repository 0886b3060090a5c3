#include "master/screens/formgyssz.h"

#include "master/suppliers.h"
#include "widgets/messages.h"
#include "widgets/numericedit.h"
#include "widgets/operation.h"
#include "widgets/screenparts.h"

namespace varnock {

namespace {

CodedListScreen::Look look()
{
    using A = CodedListScreen::Action;
    return {QStringLiteral("FormGYSSZ"),
            QStringLiteral("供应商操作"),
            FormGYSSZ::helpTopic(),
            QStringLiteral("供应商资料"),
            ScreenParts::buttons(
                QStringLiteral("增加(&A)|删除(&D)|修改(&G)|取消(&Q)|退出(&X)|保存(&S)|打印(&P)"),
                {A::Add, A::Delete, A::Change, A::Cancel, A::Exit, A::Save, A::Print}),
            {QStringLiteral("编    号"), QStringLiteral("名    称"), QStringLiteral("注册地点"),
             QStringLiteral("注册编号"), QStringLiteral("法人代表"), QStringLiteral("单位地址"),
             QStringLiteral("邮政编码"), QStringLiteral("联系电话"), QStringLiteral("开户银行"),
             QStringLiteral("银行帐号"), QStringLiteral("主供产品"), QStringLiteral("初始欠款"),
             QStringLiteral("备    注")},
            2,
            QStringLiteral("提示窗口！！！"),
            QSize(760, 400)};
}

} // namespace

FormGYSSZ::FormGYSSZ(Database &db, QWidget *parent)
    : CodedListScreen(db, look(), parent, {CSQK})
{
    reload();
}

QList<CodeList::Entry> FormGYSSZ::entries() const
{
    QList<CodeList::Entry> rows;
    for (const Suppliers::Entry &e : Suppliers(database()).list())
        rows.append({e.bh, e.mc});
    return rows;
}

std::optional<QStringList> FormGYSSZ::record(const QString &code) const
{
    const std::optional<Suppliers::Supplier> s = Suppliers(database()).find(code);
    if (!s)
        return std::nullopt;
    return QStringList{s->bh,   s->mc,   s->zcdd, s->zcbh, s->fr,   s->dz,
                       s->yzbm, s->lxdh, s->khyh, s->khzh, s->zgcp, s->csqk.toString(),
                       s->bz};
}

QString FormGYSSZ::proposeCode() const
{
    return Suppliers(database()).proposeCode();
}

bool FormGYSSZ::store(bool adding)
{
    auto *debtField = static_cast<NumericEdit *>(field(CSQK));
    const std::optional<Decimal> debt = debtField->value();
    const Suppliers::Supplier s{text(BH).trimmed(),
                                text(MC).trimmed(),
                                text(ZCDD),
                                text(ZCBH),
                                text(FR),
                                text(DZ),
                                text(YZBM),
                                text(LXDH),
                                text(KHYH),
                                text(KHZH),
                                text(ZGCP),
                                debt.value_or(Decimal()),
                                text(BZ)};
    Suppliers suppliers(database());
    if (!adding)
        return runOperation(this, [&] { suppliers.update(s); });
    if (!runOperation(this, [&] { suppliers.checkNew(s); }))
        return false;
    if (!debt && Messages::ask(this, QStringLiteral("是否输入供应商初始欠款！！"),
                               QStringLiteral("提示窗口"))) {
        debtField->setFocus();
        return false;
    }
    return runOperation(this, [&] { suppliers.add(s); });
}

bool FormGYSSZ::erase(const QString &code)
{
    if (!Messages::ask(this, QStringLiteral("你确实要删除这个供应商吗？"),
                       QStringLiteral("提示窗口")))
        return false;
    return runOperation(this, [&] { Suppliers(database()).remove(code); });
}

} // namespace varnock
