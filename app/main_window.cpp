#include "app/main_window.h"

#include "core/clock.h"
#include "core/error.h"
#include "core/program_dir.h"
#include "core/prompter.h"
#include "core/ui/close_query.h"
#include "core/ui/keyboard.h"
#include "db/data_module.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

namespace {
std::function<bool(const QUrl&)>& urlOpener()
{
    static std::function<bool(const QUrl&)> opener = [](const QUrl& url) {
        return QDesktopServices::openUrl(url);
    };
    return opener;
}
} // namespace

TGlowne::TGlowne(QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("TGlowne"));
    setWindowTitle(QStringLiteral("Veltrano Rezydo - ver 1.1"));
    // The start size; the window may be resized and maximised.
    resize(800, 600);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = geometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }

    m_area = new QMdiArea(this);
    m_area->setObjectName(QStringLiteral("Obszar"));
    setCentralWidget(m_area);

    // Two panels: the first stays empty, the second carries the clock.
    auto* first = new QLabel(this);
    first->setObjectName(QStringLiteral("PanelPierwszy"));
    first->setFixedWidth(400);
    first->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_clock = new QLabel(this);
    m_clock->setObjectName(QStringLiteral("PanelZegar"));
    m_clock->setAlignment(Qt::AlignCenter);
    statusBar()->addWidget(first);
    statusBar()->addWidget(m_clock, 1);

    buildMenu();
    // The active child window's own access keys come before the menu bar's.
    qApp->installEventFilter(new AccessKeys(m_area, menuBar(), this));

    m_timer = new QTimer(this);
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &TGlowne::tick);
    m_timer->start();

    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    setFrame(this);
    guarded([] { dataModule().openConnection(); });
}

TGlowne::~TGlowne()
{
    setFrame(nullptr);
}

QMenu* TGlowne::addMenu(const QString& caption, const QString& name)
{
    QMenu* menu = menuBar()->addMenu(caption);
    menu->setObjectName(name);
    return menu;
}

QAction* TGlowne::addCommand(QMenu* menu, const QString& caption, const QString& name)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    // Entries whose windows are not there yet stay visible and disabled.
    action->setEnabled(false);
    m_commands.insert(name, action);
    return action;
}

