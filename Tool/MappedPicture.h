// A picture file too large to read whole, mapped instead: an uncompressed
// BMP is decoded a band of rows at a time, and the rows behind the band
// need not stay in memory.
#pragma once

#include <QByteArray>
#include <cstddef>

class MappedPicture {
public:
    // Maps the regular file at `path` when it holds at most `limit` bytes;
    // else bytes() is empty and error() says why (an errno value).
    MappedPicture(const char* path, std::size_t limit);
    ~MappedPicture();
    MappedPicture(const MappedPicture&) = delete;
    MappedPicture& operator=(const MappedPicture&) = delete;

    // The file's bytes, valid while this lives.
    const QByteArray& bytes() const { return bytes_; }
    int error() const { return error_; }
    // True when the file was cut short while it was read: the bytes past its
    // new end read as zeros.
    bool Shrank() const;
    // The first `upTo` bytes will not be read again: their pages may go.
    void Release(qint64 upTo);

private:
    void* address_ = nullptr;
    std::size_t size_ = 0;
    QByteArray bytes_;
    int error_ = 0;
};
