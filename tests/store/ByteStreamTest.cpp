#include "store/ByteStream.h"

#include "FailDevice.h"
#include "StoreTestSupport.h"
#include "platform/Exceptions.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <climits>

using storetest::Bytes;

namespace {

QByteArray Written(const std::function<void(ByteStream&)>& write)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ByteStream out(&buffer);
    write(out);
    out.Flush();
    return bytes;
}

// Runs read on a stream over bytes and returns the I/O error it raised (0: none).
int ReadError(QByteArray bytes, const std::function<void(ByteStream&)>& read, std::string* message = nullptr,
              std::size_t chunk = ByteStream::DefaultChunk)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    ByteStream in(&buffer, chunk);
    try {
        read(in);
    } catch (const dw::EInOutError& e) {
        if (message)
            *message = e.what();
        EXPECT_EQ(in.pendingError(), 0) << "raising clears the pending error";
        return e.ErrorCode;
    }
    return 0;
}

TEST(ByteStream, StringLayout)
{
    EXPECT_EQ(Written([](ByteStream& s) { s.WriteString(QByteArray()); }), Bytes({0, 0, 0, 0}));
    EXPECT_EQ(Written([](ByteStream& s) { s.WriteString(QByteArray("abc")); }),
              Bytes({3, 0, 0, 0, 0x61, 0x62, 0x63}));
    QByteArray long300(300, 'x');
    const QByteArray written = Written([&](ByteStream& s) { s.WriteString(long300); });
    EXPECT_EQ(written.left(4), Bytes({0x2C, 0x01, 0, 0}));
    EXPECT_EQ(written.mid(4), long300);
}

TEST(ByteStream, FixedFieldsAreLittleEndianWithoutPadding)
{
    const QByteArray bytes = Written([](ByteStream& s) {
        s.WriteInt32(-2);
        s.WriteByte(0x7F);
        s.WriteDouble(0.5);
        s.WriteUInt32(0x01020304u);
    });
    EXPECT_EQ(bytes, Bytes({0xFE, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0, 0, 0, 0xE0, 0x3F, 4, 3, 2, 1}));
}

TEST(ByteStream, ReadStringTakesBytesAsTheyAre)
{
    QByteArray text("old");
    const QByteArray bytes = Bytes({4, 0, 0, 0, 'a', 0, 0xE4, 'b', 0, 0, 0, 0});
    EXPECT_EQ(ReadError(bytes,
                        [&](ByteStream& in) {
                            in.ReadString(text);
                            EXPECT_EQ(text, Bytes({'a', 0, 0xE4, 'b'}));
                            in.ReadString(text);
                            EXPECT_TRUE(text.isEmpty());
                        }),
              0);
}

TEST(ByteStream, BrokenStringsFailBeforeAnythingIsAssigned)
{
    struct Case
    {
        const char* name;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"no length", QByteArray()},
        {"inside the length", Bytes({3, 0})},
        {"three bytes of length", Bytes({3, 0, 0})},
        {"inside the text", Bytes({3, 0, 0, 0, 'a', 'b'})},
        {"negative length", Bytes({0xFF, 0xFF, 0xFF, 0xFF, 'a'})},
        {"most negative length", Bytes({0, 0, 0, 0x80, 'a'})},
        {"length beyond the end", Bytes({0xFF, 0xFF, 0xFF, 0x7F, 'a', 'b', 'c'})},
    };
    for (std::size_t chunk : {std::size_t{0}, std::size_t{2}, ByteStream::DefaultChunk}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + ", chunk " + std::to_string(chunk));
            QByteArray target("unchanged");
            std::string message;
            EXPECT_EQ(ReadError(
                          c.bytes, [&](ByteStream& in) { in.ReadString(target); }, &message, chunk),
                      100);
            EXPECT_EQ(message, "Read beyond end of file");
            EXPECT_EQ(target, QByteArray("unchanged"));
        }
    }
}

TEST(ByteStream, FailedFixedFieldsStayPendingUntilTheNextText)
{
    std::int32_t count = 7;
    double value = 1.5;
    std::uint8_t done = 9;
    QByteArray text("kept");
    const int code = ReadError(Bytes({1, 0}), [&](ByteStream& in) {
        EXPECT_FALSE(in.ReadInt32(count));
        EXPECT_EQ(in.pendingError(), 100);
        // Once an error is pending, later reads are skipped, even ones that would fit.
        EXPECT_FALSE(in.ReadByte(done));
        EXPECT_FALSE(in.ReadDouble(value));
        in.ReadString(text);
    });
    EXPECT_EQ(code, 100);
    EXPECT_EQ(count, 7);
    EXPECT_EQ(value, 1.5);
    EXPECT_EQ(done, 9);
    EXPECT_EQ(text, QByteArray("kept"));
}

TEST(ByteStream, ReadsAcrossChunkBoundaries)
{
    const QByteArray bytes = Written([](ByteStream& s) {
        for (int i = 0; i < 50; ++i) {
            s.WriteInt32(i);
            s.WriteDouble(i / 4.0);
            s.WriteByte(static_cast<std::uint8_t>(i));
            s.WriteString(QByteArray(i * 3, static_cast<char>('a' + i % 26)));
        }
    });
    for (std::size_t chunk : {0, 1, 3, 7, 13, 64, 1000, 1 << 16}) {
        SCOPED_TRACE(chunk);
        EXPECT_EQ(ReadError(
                      bytes,
                      [](ByteStream& in) {
                          for (int i = 0; i < 50; ++i) {
                              std::int32_t n = -1;
                              double d = -1;
                              std::uint8_t b = 0;
                              QByteArray t;
                              ASSERT_TRUE(in.ReadInt32(n));
                              ASSERT_TRUE(in.ReadDouble(d));
                              ASSERT_TRUE(in.ReadByte(b));
                              in.ReadString(t);
                              ASSERT_EQ(n, i);
                              ASSERT_EQ(d, i / 4.0);
                              ASSERT_EQ(b, i);
                              ASSERT_EQ(t, QByteArray(i * 3, static_cast<char>('a' + i % 26)));
                          }
                          std::int32_t extra = 0;
                          EXPECT_FALSE(in.ReadInt32(extra));
                      },
                      nullptr, chunk),
                  0);
    }
}

