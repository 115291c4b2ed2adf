// The receptionist of the package test, loaded by Qt into the installed
// program as a generic plugin (QT_PLUGIN_PATH, QT_QPA_GENERIC_PLUGINS=rezydodriver),
// so that the program under test is the installed one, unchanged.
//
// REZYDO_DRIVER_ANSWERS  "Caption=Button;…": the button pressed in a message
//                        box of that caption (access-key '&' ignored)
// REZYDO_DRIVER_CLOSE    a file; once it exists the main window is closed
// REZYDO_DRIVER_LOG      one line per window seen:
//                        window|title|icon, box|caption|text|icon|button,
//                        dialog|caption|file|icon, unexpected|caption|text
// "icon" is "ikona" when the window carries the program's icon, else "brak".
#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QGenericPlugin>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

namespace {
QString plain(QString text)
{
    return text.remove(QLatin1Char('&'));
}

class Driver : public QObject {
public:
    Driver()
    {
        for (const QString& rule : qEnvironmentVariable("REZYDO_DRIVER_ANSWERS")
                                       .split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const qsizetype eq = rule.indexOf(QLatin1Char('='));
            if (eq > 0)
                m_answers.insert(rule.left(eq), rule.mid(eq + 1));
        }
        m_log.setFileName(qEnvironmentVariable("REZYDO_DRIVER_LOG"));
        m_log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
        m_closeFile = qEnvironmentVariable("REZYDO_DRIVER_CLOSE");
        auto* timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, &Driver::look);
        timer->start(150);
    }

private:
    void log(const QStringList& fields)
    {
        QString line = fields.join(QLatin1Char('|'));
        line.replace(QLatin1Char('\n'), QLatin1Char(' '));
        m_log.write((line + QLatin1Char('\n')).toUtf8());
    }

    static QString iconOf(const QWidget* w)
    {
        const QIcon own = w->windowIcon();
        const QIcon program = QApplication::windowIcon();
        return !own.isNull() && !program.isNull() && own.cacheKey() == program.cacheKey()
                   ? QStringLiteral("ikona")
                   : QStringLiteral("brak");
    }

    // An action that opens a box of its own (closing the main window asks
    // about the backup) runs after this tick: a timer does not fire while
    // its own slot is still running, and the new box would wait for ever.
    template <typename F> void later(QObject* target, F action)
    {
        m_handled = target;
        QTimer::singleShot(0, target, action);
    }

    void look()
    {
        if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
            return;
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && (modal == m_handled || modal->isAncestorOf(qobject_cast<QWidget*>(m_handled))))
            return; // answered already; the answer is on its way
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            answer(box);
            return;
        }
        if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            const QStringList files = dialog->selectedFiles();
            log({QStringLiteral("dialog"), dialog->windowTitle(),
                 files.isEmpty() ? QString() : files.first(), iconOf(dialog)});
            later(dialog, [dialog] { static_cast<QDialog*>(dialog)->accept(); });
            return;
        }
        if (modal)
            return;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* main = qobject_cast<QMainWindow*>(w);
            if (!main || !main->isVisible())
                continue;
            if (!m_windowSeen) {
                m_windowSeen = true;
                log({QStringLiteral("window"), main->windowTitle(), iconOf(main)});
            }
            if (!m_closeFile.isEmpty() && QFile::exists(m_closeFile)) {
                m_closeFile.clear();
                later(main, [main] { main->close(); });
            }
        }
    }

    void answer(QMessageBox* box)
    {
        const QString caption = box->windowTitle();
        const auto rule = m_answers.constFind(caption);
        if (rule != m_answers.constEnd()) {
            for (QAbstractButton* b : box->buttons()) {
                if (plain(b->text()) == *rule) {
                    log({QStringLiteral("box"), caption, box->text(), iconOf(box), *rule});
                    later(b, [b] { b->click(); });
                    return;
                }
            }
        }
        log({QStringLiteral("unexpected"), caption, box->text()});
        later(box, [box] { box->reject(); });
    }

    QHash<QString, QString> m_answers;
    QFile m_log;
    QString m_closeFile;
    bool m_windowSeen = false;
    QPointer<QObject> m_handled;
};
} // namespace

class DriverPlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "driver.json")
public:
    QObject* create(const QString& /*key*/, const QString& /*parameters*/) override
    {
        return new Driver;
    }
};

#include "driver_plugin.moc"
