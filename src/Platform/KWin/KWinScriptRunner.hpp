#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <map>
#include <memory>
#include <optional>

class QDeadlineTimer;
class QEventLoop;
class QTemporaryFile;

namespace tavelor::kwin {

/// Runs one KWin script and waits for its one answer.
///
/// The script is loaded through KWin's Scripting object on the session bus,
/// run, and unloaded; it answers by calling deliver() on an object this runner
/// exports on Tavelor's own connection, found by the connection's unique name.
/// The script's text is prefixed with `const tavelorReply = {service, path,
/// token};` and any request data, so it needs no other channel.
///
/// KWin may be restarting, busy or gone: every D-Bus call and the wait for the
/// answer share one bound, after which run() gives up and answers nothing.
/// Events other than user input are processed while waiting. Main thread only.
class KWinScriptRunner final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "app.tavelor.KWinScriptReply")

public:
    explicit KWinScriptRunner(std::chrono::milliseconds bound);
    ~KWinScriptRunner() override;
    KWinScriptRunner(const KWinScriptRunner&) = delete;
    KWinScriptRunner& operator=(const KWinScriptRunner&) = delete;

    /// Runs `script` (JavaScript) with `requestJson` bound to the constant
    /// `request`; the script's answer, or nothing when it did not come in time.
    std::optional<QString> run(const QString& script, const QString& requestJson);

    /// Loads and starts `script` with `requestJson` bound to `request`, and
    /// leaves it loaded: a script that connects to KWin's signals keeps
    /// running until unload(plugin). False when KWin did not load it.
    bool load(const QString& plugin, const QString& script, const QString& requestJson);
    void unload(const QString& plugin);

    /// True when KWin's Scripting object answers on the session bus now.
    bool kwinAnswers();

    std::chrono::milliseconds bound() const { return m_bound; }

    /// Called by the script through callDBus(); answers of runs other than the
    /// current one (late, or sent by anyone else) are ignored.
    Q_SCRIPTABLE Q_SLOT void deliver(const QString& token, const QString& answer);

private:
    std::unique_ptr<QTemporaryFile> loadFile(const QString& plugin, const QByteArray& prefix,
                                             const QString& script, const QString& requestJson,
                                             const QDeadlineTimer& deadline);

    QString m_path;
    std::chrono::milliseconds m_bound;
    bool m_registered = false;
    QString m_token;
    std::optional<QString> m_answer;
    QEventLoop* m_waiting = nullptr;
    // The files of loaded scripts: KWin reads one when it starts it.
    std::map<QString, std::unique_ptr<QTemporaryFile>> m_loaded;
};

} // namespace tavelor::kwin
