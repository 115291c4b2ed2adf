// rezydo-screenshots PROGRAM_DIR OUTPUT_DIR: starts the program as main()
// does on the database PROGRAM_DIR/Baza/Baza.mdb, opens every window through
// its menu command or button and saves a picture of each into OUTPUT_DIR.
// Message boxes and modal windows are photographed and answered, so that the
// run ends by itself; anything unexpected is reported and fails the run.
#include "tools/screenshot_camera.h"

#include "app/commands.h"
#include "app/first_start.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "core/clock.h"
#include "core/frame.h"
#include "core/program_dir.h"
#include "core/settings.h"
#include "db/data_module.h"
#include "db/sql.h"
#include "reports/engine/ui/parameter_window.h"
#include "reports/engine/ui/preview_provider.h"
#include "reports/engine/ui/preview_window.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTableView>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {
constexpr int kTimeLimitMs = 150000;

class Session {
public:
    Session(TGlowne& frame, Camera& camera, ShotPrompter& prompts, ModalScript& modal)
        : m_frame(frame)
        , m_camera(camera)
        , m_prompts(prompts)
        , m_modal(modal)
    {
        TMDIPodglad::setShownHook([this](TFormPodglad& w) { previewShown(w); });
    }
    ~Session() { TMDIPodglad::setShownHook({}); }

    void run();

private:
    // Helpers of the scenes.
    void trigger(const char* command);
    QWidget* newestChild() const;
    void closeChildren();
    QWidget* openChild(const char* command, const QString& shot);
    void selectRow(QWidget* window, const char* grid, const QString& text);
    void click(QWidget* window, const char* button);
    void expectPrompt(const QString& shot, bool yes = false, const QString& text = {});
    void expectWindow(std::function<int(QDialog&)> step);
    void expectShotAndClose(const QString& shot);
    // A modal window photographed (unless `shot` is empty), then a button pressed.
    void expectShotAndClick(const QString& shot, const char* button, const QString& preview = {});
    void report(const char* command, const QString& shot,
                const std::function<void(QDialog&)>& setup = {});
    void endScene(const QString& scene);
    void previewShown(TFormPodglad& window);
    int groupId(const char* table, const QString& name) const;

    // The scenes.
    void mainWindow();
    void stayLists();
    void stayEditor();
    void board();
    void registration();
    void archive();
    void registerBrowse();
    void billing();
    void administration();
    void reports();
    void backupAndDatabase();
    void firstStart();
    void exitQuestion();

    TGlowne& m_frame;
    Camera& m_camera;
    ShotPrompter& m_prompts;
    ModalScript& m_modal;
    std::deque<QString> m_previews;
};

void Session::trigger(const char* command)
{
    QAction* action = m_frame.command(QString::fromLatin1(command));
    if (!action || !action->isEnabled()) {
        m_camera.fail(QStringLiteral("command %1 missing or disabled").arg(command));
        return;
    }
    action->trigger();
    settle();
}

QWidget* Session::newestChild() const
{
    const QList<QMdiSubWindow*> children =
        m_frame.childArea()->subWindowList(QMdiArea::CreationOrder);
    return children.isEmpty() ? nullptr : children.last()->widget();
}

void Session::closeChildren()
{
    m_frame.childArea()->closeAllSubWindows();
    settle();
}

QWidget* Session::openChild(const char* command, const QString& shot)
{
    trigger(command);
    QWidget* child = newestChild();
    if (!shot.isEmpty())
        m_camera.shoot(child, shot);
    return child;
}

void Session::selectRow(QWidget* window, const char* grid, const QString& text)
{
    auto* view = window ? window->findChild<QTableView*>(QString::fromLatin1(grid)) : nullptr;
    if (!view || !view->model()) {
        m_camera.fail(QStringLiteral("grid %1 not found").arg(grid));
        return;
    }
    const QAbstractItemModel* model = view->model();
    for (int row = 0; row < model->rowCount(); ++row)
        for (int column = 0; column < model->columnCount(); ++column)
            if (model->index(row, column).data().toString() == text) {
                view->selectRow(row);
                settle();
                return;
            }
    m_camera.fail(QStringLiteral("grid %1 has no row '%2'").arg(grid, text));
}

