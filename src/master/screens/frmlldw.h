#pragma once

#include <QDialog>

class QGroupBox;
class QLineEdit;

namespace varnock {

class CodeList;
class Database;
class IndexedButtonGroup;

// Consuming-unit upkeep ("耗料单位设置"). "增加(&A)" turns into "保存(&S)" while a new unit
// is entered, "修改(&G)" likewise while one is changed.
class FrmLldw : public QDialog
{
    Q_OBJECT

public:
    enum class State { Browse, Adding, Editing };
    enum Button { Add, Change, Delete, Print, Cancel, Exit };
    enum Field { BH, MC, DZ, LXR, DH, BZ, FieldCount };

    explicit FrmLldw(Database &db, QWidget *parent = nullptr);

    State state() const { return m_state; }
    static QString helpTopic() { return QStringLiteral("耗料单位设置"); }

    CodeList *list() const { return m_list; }
    IndexedButtonGroup *buttons() const { return m_buttons; }
    QLineEdit *field(Field field) const { return m_fields[field]; }

private:
    void reload(const QString &select = QString());
    void showSelected();
    void setState(State state);

    void addOrSave();
    void changeOrSave();
    void save();
    void remove();

    Database &m_db;
    State m_state = State::Browse;
    CodeList *m_list = nullptr;
    QLineEdit *m_fields[FieldCount] = {};
    IndexedButtonGroup *m_buttons = nullptr;
};

} // namespace varnock
