#pragma once

#include "master/materiallookup.h"
#include "master/openingbalances.h"

#include <QAbstractTableModel>

namespace varnock {

// The opening-balance grid: saved rows, rows being added and the row being changed. New
// rows take a material (typed code or the lookup) and three figures; changed rows take new
// figures. Typing the price or the quantity recomputes the amount, typing the amount
// recomputes the price, each through the display formats. A planned-price material's row
// also shows what it puts into stock: its quantity at the planned price.
class OpeningBalanceModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Id, Code, Name, Spec, Unit, Price, Quantity, Amount, Planned, ColumnCount };
    enum class State { Saved, New, Changed };

    OpeningBalanceModel(Database &db, const OpeningBalances &balances, QObject *parent = nullptr);

    // Shows the saved rows; pending rows are dropped.
    void load(const QList<OpeningBalances::Row> &rows);
    // Appends an empty new row and returns its index.
    int appendNew();
    // Makes a saved row's figures editable; false for a row that is not saved.
    bool beginChange(int row);
    // Puts a material into a new row (the lookup's choice); false for other rows.
    bool setMaterial(int row, const MaterialLookup::Row &material);

    State stateAt(int row) const;
    qint64 idAt(int row) const;
    QString codeAt(int row) const;
    bool hasPending() const;
    // The new rows to save, in order; rows left wholly empty are skipped.
    QList<OpeningBalances::NewRow> newRows() const;
    // The changed rows: ID and figures.
    QList<QPair<qint64, OpeningBalances::Figures>> changedRows() const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

private:
    struct Line
    {
        State state = State::New;
        qint64 id = 0;
        QString code;
        QString name;
        QString spec;
        QString unit;
        bool planned = false; // JJFS of the material
        Decimal plannedPrice; // its JHDJ
        OpeningBalances::Figures figures;
    };
    void setMaterialOf(Line &line, const std::optional<MaterialLookup::Row> &material);
    QString figureText(int column, const std::optional<Decimal> &value) const;
    void recompute(Line &line, int typedColumn);

    MaterialLookup m_lookup;
    const OpeningBalances &m_balances;
    Formats m_formats;
    QList<Line> m_lines;
};

} // namespace varnock
