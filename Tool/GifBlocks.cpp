#include "Tool/GifBlocks.h"

namespace {

constexpr uchar kExtension = 0x21;
constexpr uchar kImage = 0x2C;
constexpr uchar kTrailer = 0x3B;
constexpr qsizetype kImageDescriptorBytes = 9;

// Skips data sub-blocks from `at`; false when they run past the end.
bool SkipSubBlocks(const QByteArray& gif, qsizetype& at) {
    while (at < gif.size()) {
        const int length = static_cast<uchar>(gif[at++]);
        if (length == 0) return true;
        at += length;
    }
    return false;
}

}  // namespace

qsizetype GifColourTableBytes(uchar flags) {
    return flags & 0x80 ? 3 * (qsizetype{2} << (flags & 7)) : 0;
}

GifBlocks::GifBlocks(const QByteArray& gif)
    : gif_(gif),
      at_(gif.size() < kGifScreenDescriptorEnd
              ? gif.size()
              : kGifScreenDescriptorEnd + GifColourTableBytes(static_cast<uchar>(gif[10]))) {}

GifBlock GifBlocks::Next() {
    if (at_ >= gif_.size()) return {};
    const uchar introducer = static_cast<uchar>(gif_[at_++]);
    GifBlock block;
    if (introducer == kTrailer) {
        block.kind = GifBlock::Kind::Trailer;
        return block;
    }
    if (introducer == kExtension) {
        if (at_ >= gif_.size()) return {};
        block = {GifBlock::Kind::Extension, at_, at_ + 1};
    } else if (introducer == kImage) {
        if (gif_.size() - at_ < kImageDescriptorBytes) return {};
        const uchar flags = static_cast<uchar>(gif_[at_ + 8]);
        block = {GifBlock::Kind::Image, at_, at_ + kImageDescriptorBytes + GifColourTableBytes(flags)};
    } else {
        block.kind = GifBlock::Kind::NotABlock;
        return block;
    }
    // An image's sub-blocks follow its code size; an extension's, its label.
    at_ = block.kind == GifBlock::Kind::Image ? block.data + 1 : block.data;
    if (!SkipSubBlocks(gif_, at_)) at_ = gif_.size();
    return block;
}
