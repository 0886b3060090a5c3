#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace varnock {

// The fourteen permission flags of an operator (table CZYQX), true = allowed.
struct Permissions
{
    enum Flag {
        RKYW, CKYW, CLSZ, GYSSZ, LLDWSZ, XTSZ, CZYSZ, CXBB, YJCL, QXJZ, GYSHK, DZCL, CZCL, ZJZC,
        FlagCount
    };

    std::array<bool, FlagCount> allowed{};

    bool operator[](Flag flag) const { return allowed[flag]; }
    bool &operator[](Flag flag) { return allowed[flag]; }

    static Permissions all()
    {
        Permissions p;
        p.allowed.fill(true);
        return p;
    }
    // Field name in CZYQX, in the order of the enum ("RKYW", …, "ZJZC").
    static QString fieldName(Flag flag);
    // Caption on the operator screen ("入库业务", …).
    static QString caption(Flag flag);
};

} // namespace varnock
