// The message box through which store failures that have no node to hang on reach the user.
// The front end installs its own; without one the message goes to standard error.
#pragma once

#include <string_view>

#include "store/api/Status.h"

class CMessageBox {
public:
    virtual ~CMessageBox() = default;
    // A modal box with a stop icon and an OK button, owned by the window that has the focus.
    virtual void ShowError(std::string_view title, std::string_view text) = 0;
};

// Installs the box used from now on (null: standard error again); returns the previous one.
// The box must outlive its installation.
CMessageBox* SetMessageBox(CMessageBox* box);
CMessageBox* GetMessageBox();

// Builds the message of status (see FormatStatusMessage) and shows it titled "Error".
void ShowStatusMessage(store::Status status, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
