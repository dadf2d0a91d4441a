#pragma once
// Message boxes shown with QMessageBox: CP932 text converted for display, buttons, icon and
// default button taken from the type word, the answer given back as its ID code.

#include "platform/Messages.h"

class QMessageBox;
class QWidget;

namespace platform {

class QtMessages : public MessageService
{
public:
    // Boxes are owned by the active window, or stand alone when there is none.
    int Show(const std::string& text, const std::string& caption, unsigned type) override;

    // Sets up a box for the type word without showing it (the caller runs exec()). The ID that
    // each button answers is kept in the button's "messageId" property.
    static void Prepare(QMessageBox& box, const std::string& text, const std::string& caption, unsigned type);
    // The ID answered by the button that ended the box (the escape answer when none did).
    static int Answer(const QMessageBox& box, unsigned type);
};

} // namespace platform
