// rezydo-bench-startup DATABASE [--bare]: starts the program on DATABASE as
// main() does, and ends as soon as the main window is on screen, printing the
// milliseconds since main() began. --bare shows an empty main window on no
// database: what any Qt program pays before its own work begins.
#include "app/commands.h"
#include "app/main_window.h"
#include "core/error.h"
#include "core/program_dir.h"
#include "db/data_module.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QMainWindow>
#include <QSettings>
#include <QTemporaryDir>
#include <QWindow>

#include <cstdio>
#include <memory>

namespace {
// Quits the application at the first expose of the watched window.
class ExposeWatch : public QObject {
public:
    explicit ExposeWatch(const QElapsedTimer& clock)
        : m_clock(clock)
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            std::printf("%lld\n", static_cast<long long>(m_clock.elapsed()));
            QCoreApplication::exit(0);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    const QElapsedTimer& m_clock;
};

void watch(QWidget& window, ExposeWatch& watcher)
{
    window.winId(); // makes the native window, so that its expose can be seen
    window.windowHandle()->installEventFilter(&watcher);
    window.show();
}
} // namespace

int main(int argc, char* argv[])
{
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: rezydo-bench-startup DATABASE [--bare]\n");
        return 2;
    }
    ExposeWatch watcher(clock);
    if (args.contains(QStringLiteral("--bare"))) {
        QMainWindow window;
        watch(window, watcher);
        return QApplication::exec();
    }
    QApplication::setApplicationName(QStringLiteral("Rezydo"));
    QApplication::setOrganizationName(QStringLiteral("Rezydo"));
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));

    // The database at the default place of a program directory of our own, and
    // settings that nobody else reads or writes.
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("Baza"));
    QFile::link(QFileInfo(args[1]).absoluteFilePath(),
                dir.filePath(QStringLiteral("Baza/Baza.mdb")));
    setProgramDirectory(dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       dir.filePath(QStringLiteral("u")));
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope,
                       dir.filePath(QStringLiteral("m")));

    DataModule data;
    try {
        data.openConnection(); // a failure here would otherwise wait in a message box
    } catch (const RezydoError& e) {
        std::fprintf(stderr, "rezydo-bench-startup: %s\n", qPrintable(e.text()));
        return 1;
    }
    TGlowne window;
    wireCommands(window);
    watch(window, watcher);
    return QApplication::exec();
}
