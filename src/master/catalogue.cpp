#include "master/catalogue.h"

#include "store/database.h"
#include "store/errors.h"
#include "store/limits.h"
#include "store/materiallibraries.h"

#include <QLocale>
#include <QSqlQuery>

#include <cmath>

namespace varnock {

const QString Catalogue::RootCode = QStringLiteral("0");
const QString Catalogue::RootName = QStringLiteral("全部材料");
const QString Catalogue::Title = QStringLiteral("提示");

namespace {

const QString Columns =
    QStringLiteral("CLBH, SJBH, CLMC, CLGG, JZDW, HSDW, HSXS, JHDJ, JHSL, JJFS, SFMJ, CRKBZ");

// Tables whose rows name a material: a material named there is in the books and stays.
const char *const UsageTables[] = {"RKD", "THD",    "LLD",  "TKD",    "KC",
                                   "PYK", "CLKVMT", "CLJH", "ZLBIAO", "ZLHZ"};

Refusal refusal(const QString &text)
{
    return Refusal(Catalogue::Title, text, Refusal::Icon::Exclamation);
}

// The numeric value of a code as digit text without leading zeros: the leading digits after
// any blanks, "" when there are none. Codes are compared by this value, not as text, and
// may be longer than any machine integer.
QString numericValue(const QString &code)
{
    QString digits;
    for (const QChar c : code.trimmed()) {
        if (!c.isDigit() || c.unicode() > '9')
            break;
        digits += c;
    }
    while (digits.size() > 1 && digits.front() == u'0')
        digits.remove(0, 1);
    return digits == QStringLiteral("0") ? QString() : digits;
}

bool lessValue(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

QString plusOne(QString digits)
{
    int i = int(digits.size()) - 1;
    for (; i >= 0; --i) {
        if (digits[i] != u'9') {
            digits[i] = QChar(digits[i].unicode() + 1);
            return digits;
        }
        digits[i] = u'0';
    }
    return QStringLiteral("1") + digits;
}

CatalogueRow rowFrom(const QSqlQuery &q)
{
    CatalogueRow r;
    r.clbh = q.value(0).toString();
    r.sjbh = q.value(1).toString();
    r.clmc = q.value(2).toString();
    r.clgg = q.value(3).toString();
    r.jzdw = q.value(4).toString();
    r.hsdw = q.value(5).toString();
    if (!q.value(6).isNull())
        r.hsxs = q.value(6).toDouble();
    r.jhdj = Decimal::fromVariant(q.value(7));
    r.jhsl = Decimal::fromVariant(q.value(8));
    r.jjfs = q.value(9).toInt() != 0;
    r.sfmj = q.value(10).toInt() != 0;
    r.crkbz = q.value(11).toInt() != 0;
    return r;
}

QString orderColumn(Catalogue::Sort sort)
{
    switch (sort) {
    case Catalogue::Sort::Name:
        return QStringLiteral("CLMC, CLBH");
    case Catalogue::Sort::Spec:
        return QStringLiteral("CLGG, CLBH");
    case Catalogue::Sort::PlannedPrice:
        return QStringLiteral("JHDJ, CLBH");
    case Catalogue::Sort::Code:
        break;
    }
    return QStringLiteral("CLBH");
}

QVariant nullable(const std::optional<double> &value)
{
    return value ? QVariant(*value) : QVariant(QMetaType(QMetaType::Double));
}

} // namespace

MaterialDraft MaterialDraft::of(const CatalogueRow &row)
{
    MaterialDraft d;
    d.clbh = row.clbh;
    d.sjbh = row.sjbh;
    d.clmc = row.clmc;
    d.clgg = row.clgg;
    d.jzdw = row.jzdw;
    d.hsdw = row.hsdw;
    d.hsxs = row.hsxs ? QString::number(*row.hsxs, 'g', 12) : QString();
    d.jhdj = row.jhdj.toString();
    d.jhsl = row.jhsl.toString();
    d.jjfs = row.jjfs;
    return d;
}

QList<CatalogueRow> Catalogue::select(const QString &sql, const QVariantList &values) const
{
    QSqlQuery q = m_db.exec(sql, values);
    QList<CatalogueRow> result;
    while (q.next())
        result << rowFrom(q);
    return result;
}

QList<CatalogueRow> Catalogue::children(const QString &parent) const
{
    Transaction tx(m_db);
    auto result =
        select(QStringLiteral("SELECT %1 FROM CLJBXXB WHERE SJBH = ? ORDER BY CLBH").arg(Columns),
               {parent});
    tx.commit();
    return result;
}

std::optional<CatalogueRow> Catalogue::find(const QString &clbh) const
{
    Transaction tx(m_db);
    const auto result =
        select(QStringLiteral("SELECT %1 FROM CLJBXXB WHERE CLBH = ?").arg(Columns), {clbh});
    tx.commit();
    if (result.isEmpty())
        return std::nullopt;
    return result.first();
}

QString Catalogue::parentName(const QString &parentCode) const
{
    if (parentCode == RootCode)
        return RootName;
    const auto row = find(parentCode);
    return row ? row->clmc : QString();
}

bool Catalogue::isEmpty() const
{
    Transaction tx(m_db);
    const int count =
        m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM CLJBXXB WHERE SJBH = ?"), {RootCode})
            .toInt();
    tx.commit();
    return count == 0;
}

bool Catalogue::exists(const QString &clbh) const
{
    return m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM CLJBXXB WHERE CLBH = ?"), {clbh})
               .toInt() > 0;
}

namespace {

// Whether a planned price `jjfs`/`jhdj` values stock differently from `wasPlanned`/`wasPrice`.
bool pricingDiffers(bool wasPlanned, Decimal wasPrice, bool jjfs, Decimal jhdj)
{
    return wasPlanned != jjfs || (jjfs && wasPrice != jhdj);
}

} // namespace

Catalogue::PricingUse Catalogue::pricingUse(const QString &clbh) const
{
    if (m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM KC WHERE CLBH = ? "
                                   "AND (KCSL <> 0 OR KCJE <> 0)"),
                    {clbh})
            .toInt() > 0)
        return PricingUse::Stock;
    for (const char *table : {"RKD", "THD", "LLD", "TKD"}) {
        const QVariant any =
            m_db.scalar(QStringLiteral("SELECT 1 FROM %1 WHERE CLBH = ? AND JZBZ = 0 LIMIT 1")
                            .arg(QLatin1String(table)),
                        {clbh});
        if (any.isValid() && !any.isNull())
            return PricingUse::Unposted;
    }
    return PricingUse::None;
}

