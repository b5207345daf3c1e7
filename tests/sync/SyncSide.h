#pragma once

#include "RadicaleServer.h"

#include "core/AppCore.h"
#include "sync/SyncEngine.h"

#include <QTemporaryDir>

#include <functional>
#include <memory>

#include <ostream>

inline void PrintTo(const QStringList& list, std::ostream* out)
{
    *out << '[' << list.join(QStringLiteral(" | ")).toStdString() << ']';
}

namespace dwtest {

// One computer that syncs: a data folder, the program's core on it and an engine.
class SyncSide
{
public:
    explicit SyncSide(const RadicaleServer& server, const QString& url = {});
    ~SyncSide();

    AppCore& core() { return *m_core; }
    dw::sync::SyncEngine& engine() { return *m_engine; }
    // Runs one sync to its end (at most 60 s).
    dw::sync::SyncReport sync();
    // As a program that ends (or is killed) and starts again on the same folder.
    void restart(bool save = true);
    void setPassword(const QString& password);
    // Called with each request before it goes out: another client may change the server meanwhile.
    std::function<void(const dw::sync::HttpRequest&)> beforeSend;

    void add(int y, int m, int d, int hour, const QByteArray& name);
    // "HH:MM name" of each appointment of a day, in order.
    QStringList day(int y, int m, int d) const;
    Appointment* at(int y, int m, int d, int index);
    int total() const;

private:
    void makeEngine();

    const RadicaleServer& m_server;
    QString m_url;
    QString m_password;
    QTemporaryDir m_dir;
    std::unique_ptr<AppCore> m_core;
    std::unique_ptr<dw::sync::SyncEngine> m_engine;
};

} // namespace dwtest
