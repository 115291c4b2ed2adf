#include "app/commands.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "core/ui/message_box_prompter.h"
#include "db/data_module.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    setUpApplication(app);
    installPrompter(std::make_unique<MessageBoxPrompter>());

    // The data module comes first (connection closed) and goes last.
    DataModule data;
    TGlowne window;
    wireCommands(window);
    window.show();
    return QApplication::exec();
}