// A planned-price material's stock is carried at its plan and its pending lines are valued
// by it: changing the plan or the pricing under them would leave the stock at a value no
// operation ever booked. Stock is issued or returned first, vouchers posted first.
void Catalogue::refusePricingChange(const QString &clbh, bool jjfs, Decimal jhdj) const
{
    QSqlQuery q =
        m_db.exec(QStringLiteral("SELECT JJFS, JHDJ FROM CLJBXXB WHERE CLBH = ?"), {clbh});
    if (!q.next())
        return;
    const bool wasPlanned = q.value(0).toInt() != 0;
    const Decimal wasPrice = Decimal::fromVariant(q.value(1));
    q.finish();
    if (!pricingDiffers(wasPlanned, wasPrice, jjfs, jhdj))
        return;
    switch (pricingUse(clbh)) {
    case PricingUse::Stock:
        throw refusal(QStringLiteral("该材料还有库存，不允许修改计价方式或计划单价！"));
    case PricingUse::Unposted:
        throw refusal(QStringLiteral("该材料还有未登帐的单据，不允许修改计价方式或计划单价！"));
    case PricingUse::None:
        break;
    }
}

QList<CatalogueRow> Catalogue::rows(const QString &selection, Sort sort) const
{
    Transaction tx(m_db);
    QList<CatalogueRow> result;
    if (selection == RootCode) {
        result = select(
            QStringLiteral("SELECT %1 FROM CLJBXXB ORDER BY %2").arg(Columns, orderColumn(sort)),
            {});
    } else {
        result = select(QStringLiteral("SELECT %1 FROM CLJBXXB WHERE CLBH = ? UNION ALL "
                                       "SELECT %1 FROM CLJBXXB WHERE SJBH = ? ORDER BY %2")
                            .arg(Columns, orderColumn(sort)),
                        {selection, selection});
    }
    tx.commit();
    return result;
}

