#include "store/StoreScan.h"

#include "store/CalendarGrid.h"

#include <QFileInfo>
#include <QtEndian>

#include <cstring>

namespace dw::cli {

namespace {

class Cursor
{
public:
    explicit Cursor(QByteArrayView bytes) : m_at(bytes.data()), m_end(bytes.data() + bytes.size()) {}

    bool has(std::size_t n) const { return static_cast<std::size_t>(m_end - m_at) >= n; }
    std::int32_t int32()
    {
        const auto v = qFromLittleEndian<qint32>(m_at);
        m_at += 4;
        return v;
    }
    double float64()
    {
        const quint64 bits = qFromLittleEndian<quint64>(m_at);
        m_at += 8;
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    std::uint8_t byte() { return static_cast<std::uint8_t>(*m_at++); }
    // A length-prefixed text up to its first zero byte; false when it does not fit.
    bool text(QByteArrayView& out)
    {
        if (!has(4))
            return false;
        const std::int32_t length = int32();
        if (length < 0 || !has(static_cast<std::size_t>(length)))
            return false;
        out = QByteArrayView(m_at, static_cast<qsizetype>(::strnlen(m_at, static_cast<std::size_t>(length))));
        m_at += length;
        return true;
    }

private:
    const char* m_at;
    const char* m_end;
};

constexpr std::size_t FixedPart = 4 * 8 + 1;

} // namespace

bool StoreScan::open(const QString& path, QString& error)
{
    m_path = path;
    if (!QFileInfo::exists(path))
        return true;
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1 kann nicht gelesen werden.").arg(path);
        return false;
    }
    const qint64 size = m_file.size();
    if (size == 0)
        return true;
    if (const uchar* mapped = m_file.map(0, size)) {
        m_bytes = QByteArrayView(reinterpret_cast<const char*>(mapped), size);
        return true;
    }
    m_copy = m_file.readAll();
    if (m_copy.size() != size) {
        error = QStringLiteral("%1 kann nicht gelesen werden.").arg(path);
        return false;
    }
    m_bytes = m_copy;
    return true;
}

bool StoreScan::forEach(const std::function<void(const StoredAppointment&)>& visit, QString& error) const
{
    if (!m_file.isOpen())
        return true;
    Cursor in(m_bytes);
    StoredAppointment a;
    a.day = static_cast<std::int32_t>(CalendarGrid::DateOf(CalendarGrid::FirstYear, 1, 1));
    bool whole = true;
    for (int index = 0; index < CalendarGrid::TotalDays && whole; ++index, ++a.day) {
        if (!in.has(4)) {
            whole = false;
            break;
        }
        const std::int32_t count = in.int32();
        for (std::int32_t i = 0; i < count; ++i) {
            if (!in.has(FixedPart)) {
                whole = false;
                break;
            }
            a.timeOfDay = in.float64();
            a.lastReminded = in.float64();
            a.firstLead = in.float64();
            a.repeatInterval = in.float64();
            a.done = in.byte();
            if (!in.text(a.name) || !in.text(a.description)) {
                whole = false;
                break;
            }
            visit(a);
        }
    }
    if (whole && in.has(12))
        return true;
    error = QStringLiteral(
                "%1 ist beschädigt (die Datei endet zu früh). Starten Sie das Programm: es sichert die "
                "Datei.")
                .arg(m_path);
    return false;
}

} // namespace dw::cli
