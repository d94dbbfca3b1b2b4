#include "window/keynames.h"

#include <QAction>

namespace KeyNames {

QString german(const QKeySequence &keys) {
    QStringList parts;
    for (int i = 0; i < keys.count(); ++i) {
        const QKeyCombination combination = keys[i];
        const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
        QString name;
        if (modifiers & Qt::ControlModifier)
            name += QStringLiteral("Strg+");
        if (modifiers & Qt::AltModifier)
            name += QStringLiteral("Alt+");
        if (modifiers & Qt::ShiftModifier)
            name += QStringLiteral("Umschalt+");
        name += QKeySequence(combination.key()).toString(QKeySequence::PortableText);
        parts << name;
    }
    return parts.join(QStringLiteral(", "));
}

QString line(const QKeySequence &keys, const QString &what) {
    return german(keys) + QStringLiteral(": ") + what + QLatin1Char('\n');
}

QString list(const QList<QAction *> &actions) {
    QString text;
    for (const QAction *action : actions)
        if (!action->shortcut().isEmpty())
            text += line(action->shortcut(), action->text());
    return text;
}

} // namespace KeyNames
