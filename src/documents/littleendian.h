#pragma once

#include <QByteArrayView>
#include <QtEndian>

namespace veltrik {

// Little-endian integers at a byte offset of the binary Word formats. Callers check the bounds.
inline quint32 u32(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.data() + at);
}

inline quint16 u16(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.data() + at);
}

} // namespace veltrik
