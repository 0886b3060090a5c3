#pragma once

#include "master/catalogue.h"

#include <QDialog>

class QComboBox;
class QPushButton;
class QTableView;

namespace varnock {

class CatalogueTableModel;

// "选择材料库": shows one of the shipped libraries and replaces the catalogue with it.
class FrmClk : public QDialog
{
    Q_OBJECT

public:
    explicit FrmClk(Database &db, QWidget *parent = nullptr);

    QComboBox *libraryCombo() const { return m_combo; }
    QPushButton *importButton() const { return m_import; }
    QTableView *grid() const { return m_grid; }

signals:
    void imported();

private:
    void showLibrary(int library);
    void importLibrary();

    Catalogue m_catalogue;
    QComboBox *m_combo;
    QTableView *m_grid;
    CatalogueTableModel *m_model;
    QPushButton *m_import;
};

} // namespace varnock
