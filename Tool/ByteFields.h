#pragma once

#include <QByteArray>
#include <type_traits>

// Whole-number fields of a picture file's headers, read a byte at a time.
// Qt's qFromLittleEndian over constData() would do, but g++'s optimizer
// cannot see the callers' size checks and, in the sanitized build, takes the
// read for one past Qt's shared empty array.
template <typename T>
T LittleEndianAt(const QByteArray& bytes, qsizetype at) {
    std::make_unsigned_t<T> value = 0;
    for (qsizetype i = sizeof(T); i-- > 0;)
        value = static_cast<decltype(value)>(value << 8 | static_cast<uchar>(bytes.at(at + i)));
    return static_cast<T>(value);
}

template <typename T>
T BigEndianAt(const QByteArray& bytes, qsizetype at) {
    std::make_unsigned_t<T> value = 0;
    for (qsizetype i = 0; i < qsizetype{sizeof(T)}; ++i)
        value = static_cast<decltype(value)>(value << 8 | static_cast<uchar>(bytes.at(at + i)));
    return static_cast<T>(value);
}
