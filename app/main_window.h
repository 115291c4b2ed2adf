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

// The start page of the manual installed with the program
// (PREFIX/share/rezydo/podrecznik/index.html beside PREFIX/bin).
QString manualIndexFile();

// What each Frame operation does; every feature's wiring fills in its own.
// An operation left empty does nothing.
struct FrameHandlers {
    std::function<void(int groupId, bool reservation, QObject* caller)> openStayEditor;
    std::function<void(const QString& room, const QDate& from, const QDate& to, int beds,
                       const QString& gender)>
        openNewReservation;
    std::function<void(int groupId)> openBilling;
    std::function<void(int groupId)> registerGroup;
    std::function<int(int groupId, int personId)> editRegisterEntry;
    std::function<int(int groupId)> addPersonToGroup;
    std::function<void(int groupId)> openRegisterBrowse;
    std::function<ArchiveChoice(bool fromRegistration)> showPersonArchive;
    std::function<void(int personId)> showGuestDetails;
};

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

    FrameHandlers& handlers() { return m_handlers; }

    void openStayEditor(int groupId, bool reservation, QObject* caller) override;
    void openNewReservation(const QString& room, const QDate& from, const QDate& to, int beds,
                            const QString& gender) override;
    void openBilling(int groupId) override;
    void registerGroup(int groupId) override;
    int editRegisterEntry(int groupId, int personId) override;
    int addPersonToGroup(int groupId) override;
    void openRegisterBrowse(int groupId) override;
    ArchiveChoice showPersonArchive(bool fromRegistration) override;
    void showGuestDetails(int personId) override;

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
    FrameHandlers m_handlers;
};
