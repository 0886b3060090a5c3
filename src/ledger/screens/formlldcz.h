#pragma once

#include "ledger/screens/reversalscreen.h"

namespace varnock {

// Issue reversal for one kind (1 requisition, 2 transfer out): the posted vouchers dated in
// the range above ("冲帐帐目资料"), their lines still to be reversed below ("冲帐明细资料").
// After a reversal it offers the issue screen for a replacement.
class FormLLDCZ : public ReversalScreen
{
    Q_OBJECT

public:
    enum Button { Query, Reverse, Exit };

    // An empty `title` keeps the kind's own caption.
    FormLLDCZ(Database &db, int issueKind, int accountingMode, const Formats &formats,
              const QString &title = {}, QWidget *parent = nullptr);

    static QString caption(int issueKind);
    QString kind() const { return m_kind; }

protected:
    PostingGrid linesOf(qint64 xtbh) const override;

private:
    void query();
    void reverse();

    QString m_kind;
};

} // namespace varnock
