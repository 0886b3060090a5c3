#include "cli/cli.h"

#include "cli/context.h"
#include "cli/handlers.h"
#include "cli/shellwords.h"
#include "shell/accountsetsession.h"
#include "store/database.h"
#include "store/errors.h"
#include "store/largecache.h"
#include "store/limits.h"

#include <QFile>
#include <QJsonDocument>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <optional>
#include <stdexcept>

namespace varnock::cli {
namespace {

using Handler = Result (*)(Context &, const Arguments &);

struct CommandInfo
{
    QStringList words;
    QString synopsis;
    QString help;
    QList<OptionSpec> options;
    int positional = 0;
    Handler run = nullptr;
    // Only reads the account set: runs while the program has the set open, on one snapshot.
    bool readsOnly = false;
    // Whether the command may run inside "batch --atomic", in the batch's one transaction on
    // its account set: commands that make, delete or fill other account sets may not.
    bool atomic = true;
};

Result batch(Context &ctx, const Arguments &args);

OptionSpec flag(const char *name)
{
    return OptionSpec{QLatin1String(name), false, false};
}

OptionSpec opt(const char *name)
{
    return OptionSpec{QLatin1String(name), true, false};
}

const QList<CommandInfo> &commands()
{
    static const QList<CommandInfo> list = {
        {{QStringLiteral("set"), QStringLiteral("create")},
         QStringLiteral("set create --name N --password P [--date YYYY-MM-DD] [--mode average|fifo]"
                        "\n           [--operator NAME --operator-password PW] [--number BH]"),
         QStringLiteral("Creates an account set and prints its number (BH). The date defaults to "
                        "today, the mode\nto moving average; without --operator the set keeps "
                        "the template's operator.\nLater lines of a batch use the new set unless "
                        "they name another with --set."),
         {opt("name"), opt("password"), opt("date"), opt("mode"), opt("operator"),
          opt("operator-password"), opt("number")},
         0,
         setCreate,
         false,
         false},
        {{QStringLiteral("set"), QStringLiteral("list")},
         QStringLiteral("set list"),
         QStringLiteral("Lists the account sets of the data folder: BH, ZTMC, JZRQ."),
         {},
         0,
         setList},
        {{QStringLiteral("set"), QStringLiteral("delete")},
         QStringLiteral("set delete --number BH --password P"),
         QStringLiteral("Deletes an account set; P is the set's own password."),
         {opt("number"), opt("password")},
         0,
         setDelete,
         false,
         false},
        {{QStringLiteral("operator"), QStringLiteral("list")},
         QStringLiteral("operator list"),
         QStringLiteral("Lists the operators of the set: BH, CZY, DH and the rights granted."),
         {},
         0,
         operatorList,
         true},
        {{QStringLiteral("operator"), QStringLiteral("add")},
         QStringLiteral("operator add --name N --operator-password PW [--phone T] [--number BH]"
                        "\n           [--grant FLAG,...|all]"),
         QStringLiteral("Adds an operator (number: the next free one) with the rights granted "
                        "and prints it.\nFLAG is a field of CZYQX: RKYW, CKYW, CLSZ, GYSSZ, "
                        "LLDWSZ, XTSZ, CZYSZ, CXBB, YJCL,\nQXJZ, GYSHK, DZCL, CZCL, ZJZC."),
         {opt("name"), opt("operator-password"), opt("phone"), opt("number"), opt("grant")},
         0,
         operatorAdd},
        {{QStringLiteral("operator"), QStringLiteral("edit")},
         QStringLiteral("operator edit --number BH|--user NAME [--name N] [--phone T] "
                        "[--operator-password PW]\n           [--their-password PW]"),
         QStringLiteral("Changes the fields given of an operator; the others stay. Here --user "
                        "names the\noperator changed: give the login in front of the command "
                        "or in VARNOCK_USER.\nAnyone but operator 1 changes another operator "
                        "only with that operator's password\n(--their-password), as the "
                        "operator screen asks."),
         {opt("number"), opt("user"), opt("name"), opt("phone"), opt("operator-password"),
          opt("their-password")},
         0,
         operatorEdit},
        {{QStringLiteral("operator"), QStringLiteral("rights")},
         QStringLiteral("operator rights --number BH|--user NAME [--grant FLAG,...|all] "
                        "[--revoke FLAG,...|all]\n           [--their-password PW]"),
         QStringLiteral("Grants and revokes rights of an operator (see operator add for the "
                        "flags); they apply\nfrom the operator's next login. --user and "
                        "--their-password as for operator edit."),
         {opt("number"), opt("user"), opt("grant"), opt("revoke"), opt("their-password")},
         0,
         operatorRights},
        {{QStringLiteral("operator"), QStringLiteral("delete")},
         QStringLiteral("operator delete --number BH|--user NAME [--their-password PW]"),
         QStringLiteral("Deletes an operator; the last one is never deleted. --user and "
                        "--their-password as\nfor operator edit."),
         {opt("number"), opt("user"), opt("their-password")},
         0,
         operatorDelete},
        {{QStringLiteral("catalogue"), QStringLiteral("import")},
         QStringLiteral("catalogue import --library 1|2|3 [--yes]"),
         QStringLiteral("Replaces the material catalogue with a shipped library. A catalogue "
                        "that is not empty\nis replaced only with --yes."),
         {opt("library"), flag("yes")},
         0,
         catalogueImport},
        {{QStringLiteral("catalogue"), QStringLiteral("add-category")},
         QStringLiteral("catalogue add-category --parent CODE|0 [--code C] --name N"),
         QStringLiteral("Adds a category under CODE (0 = top level) and prints its code; the code "
                        "defaults to\nthe next free one."),
         {opt("parent"), opt("code"), opt("name")},
         0,
         catalogueAddCategory},
        {{QStringLiteral("catalogue"), QStringLiteral("add-material")},
         QStringLiteral("catalogue add-material --parent CODE [--code C] --name N --spec S --unit "
                        "U\n           [--conv-unit U2 --factor F] --planned-price X "
                        "[--planned-quantity Q]\n           [--at-planned-price] [--yes]"),
         QStringLiteral("Adds a material and prints its code. --at-planned-price carries it at "
                        "its planned price;\n--yes adds it even when a material of the same name "
                        "and specification exists."),
         {opt("parent"), opt("code"), opt("name"), opt("spec"), opt("unit"), opt("conv-unit"),
          opt("factor"), opt("planned-price"), opt("planned-quantity"), flag("at-planned-price"),
          flag("yes")},
         0,
         catalogueAddMaterial},
        {{QStringLiteral("catalogue"), QStringLiteral("edit-material")},
         QStringLiteral("catalogue edit-material --code C [--name N] [--spec S] [--unit U]\n"
                        "           [--conv-unit U2] [--factor F] [--planned-price X] "
                        "[--planned-quantity Q]\n           [--at-planned-price | "
                        "--at-actual-price] [--yes]"),
         QStringLiteral("Changes the fields given of a material; the others stay. The pricing "
                        "and the planned\nprice of a material with stock or unposted vouchers "
                        "stay as they are."),
         {opt("code"), opt("name"), opt("spec"), opt("unit"), opt("conv-unit"), opt("factor"),
          opt("planned-price"), opt("planned-quantity"), flag("at-planned-price"),
          flag("at-actual-price"), flag("yes")},
         0,
         catalogueEditMaterial},
        {{QStringLiteral("catalogue"), QStringLiteral("delete")},
         QStringLiteral("catalogue delete --code C [--yes]"),
         QStringLiteral("Deletes a material or an empty category, as the catalogue screen does "
                        "(refused for a\nmaterial with vouchers). Without --yes the question "
                        "is answered No."),
         {opt("code"), flag("yes")},
         0,
         catalogueDelete},
        {{QStringLiteral("supplier"), QStringLiteral("add")},
         QStringLiteral("supplier add [--code C] --name N [--opening-debt X] [--address T] "
                        "[--phone T]\n           [--legal-representative T]"),
         QStringLiteral("Adds a supplier and prints its code (default: the next number)."),
         {opt("code"), opt("name"), opt("opening-debt"), opt("address"), opt("phone"),
          opt("legal-representative")},
         0,
         supplierAdd},
        {{QStringLiteral("supplier"), QStringLiteral("edit")},
         QStringLiteral("supplier edit --code C [--name N] [--opening-debt X] [--address T] "
                        "[--phone T]\n           [--legal-representative T]"),
         QStringLiteral("Changes the fields given of a supplier; the others stay."),
         {opt("code"), opt("name"), opt("opening-debt"), opt("address"), opt("phone"),
          opt("legal-representative")},
         0,
         supplierEdit},
        {{QStringLiteral("supplier"), QStringLiteral("delete")},
         QStringLiteral("supplier delete --code C [--yes]"),
         QStringLiteral("Deletes a supplier that no voucher names. Without --yes the question is "
                        "answered No."),
         {opt("code"), flag("yes")},
         0,
         supplierDelete},
        {{QStringLiteral("unit"), QStringLiteral("add")},
         QStringLiteral("unit add --code C --name N [--address T] [--contact T] [--phone T]"),
         QStringLiteral("Adds a consuming unit."),
         {opt("code"), opt("name"), opt("address"), opt("contact"), opt("phone")},
         0,
         unitAdd},
        {{QStringLiteral("unit"), QStringLiteral("edit")},
         QStringLiteral("unit edit --code C [--name N] [--address T] [--contact T] [--phone T]"),
         QStringLiteral("Changes the fields given of a consuming unit; the others stay."),
         {opt("code"), opt("name"), opt("address"), opt("contact"), opt("phone")},
         0,
         unitEdit},
        {{QStringLiteral("unit"), QStringLiteral("delete")},
         QStringLiteral("unit delete --code C"),
         QStringLiteral("Deletes a consuming unit that no issue names."),
         {opt("code")},
         0,
         unitDelete},
        {{QStringLiteral("opening"), QStringLiteral("add")},
         QStringLiteral("opening add --material CODE --price P --quantity Q [--amount A]"),
         QStringLiteral("Adds an opening balance (before the first month-end closing). The "
                        "amount defaults to\nprice × quantity. Under first in first out a "
                        "material may open at several prices."),
         {opt("material"), opt("price"), opt("quantity"), opt("amount")},
         0,
         openingAdd},
        {{QStringLiteral("stock")},
         QStringLiteral("stock [--material CODE]"),
         QStringLiteral("Lists the stock table: CLBH, CLMC, CLGG, JZDW, KCSL, KCJE."),
         {opt("material")},
         0,
         stock,
         true},
        {{QStringLiteral("check")},
         QStringLiteral("check [--strict] [--repair-planned]"),
         QStringLiteral("Checks the ledger against its own history; exit code 1 on a breach. "
                        "A zero quantity\nwith an amount left is listed but counts only with "
                        "--strict. --repair-planned first\nrewrites the stock amount of every "
                        "planned-price material that is not at quantity ×\nplanned price (one "
                        "transaction, logged; needs the month-end right and the set not open "
                        "elsewhere)."),
         {flag("strict"), flag("repair-planned")},
         0,
         check,
         true},
        {{QStringLiteral("month-end")},
         QStringLiteral("month-end [--yes]"),
         QStringLiteral("Closes the month on today's date. Without --yes the first question is "
                        "answered No."),
         {flag("yes")},
         0,
         monthEnd},
        {{QStringLiteral("stock-in"), QStringLiteral("save")},
         QStringLiteral("stock-in save --kind 采购入库|调拨入库|暂估入库|甲方供给 --date D "
                        "--supplier CODE\n           [--invoice T] [--cheque T] [--document T] "
                        "--line CODE,PRICE,QTY[,AMOUNT[,PAID]] ... [--yes]"),
         QStringLiteral("Saves a stock-in voucher (unposted) and prints its system number XTBH. "
                        "Quantities and\nprices are in the accounting unit; the amount "
                        "defaults to price × quantity. --line\nmay be repeated. Figures take no "
                        "thousands separators (1000.5, not 1,000.5): a comma\nseparates the "
                        "parts of a line. A date after today needs --yes."),
         {opt("kind"), opt("date"), opt("supplier"), opt("invoice"), opt("cheque"), opt("document"),
          OptionSpec{QStringLiteral("line"), true, true}, flag("yes")},
         0,
         stockInSave},
        {{QStringLiteral("stock-in"), QStringLiteral("append")},
         QStringLiteral("stock-in append --voucher XTBH --line-id ID [--price P] [--quantity Q] "
                        "[--amount A]\n           [--invoice T] [--yes]"),
         QStringLiteral("The provisional append: the provisional line ID of posted provisional "
                        "voucher XTBH is\nreversed and booked again at the figures given "
                        "(amount defaults to price ×\nquantity). Prints the system number of the "
                        "lines written. Without --yes the question\nis answered No."),
         {opt("voucher"), opt("line-id"), opt("price"), opt("quantity"), opt("amount"),
          opt("invoice"), flag("yes")},
         0,
         stockInAppend},
        {{QStringLiteral("issue"), QStringLiteral("save")},
         QStringLiteral("issue save --kind 1|2 --date D --unit CODE [--site T] [--building T] "
                        "[--document T]\n           --line CODE,QTY ... [--yes]"),
         QStringLiteral("Saves an issue voucher (kind 1 requisition, 2 transfer out), unposted, "
                        "and prints its\nsystem number XTBH. Quantities are in the accounting "
                        "unit; under moving average\neach line is priced at the material's "
                        "average, under first in first out posting\ncosts it. A date after today "
                        "needs --yes."),
         {opt("kind"), opt("date"), opt("unit"), opt("site"), opt("building"), opt("document"),
          OptionSpec{QStringLiteral("line"), true, true}, flag("yes")},
         0,
         issueSave},
        {{QStringLiteral("stock-in-return"), QStringLiteral("save")},
         QStringLiteral("stock-in-return save --kind 采购退货|调拨退货|暂估退货|甲供退货 --date D "
                        "--voucher XTBH\n           --line CODE,QTY ... [--yes]"),
         QStringLiteral("Saves a return (unposted) against posted stock-in voucher XTBH and "
                        "prints the return's\nsystem number. Each quantity goes to the first "
                        "line of its material that has none\nyet, at that line's stock-in "
                        "price. A date after today needs --yes."),
         {opt("kind"), opt("date"), opt("voucher"), OptionSpec{QStringLiteral("line"), true, true},
          flag("yes")},
         0,
         stockInReturnSave},
        {{QStringLiteral("issue-return"), QStringLiteral("save")},
         QStringLiteral("issue-return save --kind 1|2 --date D --voucher XTBH --line CODE,QTY ... "
                        "[--yes]"),
         QStringLiteral("Saves a return (unposted) against posted issue voucher XTBH and prints "
                        "the return's\nsystem number. Each quantity goes to the first line of "
                        "its material that has none\nyet; the line's price is what the issue "
                        "line cost. A date after today needs --yes."),
         {opt("kind"), opt("date"), opt("voucher"), OptionSpec{QStringLiteral("line"), true, true},
          flag("yes")},
         0,
         issueReturnSave},
        {{QStringLiteral("post")},
         QStringLiteral("post stock-in|stock-in-return|issue|issue-return --voucher XTBH | --all "
                        "[--kind K]"),
         QStringLiteral("Posts one voucher, or every unposted voucher (of one kind with --kind). "
                        "Post all goes on\npast a refused voucher and ends with exit code 1."),
         {opt("voucher"), flag("all"), opt("kind")},
         1,
         post},
        {{QStringLiteral("voucher"), QStringLiteral("show")},
         QStringLiteral("voucher show stock-in|stock-in-return|issue|issue-return --voucher XTBH"),
         QStringLiteral("Shows a voucher's header and every line (reversed lines and their "
                        "mirrors too) with\nits stored figures and flags, under the table's "
                        "field names."),
         {opt("voucher")},
         1,
         voucherShow,
         true},
        {{QStringLiteral("direct"), QStringLiteral("save")},
         QStringLiteral(
             "direct save --date D --supplier CODE --unit CODE [--site T] [--building T] "
             "[--document T]\n           [--issue-document T] [--invoice T] "
             "[--cheque T] --line CODE,PRICE,QTY[,AMOUNT[,PAID]] ... [--yes]"),
         QStringLiteral("Saves a direct delivery (unposted): each line a purchase receipt from "
                        "the supplier and\nan issue to the consuming unit at the same figures, "
                        "never through the store.\nPrints the system number XTBH of its receipt "
                        "side."),
         {opt("date"), opt("supplier"), opt("unit"), opt("site"), opt("building"), opt("document"),
          opt("issue-document"), opt("invoice"), opt("cheque"),
          OptionSpec{QStringLiteral("line"), true, true}, flag("yes")},
         0,
         directSave},
        {{QStringLiteral("post"), QStringLiteral("direct")},
         QStringLiteral("post direct --voucher XTBH | --all"),
         QStringLiteral("Posts one direct delivery or every unposted one, as its posting window "
                        "does. Post all goes\non past a refused voucher and ends with exit code "
                        "1."),
         {opt("voucher"), flag("all")},
         0,
         postDirect},
        {{QStringLiteral("reverse"), QStringLiteral("direct")},
         QStringLiteral("reverse direct --voucher XTBH [--date D] [--yes]"),
         QStringLiteral("Reverses every line of posted direct delivery XTBH not yet reversed on "
                        "date D (default\ntoday) by posted mirror pairs \"… 冲帐\". Prints the "
                        "mirror's system number.\nWithout --yes the question is answered No."),
         {opt("voucher"), opt("date"), flag("yes")},
         0,
         reverseDirect},
        {{QStringLiteral("voucher"), QStringLiteral("show"), QStringLiteral("direct")},
         QStringLiteral("voucher show direct --voucher XTBH"),
         QStringLiteral("Shows a direct delivery's header and every line (reversed ones too) "
                        "with both sides'\nrow IDs (ID of RKD, CKID of LLD)."),
         {opt("voucher")},
         0,
         voucherShowDirect,
         true},
        {{QStringLiteral("voucher"), QStringLiteral("delete")},
         QStringLiteral("voucher delete stock-in|stock-in-return|issue|issue-return --voucher XTBH "
                        "[--yes]"),
         QStringLiteral("Deletes an unposted voucher, as its entry screen does (a posted one is "
                        "reversed\ninstead). Without --yes the question is answered No."),
         {opt("voucher"), flag("yes")},
         1,
         voucherDelete},
        {{QStringLiteral("voucher"), QStringLiteral("delete-line")},
         QStringLiteral("voucher delete-line stock-in|stock-in-return|issue|issue-return --line "
                        "ID [--yes]"),
         QStringLiteral("Deletes one unposted line (the ID of voucher show), as the posting "
                        "screen does, and\nrepairs the marks that pointed at it. Refused while "
                        "return lines refer to it.\nWithout --yes the question is answered No."),
         {opt("line"), flag("yes")},
         1,
         voucherDeleteLine},
        {{QStringLiteral("print"), QStringLiteral("slip")},
         QStringLiteral("print slip stock-in|stock-in-return|issue|issue-return --voucher XTBH "
                        "--pdf FILE"),
         QStringLiteral("Writes the slip of a voucher as a PDF file, page for page as it prints: "
                        "five lines a\npage, each group of materials on pages of its own."),
         {opt("voucher"), opt("pdf")},
         1,
         printSlip},
        {{QStringLiteral("lease"), QStringLiteral("save")},
         QStringLiteral(
             "lease save --supplier CODE --unit CODE --date D --line CODE,QTY,RENT[,DEPOSIT] "
             "...\n           [--number DJBH]"),
         QStringLiteral("Saves a lease voucher (RENT per unit and day) and prints its number DJBH. "
                        "With --number\nthe lines replace those of lease DJBH: a line keeps what "
                        "was returned against it,\nwhich it may not go below."),
         {opt("supplier"), opt("unit"), opt("date"), OptionSpec{QStringLiteral("line"), true, true},
          opt("number")},
         0,
         leaseSave},
        {{QStringLiteral("lease"), QStringLiteral("return")},
         QStringLiteral("lease return --lease DJBH --date D --line CODE,QTY ..."),
         QStringLiteral("Returns leased items against lease DJBH and prints the return's number; "
                        "no more than\nis still out of each line."),
         {opt("lease"), opt("date"), OptionSpec{QStringLiteral("line"), true, true}},
         0,
         leaseReturn},
        {{QStringLiteral("lease"), QStringLiteral("pay")},
         QStringLiteral("lease pay --supplier CODE --date D [--amount X] [--remark T]"),
         QStringLiteral("Pays rent to a supplier (no more than is left on that date) and prints "
                        "what it is owed,\nwhat was paid and what is left; without --amount "
                        "only prints them."),
         {opt("supplier"), opt("date"), opt("amount"), opt("remark")},
         0,
         leasePay},
        {{QStringLiteral("lease"), QStringLiteral("list")},
         QStringLiteral("lease list [--returns | --payments] [--supplier CODE] [--unit CODE] "
                        "[--material CODE]\n           [--remark T] [--from D] [--to D]"),
         QStringLiteral("Lists the lease vouchers, the return vouchers or the rent payments."),
         {flag("returns"), flag("payments"), opt("supplier"), opt("unit"), opt("material"),
          opt("remark"), opt("from"), opt("to")},
         0,
         leaseList,
         true},
        {{QStringLiteral("lease"), QStringLiteral("report")},
         QStringLiteral("lease report --from D --to D [--xlsx FILE | --pdf FILE]"),
         QStringLiteral("The rent report 租赁单据报表: one row per charged period of each lease "
                        "line dated in\nthe period, a subtotal per material."),
         {opt("from"), opt("to"), opt("xlsx"), opt("pdf")},
         0,
         leaseReport},
        {{QStringLiteral("plan"), QStringLiteral("save")},
         QStringLiteral("plan save --date D --line CODE,QTY[,REMARK] ..."),
         QStringLiteral("Adds lines to the project material plan of date D and prints the "
                        "date's plan."),
         {opt("date"), OptionSpec{QStringLiteral("line"), true, true}},
         0,
         planSave},
        {{QStringLiteral("plan"), QStringLiteral("list")},
         QStringLiteral("plan list --from D --to D [--material CODE | --remark T | --category "
                        "CODE]\n           [--xlsx FILE | --pdf FILE]"),
         QStringLiteral("Lists the plan lines of the period; to a file, as 计划数量填写资料 with "
                        "subtotals."),
         {opt("from"), opt("to"), opt("material"), opt("remark"), opt("category"), opt("xlsx"),
          opt("pdf")},
         0,
         planList},
        {{QStringLiteral("plan"), QStringLiteral("compare")},
         QStringLiteral("plan compare --from D --to D [--level 1|2|all] [--xlsx FILE | --pdf "
                        "FILE]"),
         QStringLiteral("Planned against actually issued quantities (材料数量对比表): by material "
                        "(all), by\nparent group (2) or by parent and grandparent group (1)."),
         {opt("from"), opt("to"), opt("level"), opt("xlsx"), opt("pdf")},
         0,
         planCompare},
        {{QStringLiteral("export")},
         QStringLiteral(
             "export NAME [--from YYYY-MM-DD --to YYYY-MM-DD] (--xlsx FILE | --pdf FILE)"),
         QStringLiteral("Exports a report as a workbook through its template in the data folder's "
                        "Reports/, or\nas a PDF file as it prints. NAME is 材料信息一览表 "
                        "(or CLJBXXB), 供应商设置一览表\n(GYS), 领料单位设置一览表 (LLDW), "
                        "账务初始资料 (ZWCSH), 流动资产清点表 (KCPD),\n盘点表 (PD, up to --to), "
                        "供应商月度欠款报表 (GYSQK) or 数据处理填写 (CLKVMT); reports\nover a "
                        "period take --from and --to."),
         {opt("from"), opt("to"), opt("xlsx"), opt("pdf")},
         1,
         exportReport},
        {{QStringLiteral("count"), QStringLiteral("save")},
         QStringLiteral("count save [--date D] --line CODE,COUNTED[,PRICE] ... [--yes]"),
         QStringLiteral("Books a stock count on date D (default today): each material counted "
                        "at another quantity\nthan its book stock gets a surplus or deficit "
                        "(PYK) and its stock is set to the count.\nUnder first in first out a "
                        "surplus enters at PRICE. Prints CLBH, PDSL, PDJE per\ndifference; a "
                        "date after today is taken only with --yes."),
         {opt("date"), OptionSpec{QStringLiteral("line"), true, true}, flag("yes")},
         0,
         countSave},
        {{QStringLiteral("count"), QStringLiteral("list")},
         QStringLiteral("count list [--material CODE-PREFIX]"),
         QStringLiteral("Lists the book stock the count starts from: CLBH, CLMC, CLGG, JZDW, "
                        "KCSL, KCJE\n(planned-price materials at plan)."),
         {opt("material")},
         0,
         countList,
         true},
        {{QStringLiteral("adjust"), QStringLiteral("add")},
         QStringLiteral("adjust add --material C --date D --amount X [--project T] [--note T]"),
         QStringLiteral("Adds amount X (negative lowers it) to the stock amount of material C "
                        "on date D, after\nthe latest closing; the quantity stays. Prints the "
                        "adjustment's ID."),
         {opt("material"), opt("date"), opt("amount"), opt("project"), opt("note")},
         0,
         adjustAdd},
        {{QStringLiteral("adjust"), QStringLiteral("delete")},
         QStringLiteral("adjust delete --id N [--yes]"),
         QStringLiteral("Deletes adjustment N and takes its amount back out of the stock. "
                        "Without --yes the\nquestion is answered No."),
         {opt("id"), flag("yes")},
         0,
         adjustDelete},
        {{QStringLiteral("adjust"), QStringLiteral("list")},
         QStringLiteral("adjust list [--from D] [--to D] [--material C | --group C] [--note T]"),
         QStringLiteral("Lists amount adjustments: ID, CLBH, CLMC, CZRQ, JE, BZ, GCXM; --group "
                        "takes the\nmaterials below a catalogue node."),
         {opt("from"), opt("to"), opt("material"), opt("group"), opt("note")},
         0,
         adjustList,
         true},
        {{QStringLiteral("payment"), QStringLiteral("add")},
         QStringLiteral("payment add --supplier C --date D --amount X [--cheque N] [--note T]"),
         QStringLiteral("Pays supplier C; refused unless 0 < X <= what remains owed. Prints the "
                        "payment's ID\nand the supplier's balance."),
         {opt("supplier"), opt("date"), opt("amount"), opt("cheque"), opt("note")},
         0,
         paymentAdd},
        {{QStringLiteral("payment"), QStringLiteral("write-off")},
         QStringLiteral("payment write-off --supplier C --date D --amount X [--note T]"),
         QStringLiteral("Writes off bad debt of supplier C, with the same bounds as a payment."),
         {opt("supplier"), opt("date"), opt("amount"), opt("note")},
         0,
         paymentWriteOff},
        {{QStringLiteral("payment"), QStringLiteral("balance")},
         QStringLiteral("payment balance --supplier C"),
         QStringLiteral("What supplier C is owed, what was paid and what remains."),
         {opt("supplier")},
         0,
         paymentBalance,
         true},
        {{QStringLiteral("payment"), QStringLiteral("list")},
         QStringLiteral("payment list [--write-offs] [--from D] [--to D] [--supplier C] "
                        "[--cheque N] [--note T]"),
         QStringLiteral("Lists payments (or write-offs): ID, GYSBH, MC, RQ, JE, ZPH, BZ."),
         {flag("write-offs"), opt("from"), opt("to"), opt("supplier"), opt("cheque"), opt("note")},
         0,
         paymentList,
         true},
        {{QStringLiteral("report"), QStringLiteral("arrears")},
         QStringLiteral("report arrears --from D --to D"),
         QStringLiteral("The supplier arrears of the period: GYSMC, ZGCP, SYJE, BYQK, BYHK, BYJE, "
                        "HZ, the total\n\"总计\" first. export 供应商月度欠款报表 writes it as a "
                        "workbook or PDF."),
         {opt("from"), opt("to")},
         0,
         reportArrears},
        {{QStringLiteral("report"), QStringLiteral("stock-detail")},
         QStringLiteral("report stock-detail --from D --to D [--units C1,C2,调拨] [--level1 C] "
                        "[--level2 C]\n           [--xlsx FILE] [--pdf FILE]"),
         QStringLiteral("The receipts-issues-balance detail report (材料收支存明细报表): per "
                        "material (under first\nin first out per material and unit price) the "
                        "opening stock, receipts, the issues to\nup to three consuming units "
                        "(调拨: every transfer out), all issues, adjustments and\nthe closing "
                        "stock; subtotals per category. --level1/--level2 keep the materials\n"
                        "below a category. --json gives the rows under \"rows\" with the fields "
                        "of JXCMX_TEMP."),
         {opt("from"), opt("to"), opt("units"), opt("level1"), opt("level2"), opt("xlsx"),
          opt("pdf")},
         0,
         reportStockDetail,
         true},
        {{QStringLiteral("report"), QStringLiteral("stock-summary")},
         QStringLiteral("report stock-summary --from D --to D [--units C1,C2,调拨] [--level1 C] "
                        "[--level2 C]\n           [--xlsx FILE] [--pdf FILE]"),
         QStringLiteral("The receipts-issues-balance summary (材料进销存汇总报表): the detail's "
                        "figures per parent\ncategory, with totals per top-level category. The "
                        "fields of JXCHZ_TEMP."),
         {opt("from"), opt("to"), opt("units"), opt("level1"), opt("level2"), opt("xlsx"),
          opt("pdf")},
         0,
         reportStockSummary,
         true},
        {{QStringLiteral("report"), QStringLiteral("multi-set-detail")},
         QStringLiteral("report multi-set-detail --from D --to D [--sets BH,...] [--level1 C] "
                        "[--level2 C]\n           [--xlsx FILE] [--pdf FILE]"),
         QStringLiteral("The detail across account sets (材料收支存明细汇总表): the rows of each "
                        "set's detail\nreport (all issues and transfers in one column) with "
                        "the set's name in ZT, a total\nper set and of all sets. Without "
                        "--sets every set of the data folder. A set that\ncannot be read is "
                        "named (\"unreadable\") and the others are reported. The fields\nof "
                        "CRZ_TEMP."),
         {opt("from"), opt("to"), opt("sets"), opt("level1"), opt("level2"), opt("xlsx"),
          opt("pdf")},
         0,
         reportMultiSetDetail,
         true,
         false},
        {{QStringLiteral("report"), QStringLiteral("sets-arrears")},
         QStringLiteral("report sets-arrears --from D --to D [--sets BH,...] [--xlsx FILE] "
                        "[--pdf FILE]"),
         QStringLiteral("The supplier arrears across account sets (供应商欠款汇总表): one line "
                        "per supplier name\nand main products (GYSMC, ZGCP, SYJE, BYQK, BYHK, "
                        "BYJE, HZ), summed over the sets; the\ntotal \"总计\" first. Counts the "
                        "stock-in lines posted and not reversed. Without --sets\nevery set of "
                        "the data folder; a set that cannot be read is named (\"unreadable\")."),
         {opt("from"), opt("to"), opt("sets"), opt("xlsx"), opt("pdf")},
         0,
         reportSetsArrears,
         true,
         false},
        {{QStringLiteral("report"), QStringLiteral("sets-summary")},
         QStringLiteral("report sets-summary --from D --to D [--sets BH,...] [--xlsx FILE] "
                        "[--pdf FILE]"),
         QStringLiteral("The receipts-issues-balance summary across account sets (进销存汇总报表):"
                        " each set's\nsummary rows under its name (ZT), transfers out in "
                        "LLSL1/LLJE1, then \"全部账套 总计\".\nThe fields of JXCHZ_TEMP."),
         {opt("from"), opt("to"), opt("sets"), opt("xlsx"), opt("pdf")},
         0,
         reportSetsSummary,
         true,
         false},
        {{QStringLiteral("report"), QStringLiteral("sets-count")},
         QStringLiteral("report sets-count [--level all|2|1] [--sets BH,...] "
                        "[--xlsx FILE] [--pdf FILE]"),
         QStringLiteral("The current-asset count across account sets (流动资产清点表): the "
                        "stock of every set,\na material of the same code, name, specification "
                        "and unit one line with the sets\nthat hold it in ZT; per top-level "
                        "category (1), per category (2) or every\nmaterial with subtotals "
                        "(all, the default). The fields of KCPD_TEMP."),
         {opt("level"), opt("sets"), opt("xlsx"), opt("pdf")},
         0,
         reportSetsCount,
         true,
         false},
        {{QStringLiteral("report"), QStringLiteral("sets-receipts")},
         QStringLiteral("report sets-receipts --from D --to D [--level all|2|1] "
                        "[--sets BH,...]\n           [--xlsx FILE] [--pdf FILE]"),
         QStringLiteral("The receipts across account sets (材料入库汇总表): each set's receipts "
                        "of the period per\nmaterial (and unit price under first in first out), "
                        "per category (2) or per\ntop-level category (1), under the "
                        "set's name (ZT); then \"全部账套 总计\". The\nfields of KCPD_TEMP: "
                        "KCDJ the unit price, KCSL and KCJE the quantity and amount."),
         {opt("from"), opt("to"), opt("level"), opt("sets"), opt("xlsx"), opt("pdf")},
         0,
         reportSetsReceipts,
         true,
         false},
        {{QStringLiteral("report"), QStringLiteral("sets-issues")},
         QStringLiteral("report sets-issues --from D --to D [--level all|2|1] "
                        "[--sets BH,...]\n           [--xlsx FILE] [--pdf FILE]"),
         QStringLiteral("The issues across account sets (材料出库汇总表), net of their returns; "
                        "as sets-receipts."),
         {opt("from"), opt("to"), opt("level"), opt("sets"), opt("xlsx"), opt("pdf")},
         0,
         reportSetsIssues,
         true,
         false},
        {{QStringLiteral("report"), QStringLiteral("material-ledger")},
         QStringLiteral("report material-ledger --from D --to D [--material C | --level1 C | "
                        "--level2 C]\n           [--xlsx FILE] [--pdf FILE]"),
         QStringLiteral("The material ledger (材料流水账): per material the stock carried over "
                        "(上期结转), every\nmovement of the period in date order with the "
                        "running balance and its unit price.\nWithout --material the "
                        "materials below the category (all without one) that moved\nor carry "
                        "stock. Fields RQ, DJH, ZY, DW, DJ, SRSL, SRJE, FCSL, FCJE, JCSL, JCJE, "
                        "JCDJ."),
         {opt("from"), opt("to"), opt("material"), opt("level1"), opt("level2"), opt("xlsx"),
          opt("pdf")},
         0,
         reportMaterialLedger,
         true},
        {{QStringLiteral("report"), QStringLiteral("receipts")},
         QStringLiteral("report receipts --from D --to D [--level all|2|1] [--xlsx FILE] "
                        "[--pdf FILE]"),
         QStringLiteral("The receipts statistic (入库查询报表): posted receipts less returns to "
                        "suppliers, per\nmaterial (all: under first in first out per material "
                        "and unit price) with subtotals\nper category and the grand total, or "
                        "per second-level (2) or top-level (1)\ncategory. Fields CLBH, CLMC, "
                        "CLGG, JZDW, DJ, SJSL, SJJE of RKCX_TEMP."),
         {opt("from"), opt("to"), opt("level"), opt("xlsx"), opt("pdf")},
         0,
         reportReceipts,
         true},
        {{QStringLiteral("report"), QStringLiteral("issues")},
         QStringLiteral("report issues --from D --to D [--level all|2|1] [--xlsx FILE] "
                        "[--pdf FILE]"),
         QStringLiteral("The issues statistic (领料查询报表): posted requisitions less their "
                        "returns, as report\nreceipts lays them out; under first in first out "
                        "a row per price layer issued."),
         {opt("from"), opt("to"), opt("level"), opt("xlsx"), opt("pdf")},
         0,
         reportIssues,
         true},
        {{QStringLiteral("report"), QStringLiteral("transfers")},
         QStringLiteral("report transfers --direction in|out --from D --to D [--level all|2|1]\n"
                        "           [--xlsx FILE] [--pdf FILE]"),
         QStringLiteral("The transfer report (调拨报表): transfers in (调拨入库 less 调拨退货) or "
                        "transfers out\n(kind 2 issues less their returns), as report receipts "
                        "lays them out."),
         {opt("direction"), opt("from"), opt("to"), opt("level"), opt("xlsx"), opt("pdf")},
         0,
         reportTransfers,
         true},
        {{QStringLiteral("report"), QStringLiteral("by-unit")},
         QStringLiteral("report by-unit --units C1,...,C5 --from D --to D [--level all|2|1]\n"
                        "           [--xlsx FILE] [--pdf FILE]"),
         QStringLiteral("Issues per consuming unit (领料单位领料情况): per material or category "
                        "the requisitions\nless returns of up to five units side by side (全部: "
                        "every unit) and of all of them\ntogether. Fields SL1, JE1 … SL5, JE5, "
                        "SL, JE of GYSGH_TEMP."),
         {opt("units"), opt("from"), opt("to"), opt("level"), opt("xlsx"), opt("pdf")},
         0,
         reportByUnit,
         true},
        {{QStringLiteral("report"), QStringLiteral("by-supplier")},
         QStringLiteral("report by-supplier --suppliers C1,...,C5 --from D --to D "
                        "[--level all|2|1]\n           [--xlsx FILE] [--pdf FILE]"),
         QStringLiteral("Receipts per supplier (供应商供货情况): as report by-unit, the receipts "
                        "less returns of\nup to five suppliers (全部: every supplier)."),
         {opt("suppliers"), opt("from"), opt("to"), opt("level"), opt("xlsx"), opt("pdf")},
         0,
         reportBySupplier,
         true},
        {{QStringLiteral("report"), QStringLiteral("consumption")},
         QStringLiteral("report consumption --from D --to D [--xlsx FILE] [--pdf FILE]"),
         QStringLiteral("Material consumption (物资消耗统计表): per second-level category the "
                        "requisitions less\nreturns of the period (BYSL, BYJE) and of everything "
                        "up to its end (LJSL, LJJE),\ntotals per top-level category and the "
                        "grand total."),
         {opt("from"), opt("to"), opt("xlsx"), opt("pdf")},
         0,
         reportConsumption,
         true},
        {{QStringLiteral("report"), QStringLiteral("quarterly")},
         QStringLiteral("report quarterly --from D --to D [--balance] [--xlsx FILE] [--pdf FILE]"),
         QStringLiteral("Between two month-end dates (D: dates of month-end closings): the "
                        "receipts per\nsecond-level category (季度材料统计表) or, with --balance, "
                        "the receipts-issues-balance\nsummary (材料收 支 存资金平衡表), from the "
                        "day after the first month-end to the second."),
         {opt("from"), opt("to"), flag("balance"), opt("xlsx"), opt("pdf")},
         0,
         reportQuarterly,
         true},
        {{QStringLiteral("query"), QStringLiteral("conditions")},
         QStringLiteral("query conditions --kind K --from D --to D [--supplier C] [--material C] "
                        "[--spec S]\n           [--name N] [--site S] [--number N] [--unit C] "
                        "[--building B] [--xlsx FILE] [--pdf FILE]"),
         QStringLiteral("The condition query (账务条件查询): the lines of one kind K (its text, "
                        "e.g. 采购入库, or\nits position 0-16) dated between the dates that "
                        "match every condition given,\ncompared whole; a condition the kind "
                        "does not carry is not used. Under first in\nfirst out an issue line "
                        "gives one row per layer it was drawn from. The last row\nis \"合计：\". "
                        "Fields HH, JZBZ, CLMC, CLGG, JLDW, DJH, ZLXX, JHDJ, SJDJ, SJSL, JHJE,\n"
                        "SJJE, YFJE, GYS, SGBW, DH, RQ, CLBH, ID. --xlsx and --pdf write the "
                        "printed result\n(信息查询结果, the fields of CX_TEMP)."),
         {opt("kind"), opt("from"), opt("to"), opt("supplier"), opt("material"), opt("spec"),
          opt("name"), opt("site"), opt("number"), opt("unit"), opt("building"), opt("xlsx"),
          opt("pdf")},
         0,
         queryConditions,
         true},
        {{QStringLiteral("query"), QStringLiteral("items")},
         QStringLiteral("query items [--category C | --material C] --from D --to D [--xlsx FILE] "
                        "[--pdf FILE]"),
         QStringLiteral("The item query (品名查询): for material C, or the materials below "
                        "category C (all\nwithout either), the stock carried into the period "
                        "(上期结转), then the receipts,\nreturns to suppliers, issues and issue "
                        "returns dated between the dates. The fields\nof query conditions."),
         {opt("category"), opt("material"), opt("from"), opt("to"), opt("xlsx"), opt("pdf")},
         0,
         queryItems,
         true},
        {{QStringLiteral("reverse"), QStringLiteral("stock-in")},
         QStringLiteral("reverse stock-in --line ID [--date D] [--yes]"),
         QStringLiteral("Reverses posted stock-in line ID (the ID of voucher show) on date D "
                        "(default today):\nthe line is marked reversed and a posted mirror line "
                        "\"冲帐\" with the negated figures\ntakes it out of stock. Prints the "
                        "mirror's system number. Without --yes the question\nis answered No."),
         {opt("line"), opt("date"), flag("yes")},
         0,
         reverseStockIn},
        {{QStringLiteral("reverse"), QStringLiteral("issue")},
         QStringLiteral("reverse issue --line ID [--date D] [--yes]"),
         QStringLiteral("Reverses posted issue line ID on date D (default today): its quantity "
                        "and amount come\nback into stock (under first in first out to the "
                        "layers they were drawn from).\nPrints the mirror's system number. "
                        "Without --yes the question is answered No."),
         {opt("line"), opt("date"), flag("yes")},
         0,
         reverseIssue},
        {{QStringLiteral("cancel-posting")},
         QStringLiteral("cancel-posting [--yes]"),
         QStringLiteral("Moving average only: returns the books to the latest month-end "
                        "closing. Every line dated\non or after it is unposted and the stock is "
                        "rebuilt from the closing. Prints the\nclosing's YJID. Without --yes "
                        "the question is answered No."),
         {flag("yes")},
         0,
         cancelPosting},
        {{QStringLiteral("wipe")},
         QStringLiteral("wipe --password PW [--yes]"),
         QStringLiteral("Wipes the books (vouchers, stock, closings, log …; the catalogue, "
                        "suppliers, units and\noperators stay) after writing a copy of the set "
                        "to its backup folder. PW is the\nlogged-in operator's password; give "
                        "the login's own before the command word or in\nVARNOCK_PASSWORD. "
                        "Without --yes the question is answered No."),
         {opt("password"), flag("yes")},
         0,
         wipe},
        {{QStringLiteral("backup")},
         QStringLiteral("backup [--folder DIR]"),
         QStringLiteral("Writes a consistent copy of the set, KVMT<BH>-<today>.db, into DIR or "
                        "the set's backup\nfolder and prints its path. A second backup the same "
                        "day replaces the first."),
         {opt("folder")},
         0,
         backupTake,
         false,
         false},
        {{QStringLiteral("backup"), QStringLiteral("list")},
         QStringLiteral("backup list"),
         QStringLiteral("Lists the set's copies in its backup folder, newest first: date, kind, "
                        "size, file."),
         {},
         0,
         backupList,
         true},
        {{QStringLiteral("backup"), QStringLiteral("split")},
         QStringLiteral("backup split --folder DIR"),
         QStringLiteral("Cuts a consistent copy of the set into pieces of 1342177 bytes in DIR "
                        "(kvmt-N$db.001 …)\nwith the label file PS, and prints their paths."),
         {opt("folder")},
         0,
         backupSplit,
         false,
         false},
        {{QStringLiteral("backup"), QStringLiteral("join")},
         QStringLiteral("backup join --folder DIR [--yes]"),
         QStringLiteral("Joins the pieces in DIR, checks the result and puts it in place of the "
                        "set's books;\nthe books replaced are first copied to the backup folder. "
                        "Without --yes the\nquestion is answered No."),
         {opt("folder"), flag("yes")},
         0,
         backupJoin,
         false,
         false},
        {{QStringLiteral("restore")},
         QStringLiteral("restore --file F [--yes]"),
         QStringLiteral("Checks backup file F and puts it in place of the set's books; the books "
                        "replaced are\nfirst copied to the backup folder. A damaged or foreign "
                        "file replaces nothing.\nWithout --yes the question is answered No."),
         {opt("file"), flag("yes")},
         0,
         restoreFile,
         false,
         false},
        {{QStringLiteral("settings"), QStringLiteral("show")},
         QStringLiteral("settings show"),
         QStringLiteral("Shows the firm's details, the backup folder, the quantity and amount "
                        "formats and the\nsignature captions of the receipt and issue slips."),
         {},
         0,
         settingsShow,
         true},
        {{QStringLiteral("settings"), QStringLiteral("set")},
         QStringLiteral("settings set [--firm-name T] [--address T] [--contact T] [--phone T] "
                        "[--postcode T]\n           [--backup-folder DIR|default] "
                        "[--quantity-format F] [--amount-format F]\n           "
                        "[--receipt-caption N=TEXT]... [--issue-caption N=TEXT]..."),
         QStringLiteral("Changes the settings given; the others stay. F is one of 0, 0.0, 0.00, "
                        "0.000, 0.0000;\na changed format applies from the next start "
                        "(\"restart\": true). N is 1 to 5, the\nplace of the caption under the "
                        "slip."),
         {opt("firm-name"), opt("address"), opt("contact"), opt("phone"), opt("postcode"),
          opt("backup-folder"), opt("quantity-format"), opt("amount-format"),
          OptionSpec{QStringLiteral("receipt-caption"), true, true},
          OptionSpec{QStringLiteral("issue-caption"), true, true}},
         0,
         settingsSet},
        {{QStringLiteral("settings"), QStringLiteral("restore-templates")},
         QStringLiteral("settings restore-templates NAME... [--yes]"),
         QStringLiteral("Puts the named report templates back to their delivered state; the "
                        "others stay.\nWithout --yes the question is answered No."),
         {flag("yes")},
         std::numeric_limits<int>::max(),
         settingsRestoreTemplates},
        {{QStringLiteral("batch")},
         QStringLiteral("batch FILE|- [--atomic]"),
         QStringLiteral("Runs one command per line (same syntax, # comments, shell quoting). "
                        "Stops at the first\nfailing line and names it; earlier lines stay "
                        "written. Global options given to\nbatch apply to every line. With "
                        "--atomic the whole file is one transaction on one\naccount set: a "
                        "failing line leaves nothing of the batch written."),
         {flag("atomic")},
         1,
         batch,
         false,
         false},
        {{QStringLiteral("demo")},
         QStringLiteral(
             "demo [--materials N] [--months M] [--lines L] [--mode average|fifo] [--name N]"
             "\n           [--password P] [--operator NAME --operator-password PW] "
             "[--number BH]"),
         QStringLiteral("Creates a demo account set and prints its number: the library catalogue, "
                        "suppliers,\nconsuming units, opening balances for N materials (default "
                        "60; beyond the library,\nsynthetic materials), a first closing, and M "
                        "months (default 3, the last one the\ncurrent month) of posted vouchers "
                        "both ways, L lines in all (default 24 a month):\nhalf purchases and "
                        "transfers in, half requisitions and transfers out. Every month\nbut the "
                        "last is closed. It logs in as the template's operator unless --operator "
                        "is\ngiven. At most 100000 materials, 120 months and 10000000 lines."),
         {opt("materials"), opt("mode"), opt("name"), opt("password"), opt("operator"),
          opt("operator-password"), opt("number"), opt("months"), opt("lines")},
         0,
         demo,
         false,
         false},
    };
    return list;
}

QString globalHelp()
{
    QString text = QStringLiteral(
        "usage: varnock-cli [global options] COMMAND [options]\n\n"
        "global options:\n"
        "  --data-dir DIR      data folder (else VARNOCK_DATA_DIR, else the default)\n"
        "  --set BH            account set number\n"
        "  --user NAME         operator (else VARNOCK_USER)\n"
        "  --password PW       operator password (else VARNOCK_PASSWORD)\n"
        "  --json              one JSON object per command\n"
        "  --help              help on a command\n\n"
        "commands:\n");
    for (const CommandInfo &c : commands())
        text += QStringLiteral("  ") + c.synopsis + QLatin1Char('\n');
    text += QStringLiteral(
                "\nfigures are plain decimals without thousands separators (1000.5, not "
                "1,000.5), in magnitude\nquantities up to %1, unit prices up to %2, amounts up "
                "to %3. Dates are YYYY-MM-DD from\n%4 to %5; a voucher dated after today is "
                "saved only with --yes.\n")
                .arg(Limits::maximum(Limits::Figure::Quantity).toString(),
                     Limits::maximum(Limits::Figure::Price).toString(),
                     Limits::maximum(Limits::Figure::Amount).toString(),
                     Limits::earliestDate().toString(Qt::ISODate),
                     Limits::latestDate().toString(Qt::ISODate));
    text += QStringLiteral("\nexit codes: 0 done, 1 refused, 2 usage error, 3 store error\n");
    return text;
}

QString commandHelp(const CommandInfo &c)
{
    return QStringLiteral("usage: varnock-cli [global options] ") + c.synopsis +
           QStringLiteral("\n\n") + c.help + QLatin1Char('\n');
}

bool isGroup(const QString &word)
{
    for (const CommandInfo &c : commands()) {
        if (c.words.size() > 1 && c.words.first() == word)
            return true;
    }
    return false;
}

const CommandInfo &findCommand(const QStringList &rest)
{
    const CommandInfo *best = nullptr;
    for (const CommandInfo &c : commands()) {
        if (rest.size() >= c.words.size() &&
            std::equal(c.words.cbegin(), c.words.cend(), rest.cbegin()) &&
            (!best || c.words.size() > best->words.size())) {
            best = &c;
        }
    }
    if (best)
        return *best;
    if (isGroup(rest.first())) {
        if (rest.size() < 2 || rest.at(1).startsWith(QLatin1Char('-')))
            throw UsageError{QStringLiteral("%1: missing sub-command").arg(rest.first())};
        throw UsageError{
            QStringLiteral("%1: unknown sub-command %2").arg(rest.first(), rest.at(1))};
    }
    throw UsageError{QStringLiteral("unknown command %1").arg(rest.first())};
}

void print(Context &ctx, const QString &name, const Result &result)
{
    if (ctx.globals.json) {
        QJsonObject object = result.json;
        object.insert(QStringLiteral("command"), name);
        object.insert(QStringLiteral("ok"), result.exitCode == 0);
        ctx.out << QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) << '\n';
    } else {
        for (const QString &line : result.lines)
            ctx.out << line << '\n';
    }
    if (!result.errorText.isEmpty())
        ctx.err << result.errorText << '\n';
    ctx.out.flush();
    ctx.err.flush();
}

int fail(Context &ctx, const QString &name, int code, const QString &message,
         const QString &title = QString())
{
    if (ctx.globals.json) {
        QJsonObject object{{QStringLiteral("command"), name},
                           {QStringLiteral("ok"), false},
                           {QStringLiteral("exit"), code},
                           {QStringLiteral("message"), message}};
        if (!title.isEmpty())
            object.insert(QStringLiteral("title"), title);
        ctx.out << QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) << '\n';
    }
    ctx.err << message << '\n';
    ctx.out.flush();
    ctx.err.flush();
    return code;
}

