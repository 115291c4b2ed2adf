#pragma once

class TGlowne;

// Connects the menu entries to the windows and reports of every feature.
// Each feature adds its own wiring function in its own file.
void wireCommands(TGlowne& window);

void wireStaysCommands(TGlowne& window);
void wireStayListCommands(TGlowne& window);
// The planning board "Plan pokoi" (commands_board.cpp).
void wireBoardCommands(TGlowne& window);
void wireGuestReportCommands(TGlowne& window);
// The money lists (commands_money_reports.cpp).
void wireMoneyReportCommands(TGlowne& window);

// Backup, restore and the choice of database (commands_backup.cpp).
void wireBackupCommands(TGlowne& window);
// The setup windows of the administration menu.
void wireAdminCommands(TGlowne& window);

// The preview provider and the report commands.
void wireReportCommands(TGlowne& window);
// Billing: the Frame's openBilling and the dialogs every billing window borrows.
void wireBillingCommands(TGlowne& window);
void wireRegisterCommands(TGlowne& window);
// The monthly statistics form (commands_statistics.cpp).
void wireStatisticsCommands(TGlowne& window);
// The person archive: the menu's loop and the Frame's showPersonArchive.
void wireArchiveCommands(TGlowne& window);
// Drops the archive window kept for the persons of a registration walk.
void endRegistrationArchive(TGlowne& window);
// The invoices waiting for the national e-invoice system (commands_ksef.cpp).
void wireKsefCommands(TGlowne& window);
// Installs the maker of the structured invoice document (ksef_builder.cpp).
void installKsefDocumentBuilder();
// Warns, once the main window shows, of waiting invoices due today or overdue.
void warnKsefDeadlinesAtStart();
