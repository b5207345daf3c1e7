#include "messages/StoreErrorText.h"

#include "messages/DataFileMessages.h"
#include "platform/Exceptions.h"
#include "store/ByteStream.h"

#include <QCoreApplication>

namespace {

QString TextOfCode(int code)
{
    switch (code) {
    case ByteStream::ReadBeyondEnd:
        return QCoreApplication::translate("StoreErrorText", "sie endet vor ihrem Inhalt");
    case ByteStream::DiskFull:
        return QCoreApplication::translate("StoreErrorText", "kein Platz mehr auf dem Datenträger");
    default:
        return DataFileMessages::CauseText(code);
    }
}

} // namespace

QString StoreErrorText(const std::exception& failure)
{
    const auto* io = dynamic_cast<const dw::EInOutError*>(&failure);
    return io ? TextOfCode(io->ErrorCode)
              : QCoreApplication::translate("StoreErrorText", "unbekannter Fehler");
}

QString StoreErrorText(const QString& readerMessage)
{
    for (const int code : {ByteStream::ReadBeyondEnd, ByteStream::DiskFull})
        if (readerMessage == QString::fromStdString(ByteStream::MessageFor(code)))
            return TextOfCode(code);
    for (int code = 1; code < 256; ++code)
        if (readerMessage == QString::fromStdString(ByteStream::MessageFor(code)))
            return TextOfCode(code);
    return QCoreApplication::translate("StoreErrorText", "unbekannter Fehler");
}
