#pragma once

#include "store/database.h"
#include "store/errors.h"
#include "store/formats.h"
#include "vouchers/voucherbook.h"

#include <QDate>
#include <QList>
#include <QSet>
#include <QSqlQuery>
#include <QStringList>
#include <QVariantList>

#include <optional>

namespace varnock {

// What the services of every voucher family share: the closing that seals earlier dates, the
// numbers a new voucher draws, the refusals of a posted or vanished voucher, and writing a
// voucher's lines exactly as given. A family declares its table and its rules and supplies,
// through VoucherFamily, its checks and the rows its lines become.
class VoucherService
{
public:
    // How a family's new document numbers are made.
    struct Numbering
    {
        enum class Rule {
            Monthly, // today, " - " and one more than this month's greatest number, or 1001
            Running  // today and one more than the greatest number ever, or 1001
        };
        Rule rule = Rule::Monthly;
        QString firstSeparator = QStringLiteral(" - "); // before the first number (Running)
        QString separator = QStringLiteral(" - ");      // before every later one (Running)
    };

    // A family's table.
    struct Table
    {
        QString name;         // RKD, LLD, THD, TKD
        QString numberColumn; // the document number, YSDJH or THDJH
        Numbering numbering;
        // A return line refers to a line of `sourceTable` through `sourceColumn`; that line
        // carries THBZ while any return line refers to it. Empty for the other families.
        QString sourceTable;
        QString sourceColumn;
        // The column every line of one voucher shares: its system number, or its key.
        QString systemColumn = QStringLiteral("XTBH");
        // The lines carry their kind (ZL) and posted flag (JZBZ), and a return marks what it
        // refers to (THBZ). False for the tables that stand apart from the stock ledger.
        bool ledger = true;
    };

    // How a family refuses.
    struct Rules
    {
        Refusal postedEdit;
        Refusal postedDelete;
        // The refusal of a voucher with no line of this kind left; empty: not checked.
        QString missing;
        // The save names only the first failing check, whose own title it keeps; otherwise
        // every message is shown at once under the first one's title.
        bool firstRefusalOnly = false;
    };

    virtual ~VoucherService() = default;

    Database &database() const { return m_db; }
    const Formats &formats() const { return m_formats; }
    int accountingMode() const { return m_mode; }
    const QString &zl() const { return m_zl; }
    const Table &table() const { return m_table; }
    const Rules &rules() const { return m_rules; }

    // Refuses ("请选做月结处理！！！") while no month has been closed.
    void checkCanOpen() const;
    std::optional<QDate> latestClosing() const;
    // The condition dialogs' start date: the latest closing, or the first of this month.
    QDate finderStart() const;

    // MAX(XTBH) + 1 over every kind of the table; 1 for an empty table.
    qint64 nextSystemNumber() const;
    // The document number a new voucher is offered, by the family's numbering.
    QString proposeDocumentNumber() const;
    // The number a new voucher is stored under: a drawn number that another voucher took
    // since it was drawn (two screens drawing from one table) is drawn again; a number typed
    // by hand stays as typed.
    QString numberOnSaving(const QString &number) const;
    // The document numbers already used by this kind, for the combo.
    QStringList documentNumbers() const;
    bool isPosted(qint64 xtbh) const;

    // Deletes a voucher that may still be changed, and the return marks no line needs now.
    virtual void remove(qint64 xtbh);

protected:
    // One line as its table stores it. Columns set with setOnInsert are written when the line
    // is inserted only (its kind, what it refers to); set ones by every save.
    class Row
    {
    public:
        Row(qint64 id, qint64 source = 0)
            : m_id(id)
            , m_source(source)
        {}
        Row &set(const char *column, const QVariant &value);
        Row &setOnInsert(const char *column, const QVariant &value);

    private:
        friend class VoucherService;
        qint64 m_id;     // the stored line; 0 for a line to insert
        qint64 m_source; // the line it refers to, in the table's source table
        QStringList m_columns;
        QVariantList m_values;
        QList<bool> m_onInsertOnly;
    };

    VoucherService(Database &db, Table table, Rules rules, QString zl, int accountingMode,
                   const Formats &formats);

    // The finders' query: `select` (its columns and joins, ending in a condition on this kind,
    // "… WHERE X.ZL = ?") narrowed by `conditions`, then `tail` (grouping and order).
    QSqlQuery findVouchers(const QString &select, const FinderConditions &conditions,
                           const QString &tail) const;

    // The checks of a voucher date, in order: within the bounds every date keeps, and later
    // than the latest closing (`closingMessage` when it is not, or when there is no date).
    QStringList dateProblems(const QDate &date, const QString &closingMessage) const;
    // Whether `clbh` names a material (a leaf) of the catalogue.
    bool isMaterial(const QString &clbh) const;
    // Which of `codes` (trimmed) name materials, read together.
    QSet<QString> materialsAmong(const QStringList &codes) const;
    // The same refusal for each message.
    static QList<Refusal> refusalsOf(const QString &title, const QStringList &messages);
    static QStringList messagesOf(const QList<Refusal> &refusals);
    // Throws the save's refusal when there is any, the way the family's rules say.
    void refuseIfAny(const QList<Refusal> &refusals) const;
    // Refuses a voucher that is gone or posted; `posted` is the refusal of a posted one.
    void refuseIfUnchangeable(qint64 xtbh, const Refusal &posted) const;

