#include "app/commands.h"
#include "app/main_window.h"
#include "reports/engine/ui/preview_provider.h"

// Every preview of the program is shown by the one preview provider,
// installed before any report can run.
void wireReportCommands(TGlowne& window) {
    (void)window;
    installReportPresenter(std::make_unique<TMDIPodglad>());
}