struct WriteFailure
{
    const char* name;
    qint64 limit;
    bool shortWrites;
    int errorNumber;
    std::int32_t code;
    const char* message;
};

TEST(ByteStream, FailedWritesRaiseTheirError)
{
    const WriteFailure cases[] = {
        {"nothing fits", 0, true, 0, 101, "Disk full"},
        {"short inside a count", 2, true, 0, 101, "Disk full"},
        {"short inside a text", 9, true, 0, 101, "Disk full"},
        {"refused, full disk", 5, false, ENOSPC, 101, "Disk full"},
        {"refused, file too big", 5, false, EFBIG, 101, "Disk full"},
        {"refused, device error", 5, false, EIO, EIO, "I/O error 5"},
        {"refused without a code", 5, false, 0, 101, "Disk full"},
    };
    for (std::size_t chunk : {std::size_t{0}, std::size_t{4}, ByteStream::DefaultChunk}) {
        for (const WriteFailure& c : cases) {
            SCOPED_TRACE(std::string(c.name) + ", chunk " + std::to_string(chunk));
            FailDevice device(c.limit);
            device.shortWrites = c.shortWrites;
            device.errorNumber = c.errorNumber;
            ByteStream out(&device, chunk);
            try {
                out.WriteInt32(1);
                out.WriteString(QByteArray("abcdefgh"));
                out.WriteInt32(2);
                out.Flush();
                ADD_FAILURE() << "no error raised";
            } catch (const dw::EInOutError& e) {
                EXPECT_EQ(e.ErrorCode, c.code);
                EXPECT_STREQ(e.what(), c.message);
            }
            EXPECT_EQ(out.pendingError(), 0);
        }
    }
}

TEST(ByteStream, UncheckedWriteLeavesTheErrorPending)
{
    FailDevice device(2);
    ByteStream out(&device, 0);
    out.WriteInt32(5);
    EXPECT_EQ(out.pendingError(), 101);
    out.WriteDouble(1.0); // skipped
    EXPECT_EQ(device.data().size(), 2);
    EXPECT_THROW(out.Check(), dw::EInOutError);
    EXPECT_EQ(out.pendingError(), 0);
}

TEST(ByteStream, SkipZeroInt32sTakesOnlyReadAheadZeroFields)
{
    const auto zeros = [](int fields) { return QByteArray(fields * 4, '\0'); };
    const QByteArray seven = Bytes({7, 0, 0, 0});
    struct Case
    {
        const char* name;
        QByteArray bytes;
        std::size_t chunk;
        int readFirst; // fields read one by one before skipping
        std::size_t most;
        std::size_t taken;
        bool nextReads;    // a ReadInt32 afterwards succeeds...
        std::int32_t next; // ...with this value
    };
    const Case cases[] = {
        // Nothing is read ahead before the first read: each case but one reads a field first.
        {"run up to a count", seven + zeros(10) + seven, 1 << 16, 1, 100, 10, true, 7},
        {"limited by most", seven + zeros(10) + seven, 1 << 16, 1, 3, 3, true, 0},
        {"long run", seven + zeros(100) + seven, 1 << 16, 1, 1000, 100, true, 7},
        {"run ending in the last wide step", seven + zeros(31) + seven + zeros(5), 1 << 16, 1, 1000, 31, true,
         7},
        {"non-zero high half", seven + zeros(3) + Bytes({0, 0, 0, 1}), 1 << 16, 1, 100, 3, true, 0x01000000},
        {"non-zero at once", seven + seven + zeros(4), 1 << 16, 1, 100, 0, true, 7},
        {"nothing read ahead yet", zeros(10), 1 << 16, 0, 100, 0, true, 0},
        {"only what was read ahead", zeros(10), 8, 1, 100, 1, true, 0},
        {"without read-ahead", zeros(10), 0, 1, 100, 0, true, 0},
        {"a partial field is not taken", seven + zeros(1) + Bytes({0, 0}), 1 << 16, 1, 100, 1, false, 0},
        {"end of the bytes", seven + zeros(4), 1 << 16, 1, 100, 4, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::size_t taken = 0;
        bool nextReads = false;
        std::int32_t next = -1;
        const int error = ReadError(
            c.bytes,
            [&](ByteStream& in) {
                for (int i = 0; i < c.readFirst; ++i)
                    ASSERT_TRUE(in.ReadInt32(next));
                taken = in.SkipZeroInt32s(c.most);
                nextReads = in.ReadInt32(next);
                in.Check();
            },
            nullptr, c.chunk);
        EXPECT_EQ(taken, c.taken);
        EXPECT_EQ(nextReads, c.nextReads);
        EXPECT_EQ(error, c.nextReads ? 0 : 100);
        if (c.nextReads) {
            EXPECT_EQ(next, c.next);
        }
    }
}

TEST(ByteStream, SkipZeroInt32sTakesNothingWhileAnErrorIsPending)
{
    QByteArray bytes(3, '\0');
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    ByteStream in(&buffer);
    std::int32_t value = 0;
    EXPECT_FALSE(in.ReadInt32(value));
    EXPECT_EQ(in.SkipZeroInt32s(10), 0u);
    EXPECT_EQ(in.pendingError(), 100);
}

} // namespace
