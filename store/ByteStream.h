#pragma once

#include <QByteArray>
#include <QtEndian>

#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

class QIODevice;

// The data file's byte stream over any QIODevice: little-endian fixed-width
// fields and length-prefixed texts, no padding.
//
// Writes and reads of fixed-width fields are not checked on their own: a failure
// leaves an I/O error pending (100 short read, 101 short write or full disk, other
// codes as the system gave them) and every later operation is skipped until it is
// raised. WriteString, ReadString, Check and Flush raise a pending error at once
// as dw::EInOutError; raising clears it.
//
// With a chunk size above 0 the stream collects writes and reads ahead in chunks
// of that size, so a device error may surface a little later than the field that
// caused it, but always by the next Flush.
class ByteStream
{
public:
    static constexpr std::int32_t ReadBeyondEnd = 100;
    static constexpr std::int32_t DiskFull = 101;
    static constexpr std::size_t DefaultChunk = 64 * 1024;

    explicit ByteStream(QIODevice* device, std::size_t chunkBytes = DefaultChunk);
    // Drops unflushed output; call Flush to hand it over.
    ~ByteStream();
    ByteStream(const ByteStream&) = delete;
    ByteStream& operator=(const ByteStream&) = delete;

    void WriteInt32(std::int32_t value) { PutLE(static_cast<std::uint32_t>(value)); }
    void WriteUInt32(std::uint32_t value) { PutLE(value); }
    void WriteDouble(double value) { PutLE(std::bit_cast<std::uint64_t>(value)); }
    void WriteByte(std::uint8_t value) { Put(&value, 1); }

    // False when the field could not be read; the target is then unchanged.
    bool ReadInt32(std::int32_t& value)
    {
        std::uint32_t raw = 0;
        if (!GetLE(raw))
            return false;
        value = static_cast<std::int32_t>(raw);
        return true;
    }
    bool ReadDouble(double& value)
    {
        std::uint64_t raw = 0;
        if (!GetLE(raw))
            return false;
        value = std::bit_cast<double>(raw);
        return true;
    }
    bool ReadByte(std::uint8_t& value) { return Get(&value, 1); }
    // Reads up to most 32-bit fields as long as they are 0 and already read
    // ahead; returns how many it took. Reading them one by one gives the same,
    // only slower; it takes none while an error is pending.
    std::size_t SkipZeroInt32s(std::size_t most);
    // size bytes as they are; false, with an error pending, when they could not be read whole.
    bool ReadBytes(void* data, std::size_t size) { return Get(data, size); }

    // 4-byte signed length, then the bytes without terminator.
    void WriteString(const char* text, std::size_t length);
    void WriteString(const QByteArray& text);
    // The target is assigned only when the whole text was read. A negative length
    // or one beyond the rest of the device fails before anything is allocated.
    void ReadString(QByteArray& text);
    // Reads a text as ReadString does into the length + 1 bytes that
    // take(length) hands out, zero-terminated; nullptr when take had no memory.
    template <typename Take> char* ReadStringWith(Take&& take)
    {
        const std::size_t length = ReadLength();
        char* block = take(length);
        if (!block)
            return nullptr;
        if (length > 0 && !Get(block, length))
            Raise();
        block[length] = '\0';
        return block;
    }

    // For a reader that parses the read-ahead in place: the bytes read ahead and
    // not taken yet (none while an error is pending), and how many of them it took.
    const char* ahead() const { return m_buffer.get() + m_inPos; }
    std::size_t aheadSize() const { return m_pending == 0 ? m_inLen - m_inPos : 0; }
    void Took(std::size_t bytes) { m_inPos += bytes; }
    // Moves what is left of the read-ahead to the front of the buffer and reads
    // behind it until the buffer is full or the device has no more; returns
    // aheadSize(). A device error is left pending, as a read would leave it.
    std::size_t ReadAhead();

    // Hands collected output to the device, then raises a pending error.
    void Flush();
    // Raises a pending error.
    void Check();

    std::int32_t pendingError() const { return m_pending; }
    void clearPendingError() { m_pending = 0; }
    // "Read beyond end of file", "Disk full", "I/O error <code>".
    static std::string MessageFor(std::int32_t code);
    // The pending-error code for a system error number; fallback when there is none.
    static std::int32_t CodeForSystemError(int error, std::int32_t fallback);

private:
    template <typename T> void PutLE(T value)
    {
        value = qToLittleEndian(value);
        Put(&value, sizeof value);
    }
    template <typename T> bool GetLE(T& value)
    {
        T raw;
        if (!Get(&raw, sizeof raw))
            return false;
        value = qFromLittleEndian(raw);
        return true;
    }
    void Put(const void* data, std::size_t size)
    {
        if (m_outLen + size <= m_chunk && m_pending == 0) {
            std::memcpy(m_buffer.get() + m_outLen, data, size);
            m_outLen += size;
        } else {
            PutSlow(data, size);
        }
    }
    bool Get(void* data, std::size_t size)
    {
        if (m_inLen - m_inPos >= size && m_pending == 0) {
            std::memcpy(data, m_buffer.get() + m_inPos, size);
            m_inPos += size;
            return true;
        }
        return GetSlow(data, size);
    }
    void PutSlow(const void* data, std::size_t size);
    bool GetSlow(void* data, std::size_t size);
    void DeviceWrite(const char* data, std::size_t size);
    std::size_t DeviceRead(char* data, std::size_t size);
    void Drain();
    // Reads and checks a text's length; raises for a negative one or one beyond the rest.
    std::size_t ReadLength();
    // Whether size more bytes can still come from the device and the read-ahead.
    bool CanStillRead(std::size_t size) const;
    [[noreturn]] void Raise();

    QIODevice* m_device;
    std::size_t m_chunk;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_outLen = 0;
    std::size_t m_inPos = 0;
    std::size_t m_inLen = 0;
    std::int32_t m_pending = 0;
};