QString Catalogue::proposeCode(const QString &parent) const
{
    Transaction tx(m_db);
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT CLBH FROM CLJBXXB WHERE SJBH = ?"), {parent});
    bool any = false;
    QString largest;
    while (q.next()) {
        any = true;
        const QString value = numericValue(q.value(0).toString());
        if (lessValue(largest, value))
            largest = value;
    }
    tx.commit();

    if (!any)
        return parent == RootCode ? QStringLiteral("1") : parent + QStringLiteral("001");
    const QString proposal = plusOne(largest.isEmpty() ? QStringLiteral("0") : largest);
    // After parent+"999" the next number no longer begins with the parent's code.
    if (parent != RootCode && largest.size() == parent.size() + 3 && largest.startsWith(parent) &&
        !proposal.startsWith(parent)) {
        throw refusal(QStringLiteral("该类别下已有999个编码，不能再增加！"));
    }
    return proposal;
}

void Catalogue::checkPrefix(const QString &code, const QString &parent)
{
    // Top-level codes have no parent code to carry.
    if (parent == RootCode)
        return;
    if (!code.trimmed().startsWith(parent)) {
        throw refusal(QStringLiteral("编码前%1位必须为上级编号！").arg(parent.size()));
    }
}

QString Catalogue::plannedAmountText(const QString &jhdj, const QString &jhsl)
{
    const auto price = Decimal::parse(jhdj);
    const auto quantity = Decimal::parse(jhsl);
    if (!price || !quantity)
        return Decimal().toString(4);
    try {
        return (*price * *quantity).toString(4);
    } catch (const std::overflow_error &) {
        return Decimal().toString(4);
    }
}

void Catalogue::checkMaterial(const MaterialDraft &draft)
{
    if (draft.clbh.trimmed().isEmpty())
        throw refusal(QStringLiteral("编号不允许为空！"));
    if (draft.clmc.trimmed().isEmpty())
        throw refusal(QStringLiteral("名称不允许为空！"));
    if (draft.jzdw.trimmed().isEmpty())
        throw refusal(QStringLiteral("计量单位不允许为空！"));
    if (draft.clgg.trimmed().isEmpty())
        throw refusal(QStringLiteral("材料规格不允许为空！"));
    if (draft.jhdj.trimmed().isEmpty())
        throw refusal(QStringLiteral("计划单价不允许为空！"));
}

namespace {

// The figures of a draft, refused when they are not numbers.
void parseFigures(const MaterialDraft &draft, std::optional<double> &hsxs, Decimal &jhdj,
                  Decimal &jhsl)
{
    const auto price = Decimal::parse(draft.jhdj);
    if (!price)
        throw refusal(QStringLiteral("计划单价必须是数字！"));
    jhdj = *price;

    if (draft.jhsl.trimmed().isEmpty()) {
        jhsl = Decimal();
    } else {
        const auto quantity = Decimal::parse(draft.jhsl);
        if (!quantity)
            throw refusal(QStringLiteral("计划数量必须是数字！"));
        jhsl = *quantity;
    }
    // Stock at planned prices is quantity × planned price: both stay within their bounds.
    if (const auto problem = Limits::figureProblem(Limits::Figure::Price, jhdj))
        throw refusal(QStringLiteral("计划") + *problem);
    if (const auto problem = Limits::figureProblem(Limits::Figure::Quantity, jhsl))
        throw refusal(QStringLiteral("计划") + *problem);

    hsxs.reset();
    if (!draft.hsxs.trimmed().isEmpty()) {
        bool ok = false;
        const double factor = QLocale::c().toDouble(draft.hsxs.trimmed(), &ok);
        if (!ok || !std::isfinite(factor))
            throw refusal(QStringLiteral("换算系数必须是数字！"));
        hsxs = factor;
    }
}

} // namespace

std::optional<QString> Catalogue::duplicateCategory(const QString &clmc, const QString &clgg,
                                                    const QString &except) const
{
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT P.CLMC FROM CLJBXXB AS C INNER JOIN CLJBXXB "
                                           "AS P ON C.SJBH = P.CLBH WHERE C.CLMC = ? AND "
                                           "C.CLGG = ? AND C.CLBH <> ? ORDER BY C.CLBH"),
                            {clmc, clgg, except});
    if (q.next())
        return q.value(0).toString();
    return std::nullopt;
}