// What one command reads or writes ends with it.
class CommandScope
{
public:
    CommandScope(Context &ctx, bool readsOnly)
        : m_ctx(ctx)
    {
        m_ctx.readsOnly = readsOnly;
    }
    ~CommandScope()
    {
        m_ctx.finishCommand();
        m_ctx.readsOnly = false;
    }
    CommandScope(const CommandScope &) = delete;
    CommandScope &operator=(const CommandScope &) = delete;

private:
    Context &m_ctx;
};

// Runs one command line with `base` as the global options.
int execute(Context &ctx, const QStringList &tokens, const Globals &base)
{
    ctx.globals = base;
    ctx.globals.help = false;
    QString name;
    try {
        const QStringList rest = Arguments::parseLeadingGlobals(tokens, ctx.globals);
        if (rest.isEmpty()) {
            if (ctx.globals.help) {
                ctx.out << globalHelp();
                ctx.out.flush();
                return Done;
            }
            throw UsageError{QStringLiteral("missing command")};
        }
        const CommandInfo &command = findCommand(rest);
        name = command.words.join(QLatin1Char(' '));
        if (ctx.atomicBatch && !command.atomic)
            throw UsageError{QStringLiteral("%1 cannot run inside batch --atomic").arg(name)};
        const Arguments args =
            Arguments::parse(rest.mid(command.words.size()), command.options, ctx.globals);
        if (ctx.globals.help) {
            ctx.out << commandHelp(command);
            ctx.out.flush();
            return Done;
        }
        args.expectPositional(command.positional);
        const CommandScope scope(ctx, command.readsOnly);
        const Result result = command.run(ctx, args);
        print(ctx, name, result);
        return result.exitCode;
    } catch (const UsageError &e) {
        const QString hint = name.isEmpty() ? QStringLiteral("varnock-cli --help")
                                            : QStringLiteral("varnock-cli %1 --help").arg(name);
        return fail(ctx, name, UsageFailure,
                    QStringLiteral("varnock-cli: %1 (see %2)").arg(e.text, hint));
    } catch (const Declined &d) {
        fail(ctx, name, Refused, d.text, d.title);
        ctx.err << QStringLiteral("(answered No; give --yes to answer Yes)") << '\n';
        ctx.err.flush();
        return Refused;
    } catch (const Refusal &r) {
        return fail(ctx, name, Refused, r.text, r.title);
    } catch (const StoreError &e) {
        return fail(ctx, name, StoreFailure, e.text);
    } catch (const std::overflow_error &) {
        return fail(ctx, name, Refused, Limits::overflowText(), QStringLiteral("提示"));
    } catch (const std::exception &e) {
        return fail(ctx, name, StoreFailure, QString::fromLocal8Bit(e.what()));
    }
}

