#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QList>
#include <QRect>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

// Calls on the accessibility bus (AT-SPI), as a screen reader makes them.
namespace dwtest::atspi {

// An object on the accessibility bus.
struct Node
{
    QString service;
    QString path;
    bool operator==(const Node& other) const = default;
};

// The registry's root, whose children are the programs on the bus.
Node Root();

QDBusMessage Call(QDBusConnection& bus, const Node& node, const QString& interface, const QString& method,
                  const QVariantList& args = {});
QList<Node> Children(QDBusConnection& bus, const Node& node);
// A property of the Accessible interface ("Name", "Description", "ChildCount" ...).
QVariant Property(QDBusConnection& bus, const Node& node, const QString& name);
QString RoleName(QDBusConnection& bus, const Node& node);
// Whether the object is in the state (AtspiStateType: 8 enabled, 11 focusable, 12 focused, 25 showing ...).
bool HasState(QDBusConnection& bus, const Node& node, int state);
// Where the object is on the screen.
QRect Extents(QDBusConnection& bus, const Node& node);

// AT-SPI's states.
inline constexpr int Enabled = 8;
inline constexpr int Focusable = 11;
inline constexpr int Focused = 12;
inline constexpr int Showing = 25;

// Whether a control of this role has rows of data (dates, appointments) for children.
bool HoldsRows(const QString& role);
// Waits for a shown top-level window of a program with this name.
std::optional<Node> ShownWindow(QDBusConnection& bus, const QString& title);
// Visits the shown objects below node, depth first, each before its children;
// visit says whether to go into the object's children.
void WalkShown(QDBusConnection& bus, const Node& node, const std::function<bool(const Node&)>& visit);

} // namespace dwtest::atspi
