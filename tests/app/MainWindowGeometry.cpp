#include "MainWindowGeometry.h"

#include "app/MainForm.h"
#include "platform/ProgramFolder.h"

#include <QRegularExpression>
#include <QTemporaryDir>

namespace dwtest {

QPoint ControlInMainWindow(const char* objectName)
{
    return ControlRectInMainWindow(objectName).center();
}

QRect ControlRectInMainWindow(const char* objectName, bool editPages)
{
    QTemporaryDir dir;
    dw::SetModuleFileNameForTesting(dir.filePath(QStringLiteral("datumswecker")));
    QRect at;
    {
        TMainForm form;
        form.setAttribute(Qt::WA_DontShowOnScreen);
        form.skipFirstShowCheck(); // no reminder check here
        if (auto* pages = form.findChild<QWidget*>(QStringLiteral("Panel12")); pages && editPages)
            pages->setVisible(true);
        form.show();
        if (auto* control = form.findChild<QWidget*>(QLatin1String(objectName)))
            at = QRect(control->mapTo(&form, QPoint(0, 0)), control->size());
        form.hide();
    }
    dw::SetModuleFileNameForTesting(QString());
    return at;
}

QPoint ClientAreaOrigin(const XSession& x, qulonglong window)
{
    const QString info = x.run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(window)});
    const QRegularExpressionMatch m =
        QRegularExpression(
            QStringLiteral("Absolute upper-left X:\\s+(-?\\d+)\\s+Absolute upper-left Y:\\s+(-?\\d+)"))
            .match(info);
    return m.hasMatch() ? QPoint(m.captured(1).toInt(), m.captured(2).toInt()) : QPoint();
}

} // namespace dwtest
