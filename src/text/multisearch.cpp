#include "multisearch.h"


namespace veltrik {
namespace {

quint64 edgeKey(int node, char16_t unit)
{
    return (quint64(node) << 16) | unit;
}

} // namespace

MultiSearch::MultiSearch(const QStringList &patterns)
    : m_patterns(patterns)
{
    m_nodes.append(Node());
    for (qsizetype p = 0; p < patterns.size(); ++p) {
        if (patterns[p].isEmpty())
            continue;
        int node = 0;
        for (QChar c : patterns[p]) {
            int next = child(node, c.unicode());
            if (next < 0) {
                next = int(m_nodes.size());
                m_nodes.append(Node());
                m_children.insert(edgeKey(node, c.unicode()), next);
            }
            node = next;
        }
        m_nodes[node].patterns.append(int(p));
    }
    buildFailureLinks();
}

int MultiSearch::child(int node, char16_t unit) const
{
    return m_children.value(edgeKey(node, unit), -1);
}

// Breadth first, so that every node's failure target is finished before the node itself.
void MultiSearch::buildFailureLinks()
{
    QList<QList<QPair<char16_t, int>>> childrenOf(m_nodes.size());
    for (auto edge = m_children.cbegin(); edge != m_children.cend(); ++edge)
        childrenOf[int(edge.key() >> 16)].append({char16_t(edge.key() & 0xFFFF), edge.value()});

    QList<int> queue{0};
    for (qsizetype head = 0; head < queue.size(); ++head) {
        const int node = queue[head];
        for (const auto &[unit, next] : childrenOf[node]) {
            int fallback = m_nodes[node].failure;
            int target = -1;
            while (node != 0) {
                target = child(fallback, unit);
                if (target >= 0 || fallback == 0)
                    break;
                fallback = m_nodes[fallback].failure;
            }
            m_nodes[next].failure = (node == 0 || target < 0) ? 0 : target;
            const Node &failure = m_nodes[m_nodes[next].failure];
            m_nodes[next].output = m_nodes[next].patterns.isEmpty() ? failure.output : next;
            queue.append(next);
        }
    }
}

QList<QList<qsizetype>> MultiSearch::findAll(QStringView text) const
{
    QList<QList<qsizetype>> starts(m_patterns.size());
    int node = 0;
    for (qsizetype at = 0; at < text.size(); ++at) {
        const char16_t unit = text[at].unicode();
        int next = child(node, unit);
        while (next < 0 && node != 0) {
            node = m_nodes[node].failure;
            next = child(node, unit);
        }
        node = next < 0 ? 0 : next;
        for (int found = m_nodes[node].output; found >= 0; found = m_nodes[m_nodes[found].failure].output) {
            for (int pattern : m_nodes[found].patterns)
                starts[pattern].append(at + 1 - m_patterns[pattern].size());
        }
    }
    return starts;
}

} // namespace veltrik
