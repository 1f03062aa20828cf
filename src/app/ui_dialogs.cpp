#include "app/ui_dialogs.h"

#include "app/qt_dialogs.h"

namespace tgm {
namespace {

QtDialogs& qt_dialogs() {
    static QtDialogs dialogs;
    return dialogs;
}

UiDialogs* current = nullptr;

QString any_case(const QString& pattern) {
    QString out;
    for (const QChar c : pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper())
            out += QStringLiteral("[%1%2]").arg(c.toUpper(), c.toLower());
        else
            out += c;
    }
    return out;
}

} // namespace

UiDialogs& ui_dialogs() { return current ? *current : qt_dialogs(); }

UiDialogs* set_ui_dialogs(UiDialogs* dialogs) {
    UiDialogs* previous = current ? current : &qt_dialogs();
    current = dialogs;
    return previous;
}

QStringList qt_filters(const QString& filter_text) {
    const QStringList parts = filter_text.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList typed, patterns;
        for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            typed << p.trimmed();
            patterns << any_case(p.trimmed());
        }
        // The dialogs hide the patterns; a filter without a description shows them as typed.
        const QString description = parts[i].isEmpty() ? typed.join(QLatin1Char(' ')) : parts[i];
        out << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                   QLatin1Char(')');
    }
    return out;
}

} // namespace tgm
