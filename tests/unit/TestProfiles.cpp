#include "TestProfiles.hpp"

#include <bit>
#include <cmath>
#include <limits>
#include <random>

namespace tavelor::test {

namespace {

class Generator {
public:
    explicit Generator(std::uint64_t seed) : m_engine(seed) {}

    int upTo(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_engine); }

    double number()
    {
        switch (upTo(8)) {
        case 0:
            return static_cast<double>(upTo(4000) - 1000);
        case 1:
            return upTo(2) ? -0.0 : 0.0;
        case 2:
            return std::numeric_limits<double>::denorm_min() * (1 + upTo(1000));
        case 3:
            return std::ldexp(1.0 + upTo(1 << 20), 60 + upTo(900)); // huge integers
        case 4:
            return std::numeric_limits<double>::max() * (upTo(2) ? 1 : -1);
        default: {
            // Any finite bit pattern.
            for (;;) {
                const double d = std::bit_cast<double>(m_engine());
                if (std::isfinite(d))
                    return d;
            }
        }
        }
    }

    std::optional<QString> optionalText()
    {
        switch (upTo(5)) {
        case 0:
            return std::nullopt;
        case 1:
            return QString();
        default:
            return text();
        }
    }

    QString text()
    {
        static const char32_t pieces[] = {U'a',      U'Z',  U' ',          U'/',      U'\\',
                                          U'"',      U'\n', U'\t',         U'\x01',   U'\x1f',
                                          U'\x7f',   U'é',  U'\u00a0',     U'\u2028', U'ß',
                                          U'\u0301', U'漢', U'\U0001F600', U'&',      U'_'};
        QString s;
        const int length = upTo(24);
        for (int i = 0; i < length; ++i) {
            const char32_t c = pieces[upTo(static_cast<int>(std::size(pieces)))];
            s += QString::fromUcs4(&c, 1);
        }
        return s;
    }

    QUuid uuid()
    {
        QByteArray bytes(16, '\0');
        for (auto& b : bytes)
            b = static_cast<char>(upTo(256));
        return QUuid::fromRfc4122(bytes);
    }

private:
    std::mt19937_64 m_engine;
};

bool sameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

bool sameText(const std::optional<QString>& a, const std::optional<QString>& b)
{
    return a.has_value() == b.has_value() && (!a || *a == *b);
}

} // namespace

QList<WindowProfile> makeRandomProfiles(std::uint64_t seed, int profileCount, int windowsPerProfile)
{
    Generator g(seed);
    QList<WindowProfile> profiles;
    for (int p = 0; p < profileCount; ++p) {
        WindowProfile profile{g.uuid(), g.text(), {}, g.upTo(2) == 1, g.number(), g.number()};
        const int windows = windowsPerProfile < 0 ? g.upTo(6) : windowsPerProfile;
        for (int w = 0; w < windows; ++w) {
            profile.snapshots.append({g.optionalText(),
                                      g.optionalText(),
                                      g.optionalText(),
                                      {g.number(), g.number(), g.number(), g.number()}});
        }
        profiles.append(profile);
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
    Generator g(42);
    QList<WindowProfile> profiles;
    for (int p = 0; p < profileCount; ++p) {
        WindowProfile profile{
            g.uuid(),       QStringLiteral("Desk %1").arg(p), {}, p == 0, 790162200.25 + p,
            791834712.5 + p};
        for (int w = 0; w < windowsPerProfile; ++w) {
            const auto& app = apps[g.upTo(5)];
            profile.snapshots.append(
                {QString::fromLatin1(app[0]),
                 QString::fromLatin1(app[1]),
                 QStringLiteral("Document %1 — %2/%3").arg(w).arg(p).arg(QLatin1String(app[1])),
                 {static_cast<double>(g.upTo(1920)), static_cast<double>(25 + g.upTo(1000)),
                  static_cast<double>(200 + g.upTo(1700)), 150.5 + g.upTo(1000)}});
        }
        profiles.append(profile);
    }
    return profiles;
}

bool identical(const QList<WindowProfile>& a, const QList<WindowProfile>& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const WindowProfile& p = a[i];
        const WindowProfile& q = b[i];
        if (p.id != q.id || p.name != q.name || p.isActive != q.isActive ||
            !sameBits(p.createdAt, q.createdAt) || !sameBits(p.updatedAt, q.updatedAt) ||
            p.snapshots.size() != q.snapshots.size())
            return false;
        for (qsizetype j = 0; j < p.snapshots.size(); ++j) {
            const WindowSnapshot& s = p.snapshots[j];
            const WindowSnapshot& t = q.snapshots[j];
            if (!sameText(s.bundleIdentifier, t.bundleIdentifier) ||
                !sameText(s.appName, t.appName) || !sameText(s.windowTitle, t.windowTitle) ||
                !sameBits(s.frame.x, t.frame.x) || !sameBits(s.frame.y, t.frame.y) ||
                !sameBits(s.frame.width, t.frame.width) ||
                !sameBits(s.frame.height, t.frame.height))
                return false;
        }
    }
    return true;
}

} // namespace tavelor::test