void Session::click(QWidget* window, const char* button)
{
    auto* b = window ? window->findChild<QPushButton*>(QString::fromLatin1(button)) : nullptr;
    if (!b || !b->isVisible() || !b->isEnabled()) {
        m_camera.fail(QStringLiteral("button %1 missing or disabled").arg(button));
        return;
    }
    b->click();
    settle();
}

void Session::expectPrompt(const QString& shot, bool yes, const QString& text)
{
    m_prompts.steps.push_back({shot, yes, text});
}

void Session::expectWindow(std::function<int(QDialog&)> step)
{
    m_modal.steps.push_back(std::move(step));
}

void Session::expectShotAndClose(const QString& shot)
{
    expectWindow([this, shot](QDialog& dialog) {
        if (!shot.isEmpty())
            m_camera.shoot(&dialog, shot);
        dialog.reject();
        return static_cast<int>(QDialog::Rejected);
    });
}

void Session::expectShotAndClick(const QString& shot, const char* button, const QString& preview)
{
    expectWindow([this, shot, button, preview](QDialog& dialog) {
        if (!shot.isEmpty())
            m_camera.shoot(&dialog, shot);
        if (!preview.isEmpty())
            m_previews.push_back(preview);
        click(&dialog, button);
        return dialog.result();
    });
}

// A report command: its parameter window, then the preview it leads to.
// Commands that show the window again after a preview get it closed.
void Session::report(const char* command, const QString& shot,
                     const std::function<void(QDialog&)>& setup)
{
    expectWindow([this, shot, setup](QDialog& dialog) {
        if (setup)
            setup(dialog);
        m_camera.shoot(&dialog, shot);
        auto* parameters = qobject_cast<TFormParametry*>(&dialog);
        if (!parameters) {
            m_camera.fail(shot + QStringLiteral(": not a report parameter window"));
            return static_cast<int>(QDialog::Rejected);
        }
        m_previews.push_back(shot + QStringLiteral("_preview"));
        parameters->previewButton()->click();
        return dialog.result();
    });
    m_modal.steps.push_back([](QDialog& dialog) {
        dialog.reject();
        return static_cast<int>(QDialog::Rejected);
    });
    trigger(command);
    m_modal.steps.clear(); // the second showing comes only with the repeating commands
    endScene(shot);
}

void Session::endScene(const QString& scene)
{
    settle();
    if (!m_prompts.steps.empty())
        m_camera.fail(
            QStringLiteral("%1: %2 prompt(s) did not come").arg(scene).arg(m_prompts.steps.size()));
    if (!m_modal.steps.empty())
        m_camera.fail(
            QStringLiteral("%1: %2 window(s) did not come").arg(scene).arg(m_modal.steps.size()));
    if (!m_previews.empty())
        m_camera.fail(QStringLiteral("%1: preview %2 did not come").arg(scene, m_previews.front()));
    m_prompts.steps.clear();
    m_modal.steps.clear();
    m_previews.clear();
}

// A preview is photographed at a fixed size (there is no window manager to
// maximize it) once its pages are made, and closed.
void Session::previewShown(TFormPodglad& window)
{
    if (m_previews.empty()) {
        m_camera.fail(QStringLiteral("unexpected preview '%1'").arg(window.windowTitle()));
        QTimer::singleShot(0, &window, &TFormPodglad::closePreview);
        return;
    }
    const QString shot = m_previews.front();
    m_previews.pop_front();
    window.setWindowState(Qt::WindowNoState);
    window.setGeometry(20, 20, 1000, 760);
    auto taken = std::make_shared<bool>(false);
    auto take = [this, &window, shot, taken] {
        if (*taken)
            return;
        *taken = true;
        m_camera.shoot(&window, shot);
        window.closePreview();
    };
    QObject::connect(&window, &TFormPodglad::finished, &window, take);
    // A report that never finishes is photographed as it is.
    QTimer::singleShot(20000, &window, take);
}

