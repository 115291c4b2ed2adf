#pragma once

#include <functional>

class QDialog;

// Shows a modal window and returns its result. Windows never call exec()
// themselves: in tests an installed handler receives the dialog, works its
// controls and returns the result, so nothing blocks.
int runModal(QDialog& dialog);

using ModalHandler = std::function<int(QDialog&)>;
// Installs a handler (an empty one restores exec()); returns the previous one.
ModalHandler setModalHandler(ModalHandler handler);
