#pragma once

class QWidget;

// Closes a window of the program: a child window of the frame together with
// its child frame (closing only the window would leave an empty frame behind),
// any other window by itself. Every window's "&Zamknij" goes through here.
void closeChildWindow(QWidget* window);

