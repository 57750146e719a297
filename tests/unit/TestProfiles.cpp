#include "TestProfiles.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <random>

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
        const int pick = upTo(8);
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

    QUuid uuid()
    {
        QByteArray bytes(16, '\0');
        for (auto& b : bytes)
            b = static_cast<char>(upTo(256));
        return QUuid::fromRfc4122(bytes);
    }
};

bool same(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

bool same(const std::optional<QString>& a, const std::optional<QString>& b)
{
    return a.has_value() == b.has_value() && (!a || *a == *b);
}

} // namespace

QList<WindowProfile> makeRandomProfiles(std::uint64_t seed, int profileCount, int windows)
{
    Generator g{std::mt19937_64(seed)};
    QList<WindowProfile> profiles;
    for (int p = 0; p < profileCount; ++p) {
        profiles.append({g.uuid(), g.text(), {}, g.upTo(2) == 1, g.number(), g.number()});
        for (int w = windows < 0 ? g.upTo(6) : windows; w > 0; --w)
            profiles.back().snapshots.append({g.optionalText(),
                                              g.optionalText(),
                                              g.optionalText(),
                                              {g.number(), g.number(), g.number(), g.number()}});
    }
    return profiles;
}

QList<WindowProfile> makeTypicalProfiles(int profileCount, int windowsPerProfile)
{
    static const char* apps[][2] = {{"org.mozilla.firefox", "Firefox"},
                                    {"org.gnome.Terminal", "Terminal"},
                                    {"code", "Visual Studio Code"},
                                    {"org.kde.dolphin", "Dolphin"},
                                    {"thunderbird", "Thunderbird"}};
    Generator g{std::mt19937_64(42)};
    QList<WindowProfile> profiles;
    for (int p = 0; p < profileCount; ++p) {
        profiles.append({g.uuid(),
                         QStringLiteral("Desk %1").arg(p),
                         {},
                         p == 0,
                         790162200.25 + p,
                         791834712.5 + p});
        for (int w = 0; w < windowsPerProfile; ++w) {
            const auto& app = apps[g.upTo(5)];
            profiles.back().snapshots.append(
                {QString::fromLatin1(app[0]),
                 QString::fromLatin1(app[1]),
                 QStringLiteral("Document %1 — %2/%3").arg(w).arg(p).arg(QLatin1String(app[1])),
                 {double(g.upTo(1920)), double(25 + g.upTo(1000)), double(200 + g.upTo(1700)),
                  150.5 + g.upTo(1000)}});
        }
    }
    return profiles;
}

bool identical(const QList<WindowProfile>& a, const QList<WindowProfile>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& p, const auto& q) {
        return p.id == q.id && p.name == q.name && p.isActive == q.isActive &&
               same(p.createdAt, q.createdAt) && same(p.updatedAt, q.updatedAt) &&
               std::equal(p.snapshots.begin(), p.snapshots.end(), q.snapshots.begin(),
                          q.snapshots.end(), [](const auto& s, const auto& t) {
                              return same(s.bundleIdentifier, t.bundleIdentifier) &&
                                     same(s.appName, t.appName) &&
                                     same(s.windowTitle, t.windowTitle) &&
                                     same(s.frame.x, t.frame.x) && same(s.frame.y, t.frame.y) &&
                                     same(s.frame.width, t.frame.width) &&
                                     same(s.frame.height, t.frame.height);
                          });
    });
}

} // namespace tavelor::test
