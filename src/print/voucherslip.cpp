#include "print/voucherslip.h"

#include "shell/accountsetsession.h"
#include "store/database.h"
#include "store/errors.h"
#include "vouchers/stockinkind.h"
#include "vouchers/stockinreturnkind.h"

namespace varnock {

namespace {

bool isIssueFamily(Posting::Family family)
{
    return family == Posting::Family::Issue || family == Posting::Family::IssueReturn;
}

// The columns every family's line query hands back, in this order.
enum Field {
    Id,
    Clbh,
    Clmc,
    Clgg,
    Jzdw,
    Czzm,
    Document,
    Date,
    Price,
    Quantity,
    Amount,
    Paid,
    Zl,
    Partner,
    GroupName,
    Sjbh,
    Jjfs,
    Jhdj,
    Sgbw,
    Dh,
    Jzbz,
};

QString lineQuery(Posting::Family family)
{
    const QString catalogue = QStringLiteral(
        " LEFT JOIN CLJBXXB C ON C.CLBH = V.CLBH LEFT JOIN CLJBXXB P ON P.CLBH = C.SJBH ");
    const QString materials = QStringLiteral("V.ID, V.CLBH, C.CLMC, C.CLGG, C.JZDW, ");
    const QString tail = QStringLiteral("P.CLMC, C.SJBH, C.JJFS, C.JHDJ, ");
    // Actual-price lines before planned-price lines within a group, each by material code.
    const QString order = QStringLiteral(" ORDER BY C.SJBH, %1 COALESCE(C.JJFS, 0), V.CLBH, V.ID");
    switch (family) {
    case Posting::Family::StockIn:
        return QStringLiteral("SELECT ") + materials +
               QStringLiteral("V.CZZM, V.YSDJH, V.CZRQ, V.SJDJ, V.SJSL, V.SJJE, V.YFJE, V.ZL, "
                              "G.MC, ") +
               tail + QStringLiteral("NULL, NULL, V.JZBZ FROM RKD V") + catalogue +
               QStringLiteral("LEFT JOIN GYS G ON G.BH = V.GYSBH WHERE V.XTBH = ?") +
               order.arg(QString());
    case Posting::Family::StockInReturn:
        return QStringLiteral("SELECT ") + materials +
               QStringLiteral("NULL, V.THDJH, V.CZRQ, V.THDJ, V.THSL, V.THJE, NULL, V.ZL, G.MC, ") +
               tail + QStringLiteral("NULL, NULL, V.JZBZ FROM THD V") + catalogue +
               QStringLiteral("LEFT JOIN GYS G ON G.BH = V.GYSBH WHERE V.XTBH = ?") +
               order.arg(QString());
    case Posting::Family::Issue:
        return QStringLiteral("SELECT ") + materials +
               QStringLiteral("NULL, V.YSDJH, V.CZRQ, V.SJDJ, V.SJSL, V.SJJE, NULL, V.ZL, U.MC, ") +
               tail + QStringLiteral("V.SGBW, V.DH, V.JZBZ FROM LLD V") + catalogue +
               QStringLiteral("LEFT JOIN LLDW U ON U.BH = V.LLDWBH WHERE V.XTBH = ?") +
               order.arg(QStringLiteral("V.SGBW, V.DH,"));
    case Posting::Family::IssueReturn:
        // The construction site and building are the returned issue line's.
        return QStringLiteral("SELECT ") + materials +
               QStringLiteral("NULL, V.THDJH, V.CZRQ, V.THDJ, V.THSL, V.THJE, NULL, V.ZL, U.MC, ") +
               tail + QStringLiteral("L.SGBW, L.DH, V.JZBZ FROM TKD V") + catalogue +
               QStringLiteral("LEFT JOIN LLD L ON L.ID = V.LLID "
                              "LEFT JOIN LLDW U ON U.BH = V.LLDWBH WHERE V.XTBH = ?") +
               order.arg(QStringLiteral("L.SGBW, L.DH,"));
    }
    return {};
}

QString kindText(Posting::Family family, const QString &zl)
{
    const bool transfer = zl.trimmed() == QLatin1String("2");
    switch (family) {
    case Posting::Family::StockIn:
        return zl;
    case Posting::Family::StockInReturn:
        for (const StockInReturnKind &k : StockInReturnKind::all()) {
            if (k.zl == zl)
                return k.printName;
        }
        return zl;
    case Posting::Family::Issue:
        return transfer ? QStringLiteral("调拨出库") : QStringLiteral("领料出库");
    case Posting::Family::IssueReturn:
        return transfer ? QStringLiteral("调拨退货") : QStringLiteral("领料退货");
    }
    return zl;
}

QString partnerCaption(Posting::Family family, const QString &zl)
{
    if (isIssueFamily(family))
        return zl.trimmed() == QLatin1String("2") ? QStringLiteral("调拨单位：")
                                                  : QStringLiteral("耗料单位：");
    const bool transfer = zl == StockInKind::of(StockInKind::TransferIn).zl ||
                          zl == StockInReturnKind::of(StockInKind::TransferIn).zl;
    return transfer ? QStringLiteral("调拨单位：") : QStringLiteral("供应商：");
}

std::optional<Decimal> optionalFigure(const QVariant &v)
{
    if (v.isNull())
        return std::nullopt;
    return Decimal::fromVariant(v);
}

QString joinedSite(const QString &sgbw, const QString &dh)
{
    if (sgbw.isEmpty() || dh.isEmpty())
        return sgbw + dh;
    return sgbw + QLatin1Char('/') + dh;
}

} // namespace

struct VoucherSlips::Line
{
    qint64 id = 0;
    QString groupKey;
    QString groupName;
    Slip::Row row;
    QString document;
    QDate date;
    QString zl;
    QString partner;
    QString sgbw;
    QString dh;
    std::optional<Decimal> paid;
    bool planned = false;
    Decimal plannedPrice;
    bool posted = false;
};

Decimal Slip::Page::amount() const
{
    Decimal sum;
    for (const Row &row : rows)
        sum += row.amount.value_or(Decimal());
    return sum;
}

VoucherSlips::VoucherSlips(Database &db, int accountingMode, const Formats &formats,
                           const SlipCaptions &captions)
    : m_db(db)
    , m_fifo(accountingMode == 1)
    , m_formats(formats)
    , m_captions(captions)
{}

QString VoucherSlips::firmName(Database &db)
{
    const QString firm = db.scalar(QStringLiteral("SELECT GSMC FROM YHZL")).toString().trimmed();
    return firm.isEmpty() ? AccountSetSession::DefaultFirmName : firm;
}

QList<VoucherSlips::Line> VoucherSlips::readLines(Posting::Family family, qint64 xtbh) const
{
    QList<Line> lines;
    QSqlQuery q = m_db.exec(lineQuery(family), {xtbh});
    while (q.next()) {
        Line line;
        line.id = q.value(Id).toLongLong();
        line.row.clbh = q.value(Clbh).toString();
        line.row.clmc = q.value(Clmc).toString();
        line.row.clgg = q.value(Clgg).toString();
        line.row.jzdw = q.value(Jzdw).toString();
        line.row.clzm = q.value(Czzm).toString();
        line.row.price = optionalFigure(q.value(Price));
        line.row.quantity = Decimal::fromVariant(q.value(Quantity));
        line.row.amount = optionalFigure(q.value(Amount));
        line.document = q.value(Document).toString();
        line.date = QDate::fromString(q.value(Date).toString(), QStringLiteral("yyyy-MM-dd"));
        line.paid = optionalFigure(q.value(Paid));
        line.zl = q.value(Zl).toString();
        line.partner = q.value(Partner).toString();
        line.groupName = q.value(GroupName).toString();
        line.sgbw = q.value(Sgbw).toString();
        line.dh = q.value(Dh).toString();
        line.groupKey = q.value(Sjbh).toString();
        if (isIssueFamily(family))
            line.groupKey += QChar(0) + line.sgbw + QChar(0) + line.dh;
        line.planned = q.value(Jjfs).toInt() != 0;
        line.plannedPrice = Decimal::fromVariant(q.value(Jhdj));
        line.posted = q.value(Jzbz).toInt() != 0;
        lines << line;
    }
    return lines;
}

// The rows one voucher line prints as: one, or under first in first out one per allocation
// piece of a costed issue line.
QList<Slip::Row> VoucherSlips::rowsOf(Posting::Family family, const Line &line) const
{
    Slip::Row row = line.row;
    if (line.planned) {
        row.price = line.plannedPrice;
        row.amount = m_formats.roundAmount(row.quantity * line.plannedPrice);
        return {row};
    }
    if (!m_fifo || family != Posting::Family::Issue)
        return {row};

    // Each piece at its layer's unit price; its amount is the layer's value share, exactly
    // as the cost engine charged it, so the pieces add up to the line's amount.
    QList<Slip::Row> pieces;
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT X.CKSL, X.RKID, R.SJDJ, R.SJSL, R.SJJE, "
                                           "Z.KCDJ, Z.KCSL, Z.KCJE FROM XJXCSJB X "
                                           "LEFT JOIN RKD R ON R.ID = X.RKID "
                                           "LEFT JOIN ZWCSH Z ON Z.ID = X.CSHID "
                                           "WHERE X.CKID = ? AND X.CKSL <> 0 ORDER BY X.ID"),
                            {line.id});
    while (q.next()) {
        const bool receipt = q.value(1).toLongLong() != 0;
        const int layer = receipt ? 2 : 5;
        const Decimal price = Decimal::fromVariant(q.value(layer));
        const Decimal size = Decimal::fromVariant(q.value(layer + 1));
        const Decimal value = Decimal::fromVariant(q.value(layer + 2));
        Slip::Row piece = line.row;
        piece.quantity = Decimal::fromVariant(q.value(0));
        piece.price = price;
        piece.amount = m_formats.roundAmount(
            size.isZero() ? piece.quantity * price : Decimal::mulDiv(piece.quantity, value, size));
        pieces << piece;
    }
    if (!pieces.isEmpty())
        return pieces;
    // Not costed yet: the posting prices it.
    if (!line.posted) {
        row.price.reset();
        row.amount.reset();
    }
    return {row};
}

