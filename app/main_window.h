#pragma once

#include "core/frame.h"

#include <QHash>
#include <QMainWindow>
#include <QUrl>

#include <functional>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;

// The frame of the program: the menu that leads to every window, the child
// window area, the clock in the status bar, and the exit sequence.
class TGlowne : public QMainWindow, public Frame {
    Q_OBJECT
public:
    explicit TGlowne(QWidget* parent = nullptr);
    ~TGlowne() override;

    // A menu command by its object name ("mnuCennik"); nullptr if unknown.
    QAction* command(const QString& name) const;
    // Runs `handler` for the command through the general error handling and
    // enables the menu entry.
    void wireCommand(const QString& name, std::function<void()> handler);

    // Shows a window as a child of the frame; it is destroyed when it closes.
    QMdiSubWindow* addChild(QWidget* window, bool maximized = false);
    QMdiArea* childArea() const { return m_area; }

    // Opening documents with the system's handler; tests replace it.
    static void setUrlOpener(std::function<bool(const QUrl&)> opener);

    // The backup offered at exit, installed by the backup feature.
    void setExitBackup(std::function<void()> backup) { m_exitBackup = std::move(backup); }

    QLabel* clockPanel() const { return m_clock; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenu();
    QMenu* addMenu(const QString& caption, const QString& name);
    QAction* addCommand(QMenu* menu, const QString& caption, const QString& name);
    void tick();
    void openHelp();
    bool childrenMayClose();

    QMdiArea* m_area = nullptr;
    QLabel* m_clock = nullptr;
    QTimer* m_timer = nullptr;
    QHash<QString, QAction*> m_commands;
    std::function<void()> m_exitBackup;
};
