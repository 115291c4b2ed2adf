#include "app/commands.h"
#include "app/first_start.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "core/error.h"
#include "core/ui/message_box_prompter.h"
#include "db/data_module.h"
#include "register/guest_data_commands.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    setUpApplication(app);
    installPrompter(std::make_unique<MessageBoxPrompter>());

    // The data module comes first (connection closed) and goes last.
    DataModule data;
    // A missing database is offered to be made before the window opens it.
    guarded([] { offerDatabase(); });
    TGlowne window;
    wireCommands(window);
    window.show();
    // An empty database shows its first steps; once a month the program
    // offers to anonymise former guests whose data are past their retention
    // and warns of invoices whose deadline for the national e-invoice system
    // is today or past (a database that did not open asks nothing).
    QTimer::singleShot(0, &window, [&data] {
        guarded([] { showFirstStepsIfEmpty(); });
        if (data.isOpen()) {
            guarded(offerAnonymisationAtStart);
            guarded(warnKsefDeadlinesAtStart);
        }
    });
    return QApplication::exec();
}