void TGlowne::buildMenu()
{
    QMenu* recepcja = addMenu(QStringLiteral("&Recepcja"), QStringLiteral("mnuRecepcja"));
    addCommand(recepcja, QStringLiteral("&Wprowadzanie rezerwacji"),
               QStringLiteral("mnuWprowadzanieRezerwacji"));
    addCommand(recepcja, QStringLiteral("&Modyfikowanie rezerwacji"),
               QStringLiteral("mnuModyfikowanieRezerwacji"));
    recepcja->addSeparator();
    addCommand(recepcja, QStringLiteral("Kwaterowanie z &listy rezerwacji"),
               QStringLiteral("mnuKwaterowanieZListy"));
    addCommand(recepcja, QStringLiteral("&Kwaterowanie bez rezerwacji"),
               QStringLiteral("mnuKwaterowanieBezRezerwacji"));
    addCommand(recepcja, QStringLiteral("M&odyfikowanie kwaterunku"),
               QStringLiteral("mnuModyfikowanieKwaterunku"));
    recepcja->addSeparator();
    addCommand(recepcja, QStringLiteral("Mo&dyfikowanie książki meldunkowej"),
               QStringLiteral("mnuModyfikowanieKsiazki"));
    addCommand(recepcja, QStringLiteral("&Wykwaterowanie"), QStringLiteral("mnuWykwaterowanie"));
    addCommand(recepcja, QStringLiteral("&Opłaty"), QStringLiteral("mnuOplaty"));
    recepcja->addSeparator();
    addCommand(recepcja, QStringLiteral("&Plan pokoi"), QStringLiteral("mnuPlanPokoi"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));

    QMenu* admin = addMenu(QStringLiteral("&Administracja"), QStringLiteral("mnuAdministracja"));
    addCommand(admin, QStringLiteral("&Ustawienie pokoi"), QStringLiteral("mnuUstawieniePokoi"));
    addCommand(admin, QStringLiteral("&Cennik"), QStringLiteral("mnuCennik"));
    addCommand(admin, QStringLiteral("U&sługi"), QStringLiteral("mnuUslugi"));
    addCommand(admin, QStringLiteral("Stawki &VAT"), QStringLiteral("mnuStawkiVat"));
    addCommand(admin, QStringLiteral("&Konfiguracja"), QStringLiteral("mnuKonfiguracja"));
    addCommand(admin, QStringLiteral("Ustawienie &państw"), QStringLiteral("mnuUstawieniePanstw"));
    addCommand(admin, QStringLiteral("Dni &zamknięcia obiektu"), QStringLiteral("mnuDniZamkniete"));
    addCommand(admin, QStringLiteral("&Blokady pokoi"), QStringLiteral("mnuBlokadyPokoi"));
    addCommand(admin, QStringLiteral("&Odtwarzanie bazy danych"),
               QStringLiteral("mnuOdtwarzanieBazy"));
    addCommand(admin, QStringLiteral("Archiwum"), QStringLiteral("mnuArchiwum"));
    addCommand(admin, QStringLiteral("&Anonimizacja danych gości"),
               QStringLiteral("mnuAnonimizacja"));
    addCommand(admin, QStringLiteral("Wybierz bazę"), QStringLiteral("mnuWybierzBaze"));

    QMenu* lists = addMenu(QStringLiteral("&Zestawienia"), QStringLiteral("mnuZestawienia"));
    addCommand(lists, QStringLiteral("&Nieuregulowane płatności"),
               QStringLiteral("mnuNieuregulowanePlatnosci"));
    addCommand(lists, QStringLiteral("&Opłaty wniesione w okresie"),
               QStringLiteral("mnuOplatyWOkresie"));
    addCommand(lists, QStringLiteral("&Spis aktualnie zakwaterowanych"),
               QStringLiteral("mnuSpisZakwaterowanych"));
    addCommand(lists, QStringLiteral("Wolne pokoje"), QStringLiteral("mnuWolnePokoje"));
    addCommand(lists, QStringLiteral("&Przyjeżdżający danego dnia"),
               QStringLiteral("mnuPrzyjezdzajacy"));
    addCommand(lists, QStringLiteral("&Wyjeżdżający danego dnia"),
               QStringLiteral("mnuWyjezdzajacy"));
    addCommand(lists, QStringLiteral("&Lista rezerwacji"), QStringLiteral("mnuListaRezerwacji"));
    addCommand(lists, QStringLiteral("Oso&by i osoby/doba"), QStringLiteral("mnuOsobyDoba"));
    lists->addSeparator();
    addCommand(lists, QStringLiteral("&Zestawienie wystawionych faktur"),
               QStringLiteral("mnuZestawienieFaktur"));
    addCommand(lists, QStringLiteral("&Faktury do wysłania do KSeF"),
               QStringLiteral("mnuFakturyKsef"));
    addCommand(lists, QStringLiteral("&Grupy zakwaterowane w danym dniu"),
               QStringLiteral("mnuGrupyWDniu"));
    addCommand(lists, QStringLiteral("Wykorzystanie pokoi w danym miesiącu"),
               QStringLiteral("mnuWykorzystaniePokoi"));
    addCommand(lists, QStringLiteral("Zestawienie udzielonych rabatów"),
               QStringLiteral("mnuRabaty"));
    addCommand(lists, QStringLiteral("Potwierdzenie rezerwacji"),
               QStringLiteral("mnuPotwierdzenieRezerwacji"));
    addCommand(lists, QStringLiteral("Raport dla Gusu"), QStringLiteral("mnuRaportGus"));
    addCommand(lists, QStringLiteral("Sprawozdanie &KT-1 (miesięczne)"),
               QStringLiteral("mnuSprawozdanieKt1"));

    // "Widok" exists for arranging the child windows but is not shown.
    QMenu* view = addMenu(QStringLiteral("Widok"), QStringLiteral("mnuWidok"));
    QAction* cascade =
        addCommand(view, QStringLiteral("Kaskadowy"), QStringLiteral("mnuKaskadowy"));
    QAction* tile = addCommand(view, QStringLiteral("Warstwowy"), QStringLiteral("mnuWarstwowy"));
    cascade->setEnabled(true);
    tile->setEnabled(true);
    connect(cascade, &QAction::triggered, m_area, &QMdiArea::cascadeSubWindows);
    connect(tile, &QAction::triggered, m_area, &QMdiArea::tileSubWindows);
    view->menuAction()->setVisible(false);

    QAction* help = menuBar()->addAction(QStringLiteral("&Pomoc"));
    help->setObjectName(QStringLiteral("mnuPomoc"));
    help->setShortcut(QKeySequence(Qt::Key_F1));
    help->setShortcutContext(Qt::ApplicationShortcut);
    m_commands.insert(help->objectName(), help);
    connect(help, &QAction::triggered, this, [this] { guarded([this] { openHelp(); }); });

    QAction* quit = menuBar()->addAction(QStringLiteral("&Wyjście"));
    quit->setObjectName(QStringLiteral("mnuWyjscie"));
    m_commands.insert(quit->objectName(), quit);
    connect(quit, &QAction::triggered, this, &QWidget::close);
}

