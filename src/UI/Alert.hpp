#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace tavelor {

/// A modal alert: a message, an informative text, a style, an optional text
/// field below the texts and buttons in the order they were added. The first
/// button is the default one (Return chooses it); the text field, when there
/// is one, has the keyboard focus from the start.
///
/// runModal() answers kFirstButtonReturn + the index of the chosen button, or
/// kAbortedReturn when the alert was closed without one (Escape, the window's
/// close button), which callers treat like any button but the one they wait
/// for.
///
/// Tests answer alerts through setModalHookForTesting(): while a hook is set,
/// runModal() shows nothing and answers what the hook answers; the hook sees
/// the whole alert and may type into its text field.
class Alert {
public:
    enum class Style : int {
        Warning = 0,
        Informational = 1,
        Critical = 2,
    };

    static constexpr int kFirstButtonReturn = 1000;
    static constexpr int kAbortedReturn = -1000;

    QString messageText;
    QString informativeText;
    Style style = Style::Warning;

    void addButton(const QString& title) { m_buttons.append(title); }
    const QStringList& buttons() const { return m_buttons; }

    /// Adds the text field (240 x 24), starting with `text`.
    void setTextField(const QString& text) { m_textField = text; }
    bool hasTextField() const { return m_textField.has_value(); }
    /// What the field holds (as the user left it, after runModal()); empty
    /// without a field.
    QString textFieldString() const { return m_textField.value_or(QString()); }
    void setTextFieldString(const QString& text);

    int runModal();

    using ModalHook = std::function<int(Alert& alert)>;
    /// Replaces the dialog for every later runModal(); an empty hook brings
    /// the dialog back.
    static void setModalHookForTesting(ModalHook hook);

private:
    int runDialog();

    QStringList m_buttons;
    std::optional<QString> m_textField;
};

} // namespace tavelor
