#include "TestProfiles.hpp"

#include <bit>
#include <cmath>
#include <limits>
#include <random>

using namespace Qt::StringLiterals;

namespace tavelor::test {
namespace {

struct Generator {
    std::mt19937_64 engine;

    int upTo(int n) { return std::uniform_int_distribution<int>(0, n - 1)(engine); }

    double number()
    {
        using limits = std::numeric_limits<double>;
        const double picks[] = {
            upTo(4000) - 1000.0, upTo(2) ? -0.0 : 0.0, limits::denorm_min() * (1 + upTo(1000)),
            std::ldexp(1.0 + upTo(1 << 20), 60 + upTo(900)), limits::max() * (upTo(2) ? 1 : -1)};
        const int pick = upTo(8); // or any finite bit pattern
        for (double d = pick < 5 ? picks[pick] : limits::quiet_NaN();;
             d = std::bit_cast<double>(engine()))
            if (std::isfinite(d))
                return d;
    }

    QString text()
    {
        static const char32_t pieces[] = U"aZ /\\\"\n\t\x01\x1f\x7f\u00e9\u00a0\u2028\u00df\u0301"
                                         U"\u6f22\U0001F600&_";
        QString s;
        for (int i = upTo(24); i > 0; --i)
            s += QString::fromUcs4(&pieces[upTo(static_cast<int>(std::size(pieces)) - 1)], 1);
        return s;
    }

    std::optional<QString> optionalText()
    {
        const int pick = upTo(5);
        return pick == 0 ? std::nullopt : std::optional(pick == 1 ? QString() : text());
    }
};

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
    Generator g{std::mt19937_64(seed)};
    QList<WindowProfile> profiles;
    for (int p = 0; p < profileCount; ++p) {
        QByteArray id(16, '\0');
        for (auto& b : id)
            b = static_cast<char>(g.upTo(256));
        profiles.append(
            {QUuid::fromRfc4122(id), g.text(), {}, g.upTo(2) == 1, g.number(), g.number()});
        for (int w = windows < 0 ? g.upTo(6) : windows; w > 0; --w)
            profiles.back().snapshots.append({g.optionalText(),
                                              g.optionalText(),
                                              g.optionalText(),
                                              {g.number(), g.number(), g.number(), g.number()}});
    }
    return profiles;
}

bool identical(const QList<WindowProfile>& a, const QList<WindowProfile>& b)
{
    return described(a) == described(b);
}

} // namespace tavelor::test
