#include "Tool/ReducedGif.h"

#include <array>
#include <vector>

#include "Tool/ByteFields.h"

namespace {

constexpr int kMaxCodes = 4096;
constexpr int kMaxCodeBits = 12;

struct Frame {
    int left = 0, top = 0, width = 0, height = 0;
    bool interlaced = false;
    qsizetype palette = -1;  // offset of its colour table in the file, or -1
    int colours = 0;
    int transparent = -1;  // index, or -1
    qsizetype data = 0;    // offset of its LZW minimum code size
};

int U16(const QByteArray& bytes, qsizetype at) {
    return LittleEndianAt<quint16>(bytes, at);
}

// The bytes of the data sub-blocks from `at`, one after another.
class SubBlocks {
public:
    SubBlocks(const QByteArray& bytes, qsizetype at) : bytes_(bytes), at_(at) {}
    // The next byte; false at the end of the blocks or of the file.
    bool Next(uchar& byte) {
        while (left_ == 0) {
            if (at_ >= bytes_.size()) return ended_ = false;
            left_ = static_cast<uchar>(bytes_[at_++]);
            if (left_ == 0) return false;
        }
        if (at_ >= bytes_.size()) return ended_ = false;
        --left_;
        byte = static_cast<uchar>(bytes_[at_++]);
        return true;
    }
    bool FileEnded() const { return !ended_; }

private:
    const QByteArray& bytes_;
    qsizetype at_;
    int left_ = 0;
    bool ended_ = true;
};

// The frame's row that the `n`th decoded row is, interlaced or not.
int RowOf(int n, int height, bool interlaced) {
    if (!interlaced) return n;
    const int passes[4][2] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};
    for (const auto& [start, step] : passes) {
        const int rows = start < height ? (height - start + step - 1) / step : 0;
        if (n < rows) return start + n * step;
        n -= rows;
    }
    return -1;
}

bool FindFirstFrame(const QByteArray& gif, Frame& frame) {
    constexpr qsizetype kHeader = 13;
    if (gif.size() < kHeader || !(gif.startsWith("GIF87a") || gif.startsWith("GIF89a"))) return false;
    const uchar screenFlags = static_cast<uchar>(gif[10]);
    qsizetype at = kHeader;
    if (screenFlags & 0x80) {
        frame.palette = at;
        frame.colours = 2 << (screenFlags & 7);
        at += 3 * frame.colours;
    }
    while (at < gif.size()) {
        const uchar block = static_cast<uchar>(gif[at++]);
        if (block == 0x21 && at < gif.size()) {
            const uchar label = static_cast<uchar>(gif[at++]);
            if (label == 0xF9 && gif.size() - at >= 6 && gif[at] == 4 && (gif[at + 1] & 1))
                frame.transparent = static_cast<uchar>(gif[at + 4]);
            while (at < gif.size() && gif[at] != 0) at += 1 + static_cast<uchar>(gif[at]);
            ++at;
        } else if (block == 0x2C && gif.size() - at >= 10) {
            frame.left = U16(gif, at);
            frame.top = U16(gif, at + 2);
            frame.width = U16(gif, at + 4);
            frame.height = U16(gif, at + 6);
            const uchar flags = static_cast<uchar>(gif[at + 8]);
            frame.interlaced = flags & 0x40;
            at += 9;
            if (flags & 0x80) {
                frame.palette = at;
                frame.colours = 2 << (flags & 7);
                at += 3 * frame.colours;
            }
            frame.data = at;
            return at < gif.size() && frame.palette >= 0 && frame.palette + 3 * frame.colours <= gif.size();
        } else {
            return false;
        }
    }
    return false;
}

}  // namespace