void VoucherSlips::fillHeader(Slip &slip, const Line &first) const
{
    slip.title = firmName(m_db);
    slip.kind = kindText(slip.family, first.zl);
    slip.partnerCaption = partnerCaption(slip.family, first.zl);
    slip.partner = first.partner;
    slip.document = first.document;
    slip.date = first.date;
    slip.site = joinedSite(first.sgbw, first.dh);
    slip.signatures = isIssueFamily(slip.family) ? m_captions.issue() : m_captions.receipt();
}

void VoucherSlips::write(const Slip &slip, const Line &line, const Slip::Row &row, int page) const
{
    const auto figure = [](const std::optional<Decimal> &d) {
        return d ? d->toVariant() : QVariant();
    };
    m_db.exec(QStringLiteral("INSERT INTO %1 (CLBH, CLMC, CLGG, XTBH, JZDW, YSDJH, JZRQ, CLZM, "
                             "SJDJ, SJSL, SJJE, YFJE, ZL, GYSMC, SGBW, YS, KVMTMC) VALUES "
                             "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                  .arg(slip.table),
              {row.clbh, row.clmc, row.clgg, slip.xtbh, row.jzdw, line.document,
               line.date.toString(QStringLiteral("yyyy-MM-dd")), row.clzm, figure(row.price),
               row.quantity.toVariant(), figure(row.amount), figure(line.paid), slip.kind,
               line.partner, line.sgbw, page, line.groupName});
}

std::optional<Posting::Family> VoucherSlips::familyOfTable(const QString &table)
{
    const QString name = table.toUpper();
    if (name == QLatin1String("RKD"))
        return Posting::Family::StockIn;
    if (name == QLatin1String("THD"))
        return Posting::Family::StockInReturn;
    if (name == QLatin1String("LLD"))
        return Posting::Family::Issue;
    if (name == QLatin1String("TKD"))
        return Posting::Family::IssueReturn;
    return std::nullopt;
}

Slip VoucherSlips::fill(Posting::Family family, qint64 xtbh)
{
    // A set opened only to read still prints its slips; the print tables stay as they are.
    std::optional<Transaction> tx;
    if (!m_db.isReadOnly()) {
        tx.emplace(m_db);
        m_db.exec(QStringLiteral("DELETE FROM DY_TEMP"));
        m_db.exec(QStringLiteral("DELETE FROM DY1_TEMP"));
    }

    const QList<Line> lines = readLines(family, xtbh);
    if (lines.isEmpty())
        throw Refusal(QStringLiteral("提示"), QStringLiteral("没有记录！"));

    Slip slip;
    slip.family = family;
    slip.xtbh = xtbh;
    slip.table = m_fifo && family == Posting::Family::Issue ? QStringLiteral("DY1_TEMP")
                                                            : QStringLiteral("DY_TEMP");
    fillHeader(slip, lines.first());

    Slip::Page page;
    page.number = 1;
    const auto closePage = [&] {
        while (page.rows.size() < Slip::RowsPerPage) {
            if (tx)
                m_db.exec(QStringLiteral("INSERT INTO %1 (YS) VALUES (?)").arg(slip.table),
                          {page.number});
            page.rows << Slip::Row{};
        }
        slip.pages << page;
        page = Slip::Page{};
        page.number = int(slip.pages.size()) + 1;
    };
    for (int i = 0; i < lines.size(); ++i) {
        const Line &line = lines.at(i);
        for (const Slip::Row &row : rowsOf(family, line)) {
            if (tx)
                write(slip, line, row, page.number);
            page.group = line.groupName;
            page.rows << row;
            slip.total += row.amount.value_or(Decimal());
            if (page.rows.size() == Slip::RowsPerPage)
                closePage();
        }
        // A group ends: its last page is filled up and the next group starts a new page.
        const bool groupEnds = i + 1 == lines.size() || lines.at(i + 1).groupKey != line.groupKey;
        if (groupEnds && !page.rows.isEmpty())
            closePage();
    }
    if (tx)
        tx->commit();
    return slip;
}

} // namespace varnock
