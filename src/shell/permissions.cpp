#include "shell/permissions.h"

namespace varnock {

QString Permissions::fieldName(Flag flag)
{
    static const char *const names[FlagCount] = {"RKYW",  "CKYW", "CLSZ", "GYSSZ", "LLDWSZ",
                                                 "XTSZ",  "CZYSZ", "CXBB", "YJCL", "QXJZ",
                                                 "GYSHK", "DZCL", "CZCL", "ZJZC"};
    return QString::fromLatin1(names[flag]);
}

QString Permissions::caption(Flag flag)
{
    static const char16_t *const captions[FlagCount] = {
        u"入库业务", u"出库业务", u"材料设置", u"供应商设置", u"领料单位设置",
        u"系统信息设置", u"操作员设置", u"查询报表", u"月结处理", u"取消记账",
        u"供应商还款", u"登账处理", u"冲账处理", u"直进直出"};
    return QString::fromUtf16(captions[flag]);
}

} // namespace varnock