QAction* TGlowne::command(const QString& name) const
{
    return m_commands.value(name, nullptr);
}

void TGlowne::wireCommand(const QString& name, std::function<void()> handler)
{
    QAction* action = command(name);
    Q_ASSERT(action);
    if (!action)
        return;
    action->setEnabled(true);
    connect(action, &QAction::triggered, this,
            [handler = std::move(handler)] { guarded(handler); });
}

QMdiSubWindow* TGlowne::addChild(QWidget* window, bool maximized)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow* sub = m_area->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // Windows close through closeChildWindow, which takes the frame along; a
    // window that closed only itself still leaves no empty frame behind.
    connect(window, &QObject::destroyed, sub, &QWidget::close, Qt::QueuedConnection);
    if (maximized)
        sub->showMaximized();
    else
        sub->show();
    return sub;
}

void TGlowne::setUrlOpener(std::function<bool(const QUrl&)> opener)
{
    urlOpener() =
        opener ? std::move(opener) : [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

void TGlowne::tick()
{
    m_clock->setText(now().toString(QStringLiteral("yyyy-MM-dd HH:mm")));
}

QString manualIndexFile()
{
    return QDir::cleanPath(
        QDir(programDirectory()).filePath(QStringLiteral("../share/rezydo/podrecznik/index.html")));
}

void TGlowne::openHelp()
{
    // The help file beside the program, where one was put; else the manual
    // installed with the program, in the default browser.
    const QString chm = QDir(programDirectory()).filePath(QStringLiteral("VeltranoRezydo.chm"));
    const QString manual = manualIndexFile();
    const QString file = QFileInfo::exists(chm) || !QFileInfo::exists(manual) ? chm : manual;
    if (!urlOpener()(QUrl::fromLocalFile(file)))
        prompter().warn(QStringLiteral("Nie można otworzyć pliku pomocy '%1'.")
                            .arg(QDir::toNativeSeparators(file)),
                        QStringLiteral("Pomoc"));
}

bool TGlowne::childrenMayClose()
{
    const QList<QMdiSubWindow*> children = m_area->subWindowList();
    for (QMdiSubWindow* sub : children) {
        auto* query = dynamic_cast<CloseQuery*>(sub->widget());
        if (query && !query->mayClose())
            return false;
    }
    return true;
}

void TGlowne::closeEvent(QCloseEvent* event)
{
    if (!childrenMayClose()) {
        event->ignore();
        return;
    }
    // From here on the exit cannot be cancelled; the question only decides
    // whether a backup is made.
    if (prompter().ask(QStringLiteral("Czy stworzyć kopię zapasową bazy danych?"),
                       QStringLiteral("Tworzenie archiwum"), true) &&
        m_exitBackup)
        guarded(m_exitBackup);
    guarded([] { dataModule().closeConnection(); });
    m_timer->stop();
    // The remaining children go with the frame, without further questions.
    event->accept();
}

void TGlowne::openStayEditor(int groupId, bool reservation, QObject* caller)
{
    if (m_handlers.openStayEditor)
        m_handlers.openStayEditor(groupId, reservation, caller);
}

void TGlowne::openNewReservation(const QString& room, const QDate& from, const QDate& to, int beds,
                                 const QString& gender)
{
    if (m_handlers.openNewReservation)
        m_handlers.openNewReservation(room, from, to, beds, gender);
}

void TGlowne::openBilling(int groupId)
{
    if (m_handlers.openBilling)
        m_handlers.openBilling(groupId);
}

void TGlowne::registerGroup(int groupId)
{
    if (m_handlers.registerGroup)
        m_handlers.registerGroup(groupId);
}

int TGlowne::editRegisterEntry(int groupId, int personId)
{
    return m_handlers.editRegisterEntry ? m_handlers.editRegisterEntry(groupId, personId) : 0;
}

int TGlowne::addPersonToGroup(int groupId)
{
    return m_handlers.addPersonToGroup ? m_handlers.addPersonToGroup(groupId) : 0;
}

void TGlowne::openRegisterBrowse(int groupId)
{
    if (m_handlers.openRegisterBrowse)
        m_handlers.openRegisterBrowse(groupId);
}

ArchiveChoice TGlowne::showPersonArchive(bool fromRegistration)
{
    return m_handlers.showPersonArchive ? m_handlers.showPersonArchive(fromRegistration)
                                        : ArchiveChoice{};
}

void TGlowne::showGuestDetails(int personId)
{
    if (m_handlers.showGuestDetails)
        m_handlers.showGuestDetails(personId);
}
