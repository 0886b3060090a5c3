#pragma once

#include "master/materiallookup.h"
#include "store/decimal.h"
#include "store/formats.h"

#include <QString>

namespace varnock {

// What a line of every voucher family shows: its stored ID and its material.
struct MaterialLine
{
    qint64 id = 0; // the line's ID in its table; 0 for a line not stored yet
    QString clbh;
    QString clmc;
    QString clgg;
    QString jzdw; // accounting unit

    bool hasMaterial() const { return !clbh.trimmed().isEmpty(); }
    // Puts a catalogue material into the line; what was typed stays.
    void takeMaterial(const MaterialLookup::Row &material)
    {
        clbh = material.clbh;
        clmc = material.clmc;
        clgg = material.clgg;
        jzdw = material.jzdw;
    }
};

// An entry line whose figures are typed in the accounting unit or, when `conversionUnit` is
// filled, in the material's conversion unit; saving turns them into the accounting unit.
struct ConvertibleLine : MaterialLine
{
    QString conversionUnit; // the unit the figures are typed in; empty for the accounting unit
    QString materialHsdw;   // the material's conversion unit, offered by the cell
    double hsxs = 0;        // the material's conversion factor
    Decimal price;
    Decimal quantity;
    Decimal amount;

    // Puts a catalogue material into the line; figures already typed stay, a conversion unit
    // only when the material has the same.
    void takeMaterial(const MaterialLookup::Row &material)
    {
        MaterialLine::takeMaterial(material);
        materialHsdw = material.hsdw;
        hsxs = material.hsxs;
        if (conversionUnit != material.hsdw)
            conversionUnit.clear();
    }

    bool inConversionUnit() const { return !conversionUnit.trimmed().isEmpty(); }
    // Typed in a conversion unit that has a factor to turn it into the accounting unit.
    bool converts() const { return inConversionUnit() && hsxs > 0; }
    // The quantity in the accounting unit: a conversion unit counts hsxs accounting units.
    Decimal accountingQuantity() const
    {
        return converts() ? quantity.timesFactor(hsxs) : quantity;
    }
    // The quantity and the price as the table stores them, rounded through the formats.
    Decimal storedQuantity(const Formats &formats) const
    {
        return formats.roundQuantity(accountingQuantity());
    }
    Decimal storedPrice(const Formats &formats) const
    {
        return formats.roundAmount(converts() ? price / Decimal::fromDouble(hsxs) : price);
    }
};

} // namespace varnock
