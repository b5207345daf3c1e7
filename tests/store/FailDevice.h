#pragma once

#include <QByteArray>
#include <QIODevice>

#include <cerrno>

// A device that takes `limit` bytes and then fails: the write that crosses the
// limit comes back short (or -1 with errorNumber in errno when shortWrites is
// off). It writes into its own buffer or passes the bytes on to another device.
class FailDevice : public QIODevice
{
public:
    explicit FailDevice(qint64 limit, QIODevice* target = nullptr) : m_limit(limit), m_target(target)
    {
        open(QIODevice::WriteOnly);
    }
    bool shortWrites = true;
    int errorNumber = 0;
    const QByteArray& data() const { return m_data; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        const qint64 room = m_limit - m_written;
        if (room <= 0 || (!shortWrites && size > room)) {
            errno = errorNumber;
            return -1;
        }
        const qint64 take = size < room ? size : room;
        if (m_target) {
            if (m_target->write(data, take) != take)
                return -1;
        } else {
            m_data.append(data, take);
        }
        m_written += take;
        return take;
    }

private:
    qint64 m_limit;
    qint64 m_written = 0;
    QIODevice* m_target;
    QByteArray m_data;
};