    // What the system column stores for voucher `xtbh`: the number itself, unless the family
    // knows its vouchers by something else.
    virtual QVariant storedKey(qint64 xtbh) const { return xtbh; }

    void insertRows(qint64 xtbh, const QList<Row> &rows);
    // Stores exactly `rows`: changed lines updated in place (their IDs stay, and so what
    // refers to them), new lines inserted, stored lines not among them deleted.
    void writeExact(qint64 xtbh, const QList<Row> &rows);

    // Checks beyond the voucher's own lines: before an edit or a deletion, and before a
    // deletion alone.
    virtual void checkChange(qint64) const {}
    virtual void checkRemove(qint64) const {}

    const Table m_table;
    const Rules m_rules;

private:
    // `row` with the running number of its document number beside it, for the tables that keep
    // one.
    Row withRunningNumber(const Row &row) const;
    void insert(qint64 xtbh, const Row &row);
    void unmarkIfUnreferenced(qint64 source);
    bool marksSource() const { return m_table.ledger && !m_table.sourceTable.isEmpty(); }
    // "XTBH = ?" and, for a table of kinds, "AND ZL = ?", with their values.
    QString voucherCondition() const;
    QVariantList voucherValues(qint64 xtbh) const;

    Database &m_db;
    QString m_zl;
    int m_mode;
    Formats m_formats;
};

// A family's typed part: `Voucher` has a system number `xtbh` and lines. Saving new and
// edited vouchers runs here, each in one transaction that a refusal leaves unwritten.
template <typename V> class VoucherFamily : public VoucherService
{
public:
    using Voucher = V;

    // Every message the save would refuse with, in order; empty when the voucher may be saved.
    QStringList validate(const Voucher &voucher) const { return messagesOf(refusals(voucher)); }

    // Stores the voucher's lines under a fresh system number, which it returns.
    qint64 saveNew(const Voucher &voucher)
    {
        Transaction tx(database());
        const qint64 xtbh = insertNew(voucher, false);
        tx.commit();
        return xtbh;
    }
    // The same for a voucher whose document number is drawn as it is stored, and written into
    // `voucher`: nothing can take the number between drawing and storing.
    qint64 saveNewWithDrawnNumber(Voucher &voucher)
    {
        Transaction tx(database());
        if (QString *number = documentNumber(voucher))
            *number = proposeDocumentNumber();
        const qint64 xtbh = insertNew(voucher, true);
        tx.commit();
        return xtbh;
    }
    // Stores exactly what the voucher shows. Refused for a posted voucher.
    void saveEdit(const Voucher &voucher)
    {
        Transaction tx(database());
        if (voucher.xtbh == 0)
            throw StoreError(QStringLiteral("an edit of a voucher without a system number"));
        refuseIfUnchangeable(voucher.xtbh, m_rules.postedEdit);
        checkChange(voucher.xtbh);
        refuseIfAny(refusals(voucher));
        checkEdit(voucher);
        Voucher v = voucher;
        complete(v);
        writeExact(v.xtbh, rows(v, v.xtbh));
        tx.commit();
    }

protected:
    using VoucherService::VoucherService;

    // The save's checks, in order.
    virtual QList<Refusal> refusals(const Voucher &voucher) const = 0;
    // The lines to store, in the order shown; a line that stores nothing is left out.
    virtual QList<Row> rows(const Voucher &voucher, qint64 xtbh) const = 0;
    // The voucher's document number, drawn again on saving when it was taken meanwhile;
    // nullptr for a family whose numbers are all typed.
    virtual QString *documentNumber(Voucher &) const { return nullptr; }
    // The key a new voucher is stored under: the next system number, unless the family knows
    // its vouchers by something else.
    virtual qint64 newKey(const Voucher &) const { return nextSystemNumber(); }
    // Fills in what the voucher left to the books, once it passed its checks.
    virtual void complete(Voucher &) const {}
    // Checks of an edit against what refers to the stored lines.
    virtual void checkEdit(const Voucher &) const {}

private:
    // The new voucher's lines, inside the caller's transaction. A number drawn in that same
    // transaction is kept as it is; any other is checked against the numbers taken since.
    qint64 insertNew(Voucher v, bool numberDrawnNow)
    {
        v.xtbh = 0;
        refuseIfAny(refusals(v));
        // Drawn now, not when the voucher was begun, so two vouchers never share a number.
        const qint64 xtbh = newKey(v);
        QString *number = documentNumber(v);
        if (number && !numberDrawnNow)
            *number = numberOnSaving(*number);
        complete(v);
        insertRows(xtbh, rows(v, xtbh));
        return xtbh;
    }
};

} // namespace varnock
