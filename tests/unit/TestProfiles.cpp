#include "TestProfiles.hpp"

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

QList<WindowProfile> makeRandomProfiles(std::uint64_t seed, int profileCount, int windows)
{
    QList<WindowProfile> out;
    const auto base = static_cast<double>(seed);
    for (int p = 0; p < profileCount; ++p) {
        const QUuid id = QUuid::createUuidV5(QUuid(), u"%1/%2"_s.arg(seed).arg(p));
        out.append({id, QString::number(p), {}, p == 0, base, base + p});
        for (int w = windows < 0 ? p % 6 : windows; w > 0; --w)
            out.back().snapshots.append(
                {u"org.example.App"_s, u"App"_s, u"Window %1"_s.arg(w), {base + w, 2.5, 640, 480}});
    }
    return out;
}

bool identical(const QList<WindowProfile>& a, const QList<WindowProfile>& b)
{
    return described(a) == described(b);
}

} // namespace tavelor::test
