#include "gui/AccessibleNames.h"

#include <QComboBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>

namespace qm {

namespace {

// The context of the nearest enclosing widget that names one.
QString ContextOf(const QWidget* control) {
    for (const QWidget* w = control->parentWidget(); w; w = w->parentWidget())
        if (const QVariant context = w->property(kAccessibleContext); context.isValid()) return context.toString();
    return {};
}

QString LabelText(const QLabel& label) {
    QString text = WithoutMnemonic(label.text()).trimmed();
    if (text.endsWith(QLatin1Char(':'))) text.chop(1);
    return text;
}

}  // namespace

QString WithoutMnemonic(const QString& caption) {
    QString text;
    text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size()) ++i;  // "&&" keeps one
        text += caption[i];
    }
    return text;
}

void NameControlsByTheirLabels(QWidget* root) {
    const QList<QLabel*> labels = root->findChildren<QLabel*>();
    QHash<QString, int> uses;
    for (const QLabel* label : labels)
        if (label->buddy()) ++uses[LabelText(*label)];
    for (const QLabel* label : labels) {
        QWidget* control = label->buddy();
        if (!control) continue;
        if (control->accessibleName().isEmpty()) {
            QString name = LabelText(*label);
            const QString context = ContextOf(control);
            if (uses.value(name) > 1 && !context.isEmpty()) name = context + QStringLiteral(": ") + name.toLower();
            control->setAccessibleName(name);
        }
        if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->lineEdit())
            combo->lineEdit()->setAccessibleName(control->accessibleName());
    }
}

}  // namespace qm
