#include "core/ui/message_box_prompter.h"
#include "tests/support/test_registry.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {
void makeFiles(const QTemporaryDir& dir, const QStringList& names)
{
    for (const QString& name : names) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
}

// Works the file dialog the prompter shows, once it is up; the prompter's
// own call blocks meanwhile, as it does for the user.
void whenDialogShown(std::function<void(QFileDialog&)> work)
{
    QTimer::singleShot(0, [work = std::move(work)] {
        QFileDialog* dialog = nullptr;
        QTRY_VERIFY((dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())));
        work(*dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
}

// The names the dialog lists in its folder, sorted.
QStringList listed(QFileDialog& dialog)
{
    auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
    QStringList names;
    // The folder is read in the background; an empty list fails the comparison.
    if (!QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) > 0; }))
        return names;
    for (int r = 0; r < view->model()->rowCount(view->rootIndex()); ++r)
        names << view->model()->index(r, 0, view->rootIndex()).data().toString();
    names.sort();
    return names;
}

void typeName(QFileDialog& dialog, const QString& name)
{
    auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    edit->clear();
    QTest::keyClicks(edit, name);
    QTest::keyClick(edit, Qt::Key_Return);
}
} // namespace

// The real dialogs behind the prompter: what the user sees in them and what
// a choice returns.
class TestFileDialogs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

    // The filter reads as written; its patterns match in any letter case.
    void openDialogFilter_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("database") << "Pliki bazy danych (baza.mdb)"
                                  << QStringList({"Baza.mdb", "BAZA.MDB", "Baza.mdb.bak",
                                                  "inna.mdb", "baza.txt"})
                                  << QStringList({"BAZA.MDB", "Baza.mdb"});
        QTest::newRow("archives") << "*.zip"
                                  << QStringList({"kopia.zip", "STARA.ZIP", "notatka.txt"})
                                  << QStringList({"STARA.ZIP", "kopia.zip"});
    }
    void openDialogFilter()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, files);
        QFETCH(QStringList, listed);
        QTemporaryDir dir;
        makeFiles(dir, files);
        QString shownFilter;
        QStringList shownFiles;
        whenDialogShown([&](QFileDialog& d) {
            shownFilter = d.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))->currentText();
            shownFiles = ::listed(d);
            typeName(d, listed.first());
        });
        const QString chosen = MessageBoxPrompter().openFile("Wybierz", dir.path(), filter, {});
        QCOMPARE(shownFilter, filter);
        QCOMPARE(shownFiles, listed);
        QCOMPARE(chosen, dir.filePath(listed.first()));
    }

    // "*.zip" is proposed as the name; a name typed without the extension
    // finds the archive.
    void openDialogAddsTheExtension()
    {
        QTemporaryDir dir;
        makeFiles(dir, {"kopia.zip", "kopia"});
        QString proposed;
        whenDialogShown([&](QFileDialog& d) {
            proposed = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
            typeName(d, "kopia");
        });
        const QString chosen =
            MessageBoxPrompter().openFile("Odtwarzanie", dir.filePath("*.zip"), "*.zip", "zip");
        QCOMPARE(proposed, QString("*.zip"));
        QCOMPARE(chosen, dir.filePath("kopia.zip"));
    }

    // Choosing an existing file asks about replacing it only where the file
    // would be replaced; an archive that is only updated is taken at once.
    void saveDialogOverAnExistingFile_data()
    {
        QTest::addColumn<int>("existing");
        QTest::addColumn<bool>("asked");
        QTest::newRow("replaced") << int(Prompter::Existing::Ask) << true;
        QTest::newRow("updated") << int(Prompter::Existing::Update) << false;
    }
    void saveDialogOverAnExistingFile()
    {
        QFETCH(int, existing);
        QFETCH(bool, asked);
        QTemporaryDir dir;
        makeFiles(dir, {"Archiwum 2026.07.15 12.00.zip"});
        bool question = false;
        whenDialogShown([&](QFileDialog& d) {
            // A question box of the dialog's own comes up inside the Enter.
            QTimer::singleShot(0, [&] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    question = true;
                    box->reject();
                }
            });
            typeName(d, "Archiwum 2026.07.15 12.00.zip");
        });
        const QString chosen = MessageBoxPrompter().saveFile(
            "Tworzenie kopii bazy danych", dir.path(), "Archiwum 2026.07.15 12.00.zip", "*.zip",
            "zip", Prompter::Existing(existing));
        QCOMPARE(question, asked);
        QCOMPARE(chosen, asked ? QString() : dir.filePath("Archiwum 2026.07.15 12.00.zip"));
    }
};

REZYDO_TEST(TestFileDialogs);
#include "test_file_dialogs.moc"
