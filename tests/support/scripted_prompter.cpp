#include "tests/support/scripted_prompter.h"

bool ScriptedPrompter::ask(const QString& text, const QString& caption, bool defaultYes)
{
    shown.append({Shown::Question, caption, text, Icon::Question, defaultYes, {}, Existing::Ask});
    if (answers.empty()) {
        ++unanswered;
        return false;
    }
    const bool a = answers.front();
    answers.pop_front();
    return a;
}

int ScriptedPrompter::choose(const QString& text, const QString& caption,
                             const QStringList& buttons, int defaultButton)
{
    QStringList marked = buttons;
    if (defaultButton >= 0 && defaultButton < marked.size())
        marked[defaultButton].prepend(QLatin1Char('*'));
    shown.append({Shown::Question, caption, text, Icon::Question, defaultButton == 0,
                  marked.join(QLatin1Char('|')), Existing::Ask});
    if (choices.empty()) {
        ++unanswered;
        return -1;
    }
    const int c = choices.front();
    choices.pop_front();
    return c;
}

void ScriptedPrompter::message(const QString& text, const QString& caption, Icon icon)
{
    shown.append({Shown::Message, caption, text, icon, false, {}, Existing::Ask});
}

std::optional<QString> ScriptedPrompter::inputText(const QString& caption, const QString& label,
                                                   const QString& value)
{
    shown.append({Shown::Input, caption, label, Icon::None, false, value, Existing::Ask});
    if (inputs.empty()) {
        ++unanswered;
        return std::nullopt;
    }
    const bool given = inputs.front().has_value();
    const QString text = inputs.front().value_or(QString());
    inputs.pop_front();
    if (!given)
        return std::nullopt;
    return text;
}

QString ScriptedPrompter::openFile(const QString& caption, const QString& directory,
                                   const QString& filter, const QString& defaultSuffix)
{
    shown.append({Shown::OpenFile, caption, directory, Icon::None, false,
                  filter + QLatin1Char('|') + defaultSuffix, Existing::Ask});
    if (files.empty()) {
        ++unanswered;
        return {};
    }
    QString f = files.front();
    files.pop_front();
    return f;
}

QString ScriptedPrompter::saveFile(const QString& caption, const QString& directory,
                                   const QString& proposedName, const QString& filter,
                                   const QString& defaultSuffix, Existing existing)
{
    shown.append({Shown::SaveFile, caption, directory, Icon::None, false,
                  proposedName + QLatin1Char('|') + filter + QLatin1Char('|') + defaultSuffix,
                  existing});
    if (files.empty()) {
        ++unanswered;
        return {};
    }
    QString f = files.front();
    files.pop_front();
    return f;
}

QStringList ScriptedPrompter::log() const
{
    QStringList out;
    for (const Shown& s : shown)
        out << s.caption + QLatin1Char('|') + s.text;
    return out;
}

QList<ScriptedPrompter::Shown> ScriptedPrompter::messages(Icon icon) const
{
    QList<Shown> out;
    for (const Shown& s : shown)
        if (s.kind == Shown::Message && s.icon == icon)
            out << s;
    return out;
}

ScopedPrompter::ScopedPrompter()
{
    auto p = std::make_unique<ScriptedPrompter>();
    m_prompter = p.get();
    m_previous = installPrompter(std::move(p));
}

ScopedPrompter::~ScopedPrompter()
{
    installPrompter(std::move(m_previous));
}
