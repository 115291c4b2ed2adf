#include "tools/screenshot_camera.h"

#include "core/ui/message_box_prompter.h"
#include "core/ui/modal.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QInputDialog>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QThread>

#include <cstdio>

void settle(int ms)
{
    QElapsedTimer timer;
    timer.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    } while (timer.elapsed() < ms);
}

Camera::Camera(QString directory)
    : m_directory(std::move(directory))
{
    QDir().mkpath(m_directory);
}

QImage Camera::decorated(QWidget* window) const
{
    const QPixmap body = window->grab();
    QStyle* style = window->style();
    QStyleOptionTitleBar bar;
    bar.initFrom(window);
    bar.text = window->windowTitle();
    bar.icon = window->windowIcon();
    bar.state = QStyle::State_Active | QStyle::State_Enabled;
    bar.titleBarState = Qt::WindowActive;
    bar.subControls = QStyle::SC_All;
    bar.activeSubControls = QStyle::SC_None;
    bar.titleBarFlags =
        Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (qobject_cast<QMainWindow*>(window))
        bar.titleBarFlags |= Qt::WindowMinMaxButtonsHint;
    const int height = style->pixelMetric(QStyle::PM_TitleBarHeight, &bar, window);
    const int border = 1;
    bar.rect = QRect(border, border, body.width(), height);

    QImage image(body.width() + 2 * border, height + body.height() + 2 * border,
                 QImage::Format_RGB32);
    image.fill(window->palette().color(QPalette::Shadow));
    QPainter painter(&image);
    style->drawComplexControl(QStyle::CC_TitleBar, &bar, &painter, window);
    painter.drawPixmap(border, border + height, body);
    return image;
}

void Camera::shoot(QWidget* window, const QString& name)
{
    if (!window) {
        fail(QStringLiteral("%1: no window").arg(name));
        return;
    }
    settle();
    QWidget* top = window->window();
    // A child of the frame: its sub-window, or the whole frame when maximized.
    for (QWidget* w = window; w; w = w->parentWidget()) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w)) {
            if (sub->isMaximized()) {
                save(decorated(top), name);
            } else {
                save(sub->grab().toImage(), name);
            }
            return;
        }
    }
    save(decorated(top), name);
}

void Camera::shootMenu(QMainWindow* frame, QMenu* menu, const QString& name)
{
    QImage image = decorated(frame);
    const int border = 1;
    const int titleHeight = image.height() - frame->height() - 2 * border;
    QPainter painter(&image);
    const QPoint at = menu->mapToGlobal(QPoint(0, 0)) - frame->mapToGlobal(QPoint(0, 0)) +
                      QPoint(border, border + titleHeight);
    painter.drawPixmap(at, menu->grab());
    painter.end();
    save(image, name);
}

void Camera::save(const QImage& image, const QString& name)
{
    const QString file = QDir(m_directory).filePath(name + QStringLiteral(".png"));
    if (m_saved.contains(name))
        fail(QStringLiteral("%1: taken twice").arg(name));
    if (!image.save(file, "PNG", 0)) { // the smallest file
        fail(QStringLiteral("%1: cannot write %2").arg(name, file));
        return;
    }
    m_saved << name;
    std::fprintf(stderr, "  %s.png %dx%d\n", qPrintable(name), image.width(), image.height());
}

void Camera::fail(const QString& what)
{
    m_failures << what;
    std::fprintf(stderr, "  FAILED: %s\n", qPrintable(what));
}

PromptStep ShotPrompter::next(const QString& caption, const QString& text)
{
    if (steps.empty()) {
        m_camera.fail(QStringLiteral("unexpected prompt '%1': %2").arg(caption, text));
        return {};
    }
    PromptStep step = steps.front();
    steps.pop_front();
    return step;
}

void ShotPrompter::show(QDialog& box, const QString& shot)
{
    box.show();
    settle();
    if (!shot.isEmpty())
        m_camera.shoot(&box, shot);
    box.hide();
}

bool ShotPrompter::ask(const QString& text, const QString& caption, bool defaultYes)
{
    const PromptStep step = next(caption, text);
    // Built as the program's own message boxes are.
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Tak"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Nie"));
    box.setDefaultButton(defaultYes ? QMessageBox::Yes : QMessageBox::No);
    show(box, step.shot);
    return step.yes;
}

int ShotPrompter::choose(const QString& text, const QString& caption, const QStringList& buttons,
                         int defaultButton)
{
    const PromptStep step = next(caption, text);
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    for (const QString& b : buttons) {
        QPushButton* added = box.addButton(b, QMessageBox::AcceptRole);
        if (box.buttons().size() - 1 == defaultButton)
            box.setDefaultButton(added);
    }
    show(box, step.shot);
    return step.yes ? 0 : -1;
}

void ShotPrompter::message(const QString& text, const QString& caption, Icon icon)
{
    const PromptStep step = next(caption, text);
    static const QMessageBox::Icon icons[] = {QMessageBox::NoIcon, QMessageBox::Information,
                                              QMessageBox::Warning, QMessageBox::Critical,
                                              QMessageBox::Question};
    QMessageBox box(icons[static_cast<int>(icon)], caption, text, QMessageBox::Ok,
                    QApplication::activeWindow());
    show(box, step.shot);
}

std::optional<QString> ShotPrompter::inputText(const QString& caption, const QString& label,
                                               const QString& value)
{
    const PromptStep step = next(caption, label);
    QInputDialog box(QApplication::activeWindow());
    box.setWindowTitle(caption);
    box.setLabelText(label);
    box.setTextValue(value);
    show(box, step.shot);
    if (!step.yes)
        return std::nullopt;
    return step.text.isEmpty() ? value : step.text;
}

QString ShotPrompter::openFile(const QString& caption, const QString& directory,
                               const QString& filter, const QString& defaultSuffix)
{
    const PromptStep step = next(caption, directory);
    QFileDialog box(QApplication::activeWindow(), caption, directory);
    box.setOption(QFileDialog::DontUseNativeDialog);
    setUpOpenDialog(box, filter, defaultSuffix);
    show(box, step.shot);
    return step.text;
}

QString ShotPrompter::saveFile(const QString& caption, const QString& directory,
                               const QString& proposedName, const QString& filter,
                               const QString& defaultSuffix, Existing existing)
{
    const PromptStep step = next(caption, proposedName);
    QFileDialog box(QApplication::activeWindow(), caption, directory, filter);
    box.setOption(QFileDialog::DontUseNativeDialog);
    box.setAcceptMode(QFileDialog::AcceptSave);
    box.setDefaultSuffix(defaultSuffix);
    box.setOption(QFileDialog::DontConfirmOverwrite, existing == Existing::Update);
    if (!proposedName.isEmpty())
        box.selectFile(QDir(directory).filePath(proposedName));
    show(box, step.shot);
    return step.text;
}

ModalScript::ModalScript(Camera& camera)
    : m_camera(camera)
{
    setModalHandler([this](QDialog& dialog) {
        settle();
        if (steps.empty()) {
            const QString name = QString::fromLatin1(dialog.metaObject()->className());
            m_camera.fail(
                QStringLiteral("unexpected window %1 '%2'").arg(name, dialog.windowTitle()));
            dialog.reject();
            return static_cast<int>(QDialog::Rejected);
        }
        auto step = std::move(steps.front());
        steps.pop_front();
        return step(dialog);
    });
}

ModalScript::~ModalScript()
{
    setModalHandler({});
}
