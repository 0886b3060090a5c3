#include "vouchers/stockinvouchers.h"

#include "ledger/costengine.h"
#include "store/database.h"
#include "store/errors.h"
#include "store/limits.h"
#include "vouchers/voucherbook.h"

#include <QSet>
#include <QSqlQuery>

namespace varnock {

namespace {

[[noreturn]] void refuse(const QString &title, const QString &text)
{
    throw Refusal(title, text);
}

QString closingMessage()
{
    return QStringLiteral("操作时间不允许小于月结时间！");
}

} // namespace

StockInVouchers::StockInVouchers(Database &db, const StockInKind &kind, int accountingMode,
                                 const Formats &formats)
    : m_db(db)
    , m_kind(kind)
    , m_mode(accountingMode)
    , m_formats(formats)
{}

void StockInVouchers::checkCanOpen() const
{
    VoucherBook(m_db).checkCanOpen();
}

std::optional<QDate> StockInVouchers::latestClosing() const
{
    return VoucherBook(m_db).latestClosing();
}

qint64 StockInVouchers::nextSystemNumber() const
{
    return VoucherBook(m_db).nextSystemNumber(QStringLiteral("RKD"));
}

QString StockInVouchers::proposeDocumentNumber() const
{
    return VoucherBook(m_db).monthlyDocumentNumber(QStringLiteral("RKD"));
}

QStringList StockInVouchers::documentNumbers() const
{
    return VoucherBook(m_db).texts(QStringLiteral("SELECT YSDJH FROM RKD WHERE ZL = ? "
                                                  "GROUP BY YSDJH ORDER BY YSDJH"),
                                   {m_kind.zl});
}

StockInVouchers::Conversion StockInVouchers::conversionOf(const QString &clbh) const
{
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT HSDW, HSXS FROM CLJBXXB WHERE CLBH = ?"),
                            {clbh.trimmed()});
    Conversion c;
    if (q.next()) {
        c.hsdw = q.value(0).toString().trimmed();
        c.hsxs = q.value(1).toDouble();
    }
    return c;
}

StockInVouchers::StoredFigures StockInVouchers::storedFigures(const StockInLine &line) const
{
    StoredFigures f;
    f.sjsl = line.quantity;
    f.sjdj = line.price;
    if (line.inConversionUnit() && line.hsxs > 0) {
        f.sjsl = line.quantity.timesFactor(line.hsxs);
        f.sjdj = line.price / Decimal::fromDouble(line.hsxs);
    }
    f.sjsl = m_formats.roundQuantity(f.sjsl);
    f.sjdj = m_formats.roundAmount(f.sjdj);
    f.sjje = m_formats.roundAmount(line.amount);
    f.yfje = m_formats.roundAmount(line.paid);
    return f;
}

QStringList StockInVouchers::validate(const StockInVoucher &v) const
{
    QStringList messages;
    if (const auto problem = VoucherBook::dateProblem(v.czrq))
        messages.append(*problem);
    const std::optional<QDate> closing = latestClosing();
    if (!v.czrq.isValid() || (closing && v.czrq <= *closing))
        messages.append(closingMessage());
    // A code that names no supplier is as wrong as none: the voucher would drop out of every
    // list that shows the supplier's name.
    const QString partner = v.gysbh.trimmed();
    if (partner.isEmpty() ||
        m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM GYS WHERE BH = ?"), {partner})
                .toLongLong() == 0)
        messages.append(m_kind.partnerMessage);
    bool anyLine = false;
    for (int row = 0; row < v.lines.size(); ++row) {
        const StockInLine &line = v.lines.at(row);
        if (!line.hasMaterial())
            continue;
        anyLine = true;
        const StoredFigures f = storedFigures(line);
        if (f.sjsl.isZero() && f.sjdj.isZero() && f.sjje.isZero())
            messages.append(QString::number(row + 1) + QStringLiteral("行请输入数据!"));
        else if (f.sjsl.isZero()) // an amount without a quantity: stock of nothing, valued
            messages.append(QString::number(row + 1) + QStringLiteral("行数量不允许为零!"));
        const std::pair<Limits::Figure, Decimal> figures[] = {
            {Limits::Figure::Quantity, f.sjsl},
            {Limits::Figure::Price, f.sjdj},
            {Limits::Figure::Amount, f.sjje},
            {Limits::Figure::Amount, f.yfje},
        };
        for (const auto &[kind, value] : figures) {
            if (const auto problem = Limits::figureProblem(kind, value))
                messages.append(QString::number(row + 1) + QStringLiteral("行") + *problem);
        }
        if (line.inConversionUnit() && !(line.hsxs > 0))
            messages.append(QString::number(row + 1) + QStringLiteral("行换算系数无效!"));
        if (f.yfje > f.sjje)
            messages.append(QStringLiteral("已付金额不允许大于实际金额"));
    }
    // Saving a voucher without a single material would write nothing and look like success.
    if (!anyLine)
        messages.append(QStringLiteral("请输入材料数据!"));
    return messages;
}

