#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

namespace varnock {

// What every voucher line grid shares: its lines, whether they take input, replacing,
// appending and removing lines, the counts, and figures aligned to the right. An entry grid
// keeps one empty line to type into; a return grid shows only the lines it was given.
template <typename Line> class VoucherLineModel : public QAbstractTableModel
{
public:
    // The texts a conversion-unit cell offers: empty and the material's conversion unit.
    static constexpr int ConversionUnitsRole = Qt::UserRole + 1;

    // Cells take input only while editable.
    void setEditable(bool editable)
    {
        m_editable = editable;
        if (!m_lines.isEmpty())
            emit dataChanged(index(0, 0), index(rowCount() - 1, m_columnCount - 1));
    }
    bool isEditable() const { return m_editable; }

    void clear() { setLines({}); }
    void setLines(const QList<Line> &lines)
    {
        beginResetModel();
        m_lines = lines;
        if (m_lines.isEmpty() && m_keepsEmptyLine)
            m_lines.append(Line());
        endResetModel();
    }
    QList<Line> lines() const { return m_lines; }
    const Line &line(int row) const { return m_lines.at(row); }

    // Appends an empty line and returns its row.
    int appendEmpty()
    {
        const int row = int(m_lines.size());
        beginInsertRows(QModelIndex(), row, row);
        m_lines.append(Line());
        endInsertRows();
        return row;
    }
    // Removes a line; the only line of an entry grid is emptied instead.
    void removeLine(int row)
    {
        if (row < 0 || row >= m_lines.size())
            return;
        if (m_lines.size() == 1 && m_keepsEmptyLine) {
            m_lines[0] = Line();
            emitRowChanged(0);
            return;
        }
        beginRemoveRows(QModelIndex(), row, row);
        m_lines.removeAt(row);
        endRemoveRows();
    }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_lines.size());
    }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : m_columnCount;
    }

protected:
    VoucherLineModel(int columnCount, bool keepsEmptyLine, QObject *parent)
        : QAbstractTableModel(parent)
        , m_columnCount(columnCount)
        , m_keepsEmptyLine(keepsEmptyLine)
    {
        if (m_keepsEmptyLine)
            m_lines.append(Line());
    }

    void emitRowChanged(int row) { emit dataChanged(index(row, 0), index(row, m_columnCount - 1)); }
    static QStringList conversionUnits(const QString &materialHsdw)
    {
        QStringList units{QString()};
        if (!materialHsdw.isEmpty())
            units.append(materialHsdw);
        return units;
    }
    // The alignment of a cell whose figures run from column `first` to `last`.
    static QVariant alignment(int column, int first, int last)
    {
        if (column >= first && column <= last)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant();
    }

    QList<Line> m_lines;
    bool m_editable = false;

private:
    int m_columnCount;
    bool m_keepsEmptyLine;
};

} // namespace varnock