int Session::groupId(const char* table, const QString& name) const
{
    return scalarSql(dataModule().database(),
                     QStringLiteral("SELECT max(Identyfikator) FROM %1 WHERE Nazwa = :N")
                         .arg(QLatin1String(table)),
                     {{":N", name}})
        .toInt();
}

void Session::mainWindow()
{
    m_camera.shoot(&m_frame, QStringLiteral("main_window"));
    const std::pair<const char*, const char*> menus[] = {
        {"mnuRecepcja", "menu_recepcja"},
        {"mnuAdministracja", "menu_administracja"},
        {"mnuZestawienia", "menu_zestawienia"},
    };
    for (const auto& [name, shot] : menus) {
        auto* menu = m_frame.findChild<QMenu*>(QString::fromLatin1(name));
        m_frame.menuBar()->setActiveAction(menu->menuAction());
        settle(300);
        m_camera.shootMenu(&m_frame, menu, QString::fromLatin1(shot));
        menu->hide();
        settle();
    }
    endScene(QStringLiteral("main window"));
}

void Session::stayLists()
{
    openChild("mnuModyfikowanieRezerwacji", QStringLiteral("stay_list_reservations"));
    closeChildren();
    openChild("mnuKwaterowanieZListy", QStringLiteral("stay_list_check_in"));
    closeChildren();
    openChild("mnuModyfikowanieKwaterunku", QStringLiteral("stay_list"));
    closeChildren();
    QWidget* list = openChild("mnuWykwaterowanie", QStringLiteral("stay_list_check_out"));
    selectRow(list, "Grupy", QStringLiteral("Budex sp. z o.o."));
    expectPrompt(QStringLiteral("check_out_question"), false);
    click(list, "Wykwateruj");
    closeChildren();
    endScene(QStringLiteral("check-out"));
    openChild("mnuOplaty", QStringLiteral("stay_list_payments"));
    closeChildren();
    endScene(QStringLiteral("stay lists"));
}

void Session::board()
{
    QWidget* board = openChild("mnuPlanPokoi", QStringLiteral("board"));
    if (auto* search =
            board ? board->findChild<QLineEdit*>(QStringLiteral("SzukajGrupy")) : nullptr) {
        search->setText(QStringLiteral("PTTK"));
        QMetaObject::invokeMethod(search, "returnPressed");
        settle();
        m_camera.shoot(board, QStringLiteral("board_group"));
    }
    const QSize size = m_frame.size();
    // Without a window manager to maximise it, the frame takes the whole screen.
    m_frame.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    settle(500);
    m_camera.shoot(board, QStringLiteral("board_maximised"));
    m_frame.resize(size);
    settle(300);
    closeChildren();
    endScene(QStringLiteral("planning board"));
}

void Session::stayEditor()
{
    QWidget* list = openChild("mnuModyfikowanieRezerwacji", QString());
    selectRow(list, "Grupy", QStringLiteral("Wycieczka PTTK Kraków"));
    click(list, "Zmien");
    QWidget* editor = newestChild();
    m_camera.shoot(editor, QStringLiteral("stay_editor"));
    if (auto* pages =
            editor ? editor->findChild<QTabWidget*>(QStringLiteral("Dostepnosc")) : nullptr) {
        pages->setCurrentIndex(1);
        m_camera.shoot(editor, QStringLiteral("stay_editor_free_places"));
    }
    // The editor always asks before it closes.
    expectPrompt(QStringLiteral("stay_editor_close_question"), true);
    closeChildren();
    endScene(QStringLiteral("stay editor"));

    openChild("mnuWprowadzanieRezerwacji", QStringLiteral("stay_editor_new_reservation"));
    expectPrompt({}, true);
    closeChildren();
    openChild("mnuKwaterowanieBezRezerwacji", QStringLiteral("stay_editor_walk_in"));
    expectPrompt({}, true);
    closeChildren();
    endScene(QStringLiteral("new stays"));
}

