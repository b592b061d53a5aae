#pragma once

#include "core/error.h"

#include <string>

namespace kd {

// The two text boxes, CommPort and Settings, as the commands see them. Abstract so that the scan
// runs without a window in tests; the real implementation wraps a QLineEdit.
class TextBox {
  public:
    virtual ~TextBox() = default;
    virtual std::string text() const = 0;
    virtual void setText(const std::string &text) = 0;
};

// The modal message box. Tests replace it to read the text instead of racing a modal dialog.
class MessageBox {
  public:
    virtual ~MessageBox() = default;
    // OK only, no icon, the application's name as the menu shows it for its title.
    virtual void showMessage(const std::string &text) = 0;
    // An error that left a command: its number and description.
    virtual void showError(const Error &error) = 0;
};

} // namespace kd
