#include "core/settings.h"
#include "tests/support/test_registry.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

class TestSettings : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    static QSettings scope(QSettings::Scope s)
    {
        return QSettings(QSettings::IniFormat, s, QStringLiteral("Rezydo"),
                         QStringLiteral("Rezydo"));
    }
    static void put(QSettings::Scope s, const QString& name, const QVariant& value)
    {
        QSettings store(QSettings::IniFormat, s, QStringLiteral("Rezydo"),
                        QStringLiteral("Rezydo"));
        store.setValue(QStringLiteral("SOFTWARE/Rezydo/") + name, value);
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.filePath("user"));
        QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, m_dir.filePath("machine"));
    }

    void readOrder_data()
    {
        QTest::addColumn<QVariant>("user");
        QTest::addColumn<QVariant>("machine");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("value");
        QTest::newRow("in neither") << QVariant() << QVariant() << false << "";
        QTest::newRow("machine only") << QVariant() << QVariant("/srv/m") << true << "/srv/m";
        QTest::newRow("user only") << QVariant("/srv/u") << QVariant() << true << "/srv/u";
        QTest::newRow("user hides machine")
            << QVariant("/srv/u") << QVariant("/srv/m") << true << "/srv/u";
        QTest::newRow("empty string is found") << QVariant("") << QVariant("/srv/m") << true << "";
        QTest::newRow("user value not a string, machine used")
            << QVariant(QStringList{"a", "b"}) << QVariant("/srv/m") << true << "/srv/m";
        QTest::newRow("typed value counts as missing")
            << QVariant() << QVariant(QByteArray("\x01\x02")) << false << "";
        QTest::newRow("number counts as missing") << QVariant() << QVariant(42) << false << "";
    }
    void readOrder()
    {
        QFETCH(QVariant, user);
        QFETCH(QVariant, machine);
        QFETCH(bool, found);
        QFETCH(QString, value);
        if (user.isValid())
            put(QSettings::UserScope, "KatalogBazy", user);
        if (machine.isValid())
            put(QSettings::SystemScope, "KatalogBazy", machine);
        const std::optional<QString> read = readSetting("KatalogBazy");
        QCOMPARE(read.has_value(), found);
        if (found)
            QCOMPARE(*read, value);
    }

    void writeGoesToMachineScopeOnly()
    {
        put(QSettings::UserScope, "KatalogBazy", "/home/u");
        QVERIFY(writeSetting("KatalogBazy", "/srv/new"));
        QCOMPARE(scope(QSettings::SystemScope).value("SOFTWARE/Rezydo/KatalogBazy").toString(),
                 QString("/srv/new"));
        QCOMPARE(scope(QSettings::UserScope).value("SOFTWARE/Rezydo/KatalogBazy").toString(),
                 QString("/home/u"));
        // The user's value still wins when read.
        QCOMPARE(readSetting("KatalogBazy").value_or(QString()), QString("/home/u"));
    }

    void writeCreatesTheStoreAndKeepsCommas()
    {
        QVERIFY(writeSetting("Bank", "Bank Spółdzielczy, oddział 2"));
        QCOMPARE(readSetting("Bank").value_or(QString()), QString("Bank Spółdzielczy, oddział 2"));
    }

    void writeFailureIsFalse()
    {
        // The machine scope points at a path that cannot be a folder.
        QFile blocker(m_dir.filePath("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope,
                           m_dir.filePath("blocker/machine"));
        QVERIFY(!writeSetting("Konto", "123"));
        QVERIFY(!readSetting("Konto").has_value());
    }
};

REZYDO_TEST(TestSettings);
#include "test_settings.moc"
