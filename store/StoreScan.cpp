#include "store/StoreScan.h"

#include <QFileInfo>

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
        m_bytes = std::string_view(reinterpret_cast<const char*>(mapped), static_cast<std::size_t>(size));
        return true;
    }
    m_copy = m_file.readAll();
    if (m_copy.size() != size) {
        error = QStringLiteral("%1 kann nicht gelesen werden.").arg(path);
        return false;
    }
    m_bytes = std::string_view(m_copy.constData(), static_cast<std::size_t>(m_copy.size()));
    return true;
}

bool StoreScan::forEach(const std::function<void(const StoredAppointment&)>& visit, QString& error) const
{
    if (!m_file.isOpen() || ScanTermins(m_bytes, visit))
        return true;
    error = QStringLiteral(
                "%1 ist beschädigt (die Datei endet zu früh). Starten Sie das Programm: es sichert die "
                "Datei.")
                .arg(m_path);
    return false;
}
