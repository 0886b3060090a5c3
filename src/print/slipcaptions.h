#pragma once

#include "shell/datafolder.h"

#include <QStringList>

namespace varnock {

// The five signature captions under a receipt slip and the five under an issue slip, from the
// settings file xiaopiao (ten lines: receipt first, then issue). A missing file, or a missing
// or blank line, gives the caption the slip has always carried.
class SlipCaptions
{
public:
    SlipCaptions();
    // Five captions each; a missing or blank one is the default.
    SlipCaptions(const QStringList &receipt, const QStringList &issue);

    static SlipCaptions read(const DataFolder &folder);
    // Writes xiaopiao anew, whole: the receipt captions, then the issue captions. Throws
    // StoreError.
    void write(const DataFolder &folder) const;

    // Stock-in slips and their returns.
    const QStringList &receipt() const { return m_receipt; }
    // Issue slips and their returns.
    const QStringList &issue() const { return m_issue; }

    static const QStringList DefaultReceipt;
    static const QStringList DefaultIssue;

private:
    QStringList m_receipt;
    QStringList m_issue;
};

} // namespace varnock
