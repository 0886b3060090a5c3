#pragma once

#include "store/formats.h"
#include "vouchers/voucherline.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

#include <functional>
#include <optional>
#include <type_traits>

namespace varnock {

// A voucher's line grid as the entry screens handle it, whatever its lines.
class VoucherLines : public QAbstractTableModel
{
    Q_OBJECT

public:
    // The texts a conversion-unit cell offers: empty and the material's conversion unit.
    static constexpr int ConversionUnitsRole = Qt::UserRole + 1;

    // Cells take input only while editable.
    void setEditable(bool editable)
    {
        m_editable = editable;
        if (rowCount() > 0)
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    }
    bool isEditable() const { return m_editable; }

    virtual void clear() = 0;
    virtual bool hasMaterial(int row) const = 0;
    virtual int appendEmpty() = 0;
    virtual void removeLine(int row) = 0;

protected:
    using QAbstractTableModel::QAbstractTableModel;

    bool m_editable = false;
};

// What every voucher line grid shares: its lines, the columns a family declares (heading,
// what a line shows, whether and how a cell takes input), replacing, appending and removing
// lines, and figures aligned to the right. An entry grid keeps one empty line to type into;
// a return grid shows only the lines it was given.
template <typename Line> class VoucherLineModel : public VoucherLines
{
public:
    void clear() override { setLines({}); }
    bool hasMaterial(int row) const override
    {
        return row >= 0 && row < m_lines.size() && m_lines.at(row).hasMaterial();
    }
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
    int appendEmpty() override
    {
        const int row = int(m_lines.size());
        beginInsertRows(QModelIndex(), row, row);
        m_lines.append(Line());
        endInsertRows();
        return row;
    }
    // Removes a line; the only line of an entry grid is emptied instead.
    void removeLine(int row) override
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
    // Puts a catalogue material into a line (the picker's choice); false for no such line.
    bool setCatalogueMaterial(int row, const MaterialLookup::Row &material)
    {
        if (row < 0 || row >= m_lines.size())
            return false;
        m_lines[row].takeMaterial(material);
        emitRowChanged(row);
        return true;
    }
    // The first line without a material, appending one when every line has one.
    int firstEmptyRow()
    {
        for (int row = 0; row < m_lines.size(); ++row) {
            if (!m_lines.at(row).hasMaterial())
                return row;
        }
        return appendEmpty();
    }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_lines.size());
    }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_columns.size());
    }

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override
    {
        if (!index.isValid() || index.row() >= m_lines.size())
            return QVariant();
        const Line &line = m_lines.at(index.row());
        const Column &column = m_columns.at(index.column());
        if constexpr (std::is_base_of_v<ConvertibleLine, Line>) {
            if (role == ConversionUnitsRole) {
                QStringList units{QString()};
                if (!line.materialHsdw.isEmpty())
                    units.append(line.materialHsdw);
                return units;
            }
        }
        if (role == Qt::TextAlignmentRole && column.figure)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        if (role != Qt::DisplayRole && role != Qt::EditRole)
            return QVariant();
        return column.text(line);
    }
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
            section >= m_columns.size())
            return QAbstractTableModel::headerData(section, orientation, role);
        return m_columns.at(section).header;
    }
    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        Qt::ItemFlags f = QAbstractTableModel::flags(index);
        if (!m_editable || !index.isValid() || index.row() >= m_lines.size())
            return f;
        const Column &column = m_columns.at(index.column());
        if (column.set && column.editable(m_lines.at(index.row())))
            return f | Qt::ItemIsEditable;
        return f;
    }
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override
    {
        if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
            return false;
        if (!m_columns.at(index.column()).set(m_lines[index.row()], value.toString()))
            return false;
        emitRowChanged(index.row());
        return true;
    }

