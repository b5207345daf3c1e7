#include "store/ByteStream.h"

#include "store/LittleEndian.h"

#include "platform/Exceptions.h"

#include <QIODevice>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <limits>

ByteStream::ByteStream(QIODevice* device, std::size_t chunkBytes)
    : m_device(device), m_chunk(chunkBytes), m_buffer(chunkBytes ? new char[chunkBytes] : nullptr)
{
}

ByteStream::~ByteStream() = default;

std::string ByteStream::MessageFor(std::int32_t code)
{
    switch (code) {
    case ReadBeyondEnd:
        return "Read beyond end of file";
    case DiskFull:
        return "Disk full";
    default:
        return "I/O error " + std::to_string(code);
    }
}

std::int32_t ByteStream::CodeForSystemError(int error, std::int32_t fallback)
{
    // A device that fails without a system code gave up before taking
    // everything: the same as a full disk for a write, an early end for a read.
    if (error == 0)
        return fallback;
    if (error == ENOSPC || error == EFBIG || error == EDQUOT)
        return DiskFull;
    return error;
}

void ByteStream::Raise()
{
    const std::int32_t code = m_pending;
    m_pending = 0;
    throw dw::EInOutError(code, MessageFor(code));
}

void ByteStream::Check()
{
    if (m_pending != 0)
        Raise();
}

void ByteStream::DeviceWrite(const char* data, std::size_t size)
{
    while (size > 0 && m_pending == 0) {
        const auto step =
            static_cast<qint64>(std::min<std::size_t>(size, std::numeric_limits<qint64>::max()));
        errno = 0;
        const qint64 written = m_device->write(data, step);
        if (written < 0) {
            m_pending = CodeForSystemError(errno, DiskFull);
        } else if (written < step) {
            m_pending = DiskFull;
        } else {
            data += written;
            size -= static_cast<std::size_t>(written);
        }
    }
}

void ByteStream::Drain()
{
    if (m_outLen > 0 && m_pending == 0)
        DeviceWrite(m_buffer.get(), m_outLen);
    m_outLen = 0;
}

void ByteStream::PutSlow(const void* data, std::size_t size)
{
    if (m_pending != 0)
        return;
    Drain();
    if (size >= m_chunk)
        DeviceWrite(static_cast<const char*>(data), size);
    else if (m_pending == 0) {
        std::memcpy(m_buffer.get(), data, size);
        m_outLen = size;
    }
}

std::size_t ByteStream::DeviceRead(char* data, std::size_t size)
{
    std::size_t got = 0;
    while (got < size) {
        errno = 0;
        const qint64 n = m_device->read(data + got, static_cast<qint64>(size - got));
        if (n < 0) {
            m_pending = CodeForSystemError(errno, ReadBeyondEnd);
            break;
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    return got;
}

bool ByteStream::GetSlow(void* data, std::size_t size)
{
    if (m_pending != 0)
        return false;
    auto* target = static_cast<char*>(data);
    const std::size_t buffered = m_inLen - m_inPos;
    if (buffered > 0)
        std::memcpy(target, m_buffer.get() + m_inPos, buffered);
    m_inPos = m_inLen = 0;
    std::size_t got = buffered;
    if (size - got >= m_chunk) {
        got += DeviceRead(target + got, size - got);
    } else {
        m_inLen = DeviceRead(m_buffer.get(), m_chunk);
        const std::size_t take = std::min(m_inLen, size - got);
        std::memcpy(target + got, m_buffer.get(), take);
        m_inPos = take;
        got += take;
    }
    if (got == size)
        return true;
    // What was read of a field that could not be read whole is lost, as the
    // field itself is.
    if (m_pending == 0)
        m_pending = ReadBeyondEnd;
    return false;
}

std::size_t ByteStream::ReadAhead()
{
    if (m_pending != 0 || m_chunk == 0)
        return 0;
    const std::size_t rest = m_inLen - m_inPos;
    if (rest > 0 && m_inPos > 0)
        std::memmove(m_buffer.get(), m_buffer.get() + m_inPos, rest);
    m_inPos = 0;
    m_inLen = rest + DeviceRead(m_buffer.get() + rest, m_chunk - rest);
    return aheadSize();
}

bool ByteStream::CanStillRead(std::size_t size) const
{
    const std::size_t buffered = m_inLen - m_inPos;
    if (size <= buffered)
        return true;
    if (m_device->isSequential())
        return true; // a pipe's rest is unknown; the data file is never one
    const qint64 rest = m_device->size() - m_device->pos();
    return rest >= 0 && size - buffered <= static_cast<std::uint64_t>(rest);
}

std::size_t ByteStream::SkipZeroInt32s(std::size_t most)
{
    if (m_pending != 0)
        return 0;
    const std::size_t n = ZeroFields(m_buffer.get() + m_inPos, std::min(most, (m_inLen - m_inPos) / 4));
    m_inPos += n * 4;
    return n;
}

void ByteStream::WriteString(const char* text, std::size_t length)
{
    Check();
    if (length > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw dw::EInOutError(DiskFull, MessageFor(DiskFull));
    WriteInt32(static_cast<std::int32_t>(length));
    Check();
    if (length > 0)
        Put(text, length);
    Check();
}

void ByteStream::WriteString(const QByteArray& text)
{
    WriteString(text.constData(), static_cast<std::size_t>(text.size()));
}

std::size_t ByteStream::ReadLength()
{
    Check();
    std::int32_t length = 0;
    if (!ReadInt32(length))
        Raise();
    if (length < 0 || !CanStillRead(static_cast<std::size_t>(length))) {
        m_pending = ReadBeyondEnd;
        Raise();
    }
    return static_cast<std::size_t>(length);
}

void ByteStream::ReadString(QByteArray& text)
{
    const std::size_t length = ReadLength();
    if (length == 0) {
        text = QByteArray();
        return;
    }
    QByteArray read(static_cast<qsizetype>(length), Qt::Uninitialized);
    if (!Get(read.data(), static_cast<std::size_t>(length)))
        Raise();
    text = std::move(read);
}

void ByteStream::Flush()
{
    Drain();
    Check();
}
