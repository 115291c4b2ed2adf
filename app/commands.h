#pragma once

class TGlowne;

// Connects the menu entries to the windows and reports of every feature.
// Each feature adds its own wiring function in its own file.
void wireCommands(TGlowne& window);

// Billing: the Frame's openBilling and the dialogs every billing window borrows.
void wireBillingCommands(TGlowne& window);