void StockInVouchers::insertLine(qint64 xtbh, const StockInVoucher &v, const StockInLine &line)
{
    const StoredFigures f = storedFigures(line);
    m_db.exec(QStringLiteral("INSERT INTO RKD (XTBH, YSDJH, GYSBH, CZRQ, FPBH, ZPH, ZL, CLBH, "
                             "SJDJ, SJSL, SJJE, YFJE, CZZM) "
                             "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
              {xtbh, v.ysdjh, v.gysbh.trimmed(), VoucherBook::dateText(v.czrq), v.fpbh, v.zph,
               m_kind.zl, line.clbh.trimmed(), f.sjdj.toVariant(), f.sjsl.toVariant(),
               f.sjje.toVariant(), f.yfje.toVariant(), line.czzm});
}

qint64 StockInVouchers::saveNew(const StockInVoucher &voucher)
{
    Transaction tx(m_db);
    const QStringList messages = validate(voucher);
    if (!messages.isEmpty())
        refuse(QStringLiteral("警告"), messages.join(QLatin1Char('\n')));
    // Drawn now, not when the voucher was begun, so two vouchers never share a number.
    const qint64 xtbh = nextSystemNumber();
    for (const StockInLine &line : voucher.lines) {
        if (line.hasMaterial())
            insertLine(xtbh, voucher, line);
    }
    tx.commit();
    return xtbh;
}

bool StockInVouchers::isPosted(qint64 xtbh) const
{
    return m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM RKD WHERE XTBH = ? AND JZBZ <> 0"),
                       {xtbh})
               .toLongLong() > 0;
}

void StockInVouchers::refuseIfPosted(qint64 xtbh) const
{
    if (isPosted(xtbh))
        refuse(QStringLiteral("提示"), QStringLiteral("该单据已经记账，不允许修改！"));
}

void StockInVouchers::saveEdit(const StockInVoucher &voucher)
{
    Transaction tx(m_db);
    refuseIfPosted(voucher.xtbh);
    const QStringList messages = validate(voucher);
    if (!messages.isEmpty())
        refuse(QStringLiteral("警告"), messages.join(QLatin1Char('\n')));

    QSet<qint64> stored;
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT ID FROM RKD WHERE XTBH = ?"), {voucher.xtbh});
    while (q.next())
        stored.insert(q.value(0).toLongLong());
    q.finish();

    QSet<qint64> kept;
    for (const StockInLine &line : voucher.lines) {
        if (!line.hasMaterial())
            continue;
        if (line.id == 0) {
            insertLine(voucher.xtbh, voucher, line);
            continue;
        }
        if (!stored.contains(line.id))
            throw StoreError(QStringLiteral("RKD line %1 is not part of voucher %2")
                                 .arg(line.id)
                                 .arg(voucher.xtbh));
        kept.insert(line.id);
        const StoredFigures f = storedFigures(line);
        m_db.exec(QStringLiteral("UPDATE RKD SET YSDJH = ?, GYSBH = ?, FPBH = ?, ZPH = ?, "
                                 "CLBH = ?, SJDJ = ?, SJSL = ?, SJJE = ?, YFJE = ?, CZZM = ?, "
                                 "CZRQ = ? WHERE ID = ?"),
                  {voucher.ysdjh, voucher.gysbh.trimmed(), voucher.fpbh, voucher.zph,
                   line.clbh.trimmed(), f.sjdj.toVariant(), f.sjsl.toVariant(), f.sjje.toVariant(),
                   f.yfje.toVariant(), line.czzm, VoucherBook::dateText(voucher.czrq), line.id});
    }
    // Lines taken off the grid go too: the voucher is what the grid shows.
    for (qint64 id : std::as_const(stored)) {
        if (!kept.contains(id))
            m_db.exec(QStringLiteral("DELETE FROM RKD WHERE ID = ?"), {id});
    }
    tx.commit();
}

