#pragma once
// The Seamless Join's rewriter behind the read-back's SourceRewriter seam: restarted from the
// plan, it is fed the sources as the join fed them and makes the same bytes again.
#include "engine/ExpectedOutput.h"
#include "mpeg/SeamlessRewriter.h"

#include <optional>
#include <vector>

namespace kt {

class SeamlessSourceRewriter final : public SourceRewriter
{
public:
    explicit SeamlessSourceRewriter(SeamlessPlan plan);

    void restart() override;
    void rewrite(int index, const char* data, qint64 size, QByteArray& out) override;
    void endSource(int index, QByteArray& out) override;

private:
    void enter(int index);

    SeamlessPlan m_plan;
    std::optional<SeamlessRewriter> m_rewriter;
    int m_index = -1;          // the part being fed, -1: none
    std::vector<char> m_block; // a piece with the rewriter's headroom in front
};

} // namespace kt
