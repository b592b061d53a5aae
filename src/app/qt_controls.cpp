#include "app/qt_controls.h"

#include <QLineEdit>
#include <QMessageBox>

namespace kd {
namespace {

// The application's name as the application menu shows it.
const QString kApplicationTitle = QStringLiteral(KD_TOOL_DISPLAY_NAME);

} // namespace

std::string LineEditTextBox::text() const {
    return m_edit->text().toStdString();
}

void LineEditTextBox::setText(const std::string &text) {
    m_edit->setText(QString::fromStdString(text));
}

void QtMessageBox::showMessage(const std::string &text) {
    QMessageBox box(QMessageBox::NoIcon, kApplicationTitle, QString::fromStdString(text),
                    QMessageBox::Ok, m_parent);
    box.exec();
}

void QtMessageBox::showError(const Error &error) {
    QMessageBox box(QMessageBox::Critical, kApplicationTitle,
                    QString::fromStdString(errorMessageText(error)), QMessageBox::Ok, m_parent);
    box.exec();
}

} // namespace kd
