#pragma once

#include "core/prompter.h"

class QWidget;

// The production Prompter: Qt message boxes, input box and file dialogs,
// parented to the active window.
class MessageBoxPrompter final : public Prompter {
public:
    bool ask(const QString& text, const QString& caption, bool defaultYes) override;
    void message(const QString& text, const QString& caption, Icon icon) override;
    std::optional<QString> inputText(const QString& caption, const QString& label,
                                     const QString& value) override;
    QString openFile(const QString& caption, const QString& directory,
                     const QString& filter) override;
    QString saveFile(const QString& caption, const QString& directory, const QString& proposedName,
                     const QString& filter, const QString& defaultSuffix) override;
};