QImage DecodeGifReduced(const QByteArray& gif, QSize reduced, bool* cutShort) {
    Frame frame;
    if (!FindFirstFrame(gif, frame)) return QImage();
    const qint64 screenWidth = U16(gif, 6);
    const qint64 screenHeight = U16(gif, 8);
    const int minimumBits = static_cast<uchar>(gif[frame.data]);
    if (minimumBits < 2 || minimumBits > 8 || screenWidth == 0 || screenHeight == 0) return QImage();
    // A frame larger than its screen would cost decoding time for pixels
    // nobody sees; the screen's own size is bounded by the caller.
    if (qint64{frame.width} * frame.height > screenWidth * screenHeight) return QImage();
    QImage out(reduced, QImage::Format_ARGB32);
    if (out.isNull()) return out;
    out.fill(Qt::transparent);

    std::array<QRgb, 256> colours{};
    for (int i = 0; i < frame.colours; ++i) {
        const auto* rgb = reinterpret_cast<const uchar*>(gif.constData() + frame.palette + 3 * i);
        colours[i] = i == frame.transparent ? 0 : qRgb(rgb[0], rgb[1], rgb[2]);
    }
    // A decoded row goes to the reduced rows whose source it is.
    std::vector<uchar> row(static_cast<std::size_t>(frame.width));
    const auto emitRow = [&](int n) {
        const int frameRow = RowOf(n, frame.height, frame.interlaced);
        const qint64 screenRow = frame.top + qint64{frameRow};
        if (frameRow < 0 || screenRow >= screenHeight) return;
        const qint64 y = (screenRow * reduced.height() + screenHeight - 1) / screenHeight;
        if (y >= reduced.height() || y * screenHeight / reduced.height() != screenRow) return;
        auto* to = reinterpret_cast<QRgb*>(out.scanLine(static_cast<int>(y)));
        for (int x = 0; x < reduced.width(); ++x) {
            const qint64 column = x * screenWidth / reduced.width() - frame.left;
            if (column >= 0 && column < frame.width) to[x] = colours[row[static_cast<std::size_t>(column)]];
        }
    };

    // LZW: each code names a string, its prefix code and last byte.
    std::array<quint16, kMaxCodes> prefix{};
    std::array<uchar, kMaxCodes> suffix{};
    std::array<uchar, kMaxCodes> first{};
    std::array<uchar, kMaxCodes> stack{};
    const int clear = 1 << minimumBits;
    const int end = clear + 1;
    for (int i = 0; i < clear; ++i) suffix[i] = first[i] = static_cast<uchar>(i);
    int bits = minimumBits + 1, next = clear + 2, previous = -1;
    quint32 buffer = 0;
    int buffered = 0;
    qint64 pixel = 0;
    const qint64 pixels = qint64{frame.width} * frame.height;
    SubBlocks data(gif, frame.data + 1);
    uchar byte = 0;
    while (pixel < pixels) {
        while (buffered < bits && data.Next(byte)) {
            buffer |= quint32{byte} << buffered;
            buffered += 8;
        }
        if (buffered < bits) break;
        const int code = static_cast<int>(buffer & ((1u << bits) - 1));
        buffer >>= bits;
        buffered -= bits;
        if (code == clear) {
            bits = minimumBits + 1, next = clear + 2, previous = -1;
            continue;
        }
        if (code == end) break;
        int depth = 0;
        int walk = code;
        if (code >= next) {  // the string being defined: the previous one and its own first byte
            if (previous < 0 || code > next) break;
            stack[depth++] = first[previous];
            walk = previous;
        }
        while (walk >= clear) {
            stack[depth++] = suffix[walk];
            walk = prefix[walk];
        }
        stack[depth++] = static_cast<uchar>(walk);
        if (previous >= 0 && next < kMaxCodes) {
            prefix[next] = static_cast<quint16>(previous);
            suffix[next] = static_cast<uchar>(walk);
            first[next] = first[previous];
            ++next;
            if (next == 1 << bits && bits < kMaxCodeBits) ++bits;
        }
        previous = code;
        while (depth > 0 && pixel < pixels) {
            const qint64 x = pixel % frame.width;
            row[static_cast<std::size_t>(x)] = stack[--depth];
            if (x + 1 == frame.width) emitRow(static_cast<int>(pixel / frame.width));
            ++pixel;
        }
    }
    *cutShort = pixel < pixels;
    return out;
}