bool Catalogue::addMaterial(const MaterialDraft &draft, const Confirm &confirm)
{
    const QString code = draft.clbh.trimmed();
    std::optional<double> hsxs;
    Decimal jhdj;
    Decimal jhsl;
    std::optional<QString> duplicate;
    {
        Transaction tx(m_db);
        checkMaterial(draft);
        checkPrefix(code, draft.sjbh);
        parseFigures(draft, hsxs, jhdj, jhsl);
        if (draft.sjbh != RootCode && !exists(draft.sjbh))
            throw refusal(QStringLiteral("所属类别不存在！"));
        if (exists(code))
            throw refusal(QStringLiteral("该编号已经存在！"));
        duplicate = duplicateCategory(draft.clmc, draft.clgg, QStringLiteral(""));
        tx.commit();
    }
    if (duplicate &&
        !confirm(QStringLiteral("该材料已经在%1中存在！你是否添加！").arg(*duplicate))) {
        return false;
    }

    Transaction tx(m_db);
    if (exists(code))
        throw refusal(QStringLiteral("该编号已经存在！"));
    m_db.exec(QStringLiteral("INSERT INTO CLJBXXB (CLBH, CLMC, CLGG, JZDW, HSDW, HSXS, SJBH, "
                             "SFMJ, JHDJ, JHSL, JJFS) VALUES (?, ?, ?, ?, ?, ?, ?, 1, ?, ?, ?)"),
              {code, draft.clmc, draft.clgg, draft.jzdw, draft.hsdw, nullable(hsxs), draft.sjbh,
               jhdj.toVariant(), jhsl.toVariant(), draft.jjfs ? 1 : 0});
    tx.commit();
    return true;
}

bool Catalogue::updateMaterial(const MaterialDraft &draft, const Confirm &confirm)
{
    std::optional<double> hsxs;
    Decimal jhdj;
    Decimal jhsl;
    std::optional<QString> duplicate;
    {
        Transaction tx(m_db);
        checkMaterial(draft);
        parseFigures(draft, hsxs, jhdj, jhsl);
        if (!exists(draft.clbh))
            throw refusal(QStringLiteral("该编码不存在！"));
        refusePricingChange(draft.clbh, draft.jjfs, jhdj);
        // The material itself is no duplicate of itself.
        duplicate = duplicateCategory(draft.clmc, draft.clgg, draft.clbh);
        tx.commit();
    }
    if (duplicate &&
        !confirm(QStringLiteral("该材料已经在%1中存在！你是否添加或修改！").arg(*duplicate))) {
        return false;
    }

    Transaction tx(m_db);
    if (!exists(draft.clbh))
        throw refusal(QStringLiteral("该编码不存在！"));
    refusePricingChange(draft.clbh, draft.jjfs, jhdj);
    m_db.exec(QStringLiteral("UPDATE CLJBXXB SET CLMC = ?, CLGG = ?, JZDW = ?, HSDW = ?, "
                             "HSXS = ?, JHDJ = ?, JHSL = ?, JJFS = ? WHERE CLBH = ?"),
              {draft.clmc, draft.clgg, draft.jzdw, draft.hsdw, nullable(hsxs), jhdj.toVariant(),
               jhsl.toVariant(), draft.jjfs ? 1 : 0, draft.clbh});
    tx.commit();
    return true;
}

void Catalogue::addCategory(const QString &clbh, const QString &clmc, const QString &parent)
{
    const QString code = clbh.trimmed();
    Transaction tx(m_db);
    if (code.isEmpty() || clmc.trimmed().isEmpty())
        throw refusal(QStringLiteral("编号和名称不允许为空！"));
    checkPrefix(code, parent);
    // "0" names the root: a node of that code would become its own parent.
    if (code == RootCode)
        throw refusal(QStringLiteral("编号不允许为0！"));
    if (m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM CLJBXXB WHERE CLBH = ? OR CLMC = ?"),
                    {code, clmc})
            .toInt() > 0) {
        throw refusal(QStringLiteral("编号和名称不允许重复！"));
    }
    if (parent != RootCode && !exists(parent))
        throw refusal(QStringLiteral("所属类别不存在！"));
    m_db.exec(QStringLiteral("INSERT INTO CLJBXXB (CLBH, CLMC, SJBH, SFMJ) VALUES (?, ?, ?, 0)"),
              {code, clmc, parent});
    tx.commit();
}

