#pragma once

#include "core/prompter.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>

// A Prompter for tests: answers questions and dialogs from queues and records
// every box it was asked to show, with caption, text and icon.
class ScriptedPrompter final : public Prompter {
public:
    struct Shown {
        enum Kind { Question, Message, Input, OpenFile, SaveFile } kind;
        QString caption;
        QString text; // the message, the input label, or the dialog's directory
        Icon icon = Icon::None;
        bool defaultYes = false; // questions only
        // File dialogs: "filter|suffix" when opening, "name|filter|suffix" when saving;
        // choices: the buttons, "|" between them, the default one marked with "*".
        QString extra;
        Existing existing = Existing::Ask; // save dialogs only
    };

    // Queued answers; an empty queue answers No / cancels, and is recorded as
    // unexpected so that a test can check nothing was left unanswered.
    std::deque<bool> answers;
    std::deque<int> choices; // button indexes for choose()
    std::deque<std::optional<QString>> inputs;
    std::deque<QString> files;

    QList<Shown> shown;
    int unanswered = 0;

    bool ask(const QString& text, const QString& caption, bool defaultYes) override;
    int choose(const QString& text, const QString& caption, const QStringList& buttons,
               int defaultButton) override;
    void message(const QString& text, const QString& caption, Icon icon) override;
    std::optional<QString> inputText(const QString& caption, const QString& label,
                                     const QString& value) override;
    QString openFile(const QString& caption, const QString& directory, const QString& filter,
                     const QString& defaultSuffix) override;
    QString saveFile(const QString& caption, const QString& directory, const QString& proposedName,
                     const QString& filter, const QString& defaultSuffix,
                     Existing existing) override;

    // The texts shown so far, one per box ("caption|text").
    QStringList log() const;
    // Messages (not questions) with the given icon.
    QList<Shown> messages(Icon icon) const;
};

// Installs a fresh ScriptedPrompter for the lifetime of the object.
class ScopedPrompter {
public:
    ScopedPrompter();
    ~ScopedPrompter();
    ScriptedPrompter& operator*() { return *m_prompter; }
    ScriptedPrompter* operator->() { return m_prompter; }

private:
    ScriptedPrompter* m_prompter;
    std::unique_ptr<Prompter> m_previous;
};
