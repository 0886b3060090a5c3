#pragma once

#include "widgets/operation.h"
#include "widgets/picker.h"

#include <QList>
#include <QStringList>

#include <utility>

class QPushButton;
class QStandardItemModel;

namespace varnock {

// Base of the voucher finders: a list of vouchers, one row each, with "确 定(&Q)",
// "查 询(&F)" (the subclass's condition dialog) and "退 出(&X)" unless the list names them
// otherwise. A double click, Enter or
// "确 定(&Q)" returns the chosen row's system number.
class VoucherList : public Picker<qint64>
{
    Q_OBJECT

public:
    QPushButton *searchButton() const { return m_search; }
    int rowCount() const;

    static QString postedText(bool posted);
    static QString dateText(const QDate &date);

protected:
    VoucherList(const QString &objectName, const QString &title, const QStringList &headers,
                QWidget *parent);

    // Asks the conditions and lists what meets them.
    virtual void search() = 0;

    // Lists `rows` (anything with a system number `xtbh`), one line of `texts(row)` each.
    template <typename Row, typename Texts> void showRows(const QList<Row> &rows, Texts texts)
    {
        QList<QStringList> lines;
        QList<qint64> numbers;
        for (const Row &row : rows) {
            lines.append(texts(row));
            numbers.append(row.xtbh);
        }
        setLines(lines, numbers);
    }
    // Runs the core query `fetch` and lists its rows; the list stays as it was when the query
    // fails (its message has been shown).
    template <typename Fetch, typename Texts> void list(Fetch fetch, Texts texts)
    {
        decltype(fetch()) rows;
        if (runOperation(this, [&] { rows = fetch(); }))
            showRows(rows, texts);
    }

    // Names the button that takes the chosen row and the one that leaves.
    void setButtonCaptions(const QString &ok, const QString &exit);

    // Fits the columns to the rows listed so far, then widens the given (column, width) ones.
    void fitColumns(const QList<std::pair<int, int>> &widths);

    qint64 valueAt(int row) const override;

    // Lists one line of `lines` a row, the row's voucher being `numbers` at the same place.
    void setLines(const QList<QStringList> &lines, const QList<qint64> &numbers);

private:
    QPushButton *m_search;
    QStandardItemModel *m_model;
    QList<qint64> m_numbers;
};

} // namespace varnock
