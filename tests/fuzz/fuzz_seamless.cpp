// Fuzz target: the seamless join's plan and rewriter, and the stream details. The input is
// cut into one to three parts (byte 0: the count and the block sizes; bytes 1-4: the lengths
// of the first two), written to files, planned and rewritten in blocks of two schedules into buffers
// of exactly the block plus the headroom. Nothing may crash or touch memory outside its
// buffers; program stream, video and other parts keep their size; the output has the
// plan's size and is the same for both schedules.
#include "mpeg/SeamlessRewriter.h"
#include "mpeg/StreamDetails.h"

#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

using namespace kt;

namespace {
void require(bool ok)
{
    if (!ok)
        std::abort();
}

// Blocks of `small` and `large` bytes in turn: cuts at many places, in few calls.
std::vector<char> rewrite(const SeamlessPlan& plan, const std::vector<std::vector<char>>& parts, size_t small,
                          size_t large)
{
    SeamlessRewriter rewriter(plan);
    std::vector<char> out;
    for (size_t i = 0; i < parts.size(); ++i) {
        const size_t before = out.size();
        rewriter.beginPart(int(i));
        for (size_t at = 0, k = 0; at < parts[i].size(); ++k) {
            const size_t n = std::min(k % 2 ? large : small, parts[i].size() - at);
            const std::unique_ptr<char[]> buffer(new char[SeamlessRewriter::kHeadroom + n]);
            std::memcpy(buffer.get() + SeamlessRewriter::kHeadroom, parts[i].data() + at, n);
            const QByteArrayView v = rewriter.feed(buffer.get() + SeamlessRewriter::kHeadroom, qsizetype(n));
            require(v.data() >= buffer.get() &&
                    v.data() + v.size() <= buffer.get() + SeamlessRewriter::kHeadroom + n);
            out.insert(out.end(), v.begin(), v.end());
            at += n;
        }
        const QByteArrayView held = rewriter.endPart();
        require(held.size() <= SeamlessRewriter::kMaxHeldBack);
        out.insert(out.end(), held.begin(), held.end());
        require(out.size() - before == plan.parts[int(i)].outputLength);
        if (plan.parts[int(i)].format != PartFormat::MpegAudio)
            require(out.size() - before == parts[i].size());
    }
    return out;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 5 || size > 300000)
        return 0;
    const size_t count = 1 + data[0] % 3;
    const size_t small = 1 + (data[0] >> 2), large = 1500 + size_t(data[0] >> 2) * 97;
    // Parts 1 and 2 take as many bytes as bytes 1-2 and 3-4 say (big-endian), the last the rest.
    const size_t body = size - 5;
    std::vector<size_t> cuts = {0};
    for (size_t i = 0; i + 1 < count; ++i)
        cuts.push_back(std::min(body, cuts.back() + (size_t(data[1 + 2 * i]) << 8 | data[2 + 2 * i])));
    cuts.push_back(body);

    static int fds[3] = {memfd_create("kt-fuzz-a", 0), memfd_create("kt-fuzz-b", 0),
                         memfd_create("kt-fuzz-c", 0)};
    std::vector<std::vector<char>> parts;
    QVector<SeamlessSource> sources;
    for (size_t i = 0; i < count; ++i) {
        parts.emplace_back(reinterpret_cast<const char*>(data) + 5 + cuts[i],
                           reinterpret_cast<const char*>(data) + 5 + cuts[i + 1]);
        const std::vector<char>& p = parts.back();
        require(fds[i] >= 0 && ftruncate(fds[i], 0) == 0 &&
                (p.empty() || pwrite(fds[i], p.data(), p.size(), 0) == ssize_t(p.size())));
        sources.append({QStringLiteral("/proc/self/fd/%1").arg(fds[i]), quint64(p.size())});
        const StreamDetails d = describeStream(sources.last().path);
        require(d.openError == 0 && d.bytes == p.size() && (!d.duration || *d.duration == *d.duration));
        streamDetailsJson(d);
    }
    const SeamlessPlan plan = planSeamlessJoin(sources);
    require(plan.parts.size() == qsizetype(count));
    const std::vector<char> a = rewrite(plan, parts, small, large);
    require(a.size() == plan.outputSize);
    require(rewrite(plan, parts, 4096, 4096) == a);
    return 0;
}
