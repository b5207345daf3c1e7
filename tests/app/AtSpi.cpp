#include "AtSpi.h"

#include "XSession.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusVariant>

namespace dwtest::atspi {

namespace {
const QString Accessible = QStringLiteral("org.a11y.atspi.Accessible");
}

Node Root()
{
    return {QStringLiteral("org.a11y.atspi.Registry"), QStringLiteral("/org/a11y/atspi/accessible/root")};
}

QDBusMessage Call(QDBusConnection& bus, const Node& node, const QString& interface, const QString& method,
                  const QVariantList& args)
{
    QDBusMessage call = QDBusMessage::createMethodCall(node.service, node.path, interface, method);
    call.setArguments(args);
    return bus.call(call, QDBus::Block, 5000);
}

QList<Node> Children(QDBusConnection& bus, const Node& node)
{
    QList<Node> children;
    const QDBusMessage reply = Call(bus, node, Accessible, QStringLiteral("GetChildren"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return children;
    const QDBusArgument list = reply.arguments().constFirst().value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        Node child;
        QDBusObjectPath path;
        list.beginStructure();
        list >> child.service >> path;
        list.endStructure();
        child.path = path.path();
        children << child;
    }
    list.endArray();
    return children;
}

QVariant Property(QDBusConnection& bus, const Node& node, const QString& name)
{
    const QDBusMessage reply = Call(bus, node, QStringLiteral("org.freedesktop.DBus.Properties"),
                                    QStringLiteral("Get"), {Accessible, name});
    return reply.arguments().isEmpty()
               ? QVariant()
               : qvariant_cast<QDBusVariant>(reply.arguments().constFirst()).variant();
}

QString RoleName(QDBusConnection& bus, const Node& node)
{
    const QDBusMessage reply = Call(bus, node, Accessible, QStringLiteral("GetRoleName"));
    return reply.arguments().isEmpty() ? QString() : reply.arguments().constFirst().toString();
}

bool HasState(QDBusConnection& bus, const Node& node, int state)
{
    const QDBusMessage reply = Call(bus, node, Accessible, QStringLiteral("GetState"));
    if (reply.arguments().isEmpty())
        return false;
    // Two words of bits.
    QList<uint> words;
    const QDBusArgument array = reply.arguments().constFirst().value<QDBusArgument>();
    array >> words;
    const auto word = static_cast<qsizetype>(state / 32);
    return word < words.size() && (words[word] >> (state % 32)) & 1u;
}

QRect Extents(QDBusConnection& bus, const Node& node)
{
    const QDBusMessage reply =
        Call(bus, node, QStringLiteral("org.a11y.atspi.Component"), QStringLiteral("GetExtents"), {0u});
    if (reply.arguments().isEmpty())
        return {};
    int x = 0, y = 0, w = 0, h = 0;
    const QDBusArgument box = reply.arguments().constFirst().value<QDBusArgument>();
    box.beginStructure();
    box >> x >> y >> w >> h;
    box.endStructure();
    return {x, y, w, h};
}

bool HoldsRows(const QString& role)
{
    static const QStringList roles{QStringLiteral("tree"), QStringLiteral("tree table"),
                                   QStringLiteral("table"), QStringLiteral("list")};
    return roles.contains(role);
}

std::optional<Node> ShownWindow(QDBusConnection& bus, const QString& title)
{
    std::optional<Node> found;
    PollUntil(
        [&] {
            for (const Node& program : Children(bus, Root()))
                for (const Node& top : Children(bus, program))
                    if (Property(bus, top, QStringLiteral("Name")).toString() == title &&
                        HasState(bus, top, Showing))
                        found = top;
            return found.has_value();
        },
        XSession::WaitMs);
    return found;
}

void WalkShown(QDBusConnection& bus, const Node& node, const std::function<bool(const Node&)>& visit)
{
    for (const Node& child : Children(bus, node))
        if (HasState(bus, child, Showing) && visit(child))
            WalkShown(bus, child, visit);
}

} // namespace dwtest::atspi
