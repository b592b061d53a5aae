#include "app/qt_controls.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QMessageBox>

namespace kd {

std::string LineEditTextBox::text() const {
    return m_edit->text().toStdString();
}

void LineEditTextBox::setText(const std::string &text) {
    m_edit->setText(QString::fromStdString(text));
}

void QtMessageBox::showMessage(const std::string &text) {
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(),
                    QString::fromStdString(text), QMessageBox::Ok, m_parent);
    box.exec();
}

void QtMessageBox::showError(const Error &error) {
    QMessageBox box(QMessageBox::Critical, QCoreApplication::applicationName(),
                    QString::fromStdString(errorMessageText(error)), QMessageBox::Ok, m_parent);
    box.exec();
}

} // namespace kd
