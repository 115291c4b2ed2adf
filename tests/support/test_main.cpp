#include "tests/support/test_registry.h"

#include <QApplication>
#include <QLocale>
#include <QTest>

std::vector<std::pair<const char*, TestFactory>>& testRegistry()
{
    static std::vector<std::pair<const char*, TestFactory>> registry;
    return registry;
}

// Runs every registered test class (a QSKIP in a class's initTestCase would
// leave every class after it unrun in this process: skip in init() instead); `-class Name` runs one
// of them, the other arguments go to Qt Test (`-class TestMoney roundings`).
int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Rezydo"));
    QApplication::setOrganizationName(QStringLiteral("Rezydo"));
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));

    QStringList args = QApplication::arguments();
    QString only;
    const qsizetype at = args.indexOf(QStringLiteral("-class"));
    if (at > 0 && at + 1 < args.size()) {
        only = args[at + 1];
        args.remove(at, 2);
    }
    int failed = 0;
    for (const auto& [name, factory] : testRegistry()) {
        if (!only.isEmpty() && only != QLatin1String(name))
            continue;
        std::unique_ptr<QObject> test = factory();
        failed += QTest::qExec(test.get(), args) != 0 ? 1 : 0;
    }
    return failed == 0 ? 0 : 1;
}