void StockInVouchers::remove(qint64 xtbh)
{
    Transaction tx(m_db);
    refuseIfPosted(xtbh);
    m_db.exec(QStringLiteral("DELETE FROM RKD WHERE XTBH = ?"), {xtbh});
    tx.commit();
}

std::optional<StockInVoucher> StockInVouchers::load(qint64 xtbh) const
{
    QSqlQuery q = m_db.exec(
        QStringLiteral("SELECT R.ID, R.YSDJH, R.GYSBH, G.MC, R.CZRQ, R.FPBH, R.ZPH, R.CLBH, "
                       "C.CLMC, C.CLGG, C.JZDW, C.HSDW, C.HSXS, C.JHDJ, R.SJDJ, R.SJSL, R.SJJE, "
                       "R.YFJE, R.CZZM, R.JZBZ FROM RKD R "
                       "LEFT JOIN CLJBXXB C ON C.CLBH = R.CLBH "
                       "LEFT JOIN GYS G ON G.BH = R.GYSBH "
                       "WHERE R.XTBH = ? AND R.CZBZ = 0 ORDER BY R.ID"),
        {xtbh});
    StockInVoucher v;
    v.xtbh = xtbh;
    bool any = false;
    while (q.next()) {
        if (!any) {
            v.ysdjh = q.value(1).toString();
            v.gysbh = q.value(2).toString();
            v.gysmc = q.value(3).toString();
            v.czrq = VoucherBook::dateOf(q.value(4));
            v.fpbh = q.value(5).toString();
            v.zph = q.value(6).toString();
            any = true;
        }
        StockInLine line;
        line.id = q.value(0).toLongLong();
        line.clbh = q.value(7).toString();
        line.clmc = q.value(8).toString();
        line.clgg = q.value(9).toString();
        line.jzdw = q.value(10).toString();
        line.materialHsdw = q.value(11).toString().trimmed();
        line.hsxs = q.value(12).toDouble();
        line.jhdj = Decimal::fromVariant(q.value(13));
        line.price = Decimal::fromVariant(q.value(14));
        line.quantity = Decimal::fromVariant(q.value(15));
        line.amount = Decimal::fromVariant(q.value(16));
        line.paid = Decimal::fromVariant(q.value(17));
        line.czzm = q.value(18).toString();
        if (q.value(19).toInt() != 0)
            v.posted = true;
        v.lines.append(line);
    }
    if (!any)
        return std::nullopt;
    return v;
}

QList<StockInListRow> StockInVouchers::find(const FinderConditions &conditions) const
{
    // One row per voucher even when its lines disagree on a header field.
    QString sql = QStringLiteral("SELECT R.XTBH, MAX(R.JZBZ), MIN(R.CZRQ), MIN(R.YSDJH), "
                                 "MIN(R.GYSBH), MIN(G.MC), MIN(R.FPBH), MIN(R.ZPH), MIN(R.ZL) "
                                 "FROM RKD R LEFT JOIN GYS G ON G.BH = R.GYSBH WHERE R.ZL = ?");
    if (!conditions.where().isEmpty())
        sql += QStringLiteral(" AND ") + conditions.where();
    if (m_kind.excludesDirectDeliveries())
        sql += QStringLiteral(" AND (R.CKID IS NULL OR R.CKID = 0)");
    sql += QStringLiteral(" GROUP BY R.XTBH ORDER BY R.XTBH");
    QVariantList all{m_kind.zl};
    all.append(conditions.values());
    QSqlQuery q = m_db.exec(sql, all);
    QList<StockInListRow> rows;
    while (q.next()) {
        StockInListRow row;
        row.xtbh = q.value(0).toLongLong();
        row.posted = q.value(1).toInt() != 0;
        row.czrq = VoucherBook::dateOf(q.value(2));
        row.ysdjh = q.value(3).toString();
        row.gysbh = q.value(4).toString();
        row.gysmc = q.value(5).toString();
        row.fpbh = q.value(6).toString();
        row.zph = q.value(7).toString();
        row.zl = q.value(8).toString();
        rows.append(row);
    }
    return rows;
}

QList<StockInListRow> StockInVouchers::currentMonth() const
{
    FinderConditions c;
    c.currentMonth(QStringLiteral("R.CZRQ"));
    return find(c);
}

QList<StockInListRow> StockInVouchers::find(const StockInConditions &c) const
{
    FinderConditions f;
    f.equal(QStringLiteral("R.GYSBH"), c.gysbh);
    f.equal(QStringLiteral("R.FPBH"), c.fpbh);
    f.equal(QStringLiteral("R.YSDJH"), c.ysdjh);
    f.equal(QStringLiteral("R.ZPH"), c.zph);
    f.equal(QStringLiteral("R.CLBH"), c.clbh);
    f.between(QStringLiteral("R.CZRQ"), c.from, c.to);
    return find(f);
}

