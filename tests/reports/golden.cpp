#include "tests/reports/golden.h"

#include <QDir>
#include <QFile>
#include <QTest>

void compareGolden(const QString& name, const QString& actual) {
    const QString path = QDir(QStringLiteral(REZYDO_GOLDEN_DIR)).filePath(name);
    if (qEnvironmentVariable("REZYDO_UPDATE_GOLDEN") == QLatin1String("1")) {
        QFile out(path);
        QVERIFY2(out.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
        out.write(actual.toUtf8());
        qWarning("golden file rewritten: %s", qPrintable(path));
        return;
    }
    QFile in(path);
    QVERIFY2(in.open(QIODevice::ReadOnly),
             qPrintable(path + QStringLiteral(" missing; run with REZYDO_UPDATE_GOLDEN=1")));
    const QStringList expected = QString::fromUtf8(in.readAll()).split(QLatin1Char('\n'));
    const QStringList lines = actual.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < std::min(expected.size(), lines.size()); ++i)
        QCOMPARE(lines[i], expected[i]);
    QCOMPARE(lines.size(), expected.size());
}
