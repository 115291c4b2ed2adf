#pragma once

class QWidget;

// Closes a window of the program: a child window of the frame together with
// its child frame (closing only the window would leave an empty frame behind),
// any other window by itself. Every window's "&Zamknij" goes through here.
void closeChildWindow(QWidget* window);

// Moves a window so that its frame is centred on the frame of its owner's
// window (the window of its parent widget). A window without a parent is left
// where the system put it.
void centreOnOwner(QWidget* window);
