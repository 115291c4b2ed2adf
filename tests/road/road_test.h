#pragma once

#include "app/commands.h"
#include "app/main_window.h"
#include "billing/ui/billing_window.h"
#include "core/settings.h"
#include "db/data_module.h"
#include "reports/engine/report_output.h"
#include "reports/engine/ui/preview_provider.h"
#include "reports/engine/ui/preview_window.h"
#include "reports/engine/ui/printing.h"
#include "stays/ui/stay_editor_window.h"
#include "stays/ui/stay_list_window.h"
#include "tests/road/road_fixture.h"
#include "tests/support/test_env.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>

#include <memory>
#include <utility>

namespace road {
// A moment of the summer the road takes place in.
inline QDateTime at(int month, int day, int hour)
{
    return QDateTime(QDate(2026, month, day), QTime(hour, 0));
}

inline const QString kHotel = QStringLiteral("Pensjonat Pod Lipami");
inline const QString kHotelAddress = QStringLiteral("ul. Leśna 4, 34-500 Zakopane");
} // namespace road

// One day at the front desk after another, in one database, through the
// program's own windows: the owner's setup, a walk-in guest who leaves again,
// then a group of four from its reservation to the invoice and its check-out,
// the archive, the register and the lists that count it afterwards, and the
// backup taken at exit. Every step builds on the ones before it, so the
// functions run in the order they are declared; a step whose predecessor
// failed says so and stops.
class TestRoad : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<TGlowne> m_main;
    QList<Document> m_previews;
    QStringList m_printed;  // PDF files of print mode
    int m_formerGroup = 0;  // the walk-in guest's accommodation group
    int m_formerPerson = 0; // her person record
    int m_reservation = 0;
    int m_group = 0; // the group of four once checked in
    QString m_archive;

    TestEnv& env() { return *m_env; }
    ScriptedPrompter& prompter() { return m_env->prompter(); }
    QStringList rows(const QString& sql, const QVariantList& values = {})
    {
        return m_env->rows(sql, values);
    }

    void startProgram()
    {
        m_main = std::make_unique<TGlowne>();
        wireCommands(*m_main);
        m_main->show();
    }

    void run(const char* command)
    {
        QAction* action = m_main->command(QString::fromLatin1(command));
        QVERIFY2(action && action->isEnabled(), command);
        action->trigger();
    }

    // The child window of the frame that the last command opened.
    template <class T> T* newestChild()
    {
        const QList<QMdiSubWindow*> subs = m_main->childArea()->subWindowList();
        for (auto it = subs.rbegin(); it != subs.rend(); ++it)
            if (auto* w = qobject_cast<T*>((*it)->widget()))
                return w;
        return nullptr;
    }

    // Opens a stay list by its menu entry and makes the group current.
    TLista* openList(const char* command, int groupId)
    {
        run(command);
        auto* list = newestChild<TLista>();
        if (!list)
            return nullptr;
        if (!road::selectRow(road::control<QTableView>(list, "Grupy"), 0, QString::number(groupId)))
            return nullptr;
        return list;
    }

    // The steps, in the order of the road; each is explained where it is defined.
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void setupByTheOwner();
    void formerGuestWalksInAndLeaves();
    void reservationInTheStayEditor();
    void confirmationLetter();
    void checkInFromTheStayList();
    void registrationWalk();
    void correctionInTheRegister();
    void billingAndInvoice();
    void checkOut();
    void personsInTheArchiveAndTheRegister();
    void statisticsAndMoneyLists();
    void backupAtExitAndRestore();
};