Result batch(Context &ctx, const Arguments &args)
{
    if (ctx.batchDepth > 0)
        throw UsageError{QStringLiteral("batch: a batch cannot run another batch")};
    if (args.positional().isEmpty())
        throw UsageError{QStringLiteral("batch: missing FILE (or - for standard input)")};
    const QString source = args.positional().first();
    const bool atomic = args.has(QStringLiteral("atomic"));

    QString text;
    if (source == QLatin1String("-")) {
        if (ctx.in) {
            text = ctx.in->readAll();
        } else {
            QFile input;
            if (!input.open(stdin, QIODevice::ReadOnly))
                throw StoreError(QStringLiteral("cannot read standard input"));
            text = QString::fromUtf8(input.readAll());
        }
    } else {
        QFile file(source);
        if (!file.open(QIODevice::ReadOnly))
            throw UsageError{
                QStringLiteral("batch: cannot read %1: %2").arg(source, file.errorString())};
        text = QString::fromUtf8(file.readAll());
    }

    // All or nothing: every line writes inside one transaction on the batch's account set,
    // which no line may leave; the first failing line rolls all of them back, and so does an
    // operation that failed inside a line that went on. What the lines change stays in memory
    // until the end, up to a day's vouchers or so.
    std::optional<LargeCache> cache;
    std::optional<Transaction> whole;
    if (atomic) {
        Database &db = ctx.accountSet().database();
        cache.emplace(db, AtomicBatchCacheMegabytes);
        whole.emplace(db, Transaction::Kind::AllOrNothing);
        ctx.atomicBatch = true;
    }
    const Globals base = ctx.globals;
    const QStringList lines = text.split(QLatin1Char('\n'));
    Result result;
    int run = 0;
    ++ctx.batchDepth;
    const auto finish = [&] {
        --ctx.batchDepth;
        ctx.atomicBatch = false;
        ctx.globals = base;
    };
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const auto words = splitShellWords(line);
        int code = Done;
        if (!words) {
            code = fail(ctx, QString(), UsageFailure,
                        QStringLiteral("varnock-cli: unterminated quote"));
        } else if (words->isEmpty()) {
            continue;
        } else {
            code = execute(ctx, *words, base);
            ++run;
            if (code == Done && whole && whole->spoiled())
                code = fail(ctx, QString(), StoreFailure,
                            QStringLiteral("varnock-cli: an operation failed inside this line"));
        }
        if (code != Done) {
            finish();
            whole.reset();
            result.exitCode = code;
            result.errorText =
                QStringLiteral("batch: stopped at line %1: %2").arg(i + 1).arg(line.trimmed());
            if (atomic)
                result.errorText += QStringLiteral("\nbatch: nothing of the batch was written");
            result.json.insert(QStringLiteral("line"), i + 1);
            result.json.insert(QStringLiteral("commands"), run - 1);
            if (atomic)
                result.json.insert(QStringLiteral("written"), false);
            return result;
        }
    }
    finish();
    if (whole)
        whole->commit();
    result.json.insert(QStringLiteral("commands"), run);
    if (atomic)
        result.json.insert(QStringLiteral("written"), true);
    return result;
}

} // namespace

int run(const QStringList &args, QTextStream &out, QTextStream &err, QTextStream *in)
{
    Context ctx(out, err, in);
    if (args.isEmpty()) {
        err << globalHelp();
        err.flush();
        return UsageFailure;
    }
    return execute(ctx, args, Globals{});
}

} // namespace varnock::cli