void Session::registration()
{
    // "Stały klient" looks the guest up in the archive.
    expectShotAndClick(QStringLiteral("registration"), "StalyKlient");
    expectShotAndClose(QStringLiteral("person_archive_registration"));
    expectShotAndClose({});
    frame().registerGroup(groupId("Kwat_hot", QStringLiteral("Budex sp. z o.o.")));
    endScene(QStringLiteral("registration"));
}

// The archive of former guests, its printout, and a guest's details with theirs.
void Session::archive()
{
    expectShotAndClick(QStringLiteral("person_archive"), "Podglad",
                       QStringLiteral("person_archive_preview"));
    expectWindow([this](QDialog& dialog) {
        selectRow(&dialog, "Lista", QStringLiteral("Schmidt")); // a paid stay
        click(&dialog, "Szczegoly");
        return dialog.result();
    });
    expectShotAndClick(QStringLiteral("guest_details"), "Podglad",
                       QStringLiteral("guest_details_preview"));
    expectShotAndClose({});
    expectShotAndClose({});
    trigger("mnuArchiwum");
    endScene(QStringLiteral("archive"));
}

// The register browse from the menu (every entry) and from the stay list
// (one group), with its printout, the change of an entry and the removal question.
void Session::registerBrowse()
{
    QWidget* browse = openChild("mnuModyfikowanieKsiazki", QStringLiteral("register_browse"));
    m_previews.push_back(QStringLiteral("register_browse_preview"));
    click(browse, "Podglad");
    endScene(QStringLiteral("register browse printout"));
    selectRow(browse, "Lista", QStringLiteral("Zając"));
    expectShotAndClose(QStringLiteral("registration_entry"));
    click(browse, "Zmien");
    endScene(QStringLiteral("register entry"));
    expectPrompt(QStringLiteral("register_browse_delete_question"), false);
    click(browse, "Usun");
    endScene(QStringLiteral("register removal"));
    closeChildren();

    QWidget* list = openChild("mnuModyfikowanieKwaterunku", QString());
    selectRow(list, "Grupy", QStringLiteral("Budex sp. z o.o."));
    click(list, "Ksiazka");
    m_camera.shoot(newestChild(), QStringLiteral("register_browse_group"));
    closeChildren();
    endScene(QStringLiteral("register browse of a group"));
}

void Session::billing()
{
    QWidget* list = openChild("mnuOplaty", QString());
    selectRow(list, "Grupy", QStringLiteral("Budex sp. z o.o."));
    click(list, "Oplaty");
    QWidget* window = newestChild();
    auto* pages = window ? window->findChild<QTabWidget*>() : nullptr;
    if (!pages) {
        m_camera.fail(QStringLiteral("billing window without pages"));
        closeChildren();
        return;
    }
    // A discount for the whole stay, which the discount list then shows.
    if (auto* discount = window->findChild<QLineEdit*>(QStringLiteral("KalkZnizka"))) {
        discount->setText(QStringLiteral("10"));
        click(window, "ZastosujZnizke");
    }
    m_camera.shoot(window, QStringLiteral("billing"));
    expectShotAndClose(QStringLiteral("payment_dialog"));
    click(window, "RejestrujOplate");
    endScene(QStringLiteral("payment"));

    pages->setCurrentIndex(1);
    m_camera.shoot(window, QStringLiteral("billing_rooms"));
    pages->setCurrentIndex(2);
    settle();
    // The firm's particulars, as the receptionist types them in.
    if (auto* kind = pages->widget(2)->findChild<QComboBox*>(QStringLiteral("RodzajNip")))
        kind->setCurrentIndex(1); // a Polish NIP
    const std::pair<const char*, const char*> buyer[] = {
        {"Adres", "ul. Przemysłowa 4, 33-300 Nowy Sącz"}, {"Nip", "734-100-20-38"}};
    for (const auto& [name, text] : buyer)
        if (auto* edit = pages->widget(2)->findChild<QLineEdit*>(QString::fromLatin1(name)))
            edit->setText(QString::fromUtf8(text));
    m_camera.shoot(window, QStringLiteral("billing_invoice"));
    expectPrompt(QStringLiteral("invoice_number"), true);
    click(window, "Wystaw");
    m_camera.shoot(window, QStringLiteral("billing_invoice_issued"));
    m_previews.push_back(QStringLiteral("invoice_preview"));
    click(window, "Podglad");
    endScene(QStringLiteral("invoice"));
    expectShotAndClose(QStringLiteral("correction_dialog"));
    click(window, "KorektaFaktury");
    endScene(QStringLiteral("correction"));
    closeChildren();

    // The next group's invoice can take the firm as a regular client.
    list = openChild("mnuOplaty", QString());
    selectRow(list, "Grupy", QStringLiteral("Wiśniewski Piotr"));
    click(list, "Oplaty");
    window = newestChild();
    if (auto* next = window ? window->findChild<QTabWidget*>() : nullptr) {
        next->setCurrentIndex(2);
        expectShotAndClose(QStringLiteral("regular_clients"));
        click(window, "StaliKlienci");
    }
    endScene(QStringLiteral("regular clients"));
    closeChildren();
}

