#include "app/backup.h"
#include "app/commands.h"
#include "app/database_choice.h"
#include "app/main_window.h"

void wireBackupCommands(TGlowne& window)
{
    window.wireCommand(QStringLiteral("mnuOdtwarzanieBazy"), restoreDatabase);
    window.wireCommand(QStringLiteral("mnuWybierzBaze"), chooseDatabase);
    window.setExitBackup(backupAtExit);
}
