#include "app/SyncCommand.h"

#include "instance/ImportChannel.h"
#include "instance/InstanceChannel.h"
#include "sync/SyncController.h"

#include <memory>

#include <QCoreApplication>

void ServeSyncCommand(InstanceServer& server, dw::sync::SyncController& controller)
{
    server.registerDeferredCommand(QStringLiteral("sync"), [&controller](const QJsonObject& request,
                                                                         InstanceServer::Answer answer) {
        const QString password = request.value(QStringLiteral("password")).toString();
        if (!password.isEmpty() && !controller.hasPassword())
            controller.setPassword(password);
        if (!controller.account().set())
            return answer(dw::instance::ImportFailure(QCoreApplication::translate(
                "SyncCommand",
                "Es ist kein Kalender-Server eingerichtet (datumswecker --sync-account ADRESSE BENUTZER).")));
        auto finished = std::make_shared<QMetaObject::Connection>();
        auto refused = std::make_shared<QMetaObject::Connection>();
        const auto once = [finished, refused, answer](const QJsonObject& reply) {
            QObject::disconnect(*finished);
            QObject::disconnect(*refused);
            answer(reply);
        };
        *finished = QObject::connect(&controller, &dw::sync::SyncController::finished,
                                     [once](const dw::sync::SyncReport& report) {
                                         once(report.ok() ? dw::instance::ImportAnswer(report.fullText())
                                                          : dw::instance::ImportFailure(report.fullText()));
                                     });
        *refused = QObject::connect(
            &controller, &dw::sync::SyncController::passwordNeeded, [once](const QString& reason) {
                once(dw::instance::ImportFailure(reason +
                                                 QStringLiteral(" (datumswecker --sync --password-stdin)")));
            });
        controller.syncNow();
    });
}
