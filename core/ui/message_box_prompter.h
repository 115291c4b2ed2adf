#pragma once

#include "core/prompter.h"

class QFileDialog;
class QWidget;

// The production Prompter: Qt message boxes, input box and file dialogs,
// parented to the active window.
class MessageBoxPrompter final : public Prompter {
public:
    bool ask(const QString& text, const QString& caption, bool defaultYes) override;
    int choose(const QString& text, const QString& caption, const QStringList& buttons,
               int defaultButton) override;
    void message(const QString& text, const QString& caption, Icon icon) override;
    std::optional<QString> inputText(const QString& caption, const QString& label,
                                     const QString& value) override;
    std::optional<QString> inputSecret(const QString& caption, const QString& label) override;
    QString openFile(const QString& caption, const QString& directory, const QString& filter,
                     const QString& defaultSuffix) override;
    QString saveFile(const QString& caption, const QString& directory, const QString& proposedName,
                     const QString& filter, const QString& defaultSuffix,
                     Existing existing) override;
};

// The name filter an open dialog gets for `filter`: the filter as written,
// then in brackets its patterns and their any-case forms ("baza.mdb" also as
// "[Bb][Aa][Zz][Aa].[Mm][Dd][Bb]"). A dialog hiding the filter details shows
// the filter as written; Qt's dialog and the systems' dialogs match the
// patterns in brackets, so a case-sensitive one finds "Baza.mdb" as well.
QString anyCaseNameFilter(const QString& filter);

// Sets up a dialog for opening one existing file as every open dialog of the
// program is: `filter` through anyCaseNameFilter, and the default suffix.
void setUpOpenDialog(QFileDialog& dialog, const QString& filter, const QString& defaultSuffix);
