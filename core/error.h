#pragma once

#include <QString>

#include <functional>
#include <stdexcept>

// A failure a command did not handle itself. Its text is shown to the user.
class RezydoError : public std::runtime_error {
public:
    explicit RezydoError(const QString& text)
        : std::runtime_error(text.toStdString())
        , m_text(text)
    {
    }
    const QString& text() const { return m_text; }

private:
    QString m_text;
};

// The general error handling: runs `action`; whatever it throws is shown in an
// error box titled with the program's name, and the program goes on. Returns
// false when the action failed. Every menu command and button runs through it,
// so no exception ever crosses a Qt event handler.
bool guarded(const std::function<void()>& action);
