#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// Every message box, question, input box and file dialog of the program goes
// through the installed Prompter, so that tests can answer and record them.
class Prompter {
public:
    enum class Icon { None, Information, Warning, Error, Question };
    // What a save dialog does when the chosen file exists: ask before replacing
    // it, or take it without a question because the caller updates the file
    // rather than replacing it.
    enum class Existing { Ask, Update };

    virtual ~Prompter() = default;

    // Yes/No question with the question icon; returns true for Yes.
    virtual bool ask(const QString& text, const QString& caption, bool defaultYes) = 0;
    // A question with buttons of its own (captions with '&'); returns the
    // index of the button pressed, or -1 when the box was closed without one.
    // A prompter that has no such box asks Yes/No for the first button.
    virtual int choose(const QString& text, const QString& caption, const QStringList& /*buttons*/,
                       int defaultButton)
    {
        return ask(text, caption, defaultButton == 0) ? 0 : -1;
    }
    // A message with an OK button.
    virtual void message(const QString& text, const QString& caption, Icon icon) = 0;
    // Input box; nullopt when cancelled.
    virtual std::optional<QString> inputText(const QString& caption, const QString& label,
                                             const QString& value) = 0;
    // Input box whose text is not shown (a password); nullopt when cancelled.
    // A prompter that has no such box asks through inputText.
    virtual std::optional<QString> inputSecret(const QString& caption, const QString& label)
    {
        return inputText(caption, label, QString());
    }
    // File dialogs; an empty string when cancelled. `filter` is a Qt name filter
    // ("Archiwa (*.zip)"), shown as written; an open dialog matches its patterns
    // in any letter case. `defaultSuffix` is added when the name has none. The
    // directory of an open dialog may end with the proposed name ("…/*.zip").
    virtual QString openFile(const QString& caption, const QString& directory,
                             const QString& filter, const QString& defaultSuffix) = 0;
    virtual QString saveFile(const QString& caption, const QString& directory,
                             const QString& proposedName, const QString& filter,
                             const QString& defaultSuffix, Existing existing) = 0;

    void inform(const QString& text, const QString& caption)
    {
        message(text, caption, Icon::Information);
    }
    void warn(const QString& text, const QString& caption)
    {
        message(text, caption, Icon::Warning);
    }
    void error(const QString& text, const QString& caption) { message(text, caption, Icon::Error); }
};

// The installed prompter. Until one is installed, a silent one answers No,
// cancels every dialog and shows nothing.
Prompter& prompter();
// Installs `p` (nullptr restores the silent one) and returns the previous one.
std::unique_ptr<Prompter> installPrompter(std::unique_ptr<Prompter> p);
