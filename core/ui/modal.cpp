#include "core/ui/modal.h"

#include <QDialog>

namespace {
ModalHandler& handlerSlot()
{
    static ModalHandler handler;
    return handler;
}
} // namespace

int runModal(QDialog& dialog)
{
    if (handlerSlot()) {
        // The dialog is shown as it would be, so its show events and layout run.
        dialog.setModal(true);
        dialog.show();
        const int result = handlerSlot()(dialog);
        dialog.hide();
        return result;
    }
    return dialog.exec();
}

ModalHandler setModalHandler(ModalHandler handler)
{
    ModalHandler previous = std::move(handlerSlot());
    handlerSlot() = std::move(handler);
    return previous;
}
