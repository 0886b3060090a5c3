#include "ledger/postinggrid.h"

#include "store/decimal.h"
#include "store/formats.h"

#include <QSqlQuery>

namespace varnock {

void PostingGrid::fill(QSqlQuery &q, const Formats &formats, const char *kinds)
{
    const int n = int(qstrlen(kinds));
    for (int i = 0; i < n; ++i)
        numeric.append(kinds[i] == 'Q' || kinds[i] == 'A');
    while (q.next()) {
        keys.append(q.value(0).toLongLong());
        QStringList row;
        for (int i = 0; i < n; ++i) {
            const QVariant v = q.value(i + 1);
            switch (kinds[i]) {
            case 'Q':
                row.append(formats.quantityText(Decimal::fromVariant(v)));
                break;
            case 'A':
                row.append(formats.amountText(Decimal::fromVariant(v)));
                break;
            default:
                row.append(v.toString().trimmed());
                break;
            }
        }
        rows.append(row);
    }
}

} // namespace varnock
