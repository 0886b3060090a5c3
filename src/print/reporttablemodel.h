#pragma once

#include "print/reporttable.h"

#include <QAbstractTableModel>

namespace varnock {

// A report table on screen: the cells as the program shows them, figures right-aligned. The
// row style travels under StyleRole, so the window can set group rows apart.
class ReportTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int StyleRole = Qt::UserRole + 1;

    explicit ReportTableModel(const Formats &formats, QObject *parent = nullptr);

    void setTable(ReportTable table);
    const ReportTable &table() const { return m_table; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    Formats m_formats;
    ReportTable m_table;
};

} // namespace varnock
