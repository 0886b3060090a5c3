#pragma once

#include "master/catalogue.h"

#include <QAbstractTableModel>

#include <optional>

namespace varnock {

// The catalogue grid: CLBH, CLMC, CLGG, JZDW, JJFS, JHDJ, HSDW, HSXS, SFMJ, read-only.
class CatalogueTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Clbh, Clmc, Clgg, Jzdw, Jjfs, Jhdj, Hsdw, Hsxs, Sfmj, ColumnCount };

    explicit CatalogueTableModel(QObject *parent = nullptr);

    void setRows(QList<CatalogueRow> rows);
    const CatalogueRow &rowAt(int row) const { return m_rows.at(row); }

    // The order a click on a column header asks for; nullopt for columns that do not sort.
    static std::optional<Catalogue::Sort> sortFor(int column);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QList<CatalogueRow> m_rows;
};

} // namespace varnock
