#pragma once

#include <QString>

namespace varnock {

// One row of the supplier and unit pickers, as the voucher screens take it over: code and
// name, with the address, contact and telephone shown to help the choice. For a supplier
// the contact is its legal representative (FR) and the telephone LXDH.
struct Counterparty
{
    QString code;
    QString name;
    QString address;
    QString contact;
    QString phone;
};

// How a picker searches: everything, by code prefix or by name prefix.
enum class CounterpartySearch { All, ByCode, ByName };

} // namespace varnock
