#pragma once

#include "app/commands.h"
#include "app/main_window.h"
#include "core/program_dir.h"
#include "tests/support/test_env.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTableView>
#include <QTest>

// A fresh database and the frame with the administration menu wired, shown.
struct AdminFixture {
    TestEnv env;
    TGlowne main;

    AdminFixture()
    {
        wireAdminCommands(main);
        main.show();
    }

    // Runs a menu command and returns the window it opened.
    template <class W> W* open(const char* command)
    {
        main.command(QString::fromLatin1(command))->trigger();
        const QList<W*> all = main.findChildren<W*>();
        for (W* w : all)
            if (w->isVisible())
                return w;
        return nullptr;
    }

    void activate(QWidget* child)
    {
        main.childArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(child->parentWidget()));
    }
};

template <class T> T* control(QWidget* window, const char* name)
{
    T* c = window->findChild<T*>(QString::fromLatin1(name));
    if (!c)
        qWarning("no control %s", name);
    return c;
}

// Replaces the text of a box the way a user does, keystroke by keystroke.
inline void retype(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    else
        QTest::keyClicks(edit, text);
}

inline void click(QWidget* window, const char* button)
{
    QTest::mouseClick(control<QAbstractButton>(window, button), Qt::LeftButton);
}

inline void clickRow(QTableView* grid, int row)
{
    const QRect cell = grid->visualRect(grid->model()->index(row, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

// One failure shown by the general error handling, with the engine's words.
inline void expectOneError(TestEnv& env, const QString& engine)
{
    const auto errors = env.prompter().messages(Prompter::Icon::Error);
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors[0].caption, kProgramName);
    QVERIFY2(errors[0].text.contains(engine), qPrintable(errors[0].text));
}

// The engine's words for a row its CHECK refuses.
inline QString checkRefusal()
{
    return TestEnv::onServer() ? QStringLiteral("violates check constraint")
                               : QStringLiteral("CHECK constraint failed");
}

inline bool enabled(QWidget* window, const char* button)
{
    return control<QAbstractButton>(window, button)->isEnabled();
}
