#pragma once

class TGlowne;

// Connects the menu entries to the windows and reports of every feature.
// Each feature adds its own wiring function in its own file.
void wireCommands(TGlowne& window);

void wireStayListCommands(TGlowne& window);
void wireGuestReportCommands(TGlowne& window);
