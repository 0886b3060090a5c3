#pragma once

#include "store/formats.h"

#include <QDialog>

class QRadioButton;

namespace varnock {

class Database;
class IndexedButtonGroup;

// The stock list ("库存盘点"): how far it sums up the catalogue, then the list in a report
// window, to print or export.
class FrmBBkcqd : public QDialog
{
    Q_OBJECT

public:
    enum Button { Ok, Exit };

    FrmBBkcqd(Database &db, const Formats &formats, QWidget *parent = nullptr);

    QRadioButton *option(int index) const { return m_options.at(index); }
    IndexedButtonGroup *buttons() const { return m_buttons; }

private:
    void openReport();

    Database &m_db;
    Formats m_formats;
    QList<QRadioButton *> m_options;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
