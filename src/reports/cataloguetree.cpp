#include "reports/cataloguetree.h"

#include "store/database.h"

#include <algorithm>

namespace varnock {

const QString CatalogueTree::Root = QStringLiteral("0");

namespace {

// Siblings carry codes of one length, top-level codes are plain integers: a shorter code
// comes first, then the text decides.
bool codeBefore(const QString &a, const QString &b)
{
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

// A broken catalogue may hold a cycle of parents; no real tree is this deep.
constexpr int MaxDepth = 64;

} // namespace

CatalogueTree::CatalogueTree(Database &db)
{
    Query q = db.query(QStringLiteral("SELECT CLBH, SJBH, CLMC, CLGG, JZDW, SFMJ FROM CLJBXXB"));
    while (q.next()) {
        const auto text = [&q](int column) { return QString::fromUtf8(q.utf8(column)); };
        Node n{text(0).trimmed(), text(1).trimmed(), text(2), text(3), text(4), q.integer(5) != 0};
        const QString code = n.clbh;
        m_nodes.insert(code, std::move(n));
    }
    q.finish();

    // The catalogue's order, once: depth first from the root, siblings by code. Nodes that no
    // path from the root reaches come last.
    QHash<QString, QList<QString>> children;
    for (const Node &n : std::as_const(m_nodes))
        children[n.sjbh.isEmpty() ? Root : n.sjbh].append(n.clbh);
    for (QList<QString> &list : children)
        std::sort(list.begin(), list.end(), codeBefore);
    QList<QString> stack = children.value(Root);
    std::reverse(stack.begin(), stack.end());
    while (!stack.isEmpty()) {
        const QString code = stack.takeLast();
        if (m_rank.contains(code))
            continue;
        m_rank.insert(code, int(m_rank.size()));
        const QList<QString> below = children.value(code);
        for (auto it = below.crbegin(); it != below.crend(); ++it)
            stack.append(*it);
    }
}

const CatalogueTree::Node *CatalogueTree::find(const QString &clbh) const
{
    const auto it = m_nodes.constFind(clbh);
    return it == m_nodes.cend() ? nullptr : &*it;
}

QString CatalogueTree::name(const QString &clbh) const
{
    const Node *n = find(clbh);
    return n ? n->clmc : QString();
}

QString CatalogueTree::parentOf(const QString &clbh) const
{
    const Node *n = find(clbh);
    return n && !n->sjbh.isEmpty() ? n->sjbh : Root;
}

QList<QString> CatalogueTree::path(const QString &clbh) const
{
    QList<QString> codes;
    QString code = clbh;
    while (code != Root && find(code) && codes.size() < MaxDepth) {
        codes.prepend(code);
        code = parentOf(code);
    }
    return codes;
}

bool CatalogueTree::isUnder(const QString &clbh, const QString &category) const
{
    if (category == Root)
        return true;
    return path(clbh).contains(category);
}

QString CatalogueTree::topOf(const QString &clbh) const
{
    const QList<QString> codes = path(clbh);
    return codes.isEmpty() ? QString() : codes.first();
}

int CatalogueTree::rank(const QString &clbh) const
{
    return m_rank.value(clbh, int(m_rank.size()));
}

bool CatalogueTree::before(const QString &a, const QString &b) const
{
    const int ra = rank(a);
    const int rb = rank(b);
    return ra != rb ? ra < rb : codeBefore(a, b);
}

QList<const CatalogueTree::Node *> CatalogueTree::leaves() const
{
    QList<const Node *> found;
    for (const Node &n : m_nodes) {
        if (n.leaf)
            found << &n;
    }
    std::sort(found.begin(), found.end(),
              [this](const Node *a, const Node *b) { return before(a->clbh, b->clbh); });
    return found;
}

QList<const CatalogueTree::Node *> CatalogueTree::children(const QString &clbh) const
{
    QList<const Node *> found;
    for (const Node &n : m_nodes) {
        if (parentOf(n.clbh) == clbh)
            found << &n;
    }
    std::sort(found.begin(), found.end(),
              [this](const Node *a, const Node *b) { return before(a->clbh, b->clbh); });
    return found;
}

QList<const CatalogueTree::Node *> CatalogueTree::categories() const
{
    QList<const Node *> found;
    for (const Node &n : m_nodes) {
        if (!n.leaf)
            found << &n;
    }
    std::sort(found.begin(), found.end(),
              [this](const Node *a, const Node *b) { return before(a->clbh, b->clbh); });
    return found;
}

} // namespace varnock
