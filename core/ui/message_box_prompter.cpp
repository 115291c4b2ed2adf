#include "core/ui/message_box_prompter.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

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

QString MessageBoxPrompter::openFile(const QString& caption, const QString& directory,
                                     const QString& filter)
{
    return QFileDialog::getOpenFileName(parentWindow(), caption, directory, filter);
}

QString MessageBoxPrompter::saveFile(const QString& caption, const QString& directory,
                                     const QString& proposedName, const QString& filter,
                                     const QString& defaultSuffix)
{
    QFileDialog dialog(parentWindow(), caption, directory, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    if (!proposedName.isEmpty())
        dialog.selectFile(QDir(directory).filePath(proposedName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}