QDate StockInVouchers::finderStart() const
{
    return VoucherBook(m_db).finderStart();
}

void StockInVouchers::checkAppend(qint64 lineId) const
{
    const QString title = QStringLiteral("提示");
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT ZJBZ, JZBZ FROM RKD WHERE ID = ?"), {lineId});
    if (lineId == 0 || !q.next())
        refuse(title, QStringLiteral("请选择追加记录！"));
    if (q.value(0).toInt() != 0)
        refuse(title, QStringLiteral("该记录已经追加！"));
    // Only stock that was booked can be taken back out of it.
    if (q.value(1).toInt() == 0)
        refuse(title, QStringLiteral("该记录未记账，不能追加！"));
    q.finish();
    // Returns point at the provisional line; replacing it would leave them pointing nowhere.
    if (m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM THD WHERE RKID = ?"), {lineId})
            .toLongLong() > 0)
        refuse(title, QStringLiteral("该记录已做退货，不能追加！"));
}

qint64 StockInVouchers::append(const StockInVoucher &header, const StockInLine &line)
{
    Transaction tx(m_db);
    checkAppend(line.id);
    StockInVoucher single = header;
    single.lines = {line};
    const QStringList messages = validate(single);
    if (!messages.isEmpty())
        refuse(QStringLiteral("警告"), messages.join(QLatin1Char('\n')));

    const qint64 m = m_db.scalar(QStringLiteral("SELECT MAX(XTBH) FROM RKD")).toLongLong();
    const QString mText = QString::number(m);

    const StoredFigures f = storedFigures(line);
    m_db.exec(QStringLiteral("INSERT INTO RKD (XTBH, YSDJH, GYSBH, CZRQ, FPBH, ZPH, ZL, CLBH, "
                             "SJDJ, SJSL, SJJE, YFJE, CZZM, JZBZ, ZJBZ) "
                             "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 1, 1)"),
              {m + 2, mText + QStringLiteral("追加"), header.gysbh.trimmed(),
               VoucherBook::dateText(header.czrq), header.fpbh, header.zph,
               StockInKind::of(StockInKind::Provisional).zl, line.clbh.trimmed(),
               f.sjdj.toVariant(), f.sjsl.toVariant(), f.sjje.toVariant(), f.yfje.toVariant(),
               line.czzm});
    const qint64 actualId = m_db.scalar(QStringLiteral("SELECT MAX(ID) FROM RKD")).toLongLong();

    // The reversing line keeps the provisional line's date unless that month is sealed: a
    // posted line dated there would change a closed period behind the closing's back.
    const std::optional<QDate> closing = latestClosing();
    const QString sealedUntil = closing ? VoucherBook::dateText(*closing) : QString();
    m_db.exec(QStringLiteral("INSERT INTO RKD (XTBH, YSDJH, GYSBH, CZRQ, FPBH, ZPH, ZL, CLBH, "
                             "SJDJ, SJSL, SJJE, YFJE, CZZM, JZBZ, ZJBZ, CZBZ) "
                             "SELECT ?, ?, GYSBH, CASE WHEN CZRQ <= ? THEN ? ELSE CZRQ END, "
                             "FPBH, ZPH, ZL, CLBH, SJDJ, -SJSL, -SJJE, -YFJE, CZZM, 1, 1, 1 "
                             "FROM RKD WHERE ID = ?"),
              {m + 1, mText + QStringLiteral("冲帐"), sealedUntil,
               VoucherBook::dateText(header.czrq), line.id});
    const qint64 reversalId = m_db.scalar(QStringLiteral("SELECT MAX(ID) FROM RKD")).toLongLong();

    m_db.exec(QStringLiteral("UPDATE RKD SET ZJBZ = 1, CZBZ = 1 WHERE ID = ?"), {line.id});
    // Pieces already drawn from the provisional layer now come from the actual line, which
    // takes the provisional line's place among the layers.
    m_db.exec(QStringLiteral("UPDATE XJXCSJB SET RKID = ? WHERE RKID = ?"), {actualId, line.id});

    CostEngine engine(m_db, m_mode, m_formats);
    engine.addReceiptLineToStock(reversalId);
    engine.addReceiptLineToStock(actualId);
    tx.commit();
    return m + 2;
}

} // namespace varnock
