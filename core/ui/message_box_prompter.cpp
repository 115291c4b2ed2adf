#include "core/ui/message_box_prompter.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

namespace {
QWidget* parentWindow()
{
    return QApplication::activeWindow();
}

QMessageBox::Icon boxIcon(Prompter::Icon icon)
{
    switch (icon) {
    case Prompter::Icon::Information:
        return QMessageBox::Information;
    case Prompter::Icon::Warning:
        return QMessageBox::Warning;
    case Prompter::Icon::Error:
        return QMessageBox::Critical;
    case Prompter::Icon::Question:
        return QMessageBox::Question;
    case Prompter::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

bool MessageBoxPrompter::ask(const QString& text, const QString& caption, bool defaultYes)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                    parentWindow());
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Tak"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Nie"));
    box.setDefaultButton(defaultYes ? QMessageBox::Yes : QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

int MessageBoxPrompter::choose(const QString& text, const QString& caption,
                               const QStringList& buttons, int defaultButton)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, parentWindow());
    QList<QAbstractButton*> added;
    for (const QString& b : buttons)
        added << box.addButton(b, QMessageBox::AcceptRole);
    if (defaultButton >= 0 && defaultButton < added.size())
        box.setDefaultButton(qobject_cast<QPushButton*>(added[defaultButton]));
    // Escape leaves the box without a choice.
    box.setEscapeButton(static_cast<QAbstractButton*>(nullptr));
    box.exec();
    return int(added.indexOf(box.clickedButton()));
}

void MessageBoxPrompter::message(const QString& text, const QString& caption, Icon icon)
{
    QMessageBox box(boxIcon(icon), caption, text, QMessageBox::Ok, parentWindow());
    box.exec();
}

std::optional<QString> MessageBoxPrompter::inputText(const QString& caption, const QString& label,
                                                     const QString& value)
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(parentWindow(), caption, label, QLineEdit::Normal, value, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

std::optional<QString> MessageBoxPrompter::inputSecret(const QString& caption, const QString& label)
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(parentWindow(), caption, label, QLineEdit::Password, QString(), &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QString MessageBoxPrompter::openFile(const QString& caption, const QString& directory,
                                     const QString& filter, const QString& defaultSuffix)
{
    QFileDialog dialog(parentWindow(), caption, directory);
    setUpOpenDialog(dialog, filter, defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString MessageBoxPrompter::saveFile(const QString& caption, const QString& directory,
                                     const QString& proposedName, const QString& filter,
                                     const QString& defaultSuffix, Existing existing)
{
    QFileDialog dialog(parentWindow(), caption, directory, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, existing == Existing::Update);
    if (!proposedName.isEmpty())
        dialog.selectFile(QDir(directory).filePath(proposedName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString anyCaseNameFilter(const QString& filter)
{
    // "Name (patterns)" or the bare patterns.
    static const QRegularExpression named(QStringLiteral("^(.*)\\(([^()]*)\\)\\s*$"));
    const QRegularExpressionMatch match = named.match(filter);
    const QStringList patterns =
        (match.hasMatch() ? match.captured(2) : filter).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QStringList all = patterns;
    for (const QString& pattern : patterns) {
        if (pattern.contains(QLatin1Char('[')))
            continue; // already spelled with brackets
        QString anyCase;
        for (const QChar c : pattern) {
            if (c.toLower() == c.toUpper()) {
                anyCase += c;
                continue;
            }
            anyCase += QLatin1Char('[');
            anyCase += c.toUpper();
            anyCase += c.toLower();
            anyCase += QLatin1Char(']');
        }
        if (anyCase != pattern)
            all << anyCase;
    }
    return filter + QStringLiteral(" (") + all.join(QLatin1Char(' ')) + QLatin1Char(')');
}

void setUpOpenDialog(QFileDialog& dialog, const QString& filter, const QString& defaultSuffix)
{
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilter(anyCaseNameFilter(filter));
    dialog.setDefaultSuffix(defaultSuffix);
}
