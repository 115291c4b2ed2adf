#include "core/settings.h"
#include "tests/support/test_registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

    // Each case gets files of its own: QSettings keeps what it read of a
    // file and would take a rewrite of the same size and time for the same.
    int m_scopes = 0;
    QString freshScopes()
    {
        const QString dir = m_dir.filePath(QString("scopes%1").arg(++m_scopes));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir + "/user");
        QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, dir + "/machine");
        return dir;
    }
    // The settings file as a person writes it in an editor.
    static void handWrite(QSettings::Scope s, const QByteArray& lines)
    {
        const QString file = QSettings(QSettings::IniFormat, s, "Rezydo", "Rezydo").fileName();
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(lines);
    }
    static QByteArray iniWith(const QString& name, const QByteArray& value)
    {
        return "; ustawienia hotelu\n[SOFTWARE]\nRezydo\\Uwagi=pierwsza, druga\nRezydo\\" +
               name.toLatin1() + "=" + value + "\n";
    }
    // The machine file as the next start of the program reads it, not as
    // this process remembers it.
    void readFromDiskAgain()
    {
        QFile f(
            QSettings(QSettings::IniFormat, QSettings::SystemScope, "Rezydo", "Rezydo").fileName());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray lines = f.readAll();
        freshScopes();
        handWrite(QSettings::SystemScope, lines);
    }
    static QStringList stringSettings()
    {
        return {"KatalogBazy", "KatalogArchiwum", "Bank", "Konto", "FakturaRoz"};
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
        // An INI file cannot tell a list from a text with commas: it is text.
        QTest::newRow("user list is a text with commas")
            << QVariant(QStringList{"a", "b"}) << QVariant("/srv/m") << true << "a, b";
        QTest::newRow("user value not a string, machine used")
            << QVariant(QByteArray("\x01\x02")) << QVariant("/srv/m") << true << "/srv/m";
        QTest::newRow("list holding a typed value counts as missing")
            << QVariant() << QVariant(QVariantList{QVariant(), "x"}) << false << "";
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

    void handWrittenTextIsReadAsWritten_data()
    {
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<QString>("text");
        QTest::newRow("comma") << QByteArray("/srv/hotel/kopie, sezon 2026")
                               << "/srv/hotel/kopie, sezon 2026";
        QTest::newRow("two commas") << QByteArray("/srv/hotel/kopie, sezon 2026, pokoje")
                                    << "/srv/hotel/kopie, sezon 2026, pokoje";
        QTest::newRow("comma without blank") << QByteArray("/srv/kopie,2026") << "/srv/kopie,2026";
        QTest::newRow("blanks around commas")
            << QByteArray("Bank Spółdzielczy ,  oddział 2,\tKraków")
            << "Bank Spółdzielczy ,  oddział 2,\tKraków";
        QTest::newRow("quoted") << QByteArray("\"/srv/hotel/kopie, sezon 2026\"")
                                << "/srv/hotel/kopie, sezon 2026";
        QTest::newRow("quoted part, then comma")
            << QByteArray("\"/srv/a, b\" , c") << "/srv/a, b , c";
        QTest::newRow("plain") << QByteArray("/srv/hotel/kopie") << "/srv/hotel/kopie";
        QTest::newRow("blanks at the ends, comment")
            << QByteArray("  /srv/a, b  ; stare kopie") << "/srv/a, b";
        QTest::newRow("escapes") << QByteArray(R"(C:\\Kopie, \x41\t)") << "C:\\Kopie, A\t";
        QTest::newRow("empty piece") << QByteArray("H,") << "H,";
    }
    void handWrittenTextIsReadAsWritten()
    {
        QFETCH(QByteArray, written);
        QFETCH(QString, text);
        for (const QString& name : stringSettings()) {
            for (const QSettings::Scope s : {QSettings::UserScope, QSettings::SystemScope}) {
                freshScopes();
                handWrite(s, iniWith(name, written));
                const std::optional<QString> read = readSetting(name);
                QVERIFY2(read.has_value(), qPrintable(name));
                QCOMPARE(*read, text);
            }
        }
    }

    void handWrittenTextSurvivesTheProgramsWrites_data() { handWrittenTextIsReadAsWritten_data(); }
    void handWrittenTextSurvivesTheProgramsWrites()
    {
        QFETCH(QByteArray, written);
        QFETCH(QString, text);
        for (const QString& name : stringSettings()) {
            freshScopes();
            handWrite(QSettings::SystemScope, iniWith(name, written));
            // The whole machine file is written anew by any write.
            const QString other = name == "Bank" ? "Konto" : "Bank";
            QVERIFY(writeSetting(other, "Bank Spółdzielczy, oddział 2"));
            readFromDiskAgain();
            QCOMPARE(readSetting(name).value_or("(brak)"), text);
            QCOMPARE(readSetting("Uwagi").value_or("(brak)"), QString("pierwsza, druga"));
            QCOMPARE(readSetting(other).value_or("(brak)"),
                     QString("Bank Spółdzielczy, oddział 2"));

            // What the program writes comes back as it was given.
            QVERIFY(writeSetting(name, text));
            readFromDiskAgain();
            QCOMPARE(readSetting(name).value_or("(brak)"), text);
        }
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