void Session::administration()
{
    openChild("mnuUstawieniePokoi", QStringLiteral("rooms"));
    closeChildren();
    openChild("mnuCennik", QStringLiteral("price_list"));
    closeChildren();
    openChild("mnuUstawieniePanstw", QStringLiteral("countries"));
    closeChildren();
    trigger("mnuKonfiguracja");
    QWidget* hotel = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->objectName() == QStringLiteral("TKonfiguracja"))
            hotel = w;
    m_camera.shoot(hotel, QStringLiteral("hotel_data"));
    if (hotel)
        hotel->close();
    endScene(QStringLiteral("administration"));
}

void setDay(QDialog& dialog, const char* name, const QDate& day)
{
    if (auto* edit = dialog.findChild<QDateEdit*>(QString::fromLatin1(name)))
        edit->setDate(day);
}

void Session::reports()
{
    report("mnuNieuregulowanePlatnosci", QStringLiteral("unpaid_groups"));
    report("mnuOplatyWOkresie", QStringLiteral("payments_in_period"));
    report("mnuSpisZakwaterowanych", QStringLiteral("current_guests"));
    report("mnuWolnePokoje", QStringLiteral("free_rooms"));
    // The demo's next reservation arrives tomorrow, and somebody leaves then.
    report("mnuPrzyjezdzajacy", QStringLiteral("arrivals"),
           [](QDialog& d) { setDay(d, "Data", today().addDays(1)); });
    report("mnuWyjezdzajacy", QStringLiteral("departures"),
           [](QDialog& d) { setDay(d, "Data", today().addDays(1)); });
    report("mnuListaRezerwacji", QStringLiteral("reservation_list"));
    report("mnuZestawienieFaktur", QStringLiteral("invoice_list"));
    // Yesterday's group has registered guests to show.
    report("mnuGrupyWDniu", QStringLiteral("groups_of_day"),
           [](QDialog& d) { setDay(d, "Data", today().addDays(-1)); });
    report("mnuWykorzystaniePokoi", QStringLiteral("room_utilisation"), [](QDialog& d) {
        if (auto* months = d.findChild<QComboBox*>(QStringLiteral("Miesiac")))
            months->setCurrentIndex(
                months->findText(QStringLiteral("%1 %2")
                                     .arg(today().year())
                                     .arg(QLocale().standaloneMonthName(today().month()))));
    });
    report("mnuRabaty", QStringLiteral("discounts"));
    report("mnuPotwierdzenieRezerwacji", QStringLiteral("reservation_confirmation"));
    m_previews.push_back(QStringLiteral("season_report_preview"));
    trigger("mnuRaportGus");
    endScene(QStringLiteral("season report"));
    openChild("mnuOsobyDoba", QStringLiteral("person_nights"));
    closeChildren();
    endScene(QStringLiteral("person-nights"));
}

