#include "TestProfiles.hpp"

#include <QFile>

#include <bit>

using namespace Qt::StringLiterals;

namespace tavelor::test {
namespace {

// Every field, strings with their presence and length and numbers as bit patterns.
QString described(const QList<WindowProfile>& profiles)
{
    QString out;
    const auto text = [&](const std::optional<QString>& t) {
        out += t ? u"+%1:"_s.arg(t->size()) + *t : u"-"_s;
    };
    const auto number = [&](double d) { out += u" %1"_s.arg(std::bit_cast<quint64>(d), 0, 16); };
    for (const WindowProfile& p : profiles) {
        out += p.id.toString() + (p.isActive ? u"*"_s : u"/"_s) +
               (p.applyOnDisplayConnect ? u"@"_s : u""_s);
        text(p.name);
        number(p.createdAt);
        number(p.updatedAt);
        for (const WindowSnapshot& s : p.snapshots) {
            for (const auto& t : {s.bundleIdentifier, s.appName, s.windowTitle})
                text(t);
            for (double d : {s.frame.x, s.frame.y, s.frame.width, s.frame.height})
                number(d);
        }
        for (const Monitor& m : p.displays ? p.displays->monitors : QList<Monitor>{}) {
            for (const QString& t : {m.connector, m.maker, m.model, m.serial})
                text(t);
            for (double d : {m.x, m.y, m.width, m.height, m.scale})
                number(d);
        }
        out += u"]"_s;
    }
    return out;
}

} // namespace

bool identical(const QList<WindowProfile>& a, const QList<WindowProfile>& b)
{
    return described(a) == described(b);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

} // namespace tavelor::test