void Catalogue::renameCategory(const QString &clbh, const QString &clmc)
{
    Transaction tx(m_db);
    if (clmc.trimmed().isEmpty())
        throw refusal(QStringLiteral("名称不允许为空！"));
    if (m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM CLJBXXB WHERE CLMC = ?"), {clmc}).toInt() >
        0) {
        throw refusal(QStringLiteral("名称不允许重复！"));
    }
    if (!exists(clbh))
        throw refusal(QStringLiteral("该编码不存在！"));
    m_db.exec(QStringLiteral("UPDATE CLJBXXB SET CLMC = ? WHERE CLBH = ?"), {clmc, clbh});
    tx.commit();
}

bool Catalogue::remove(const QString &clbh, const Confirm &confirm)
{
    const auto check = [&] {
        if (m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM CLJBXXB WHERE SJBH = ?"), {clbh})
                .toInt() > 0) {
            throw refusal(QStringLiteral("请先删除下级编号！"));
        }
        int uses = m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM ZWCSH WHERE TRIM(CLBH) = ?"),
                               {clbh.trimmed()})
                       .toInt();
        for (const char *table : UsageTables) {
            uses += m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE CLBH = ?")
                                    .arg(QLatin1String(table)),
                                {clbh})
                        .toInt();
        }
        if (uses > 0)
            throw refusal(QStringLiteral("该材料已经做过出入库，不允许删除！"));
    };
    {
        Transaction tx(m_db);
        check();
        tx.commit();
    }
    if (!confirm(QStringLiteral("您确定要删除该材料吗？")))
        return false;

    Transaction tx(m_db);
    check();
    m_db.exec(QStringLiteral("DELETE FROM CLJBXXB WHERE CLBH = ?"), {clbh});
    tx.commit();
    return true;
}

QList<CatalogueRow> Catalogue::libraryRows(int library) const
{
    if (library < 0 || library >= MaterialLibraries::Count)
        throw StoreError(QStringLiteral("no material library %1").arg(library));
    Transaction tx(m_db);
    auto result = select(QStringLiteral("SELECT %1 FROM %2 ORDER BY CLBH")
                             .arg(Columns, MaterialLibraries::tableName(library)),
                         {});
    tx.commit();
    return result;
}

void Catalogue::importLibrary(int library)
{
    if (library < 0 || library >= MaterialLibraries::Count)
        throw StoreError(QStringLiteral("no material library %1").arg(library));
    const QString table = MaterialLibraries::tableName(library);
    Transaction tx(m_db);
    // An empty library would only wipe the catalogue.
    if (m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)).toInt() == 0)
        throw refusal(QStringLiteral("所选材料库中没有材料！"));
    // The library may bring another pricing for a material of the books.
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT C.CLBH, C.CLMC, C.JJFS, C.JHDJ, L.JJFS, L.JHDJ "
                                           "FROM CLJBXXB C JOIN %1 L ON L.CLBH = C.CLBH "
                                           "WHERE C.SFMJ <> 0 ORDER BY C.CLBH")
                                .arg(table));
    while (q.next()) {
        if (!pricingDiffers(q.value(2).toInt() != 0, Decimal::fromVariant(q.value(3)),
                            q.value(4).toInt() != 0, Decimal::fromVariant(q.value(5))))
            continue;
        if (pricingUse(q.value(0).toString()) != PricingUse::None) {
            throw refusal(QStringLiteral("材料%1 %2还有库存或未登帐的单据，新的材料库将改变"
                                         "它的计价方式或计划单价，不允许替换！")
                              .arg(q.value(0).toString(), q.value(1).toString()));
        }
    }
    q.finish();
    m_db.exec(QStringLiteral("DELETE FROM CLJBXXB"));
    m_db.exec(QStringLiteral("INSERT INTO CLJBXXB (%1) SELECT %1 FROM %2").arg(Columns, table));
    tx.commit();
}

} // namespace varnock
