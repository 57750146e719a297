#include "UI/Alert.hpp"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace tavelor {

namespace {

Alert::ModalHook& modalHook()
{
    static Alert::ModalHook instance;
    return instance;
}

QStyle::StandardPixmap iconFor(Alert::Style style)
{
    switch (style) {
    case Alert::Style::Informational:
        return QStyle::SP_MessageBoxInformation;
    case Alert::Style::Critical:
        return QStyle::SP_MessageBoxCritical;
    case Alert::Style::Warning:
        break;
    }
    return QStyle::SP_MessageBoxWarning;
}

} // namespace

void Alert::setTextFieldString(const QString& text)
{
    if (m_textField)
        m_textField = text;
}

void Alert::setModalHookForTesting(ModalHook hook)
{
    modalHook() = std::move(hook);
}

int Alert::runModal()
{
    if (modalHook())
        return modalHook()(*this);
    return runDialog();
}

int Alert::runDialog()
{
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Tavelor"));
    // Tavelor has no window of its own to stay above, so the alert keeps itself
    // in front of the application the user was in.
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);

    auto* icon = new QLabel(&dialog);
    const int iconSize = dialog.style()->pixelMetric(QStyle::PM_MessageBoxIconSize);
    icon->setPixmap(dialog.style()->standardIcon(iconFor(style)).pixmap(iconSize, iconSize));
    icon->setAlignment(Qt::AlignTop);

    // Plain text: the texts may hold a profile's name, which is not markup.
    auto* message = new QLabel(messageText, &dialog);
    message->setTextFormat(Qt::PlainText);
    message->setWordWrap(true);
    QFont bold = message->font();
    bold.setBold(true);
    message->setFont(bold);
    auto* informative = new QLabel(informativeText, &dialog);
    informative->setTextFormat(Qt::PlainText);
    informative->setWordWrap(true);

    auto* texts = new QVBoxLayout;
    texts->addWidget(message);
    texts->addWidget(informative);
    QLineEdit* field = nullptr;
    if (m_textField) {
        field = new QLineEdit(*m_textField, &dialog);
        field->setFixedSize(240, 24);
        texts->addWidget(field);
    }

    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addLayout(texts, 1);

    int answer = kAbortedReturn;
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    // The first button is the default and sits at the far right, the others
    // to its left in the order they were added.
    for (qsizetype i = m_buttons.size() - 1; i >= 0; --i) {
        auto* button = new QPushButton(m_buttons[i], &dialog);
        button->setAutoDefault(false);
        if (i == 0)
            button->setDefault(true);
        QObject::connect(button, &QPushButton::clicked, &dialog, [&dialog, &answer, i] {
            answer = kFirstButtonReturn + static_cast<int>(i);
            dialog.accept();
        });
        buttons->addWidget(button);
    }

    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(top);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    if (field)
        field->setFocus(Qt::OtherFocusReason);
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
    dialog.exec();
    if (field)
        m_textField = field->text();
    return answer;
}

} // namespace tavelor
