#pragma once

#include "app/form.h"
#include "app/qt_controls.h"

#include <QMainWindow>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kd {

// The tool's only window: it builds the controls, routes their clicks to the Form and ends the
// program on "Ende". A main window, so that accessibility tools see it as the application's frame;
// it has no menu, tool or status bar, and its controls sit on the central widget.
class MainWindow : public QMainWindow {
  public:
    MainWindow(SerialLink &serial, UsbDisplayLibrary &usb, MessageBox &messageBox,
               QWidget *parent = nullptr);

    Form &form() { return m_form; }

    QGroupBox *Frame = nullptr;
    QRadioButton *Option[2] = {nullptr, nullptr};
    QPushButton *cmdClear = nullptr;
    QPushButton *cmdHello = nullptr;
    QPushButton *cmdText = nullptr;
    QPushButton *cmdSumme = nullptr;
    QPushButton *cmdGivenandback = nullptr;
    QPushButton *cmdEnd = nullptr;
    QLabel *lbl1 = nullptr;
    QLineEdit *CommPort = nullptr;
    QLabel *lbl2 = nullptr;
    QLineEdit *Settings = nullptr;

  private:
    void buildControls();
    void routeEvents();
    void showPortDevice();

    // The option button whose toggle waits for its click; -1 when none.
    int m_pendingOption = -1;
    LineEditTextBox m_commPortBox;
    LineEditTextBox m_settingsBox;
    Form m_form;
};

} // namespace kd
