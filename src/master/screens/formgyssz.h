#pragma once

#include "master/screens/codedlistscreen.h"

namespace varnock {

class NumericEdit;

// Supplier upkeep ("供应商操作"): the list of suppliers and the fields of the selected one.
class FormGYSSZ : public CodedListScreen
{
    Q_OBJECT

public:
    enum Button { Add, Delete, Change, Cancel, Exit, Save, Print };
    // The fields in the order of the form.
    enum Field { BH, MC, ZCDD, ZCBH, FR, DZ, YZBM, LXDH, KHYH, KHZH, ZGCP, CSQK, BZ, FieldCount };

    explicit FormGYSSZ(Database &db, QWidget *parent = nullptr);

    static QString helpTopic() { return QStringLiteral("供应商设置"); }

    // The line edit of a field (CSQK is a NumericEdit).
    QLineEdit *field(Field field) const { return fieldAt(field); }

private:
    QList<CodeList::Entry> entries() const override;
    std::optional<QStringList> record(const QString &code) const override;
    bool store(bool adding) override;
    bool erase(const QString &code) override;
    QString proposeCode() const override;
};

} // namespace varnock
