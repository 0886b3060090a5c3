#pragma once

#include "master/screens/codedlistscreen.h"

namespace varnock {

// Consuming-unit upkeep ("耗料单位设置"). "增加(&A)" turns into "保存(&S)" while a new unit
// is entered, "修改(&G)" likewise while one is changed.
class FrmLldw : public CodedListScreen
{
    Q_OBJECT

public:
    enum Button { Add, Change, Delete, Print, Cancel, Exit };
    enum Field { BH, MC, DZ, LXR, DH, BZ, FieldCount };

    explicit FrmLldw(Database &db, QWidget *parent = nullptr);

    static QString helpTopic() { return QStringLiteral("耗料单位设置"); }

    QLineEdit *field(Field field) const { return fieldAt(field); }

private:
    QList<CodeList::Entry> entries() const override;
    std::optional<QStringList> record(const QString &code) const override;
    bool store(bool adding) override;
    bool erase(const QString &code) override;
};

} // namespace varnock
