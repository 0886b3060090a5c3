#pragma once

#include "master/catalogue.h"

#include <QDialog>

class QLineEdit;

namespace varnock {

class IndexedButtonGroup;

// The category editor "类别设置". Add mode keeps the dialog open for the next category under
// the same parent; edit mode changes only the name.
class FrmLADD : public QDialog
{
    Q_OBJECT

public:
    enum Button { Save, Edit, Exit };

    explicit FrmLADD(Database &db, QWidget *parent = nullptr);

    void startAdd(const QString &parentCode, const QString &parentName, const QString &code);
    void startEdit(const CatalogueRow &row, const QString &parentName);

    bool isAdding() const { return m_adding; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

signals:
    void added(const varnock::CatalogueRow &row);
    void changed(const QString &clbh);

private:
    void save();
    void edit();
    void checkCode();

    Catalogue m_catalogue;
    QLineEdit *m_code;
    QLineEdit *m_name;
    QLineEdit *m_parent;
    IndexedButtonGroup *m_buttons;
    QString m_parentCode;
    bool m_adding = true;
};

} // namespace varnock
