#pragma once

#include "core/controls.h"

class QLineEdit;
class QWidget;

namespace kd {

// A text box of the window.
class LineEditTextBox : public TextBox {
  public:
    void bind(QLineEdit *edit) { m_edit = edit; }
    std::string text() const override;
    void setText(const std::string &text) override;

  private:
    QLineEdit *m_edit = nullptr;
};

// The real modal message box, over the given window.
class QtMessageBox : public MessageBox {
  public:
    void setParent(QWidget *parent) { m_parent = parent; }
    void showMessage(const std::string &text) override;
    void showError(const Error &error) override;

  private:
    QWidget *m_parent = nullptr;
};

} // namespace kd
