#pragma once

#include "core/prompter.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>

class QDialog;
class QMainWindow;
class QMenu;
class QWidget;

// Lets the event loop run for about `ms` milliseconds, so that layouts,
// grids and delayed loads are done before a picture is taken.
void settle(int ms = 150);

// Takes the pictures and keeps the log of what went wrong. Windows without a
// window manager have no title bar, so top-level windows get one drawn by
// the style, as the child windows of the frame draw theirs.
class Camera {
public:
    explicit Camera(QString directory);

    // A window as the receptionist sees it: a child of the frame with its own
    // title bar, a maximized child within the whole frame, a top-level
    // window with a title bar.
    void shoot(QWidget* window, const QString& name);
    // The frame with one of its menus pulled down.
    void shootMenu(QMainWindow* frame, QMenu* menu, const QString& name);

    void fail(const QString& what);
    const QStringList& failures() const { return m_failures; }
    const QStringList& saved() const { return m_saved; }

private:
    QImage decorated(QWidget* window) const;
    void save(const QImage& image, const QString& name);

    QString m_directory;
    QStringList m_saved;
    QStringList m_failures;
};

// One expected message box, question, input box or file dialog: its picture's
// name (none: no picture) and the answer given.
struct PromptStep {
    QString shot;
    bool yes = false;
    QString text; // the input box's or file dialog's answer; empty = cancel
};

// A Prompter that shows the real Qt boxes, photographs them and answers as
// the scene expects. An unexpected prompt is answered No/Cancel and counted.
class ShotPrompter final : public Prompter {
public:
    explicit ShotPrompter(Camera& camera)
        : m_camera(camera)
    {
    }

    std::deque<PromptStep> steps;

    bool ask(const QString& text, const QString& caption, bool defaultYes) override;
    // Answers the first button for "yes", else closes the box without one.
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

private:
    PromptStep next(const QString& caption, const QString& text);
    void show(QDialog& box, const QString& shot);

    Camera& m_camera;
};

// The modal windows a scene expects, in order; each step gets the dialog and
// returns its result. An unexpected one is photographed under its class name,
// rejected and counted.
class ModalScript {
public:
    explicit ModalScript(Camera& camera);
    ~ModalScript();
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    std::deque<std::function<int(QDialog&)>> steps;

private:
    Camera& m_camera;
};