void Session::backupAndDatabase()
{
    const QString archive = QDir(programDirectory()).filePath(QStringLiteral("Archiwum"));
    expectPrompt(QStringLiteral("restore_file_dialog"), true,
                 QDir(archive).filePath(QStringLiteral("Archiwum 2026.07.01 18.00.zip")));
    expectPrompt(QStringLiteral("restore_question"), false);
    trigger("mnuOdtwarzanieBazy");
    endScene(QStringLiteral("restore"));

    const QString database = QDir(programDirectory()).filePath(QStringLiteral("Baza/Baza.mdb"));
    expectPrompt(QStringLiteral("database_choice_dialog"), true, database);
    expectPrompt(QStringLiteral("database_choice_message"));
    trigger("mnuWybierzBaze");
    endScene(QStringLiteral("database choice"));
}

// A machine with no database yet: the first-start question, then the hint
// an empty database shows. The demo database comes back afterwards.
void Session::firstStart()
{
    const QString demo = readSetting(QStringLiteral("KatalogBazy")).value_or(QString());
    const QString fresh = QDir(programDirectory()).filePath(QStringLiteral("Nowa"));
    dataModule().closeConnection();
    writeSetting(QStringLiteral("KatalogBazy"), fresh);
    expectPrompt(QStringLiteral("first_start_question"), false);
    offerDatabase();
    createEmptyDatabase(QDir(fresh).filePath(QStringLiteral("Baza.mdb")));
    dataModule().openConnection();
    expectPrompt(QStringLiteral("first_steps"));
    showFirstStepsIfEmpty();
    dataModule().closeConnection();
    writeSetting(QStringLiteral("KatalogBazy"), demo);
    dataModule().openConnection();
    endScene(QStringLiteral("first start"));
}

void Session::exitQuestion()
{
    expectPrompt(QStringLiteral("backup_question"), false);
    m_frame.close();
    endScene(QStringLiteral("exit"));
}

void Session::run()
{
    mainWindow();
    stayLists();
    stayEditor();
    board();
    registration();
    archive();
    registerBrowse();
    billing();
    administration();
    reports();
    backupAndDatabase();
    firstStart();
    exitQuestion();
}

// Settings of the run live in the program folder, never in the user's.
void isolateSettings(const QString& programDir)
{
    setProgramDirectory(programDir);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QDir(programDir).filePath(QStringLiteral("user")));
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope,
                       QDir(programDir).filePath(QStringLiteral("machine")));
    const QString archive = QDir(programDir).filePath(QStringLiteral("Archiwum"));
    QDir().mkpath(archive);
    writeSetting(QStringLiteral("KatalogBazy"), QDir(programDir).filePath(QStringLiteral("Baza")));
    writeSetting(QStringLiteral("KatalogArchiwum"), archive);
}
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    setUpApplication(app);
    const QStringList args = QApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: rezydo-screenshots PROGRAM_DIR OUTPUT_DIR\n");
        return 2;
    }
    isolateSettings(args[1]);

    Camera camera(args[2]);
    auto owned = std::make_unique<ShotPrompter>(camera);
    ShotPrompter& prompts = *owned;
    installPrompter(std::move(owned));
    ModalScript modal(camera);
    // A window left waiting for an answer must not hold the run forever.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        std::fprintf(stderr, "rezydo-screenshots: no end after %d s\n", kTimeLimitMs / 1000);
        std::_Exit(3);
    });
    watchdog.start(kTimeLimitMs);

    int failures = 0;
    {
        DataModule data;
        TGlowne window;
        wireCommands(window);
        window.show();
        settle(500);
        Session session(window, camera, prompts, modal);
        session.run();
        failures = static_cast<int>(camera.failures().size());
    }
    installPrompter(nullptr);
    std::fprintf(stderr, "%d pictures, %d failures\n", static_cast<int>(camera.saved().size()),
                 failures);
    return failures ? 1 : 0;
}
