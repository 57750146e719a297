#include "TypicalProfiles.hpp"

#include <QUuid>

namespace tavelor::bench {

using namespace Qt::StringLiterals;

QList<WindowProfile> makeTypicalProfiles(int profileCount, int windowsPerProfile)
{
    static const char* apps[] = {"org.mozilla.firefox", "org.gnome.Terminal", "code",
                                 "org.kde.dolphin", "thunderbird"};
    QList<WindowProfile> profiles;
    for (int p = 0; p < profileCount; ++p) {
        profiles.append({QUuid::createUuidV5(QUuid(), QString::number(p)),
                         u"Desk %1"_s.arg(p),
                         {},
                         p == 0,
                         790162200.25 + p,
                         791834712.5 + p});
        for (int w = 0; w < windowsPerProfile; ++w) {
            const QString app = QString::fromLatin1(apps[(p + w) % 5]);
            profiles.back().snapshots.append({app,
                                              app.section('.', -1),
                                              u"Document %1 — %2/%3"_s.arg(w).arg(p).arg(app),
                                              {double(w * 37 % 1920), double(25 + w * 53 % 1000),
                                               double(200 + p * 31 % 1700), 150.5 + w}});
        }
    }
    return profiles;
}

} // namespace tavelor::bench
