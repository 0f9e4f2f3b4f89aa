#include "Tool/ReducedGif.h"

#include <array>
#include <vector>

#include "Tool/ByteFields.h"
#include "Tool/GifBlocks.h"

namespace {

constexpr int kMaxCodes = 4096;
constexpr int kMaxCodeBits = 12;
constexpr uchar kGraphicControl = 0xF9;

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
            if (at_ >= bytes_.size()) return false;
            left_ = static_cast<uchar>(bytes_[at_++]);
            if (left_ == 0) return false;
        }
        if (at_ >= bytes_.size()) return false;
        --left_;
        byte = static_cast<uchar>(bytes_[at_++]);
        return true;
    }

private:
    const QByteArray& bytes_;
    qsizetype at_;
    int left_ = 0;
};

// The strings an LZW stream of colour indices decodes to, one at a time.
class LzwStrings {
public:
    LzwStrings(const QByteArray& gif, qsizetype data, int minimumBits)
        : data_(gif, data), minimumBits_(minimumBits), clear_(1 << minimumBits) {
        for (int i = 0; i < clear_; ++i) suffix_[i] = first_[i] = static_cast<uchar>(i);
        Restart();
    }
    // The next string's length, its bytes in `String()` last first; 0 at
    // the end code, the data's end or a code that names no string yet.
    int Next() {
        while (true) {
            const int code = ReadCode();
            if (code < 0 || code == clear_ + 1) return 0;
            if (code == clear_) {
                Restart();
                continue;
            }
            return Expand(code);
        }
    }
    const uchar* String() const { return stack_.data(); }

private:
    void Restart() {
        bits_ = minimumBits_ + 1;
        next_ = clear_ + 2;
        previous_ = -1;
    }
    int ReadCode() {
        uchar byte = 0;
        while (buffered_ < bits_ && data_.Next(byte)) {
            buffer_ |= quint32{byte} << buffered_;
            buffered_ += 8;
        }
        if (buffered_ < bits_) return -1;
        const int code = static_cast<int>(buffer_ & ((1u << bits_) - 1));
        buffer_ >>= bits_;
        buffered_ -= bits_;
        return code;
    }
    // Spells out `code` and defines the next one: the previous string and
    // this one's first byte.
    int Expand(int code) {
        int depth = 0;
        int walk = code;
        if (code >= next_) {  // the string being defined: the previous one and its own first byte
            if (previous_ < 0 || code > next_) return 0;
            stack_[depth++] = first_[previous_];
            walk = previous_;
        }
        while (walk >= clear_) {
            stack_[depth++] = suffix_[walk];
            walk = prefix_[walk];
        }
        stack_[depth++] = static_cast<uchar>(walk);
        if (previous_ >= 0 && next_ < kMaxCodes) {
            prefix_[next_] = static_cast<quint16>(previous_);
            suffix_[next_] = static_cast<uchar>(walk);
            first_[next_] = first_[previous_];
            ++next_;
            if (next_ == 1 << bits_ && bits_ < kMaxCodeBits) ++bits_;
        }
        previous_ = code;
        return depth;
    }

    SubBlocks data_;
    const int minimumBits_;
    const int clear_;
    int bits_ = 0, next_ = 0, previous_ = -1;
    quint32 buffer_ = 0;
    int buffered_ = 0;
    std::array<quint16, kMaxCodes> prefix_{};
    std::array<uchar, kMaxCodes> suffix_{};
    std::array<uchar, kMaxCodes> first_{};
    std::array<uchar, kMaxCodes> stack_{};
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

void ReadImageDescriptor(const QByteArray& gif, qsizetype at, Frame& frame) {
    frame.left = U16(gif, at);
    frame.top = U16(gif, at + 2);
    frame.width = U16(gif, at + 4);
    frame.height = U16(gif, at + 6);
    const uchar flags = static_cast<uchar>(gif[at + 8]);
    frame.interlaced = flags & 0x40;
    if (flags & 0x80) {
        frame.palette = at + 9;
        frame.colours = 2 << (flags & 7);
    }
}

bool FindFirstFrame(const QByteArray& gif, Frame& frame) {
    if (gif.size() < kGifScreenDescriptorEnd || !(gif.startsWith("GIF87a") || gif.startsWith("GIF89a")))
        return false;
    const uchar screenFlags = static_cast<uchar>(gif[10]);
    if (screenFlags & 0x80) {
        frame.palette = kGifScreenDescriptorEnd;
        frame.colours = 2 << (screenFlags & 7);
    }
    GifBlocks blocks(gif);
    for (GifBlock block = blocks.Next();; block = blocks.Next()) {
        if (block.kind == GifBlock::Kind::Extension) {
            const qsizetype at = block.data;
            if (static_cast<uchar>(gif[block.at]) == kGraphicControl && gif.size() - at >= 6 &&
                gif[at] == 4 && (gif[at + 1] & 1))
                frame.transparent = static_cast<uchar>(gif[at + 4]);
        } else if (block.kind == GifBlock::Kind::Image) {
            ReadImageDescriptor(gif, block.at, frame);
            frame.data = block.data;
            return frame.data < gif.size() && frame.palette >= 0 &&
                   frame.palette + 3 * frame.colours <= gif.size();
        } else {
            return false;
        }
    }
}

// The reduced picture's rows, each filled from the decoded frame row that
// is its source.
class ReducedRows {
public:
    ReducedRows(const QByteArray& gif, const Frame& frame, QImage& out)
        : frame_(frame), out_(out), screenWidth_(U16(gif, 6)), screenHeight_(U16(gif, 8)), row_(frame.width) {
        for (int i = 0; i < frame.colours; ++i) {
            const auto* rgb = reinterpret_cast<const uchar*>(gif.constData() + frame.palette + 3 * i);
            colours_[i] = i == frame.transparent ? 0 : qRgb(rgb[0], rgb[1], rgb[2]);
        }
    }
    void Put(qint64 pixel, uchar index) {
        const qint64 x = pixel % frame_.width;
        row_[static_cast<std::size_t>(x)] = index;
        if (x + 1 == frame_.width) Emit(static_cast<int>(pixel / frame_.width));
    }

private:
    void Emit(int n) {
        const int frameRow = RowOf(n, frame_.height, frame_.interlaced);
        const qint64 screenRow = frame_.top + qint64{frameRow};
        if (frameRow < 0 || screenRow >= screenHeight_) return;
        const int height = out_.height();
        const qint64 y = (screenRow * height + screenHeight_ - 1) / screenHeight_;
        if (y >= height || y * screenHeight_ / height != screenRow) return;
        auto* to = reinterpret_cast<QRgb*>(out_.scanLine(static_cast<int>(y)));
        for (int x = 0; x < out_.width(); ++x) {
            const qint64 column = x * screenWidth_ / out_.width() - frame_.left;
            if (column >= 0 && column < frame_.width)
                to[x] = colours_[row_[static_cast<std::size_t>(column)]];
        }
    }

    const Frame& frame_;
    QImage& out_;
    const qint64 screenWidth_, screenHeight_;
    std::array<QRgb, 256> colours_{};
    std::vector<uchar> row_;
};

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

    ReducedRows rows(gif, frame, out);
    LzwStrings strings(gif, frame.data + 1, minimumBits);
    qint64 pixel = 0;
    const qint64 pixels = qint64{frame.width} * frame.height;
    while (pixel < pixels) {
        int length = strings.Next();
        if (length == 0) break;
        for (; length > 0 && pixel < pixels; ++pixel) rows.Put(pixel, strings.String()[--length]);
    }
    *cutShort = pixel < pixels;
    return out;
}
