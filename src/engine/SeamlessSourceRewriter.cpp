#include "SeamlessSourceRewriter.h"

#include <cstring>

namespace kt {

SeamlessSourceRewriter::SeamlessSourceRewriter(SeamlessPlan plan) : m_plan(std::move(plan)) {}

void SeamlessSourceRewriter::restart()
{
    m_rewriter.emplace(m_plan);
    m_index = -1;
}

void SeamlessSourceRewriter::enter(int index)
{
    if (!m_rewriter)
        restart();
    if (index != m_index)
        m_rewriter->beginPart(index);
    m_index = index;
}

void SeamlessSourceRewriter::rewrite(int index, const char* data, qint64 size, QByteArray& out)
{
    enter(index);
    // The rewriter works in place: a copy, as the join's buffer would hold it.
    const size_t needed = size_t(SeamlessRewriter::kHeadroom + size);
    if (m_block.size() < needed)
        m_block.resize(needed);
    char* block = m_block.data() + SeamlessRewriter::kHeadroom;
    std::memcpy(block, data, size_t(size));
    out.append(m_rewriter->feed(block, qsizetype(size)));
}

void SeamlessSourceRewriter::endSource(int index, QByteArray& out)
{
    enter(index);
    out.append(m_rewriter->endPart());
    m_index = -1;
}

} // namespace kt