protected:
    // One column: its heading, what a line shows in it and, for a cell that takes input,
    // when it does and what a typed text does to the line (false: the text is refused).
    struct Column
    {
        QString header;
        std::function<QVariant(const Line &)> text;
        bool figure = false; // right-aligned
        std::function<bool(const Line &)> editable = {};
        std::function<bool(Line &, const QString &)> set = {};
    };
    using Figure = std::function<std::optional<Decimal>(const Line &)>;
    enum class Format { Quantity, Amount };

    VoucherLineModel(bool keepsEmptyLine, const Formats &formats, QObject *parent)
        : VoucherLines(parent)
        , m_formats(formats)
        , m_keepsEmptyLine(keepsEmptyLine)
    {
        if (m_keepsEmptyLine)
            m_lines.append(Line());
    }

    // The columns in the order of the family's Column enum.
    void setColumns(const QList<Column> &columns) { m_columns = columns; }

    // A text the line shows.
    static Column shown(const QString &header, std::function<QVariant(const Line &)> value)
    {
        return {header, std::move(value)};
    }
    static Column shown(const QString &header, QString Line::*member)
    {
        return shown(header, [member](const Line &line) -> QVariant { return line.*member; });
    }
    // A text typed into the line while `editable` allows.
    static Column typedText(const QString &header, QString Line::*member,
                            std::function<bool(const Line &)> editable)
    {
        Column c = shown(header, member);
        c.editable = std::move(editable);
        c.set = [member](Line &line, const QString &text) {
            line.*member = text;
            return true;
        };
        return c;
    }
    // A figure in the quantity or amount format; blank without a material, or where `value`
    // gives none.
    Column figure(const QString &header, Format format, Figure value) const
    {
        return {header,
                [this, format, value](const Line &line) -> QVariant {
                    const std::optional<Decimal> v =
                        line.hasMaterial() ? value(line) : std::optional<Decimal>();
                    if (!v)
                        return QString();
                    return format == Format::Quantity ? m_formats.quantityText(*v)
                                                      : m_formats.amountText(*v);
                },
                true};
    }
    Column figure(const QString &header, Format format, Decimal Line::*member) const
    {
        return figure(header, format, [member](const Line &line) { return line.*member; });
    }
    // A figure taking input while `editable` allows: empty reads as 0, a negative or
    // unreadable figure is refused. The figure goes into `member`, rounded through the
    // column's format, and `then` runs. The cell shows `member`, or `shown` where given.
    Column typedFigure(const QString &header, Format format, Decimal Line::*member,
                       std::function<bool(const Line &)> editable,
                       std::function<void(Line &)> then = {}, Figure shown = {}) const
    {
        Column c = shown ? figure(header, format, shown) : figure(header, format, member);
        c.editable = std::move(editable);
        c.set = [this, format, member, then](Line &line, const QString &text) {
            const std::optional<Decimal> number =
                text.trimmed().isEmpty() ? std::optional<Decimal>(Decimal()) : Decimal::parse(text);
            if (!number || number->isNegative())
                return false;
            line.*member = format == Format::Quantity ? m_formats.roundQuantity(*number)
                                                      : m_formats.roundAmount(*number);
            if (then)
                then(line);
            return true;
        };
        return c;
    }
    // The conversion-unit cell: empty for the accounting unit or the material's own unit.
    // `changed` runs when the unit is another than before.
    static Column conversionUnitColumn(const QString &header,
                                       std::function<void(Line &)> changed = {})
    {
        return {header, [](const Line &line) -> QVariant { return line.conversionUnit; }, false,
                [](const Line &line) { return line.hasMaterial(); },
                [changed](Line &line, const QString &text) {
                    if (!text.isEmpty() && text != line.materialHsdw)
                        return false;
                    if (text == line.conversionUnit)
                        return true;
                    line.conversionUnit = text;
                    if (changed)
                        changed(line);
                    return true;
                }};
    }
    // The material-code cell: a typed code puts its material into the line through `take`
    // (false when there is no such material); an emptied cell empties the line but keeps its
    // ID.
    static Column codeColumn(const QString &header,
                             std::function<bool(Line &, const QString &code)> take)
    {
        return {header, [](const Line &line) -> QVariant { return line.clbh; }, false,
                [](const Line &) { return true; },
                [take](Line &line, const QString &text) {
                    const QString code = text.trimmed();
                    if (code == line.clbh.trimmed())
                        return true;
                    if (!code.isEmpty())
                        return take(line, code);
                    const qint64 id = line.id;
                    line = Line();
                    line.id = id;
                    return true;
                }};
    }
    // The material-code cell of a family whose lines take any material of the catalogue.
    static Column catalogueCodeColumn(const QString &header, const MaterialLookup &materials)
    {
        return codeColumn(header, [&materials](Line &line, const QString &code) {
            const std::optional<MaterialLookup::Row> m = materials.find(code);
            if (!m)
                return false;
            line.takeMaterial(*m);
            return true;
        });
    }
    void emitRowChanged(int row) { emit dataChanged(index(row, 0), index(row, columnCount() - 1)); }

    QList<Line> m_lines;
    const Formats m_formats;

private:
    QList<Column> m_columns;
    bool m_keepsEmptyLine;
};

} // namespace varnock
